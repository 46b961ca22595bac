#pragma once

#include "platform/services.h"
#include "store/paths.h"
#include "store/textlist.h"

#include <QTimer>
#include <QWidget>

#include <functional>

class QHBoxLayout;
class QLabel;
class QListWidget;
class QSlider;
class QToolButton;
class QVBoxLayout;

namespace zorv {

class AudioPlayer;
class OutputVolume;
class FileListBox;
class LinkLabel;
class SlideShow;
class TzorvVolumeController;

// The audio page (sheet TabSheet2): the tracks of one music folder, played one after the
// other; the folder chosen by picking any of its music files and remembered in
// "dados\Play.list"; one track that can start by itself five seconds after the program
// starts ("Dados\Auto.rep").
//
// FLi lists the folder (hidden); FL2 shows a copy of its names and both keep the same
// selected index. TMMP follows the playing track; when a track started from the page's own
// controls ends it starts the next one, while the auto-play track plays alone.
//
// The page also carries the slide show (which takes the track list's place while it
// runs) and the volume: zorvVol, the volume bar tb2 and its presets. The volume is the
// program's own output volume; the system's mixer is never touched.
class AudioPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kProgressInterval = 1000;  // TMMP
    static constexpr int kIndicatorInterval = 1000; // Timer1
    static constexpr int kAutoPlayDelay = 5000;     // Timer5
    static constexpr int kStatusDelay = 2000;       // Timer4
    static constexpr int kProgressWidth = 100;      // gg at 100 %
    static constexpr char kMusicMask[] = "*.mp3;*.wma";
    // With the full suite on: every format the player plays.
    static constexpr char kFullSuiteMusicMask[] = "*.mp3;*.wma;*.wav;*.ogg;*.oga;*.opus;*.flac;*.m4a;*.aac";
    static constexpr int kStartVolumeDelay = 3000;                 // TMVL
    static inline const QString kNoPercent = QStringLiteral("0%"); // nd with nothing playing

    AudioPage(const Paths &paths, Services &services, QWidget *parent = nullptr);
    ~AudioPage() override;

    // The player behind the page.
    AudioPlayer *player() const { return MP; }

    // Asked before a double click or Enter in FL2 plays the track: answers true when it
    // took the track's path instead (the appointments page choosing its notification
    // music), and the track is then not played.
    void setMusicChoiceHandler(std::function<bool(const QString &path)> handler)
    {
        m_musicChoice = std::move(handler);
    }
    // Whether the appointments' reminder icon is raised; the auto-play track waits for no
    // one and is skipped while it is.
    void setAppointmentIconRaised(std::function<bool()> raised)
    {
        m_appointmentIconRaised = std::move(raised);
    }

    // The remembered track index, selected in FL2 on every show.
    int rememberedIndex() const { return m_rememberedIndex; }
    // Whether the player plays now (a paused or stopped track does not).
    bool musicPlaying() const;
    // "s" from the start of the auto-play track until any track ends, then "n".
    QString endOfListFlag() const { return m_endOfList; }
    // The file the player was given by "Dados\Auto.rep" at creation.
    QString autoPlayFile() const { return m_autoPlayFile; }

    // The OS generation name the volume bar follows ("XP": the mixer levels; otherwise
    // the endpoint's master scalar). The running system's by default.
    void setOsGeneration(const QString &generation) { m_generation = generation; }
    QString osGeneration() const { return m_generation; }
    // Whether CriV found the endpoint volume.
    bool hasEndpointVolume() const { return m_endpoint != nullptr; }

    // The suite window's steps.
    void ResetPlaylistPosition(); // create: the remembered index becomes 0
    void ClearProgress();         // create: gg's width 0
    void LoadAutoPlay();          // create: "Dados\Auto.rep" into rep; Timer5 when it names a track
    void LoadPlaylist();          // show: "dados\Play.list" into lbi, its folder listed again
    void SelectRememberedTrack(); // show: the remembered index selected in FL2 and FLi
    void StartVolumeTimer();      // create: TMVL on

    LinkLabel *pm = nullptr;        // "Procurar músicas"
    QListWidget *FL2 = nullptr;     // the track list
    FileListBox *FLi = nullptr;     // the music folder's files (never seen)
    QLabel *nd = nullptr;           // percent played
    QLabel *gg2 = nullptr;          // background of the progress image
    QLabel *gg = nullptr;           // progress image, as wide as the percent played
    QToolButton *Image19 = nullptr; // next track
    QToolButton *Image20 = nullptr; // previous track
    QToolButton *Image11 = nullptr; // seek to 0 %
    QToolButton *Image12 = nullptr; // 20 %
    QToolButton *Image14 = nullptr; // 40 %
    QToolButton *Image15 = nullptr; // 60 %
    QToolButton *Image16 = nullptr; // 80 %
    QToolButton *Image17 = nullptr; // 100 %
    QLabel *Image1 = nullptr;       // decorative pictures
    QLabel *Image10 = nullptr;
    QLabel *Image18 = nullptr;
    LinkLabel *pn1 = nullptr;      // "Reproduzir a faixa selecionada ao iniciar"
    LinkLabel *pn10 = nullptr;     // "Cancelar auto-reprodução"
    LinkLabel *Label49 = nullptr;  // "Músicas for kids"
    QLabel *st = nullptr;          // "OK!" after pn1
    QSlider *TB1 = nullptr;        // position of the playing track, in ms
    QSlider *TrackBar1 = nullptr;  // a second position bar sharing TB1's change step
    QLabel *faCaption = nullptr;   // "Faixa atual:"
    QLabel *fa = nullptr;          // the playing track's name
    QWidget *lowerPanel = nullptr; // the panel the track list fills
    // Shown only with the full suite on, reached with Tab and pressed with Enter or Space.
    QToolButton *playPause = nullptr;  // plays the selected track, pauses it, resumes it
    QToolButton *stopButton = nullptr; // stops the music

    SlideShow *slides = nullptr; // fl1, FT, q10, atv, ATVS, atv1, PB, TMS
    TzorvVolumeController *zorvVol = nullptr;
    QSlider *tb2 = nullptr;        // volume bar 0..100
    QToolButton *Image4 = nullptr; // volume presets 0, 20 ... 100
    QToolButton *Image5 = nullptr;
    QToolButton *Image6 = nullptr;
    QToolButton *Image7 = nullptr;
    QToolButton *Image8 = nullptr;
    QToolButton *Image9 = nullptr;
    TextList m; // the volume bar's position, "Dados\Set.vol"

    TextList lbi; // the playlist line
    TextList rep; // the auto-play line

    QTimer TMMP;   // progress tick
    QTimer Timer1; // indicator tick
    QTimer Timer5; // one shot: the auto-play track
    QTimer Timer4; // one shot: clears st
    QTimer TMVL;   // one shot: the start-up volume again

    // Whether the full suite is on: the page then lists and opens every format the player
    // plays, says when a file is not one of them, and shows its play/pause and stop buttons.
    bool fullSuite() const { return m_fullSuite; }

public slots:
    void setFullSuite(bool on);
    void playPauseClick();
    void stopClick();
    void pmClick();
    // The same choice for the children's music folder ("dados\PlayK.list").
    void MusK();
    // Selects `name` (the whole name; only when no track is spelled so, one that differs in
    // letter case) in FL2 and FLi and plays it.
    void Toq(const QString &name);
    // Plays the track selected in FLi.
    void Play();
    // Plays the auto-play track.
    void Play2();
    void prox();
    void parar();
    void pausar();
    void Image19Click();
    void Image20Click();
    void Image11Click();
    void Image12Click();
    void Image14Click();
    void Image15Click();
    void Image16Click();
    void Image17Click();
    void pn1Click();
    void pn10Click();
    void Timer4Timer();
    void Timer5Timer();
    void TMMPTimer();
    // The change step of TB1 and TrackBar1: the percent and the progress width.
    void TB1Change();
    void Timer1Timer();
    // A double click or Enter in FL2.
    void FL2DblClick();
    // The folder browser opening a music file: its folder becomes the playlist and the
    // first track beginning with `caption` plays.
    void openFromFolder(const QString &folder, const QString &caption);
    // Finds the endpoint volume of the default output, or none.
    void CriV();
    void tb2Change();
    void TMVLTimer();
    // Restoring the saved volume bar position is switched off: every start sets 20.
    void Vol() {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The page's widgets and layout (in audiopagelayout.cpp), part by part.
    void buildLayout();
    void addTrackControls(QHBoxLayout *controls);
    void addHiddenControls(QHBoxLayout *controls);
    void addVolumeControls(QHBoxLayout *controls);
    void addTrackList(QVBoxLayout *outer, QWidget *slideLinks);
    void chooseMusic(const QString &listFile);
    // Points FLi at `folder` and copies its names into FL2.
    void listTracks(const QString &folder);
    // Saves `folder` (with a trailing separator) into lbi and `listFile`.
    void rememberFolder(const QString &folder, const QString &listFile);
    void selectTrack(int index);
    void step(int delta);
    void seekTo(int percent);
    void startOpening(const QString &path);
    void opened(qint64 length);
    void openFailed();
    void resetProgress();
    void showPercent(const QSlider *bar);
    void addPlayerButtons(QHBoxLayout *controls);
    QString musicMask() const;
    // Shows `text` in st until the next action (st is seen with the full suite on only).
    void showStatus(const QString &text);
    // The play/pause button shows what a press would do.
    void updatePlayPause();

    Paths m_paths;
    Services &m_services;
    AudioPlayer *MP = nullptr;
    std::function<bool(const QString &)> m_musicChoice;
    std::function<bool()> m_appointmentIconRaised;
    QString m_autoPlayFile;
    QString m_openingName; // the name fa shows once the open completes
    QString m_endOfList = QStringLiteral("n");
    int m_rememberedIndex = 0;
    // Whether the end of the playing track starts the next one of the list: only for a
    // track started from this page's own controls (the track list, next, previous,
    // "Procurar músicas"). The auto-play track and a track opened from the folder browser
    // play alone.
    bool m_followList = false;
    bool m_trackEnded = false;
    QString m_generation;
    OutputVolume *m_endpoint = nullptr; // set by CriV when the default output has one
    bool m_fullSuite = false;
};

// Answers the companion's tray menu through the program's request channel: whether the
// page's music plays, and a request to stop it.
void answerMusicRequests(SingleInstance &channel, AudioPage *page);

} // namespace zorv

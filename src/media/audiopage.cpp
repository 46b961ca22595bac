#include "audiopage.h"

#include "folderlisting.h"
#include "slideshow.h"
#include "volumecontroller.h"

#include "controls/captions.h"
#include "controls/linklabel.h"
#include "platform/audioplayback.h"
#include "platform/osgeneration.h"
#include "platform/outputvolume.h"
#include "store/logging.h"
#include "store/records.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <climits>

namespace zorv {

namespace {

const QString kPlayList = QStringLiteral("dados\\Play.list");
const QString kKidsList = QStringLiteral("dados\\PlayK.list");
const QString kAutoPlay = QStringLiteral("Dados\\Auto.rep");
const QString kMusicFilter = QStringLiteral("Media (*.mp3 *.wma)");
const QString kVolumeFile = QStringLiteral("Dados\\Set.vol");

// The file name without its last four characters (".mp3").
QString trackTitle(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.left(qMax<qsizetype>(0, name.size() - 4));
}

int barValue(qint64 msecs)
{
    return int(qBound(qint64(0), msecs, qint64(INT_MAX)));
}

} // namespace

AudioPage::AudioPage(const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
    , lbi(TextList::SavePolicy::Utf8WhenNeeded)
    , rep(TextList::SavePolicy::Utf8WhenNeeded)
    , m_paths(paths)
    , m_services(services)
    , m_generation(runningOsGenerationName())
{
    setObjectName(QStringLiteral("AudioPage"));
    useLightCaptions(this);
    // The window's stored volume values apply as it is made: mute off, 20, balance 0.
    zorvVol = new TzorvVolumeController(m_services.volume, this);
    buildLayout();

    MP = m_services.audio.makePlayer(this);
    MP->setObjectName(QStringLiteral("MP"));
    connect(MP, &AudioPlayer::opened, this, &AudioPage::opened);
    connect(MP, &AudioPlayer::failed, this, &AudioPage::openFailed);
    connect(MP, &AudioPlayer::lengthChanged, this, [this](qint64 length) {
        // The length may arrive after playing started: the bar's maximum follows it.
        TB1->setMaximum(barValue(length));
    });
    connect(MP, &AudioPlayer::ended, this, [this] { m_trackEnded = true; });

    TMMP.setObjectName(QStringLiteral("TMMP"));
    TMMP.setInterval(kProgressInterval);
    connect(&TMMP, &QTimer::timeout, this, &AudioPage::TMMPTimer);
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(kIndicatorInterval);
    connect(&Timer1, &QTimer::timeout, this, &AudioPage::Timer1Timer);
    Timer5.setObjectName(QStringLiteral("Timer5"));
    Timer5.setInterval(kAutoPlayDelay);
    Timer5.setSingleShot(true);
    connect(&Timer5, &QTimer::timeout, this, &AudioPage::Timer5Timer);
    Timer4.setObjectName(QStringLiteral("Timer4"));
    Timer4.setInterval(kStatusDelay);
    Timer4.setSingleShot(true);
    connect(&Timer4, &QTimer::timeout, this, &AudioPage::Timer4Timer);
    TMVL.setObjectName(QStringLiteral("TMVL"));
    TMVL.setInterval(kStartVolumeDelay);
    TMVL.setSingleShot(true);
    connect(&TMVL, &QTimer::timeout, this, &AudioPage::TMVLTimer);
    Timer1.start();
}

AudioPage::~AudioPage() = default;

bool AudioPage::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == playPause || watched == stopButton) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            static_cast<QToolButton *>(watched)->click();
            return true;
        }
    }
    if (watched == FL2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            FL2DblClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void AudioPage::FL2DblClick()
{
    const int row = FL2->currentRow();
    if (row < 0)
        return;
    if (FLi->currentRow() != row)
        FLi->setCurrentRow(row);
    if (m_musicChoice && m_musicChoice(FLi->pathOf(row)))
        return;
    m_followList = true;
    Play();
}

// --- choosing the folder -------------------------------------------------------------

void AudioPage::pmClick()
{
    chooseMusic(kPlayList);
}

void AudioPage::MusK()
{
    chooseMusic(kKidsList);
}

void AudioPage::setFullSuite(bool on)
{
    if (on == m_fullSuite)
        return;
    m_fullSuite = on;
    playPause->setVisible(on);
    stopButton->setVisible(on);
    st->setVisible(on);
    // The folder shown is listed again with the formats of the mode.
    FLi->setMask(musicMask());
    showNames(*FL2, FLi->names());
    updatePlayPause();
}

QString AudioPage::musicMask() const
{
    return QString::fromLatin1(m_fullSuite ? kFullSuiteMusicMask : kMusicMask);
}

void AudioPage::showStatus(const QString &text)
{
    Timer4.stop();
    st->setText(text);
}

void AudioPage::chooseMusic(const QString &listFile)
{
    // With the full suite on any file may be picked, so that one the player cannot play is
    // named as such instead of being passed over in silence.
    const QString filter = m_fullSuite
                               ? tr("Áudio (%1);;Todos os arquivos (*)").arg(musicMask().replace(u';', u' '))
                               : kMusicFilter;
    const QString chosen = m_services.dialogs.openFile(QString(), QString(), filter);
    if (chosen.isEmpty())
        return;
    const QFileInfo file(chosen);
    if (m_fullSuite && !matchesMask(file.fileName(), musicMask())) {
        qCWarning(lcMedia) << "not a format the player plays:" << chosen;
        showStatus(tr("Formato não suportado"));
        return;
    }
    if (file.suffix().isEmpty())
        return;
    const QString folder = file.absolutePath();
    listTracks(folder);
    rememberFolder(folder, listFile);
    Toq(file.fileName());
}

void AudioPage::listTracks(const QString &folder)
{
    // Only an absolute folder is listed: a name from a copied playlist that means nothing
    // here (a Windows drive, a relative name) lists nothing rather than the working folder.
    FLi->setDirectory(QDir::isAbsolutePath(folder) ? folder : QString());
    showNames(*FL2, FLi->names());
}

void AudioPage::rememberFolder(const QString &folder, const QString &listFile)
{
    QString line = QDir::toNativeSeparators(folder);
    if (!line.endsWith(QDir::separator()))
        line += QDir::separator();
    lbi.lines() = QStringList{line};
    // The folder is listed all the same; a list file that could not follow is logged by the
    // store and the folder is asked for again at the next start.
    const WriteResult saved = lbi.save(m_paths.resolve(listFile));
    Q_UNUSED(saved)
}

void AudioPage::Toq(const QString &name)
{
    // The name as spelled first: "Song.mp3" and "song.mp3" are two tracks here.
    const qsizetype index = findWholeLine(FLi->names(), name);
    if (index < 0)
        return;
    selectTrack(int(index));
    m_followList = true;
    Play();
}

void AudioPage::openFromFolder(const QString &folder, const QString &caption)
{
    listTracks(folder);
    rememberFolder(folder, kPlayList);
    const qsizetype index = findLineByPrefix(FLi->names(), caption);
    if (index < 0)
        return;
    m_rememberedIndex = int(index);
    selectTrack(int(index));
    // Opened from outside the page: this one track plays, the folder does not go on.
    m_followList = false;
    Play();
}

void AudioPage::selectTrack(int index)
{
    const int row = index >= 0 && index < FL2->count() ? index : -1;
    FL2->setCurrentRow(row);
    if (row < 0)
        FL2->clearSelection();
    FLi->setCurrentRow(row);
}

// --- playing ---------------------------------------------------------------------------

void AudioPage::startOpening(const QString &path)
{
    if (m_fullSuite)
        st->clear();
    m_trackEnded = false;
    m_openingName = trackTitle(path);
    MP->open(path);
}

void AudioPage::Play()
{
    MP->close();
    m_trackEnded = false;
    const int row = FLi->currentRow();
    const QString path = FLi->pathOf(row);
    if (path.isEmpty())
        return;
    // The index that plays is the one the next show selects again.
    m_rememberedIndex = row;
    startOpening(path);
}

void AudioPage::Play2()
{
    m_followList = false;
    MP->close();
    startOpening(m_autoPlayFile);
}

void AudioPage::opened(qint64 length)
{
    TB1->setMaximum(barValue(length));
    TMMP.start();
    MP->play();
    fa->setText(m_openingName);
    updatePlayPause();
}

void AudioPage::openFailed()
{
    // Nothing plays: the list stops at a track that cannot be opened instead of running
    // through a folder that plays nothing.
    TMMP.stop();
    if (m_fullSuite) {
        qCWarning(lcMedia) << "the player could not open the track" << m_openingName;
        showStatus(tr("Formato não suportado"));
    }
    updatePlayPause();
}

void AudioPage::playPauseClick()
{
    if (MP->isPlaying() || MP->isPaused()) {
        pausar();
    } else {
        // Nothing open: the selected track starts, the first one when none is selected.
        if (FL2->currentRow() < 0 && FL2->count() > 0)
            selectTrack(0);
        if (FL2->currentRow() < 0)
            return;
        m_followList = true;
        Play();
    }
    updatePlayPause();
}

void AudioPage::stopClick()
{
    parar();
    resetProgress();
    updatePlayPause();
}

void AudioPage::updatePlayPause()
{
    const bool playing = MP && MP->isPlaying();
    const QString action = playing ? tr("Pausar") : tr("Reproduzir");
    playPause->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    playPause->setToolTip(action);
    playPause->setAccessibleName(action);
}

void AudioPage::resetProgress()
{
    nd->setText(kNoPercent);
    TB1->setValue(0);
}

bool AudioPage::musicPlaying() const
{
    return MP->isPlaying();
}

void AudioPage::parar()
{
    MP->stop();
    MP->close();
    TMMP.stop();
    m_trackEnded = false;
    nd->setText(kNoPercent);
}

void AudioPage::pausar()
{
    if (MP->isPlaying())
        MP->pause();
    else if (MP->isPaused())
        MP->play();
}

void AudioPage::step(int delta)
{
    selectTrack(FL2->currentRow() + delta);
    TMMP.stop();
    resetProgress();
    if (MP->isPlaying())
        MP->stop();
    if (MP->isOpen())
        MP->close();
    m_followList = true;
    Play();
}

void AudioPage::prox()
{
    step(+1);
}

void AudioPage::Image19Click()
{
    step(+1);
}

void AudioPage::Image20Click()
{
    step(-1);
}

void AudioPage::seekTo(int percent)
{
    MP->pause();
    TB1->setValue(TB1->maximum() / 100 * percent);
    MP->setPosition(TB1->value());
    MP->play();
}

void AudioPage::Image11Click()
{
    seekTo(0);
}

void AudioPage::Image12Click()
{
    seekTo(20);
}

void AudioPage::Image14Click()
{
    seekTo(40);
}

void AudioPage::Image15Click()
{
    seekTo(60);
}

void AudioPage::Image16Click()
{
    seekTo(80);
}

void AudioPage::Image17Click()
{
    seekTo(100);
}

void AudioPage::TMMPTimer()
{
    TB1->setValue(barValue(MP->position()));
    // The end of the track is the player's report that it ended: a position compared with
    // the length misses ends that stop a little short of it.
    if (!m_trackEnded)
        return;
    m_trackEnded = false;
    TB1->setValue(0);
    gg->resize(0, gg->height());
    nd->setText(kNoPercent);
    m_endOfList = QStringLiteral("n");
    if (!m_followList) {
        // The auto-play track, or a track opened from the folder browser, plays alone: a
        // folder going on by itself would play on with no control in reach to stop it.
        parar();
        return;
    }
    const int current = FL2->currentRow();
    selectTrack(current == FL2->count() - 1 ? 0 : current + 1);
    Play();
}

void AudioPage::TB1Change()
{
    auto *bar = qobject_cast<QSlider *>(sender());
    showPercent(bar ? bar : TB1);
}

void AudioPage::showPercent(const QSlider *bar)
{
    if (bar->maximum() <= 0)
        return;
    const qint64 percent = qint64(bar->value()) * 100 / bar->maximum();
    nd->setText(QString::number(percent) + QLatin1Char('%'));
    gg->resize(int(qBound(qint64(0), percent, qint64(kProgressWidth))), gg->height());
}

void AudioPage::Timer1Timer()
{
    const bool playing = MP->isPlaying();
    gg->setVisible(playing);
    if (!playing)
        gg->resize(0, gg->height());
    updatePlayPause();
    slides->paintIndicator();
}

// --- auto-play -------------------------------------------------------------------------

void AudioPage::pn1Click()
{
    const QString path = FLi->selectedPath();
    if (path.isEmpty())
        return;
    rep.lines() = QStringList{QDir::toNativeSeparators(path)};
    const WriteResult saved = rep.save(m_paths.resolve(kAutoPlay));
    st->setText(saved ? QStringLiteral("OK!") : QStringLiteral("Falha! ") + saved.reason());
    Timer4.start();
}

void AudioPage::pn10Click()
{
    rep.clear();
    const WriteResult saved = rep.save(m_paths.resolve(kAutoPlay));
    if (!saved)
        st->setText(QStringLiteral("Falha! ") + saved.reason());
    Timer4.start();
}

void AudioPage::Timer4Timer()
{
    Timer4.stop();
    st->clear();
}

void AudioPage::LoadAutoPlay()
{
    if (rep.load(m_paths.resolve(kAutoPlay)) != TextList::LoadResult::Loaded)
        return;
    m_autoPlayFile = rep.lines().value(0);
    if (!m_autoPlayFile.isEmpty())
        Timer5.start();
}

void AudioPage::Timer5Timer()
{
    Timer5.stop();
    if (m_appointmentIconRaised && m_appointmentIconRaised())
        return;
    Play2();
    m_endOfList = QStringLiteral("s");
    if (FLi->count() > 0)
        selectTrack(0);
}

// --- the suite window's steps -----------------------------------------------------------

void AudioPage::ResetPlaylistPosition()
{
    m_rememberedIndex = 0;
}

void AudioPage::ClearProgress()
{
    gg->resize(0, gg->height());
}

void AudioPage::LoadPlaylist()
{
    lbi.clear();
    if (lbi.load(m_paths.resolve(kPlayList)) != TextList::LoadResult::Loaded)
        return;
    // The saved folder is listed again, so what was added or removed there shows.
    listTracks(lbi.lines().value(0));
    if (FLi->count() == 0 && MP->isPlaying())
        parar();
}

void AudioPage::SelectRememberedTrack()
{
    selectTrack(m_rememberedIndex);
}

// --- volume ----------------------------------------------------------------------------

void AudioPage::StartVolumeTimer()
{
    TMVL.start();
}

void AudioPage::CriV()
{
    m_endpoint = m_services.volume.hasEndpoint() ? &m_services.volume : nullptr;
}

void AudioPage::tb2Change()
{
    const int position = tb2->value();
    if (m_generation == QLatin1String("XP")) {
        zorvVol->SetVolume(position);
    } else {
        if (!m_endpoint)
            return;
        m_endpoint->setMasterScalar(float(position) * 0.01f);
    }
    m.lines() = QStringList{QString::number(position)};
    // The volume is set whatever the file says; one that could not be written is logged by
    // the store and the start volume applies at the next start.
    const WriteResult saved = m.save(m_paths.resolve(kVolumeFile));
    Q_UNUSED(saved)
}

void AudioPage::TMVLTimer()
{
    TMVL.stop();
    zorvVol->setProperty("Volume", TzorvVolumeController::kStartVolume);
    Vol();
}

void answerMusicRequests(SingleInstance &channel, AudioPage *page)
{
    QPointer<AudioPage> audio(page);
    channel.serveRequest(kMusicPlayingRequest, [audio] {
        return audio && audio->musicPlaying() ? QByteArrayLiteral("yes") : QByteArrayLiteral("no");
    });
    channel.serveRequest(kStopMusicRequest, [audio] {
        if (audio)
            audio->parar();
        return QByteArrayLiteral("ok");
    });
}

} // namespace zorv

#pragma once

#include "platform/services.h"
#include "store/paths.h"
#include "store/textlist.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QTimer>

class QFrame;
class QLabel;
class QWidget;

namespace zorv {

class FileListBox;
class LinkLabel;

// The slide show of the audio page: the pictures of one folder shown in turn in the
// picture area FT, one every three seconds, in a loop, in place of the track list. The
// folder is chosen by picking any picture and remembered in "dados\Slide.list".
//
// Pictures are decoded at the size of FT (JPEG decodes at a reduced scale) within Qt's
// allocation limit: a picture that cannot be read, is cut short, has gone, or would need
// more memory than the limit leaves the previous one on screen.
class SlideShow : public QObject
{
    Q_OBJECT
public:
    static constexpr int kInterval = 3000; // TMS
    static constexpr char kPictureMask[] = "*.jpg;*.png;*.tiff;*.bmp";
    static constexpr QRgb kRunningColour = qRgb(255, 0, 0);     // PB while TMS runs
    static constexpr QRgb kStoppedColour = qRgb(128, 128, 128); // PB otherwise

    // Builds the controls on `page`: FT and q10 into `panel`'s layout beside `trackList`,
    // which the picture area replaces while the show runs; the links into `links`.
    SlideShow(const Paths &paths, Services &services, QWidget *page, QWidget *panel, QWidget *trackList,
              QWidget *links);

    // Reads a picture scaled to `size` (its natural size when `size` is empty); a null
    // image when it cannot be read whole.
    static QImage readPicture(const QString &path, const QSize &size);

    bool isRunning() const;

    FileListBox *fl1 = nullptr; // the slide folder's pictures (hidden)
    QLabel *FT = nullptr;       // the picture shown, stretched over the whole area
    QLabel *q10 = nullptr;      // one pixel at the right edge, shown while running
    LinkLabel *atv = nullptr;   // "Imagens para slide show"
    LinkLabel *ATVS = nullptr;  // "Ativar slide show" / "Parar slide show"
    LinkLabel *atv1 = nullptr;  // "Pausar slide"
    QFrame *PB = nullptr;       // indicator: red while TMS runs, grey otherwise
    QTimer TMS;

public slots:
    // Choose the folder.
    void atvClick();
    // Start or stop.
    void ATVSClick();
    // Pause or resume, only while running.
    void atv1Click();
    // The next picture.
    void TMSTimer();
    // The show step: fl1 points at the folder of "dados\Slide.list".
    void LoadSlides();
    // The indicator half of the page's Timer1 tick.
    void paintIndicator();

private:
    void showSelected();

    Paths m_paths;
    Services &m_services;
    QWidget *m_trackList;
    TextList m_list{TextList::SavePolicy::Utf8WhenNeeded};
};

} // namespace zorv

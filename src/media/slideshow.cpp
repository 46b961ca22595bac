#include "slideshow.h"

#include "folderlisting.h"

#include "controls/linklabel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QImageReader>
#include <QLabel>
#include <QLayout>
#include <QPixmap>

namespace zorv {

namespace {

const QString kSlideList = QStringLiteral("dados\\Slide.list");
const QString kPictureFilter = QStringLiteral("Media (*.jpg *.png *.tiff *.bmp)");
const QString kStart = QStringLiteral("Ativar slide show");
const QString kStop = QStringLiteral("Parar slide show");

LinkLabel *hiddenLink(const char *name, const QString &text, QWidget *parent)
{
    LinkLabel *link = namedLink(name, text, parent);
    link->hide(); // hidden as laid out
    return link;
}

// A JPEG cut short still decodes (the missing part comes out grey); only one that ends
// with its end-of-image marker is whole.
bool jpegIsWhole(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 4)
        return false;
    const qint64 tail = qMin<qint64>(f.size(), 4096);
    f.seek(f.size() - tail);
    return f.read(tail).contains("\xFF\xD9");
}

} // namespace

SlideShow::SlideShow(const Paths &paths, Services &services, QWidget *page, QWidget *panel,
                     QWidget *trackList, QWidget *links)
    : QObject(page)
    , m_paths(paths)
    , m_services(services)
    , m_trackList(trackList)
{
    setObjectName(QStringLiteral("slideShow"));
    fl1 = new FileListBox(QString::fromLatin1(kPictureMask), page);
    fl1->setObjectName(QStringLiteral("fl1"));
    fl1->hide();

    FT = new QLabel(panel);
    FT->setObjectName(QStringLiteral("FT"));
    FT->setScaledContents(true); // stretched over the whole area, not proportional
    FT->setMinimumSize(1, 1);
    FT->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    FT->hide();
    q10 = new QLabel(panel);
    q10->setObjectName(QStringLiteral("q10"));
    q10->setFixedWidth(1);
    q10->hide();
    if (QLayout *layout = panel->layout()) {
        layout->addWidget(FT);
        layout->addWidget(q10);
    }

    atv = hiddenLink("atv", QStringLiteral("Imagens para slide show"), links);
    ATVS = hiddenLink("ATVS", kStart, links);
    atv1 = hiddenLink("atv1", QStringLiteral("Pausar slide"), links);
    PB = new QFrame(links);
    PB->setObjectName(QStringLiteral("PB"));
    PB->setFixedSize(10, 10);
    PB->setAutoFillBackground(true);
    PB->hide();
    if (QLayout *layout = links->layout()) {
        for (QWidget *w : {static_cast<QWidget *>(atv), static_cast<QWidget *>(ATVS),
                           static_cast<QWidget *>(atv1), static_cast<QWidget *>(PB)})
            layout->addWidget(w);
    }
    connect(atv, &LinkLabel::clicked, this, &SlideShow::atvClick);
    connect(ATVS, &LinkLabel::clicked, this, &SlideShow::ATVSClick);
    connect(atv1, &LinkLabel::clicked, this, &SlideShow::atv1Click);

    TMS.setObjectName(QStringLiteral("TMS"));
    TMS.setInterval(kInterval);
    connect(&TMS, &QTimer::timeout, this, &SlideShow::TMSTimer);
    paintIndicator();
}

bool SlideShow::isRunning() const
{
    return ATVS->text() == kStop;
}

QImage SlideShow::readPicture(const QString &path, const QSize &size)
{
    if (!QFileInfo(path).isFile())
        return {};
    // Qt's allocation limit stays as it is: a picture too large for it is a bad picture.
    QImageReader reader(path);
    if (size.isValid() && !size.isEmpty())
        reader.setScaledSize(size);
    const QByteArray format = reader.format();
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (format == "jpeg" && !jpegIsWhole(path))
        return {};
    return image;
}

void SlideShow::atvClick()
{
    const QString chosen = m_services.dialogs.openFile(QString(), QString(), kPictureFilter);
    if (chosen.isEmpty())
        return;
    const QFileInfo file(chosen);
    if (file.suffix().isEmpty())
        return;
    const QString folder = file.absolutePath();
    fl1->setDirectory(folder);
    QString line = QDir::toNativeSeparators(folder);
    if (!line.endsWith(QDir::separator()))
        line += QDir::separator();
    m_list.lines() = QStringList{line};
    // The folder is shown all the same; a list file that could not follow is logged by the
    // store and the folder is asked for again at the next start.
    const WriteResult saved = m_list.save(m_paths.resolve(kSlideList));
    Q_UNUSED(saved)
}

void SlideShow::LoadSlides()
{
    m_list.clear();
    if (m_list.load(m_paths.resolve(kSlideList)) != TextList::LoadResult::Loaded)
        return;
    const QString folder = m_list.lines().value(0);
    fl1->setDirectory(QDir::isAbsolutePath(folder) ? folder : QString());
}

void SlideShow::ATVSClick()
{
    fl1->setCurrentRow(fl1->count() > 0 ? 0 : -1);
    if (!isRunning()) {
        FT->show();
        q10->show();
        m_trackList->hide();
        // FT takes its place now, so the first picture is decoded at its real size.
        if (QLayout *layout = FT->parentWidget()->layout())
            layout->activate();
        TMS.start();
        ATVS->setText(kStop);
        if (fl1->count() == 0)
            FT->clear(); // nothing to show
        showSelected();
    } else {
        FT->hide();
        q10->hide();
        TMS.stop();
        m_trackList->show();
        ATVS->setText(kStart);
    }
}

void SlideShow::atv1Click()
{
    if (!m_trackList->isHidden())
        return;
    if (TMS.isActive())
        TMS.stop();
    else
        TMS.start();
}

void SlideShow::TMSTimer()
{
    if (fl1->count() == 0)
        return;
    const int current = fl1->currentRow();
    fl1->setCurrentRow(current >= fl1->count() - 1 ? 0 : current + 1);
    showSelected();
}

void SlideShow::showSelected()
{
    const QString path = fl1->selectedPath();
    if (path.isEmpty())
        return;
    const QImage picture = readPicture(path, FT->size());
    if (!picture.isNull())
        FT->setPixmap(QPixmap::fromImage(picture));
}

void SlideShow::paintIndicator()
{
    QPalette palette = PB->palette();
    palette.setColor(QPalette::Window, QColor(TMS.isActive() ? kRunningColour : kStoppedColour));
    PB->setPalette(palette);
}

} // namespace zorv

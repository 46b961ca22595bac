#include "tats.h"

#include "guarded.h"
#include "tops.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

namespace zorv {

namespace {

// Sheet names of the pages, in page order.
const char *const sheetNames[TATS::pageCount] = {
    "TabSheet1", "TabSheet9",  "TabSheet2", "TabSheet3",  "TabSheet4",  "TabSheet5",
    "TabSheet6", "TabSheet10", "Tel",       "TabSheet11", "TabSheet13", "TabSheet7",
};

QColor fromWindowsColour(unsigned bgr)
{
    return QColor(int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff));
}

// The close picture of the header: a click closes the window.
class ClosePicture : public QLabel
{
public:
    explicit ClosePicture(QWidget *window, QWidget *parent)
        : QLabel(parent)
        , m_window(window)
    {
        setText(QStringLiteral("\u2715"));
        setAlignment(Qt::AlignCenter);
        setFixedSize(39, 21);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent *) override { m_window->close(); }

private:
    QWidget *m_window;
};

QRect screenRect(const QWidget *w)
{
    const QScreen *screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

} // namespace

TATS::TATS(Services &services, const Paths &paths, TOPS &tops, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_services(services)
    , m_paths(paths)
    , m_tops(tops)
{
    setObjectName(QStringLiteral("TATS"));
    setWindowTitle(QStringLiteral("Zorv Desk Plus"));
    buildLayout();

    TrayIcon1 = new QSystemTrayIcon(QIcon(QStringLiteral(":/zorv/zorv-desk.png")), this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->setToolTip(QStringLiteral("Zorv Desk - Finance"));
    connect(TrayIcon1, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            TrayIcon1Click();
    });

    Timer2.setObjectName(QStringLiteral("Timer2"));
    Timer2.setInterval(timer2Interval);
    connect(&Timer2, &QTimer::timeout, this, &TATS::Timer2Timer);

    if (qApp)
        qApp->installEventFilter(this);
    FormCreate();
}

TATS::~TATS() = default;

void TATS::buildLayout()
{
    QPalette pal = palette();
    const QColor colour = fromWindowsColour(windowColour);
    pal.setColor(QPalette::Window, colour);
    pal.setColor(QPalette::WindowText, colour);
    setPalette(pal);
    setAutoFillBackground(true);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto *Topo = new QWidget(this);
    Topo->setObjectName(QStringLiteral("Topo"));
    Topo->setFixedHeight(49);
    auto *header = new QHBoxLayout(Topo);
    header->setContentsMargins(14, 6, 6, 0);
    auto *Logo = new QLabel(Topo);
    Logo->setObjectName(QStringLiteral("Logo"));
    Logo->setPixmap(QIcon(QStringLiteral(":/zorv/zorv-desk.png")).pixmap(32, 32));
    header->addWidget(Logo, 0, Qt::AlignLeft | Qt::AlignTop);
    header->addStretch(1);
    auto *IBT = new ClosePicture(this, Topo);
    IBT->setObjectName(QStringLiteral("IBT"));
    IBT->setStyleSheet(QStringLiteral("color: white;"));
    header->addWidget(IBT, 0, Qt::AlignRight | Qt::AlignTop);
    outer->addWidget(Topo);

    auto *PDG = new QWidget(this);
    PDG->setObjectName(QStringLiteral("PDG"));
    auto *content = new QVBoxLayout(PDG);
    content->setContentsMargins(0, 0, 0, 0);
    xPG = new QStackedWidget(PDG);
    xPG->setObjectName(QStringLiteral("xPG"));
    xPG->setFocusPolicy(Qt::NoFocus);
    for (int i = 0; i < pageCount; ++i) {
        auto *sheet = new QWidget(xPG);
        sheet->setObjectName(QString::fromLatin1(sheetNames[i]));
        auto *layout = new QVBoxLayout(sheet);
        layout->setContentsMargins(0, 0, 0, 0);
        xPG->addWidget(sheet);
    }
    // Until the finance page is built, its sheet names what will be there.
    auto *placeholder = new QLabel(QStringLiteral("Minhas finan\u00e7as"), sheet(financePage));
    placeholder->setObjectName(QStringLiteral("financePlaceholder"));
    placeholder->setAlignment(Qt::AlignCenter);
    placeholder->setStyleSheet(QStringLiteral("color: #c0c0c0; font-size: 18pt;"));
    sheet(financePage)->layout()->addWidget(placeholder);
    content->addWidget(xPG);
    outer->addWidget(PDG, 1);

    auto *Panel10 = new QWidget(this);
    Panel10->setObjectName(QStringLiteral("Panel10"));
    Panel10->setFixedHeight(37);
    outer->addWidget(Panel10);
}

void TATS::FormCreate()
{
    guarded([&] {
        const QRect screen = screenRect(this);
        setGeometry(screen.x(), 0, screen.width(), qMax(1, screen.height() - 54));
        hide();
        // No task-bar entry: Qt::Tool for every platform; on X11 the skip-taskbar state is
        // set as well before the window is first mapped.
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            X11Display().setSkipTaskbar(winId());
        xPG->setCurrentIndex(0);
    });
    // The tray icon is there from creation; the companion watch starts with it. On X11 it
    // is shown even while no tray host runs yet: it docks as soon as one appears.
    guarded([&] {
        if (QSystemTrayIcon::isSystemTrayAvailable() ||
            QGuiApplication::platformName() == QLatin1String("xcb"))
            TrayIcon1->show();
    });
    Timer2.start();
}

QWidget *TATS::sheet(int index) const
{
    return index >= 0 && index < pageCount ? xPG->widget(index) : nullptr;
}

void TATS::setPage(int index, QWidget *page)
{
    QWidget *target = sheet(index);
    if (!target || !page)
        return;
    QLayout *layout = target->layout();
    while (QLayoutItem *item = layout->takeAt(0)) {
        if (QWidget *old = item->widget())
            old->deleteLater();
        delete item;
    }
    page->setParent(target);
    layout->addWidget(page);
}

int TATS::currentPage() const
{
    return xPG->currentIndex();
}

void TATS::addCloseStep(std::function<void()> step)
{
    m_closeSteps.append(std::move(step));
}

void TATS::addShowStep(std::function<void()> step)
{
    m_showSteps.append(std::move(step));
}

void TATS::addTimer2Step(std::function<void()> step)
{
    m_timer2Steps.append(std::move(step));
}

void TATS::ShowSuite()
{
    guarded([&] {
        show();
        FormShow();
    });
}

void TATS::TrayIcon1Click()
{
    ShowSuite();
}

void TATS::FormShow()
{
    guarded([&] {
        setGeometry(screenRect(this));
        raise();
        activateWindow();
        xPG->setCurrentIndex(financePage);
    });
    for (const auto &step : m_showSteps)
        guarded(step);
}

void TATS::Timer2Timer()
{
    bool present = true;
    guarded([&] { present = m_services.companion.isPresent(); });
    if (!present) {
        // Typed text must not be lost when the companion goes away while the window
        // shows: close it first, so its close step saves, then end.
        if (isVisible())
            guarded([&] { close(); });
        m_tops.Sai();
        return;
    }
    for (const auto &step : m_timer2Steps)
        guarded(step);
}

void TATS::FormClose()
{
    for (const auto &step : m_closeSteps)
        guarded(step);
}

void TATS::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept(); // hidden, not destroyed
}

bool TATS::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    if (static_cast<QWidget *>(watched)->window() != this)
        return false;
    if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        guarded([&] { close(); });
        return true;
    }
    return false;
}

} // namespace zorv

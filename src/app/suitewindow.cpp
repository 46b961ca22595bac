#include "suitewindow.h"

#include "controls/linklabel.h"
#include "filedrop.h"
#include "fullsuite.h"
#include "guarded.h"
#include "hiddenmainwindow.h"
#include "interfacecolour.h"
#include "listscrolling.h"
#include "pagebar.h"
#include "pagemenu.h"
#include "platform/osgeneration.h"
#include "platform/x11windows.h"
#include "store/flagfile.h"
#include "store/textlist.h"
#include "suiteframe.h"
#include "taskbarwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

namespace zorv {

namespace {

// Sheet names of the pages, in page order.
const char *const sheetNames[SuiteWindow::pageCount] = {
    "TabSheet1", "TabSheet9",  "TabSheet2", "TabSheet3",  "TabSheet4",  "TabSheet5",
    "TabSheet6", "TabSheet10", "Tel",       "TabSheet11", "TabSheet13", "TabSheet7",
};

// Pages whose sheets keep their content hidden even when selected: shortcut center,
// aliases, word lookup, personal trainer, settings.
constexpr int unusedSheets[] = {0, 1, 9, 10, 11};

const QString kColourFile = QStringLiteral("dados\\interface.col");
const QString kSoundFile = QStringLiteral("Dados\\Media\\Typing.wav");
const QString kNoFadeFile = QStringLiteral("Dados\\Open.imd");

QRect screenRect(const QWidget *w)
{
    const QScreen *screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

} // namespace

bool ForceForeground(QWidget *window)
{
    if (!window)
        return false;
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    if (window->isActiveWindow())
        return true;
    window->raise();
    window->activateWindow();
    return window->isActiveWindow();
}

SuiteWindow::SuiteWindow(Services &services, const Paths &paths, HiddenMainWindow &tops, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_services(services)
    , m_paths(paths)
    , m_tops(tops)
{
    setObjectName(QStringLiteral("TATS"));
    m_alphaStep = alphaStepFor(runningOsGenerationName());
    setWindowTitle(QStringLiteral("Zorv Desk Plus"));
    buildLayout();
    buildPageMenu(*this, tops);

    TrayIcon1 = new QSystemTrayIcon(QIcon(QStringLiteral(":/zorv/zorv-desk.png")), this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->setToolTip(QStringLiteral("Zorv Desk - Finance"));
    connect(TrayIcon1, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            TrayIcon1Click();
    });

    Timer2.setObjectName(QStringLiteral("Timer2"));
    Timer2.setInterval(timer2Interval);
    connect(&Timer2, &QTimer::timeout, this, &SuiteWindow::Timer2Timer);
    Alpha.setObjectName(QStringLiteral("Alpha"));
    Alpha.setInterval(alphaInterval);
    connect(&Alpha, &QTimer::timeout, this, &SuiteWindow::AlphaTimer);
    TMF.setObjectName(QStringLiteral("TMF"));
    TMF.setInterval(followUpInterval);
    TMF.setSingleShot(true);
    connect(&TMF, &QTimer::timeout, this, &SuiteWindow::TMFTimer);
    TMTT.setObjectName(QStringLiteral("TMTT"));
    TMTT.setInterval(followUpInterval);
    TMTT.setSingleShot(true);
    connect(&TMTT, &QTimer::timeout, this, &SuiteWindow::TMTTTimer);

    // The page guard: a page chosen by any means but the program's goes back to page 6,
    // unless the full suite lets every page be chosen.
    connect(xPG, &QStackedWidget::currentChanged, this, [this](int index) {
        if (!m_selectingPage && index != financePage && !fullSuite())
            selectPage(financePage);
    });
    m_fullSuite = new FullSuite(*this, paths);
    connect(pageBar, &PageBar::pageChosen, this, &SuiteWindow::choosePage);
    connect(xPG, &QStackedWidget::currentChanged, pageBar, &PageBar::setCurrentPage);

    registerOwnSteps();
    if (qApp)
        qApp->installEventFilter(this);
}

SuiteWindow::~SuiteWindow() = default;

int SuiteWindow::alphaStepFor(const QString &generation)
{
    return generation == QLatin1String("XP") ? 60 : 30;
}

void SuiteWindow::buildLayout()
{
    setFont(suiteFont());
    setAutoFillBackground(true);
    applyColour(colourFromBgr(windowColour));

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto *header = new HeaderPicture(this);
    Topo = header;
    Topo->setObjectName(QStringLiteral("Topo"));
    Topo->setPixmap(QPixmap(QStringLiteral(":/zorv/header.png")));
    Topo->setScaledContents(true);
    Topo->setFixedHeight(49);
    Topo->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    Logo = new QLabel(Topo);
    Logo->setObjectName(QStringLiteral("Logo"));
    Logo->setPixmap(QPixmap(QStringLiteral(":/zorv/logo.png")));
    Logo->adjustSize();
    Logo->move(14, 10);
    IBT = new ClosePicture(this, Topo);
    IBT->setObjectName(QStringLiteral("IBT"));
    header->rightPicture = IBT;
    outer->addWidget(Topo);

    PDG = new QWidget(this);
    PDG->setObjectName(QStringLiteral("PDG"));
    auto *content = new QVBoxLayout(PDG);
    // The pages begin below the strip PNN, where the row of page buttons would be.
    content->setContentsMargins(0, 30, 0, 0);
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

    PNN = new QWidget(PDG); // made after xPG, so it lies over it
    PNN->setObjectName(QStringLiteral("PNN"));
    PNN->setAutoFillBackground(true);
    auto *strip = new QVBoxLayout(PNN);
    strip->setContentsMargins(0, 4, 0, 0); // the strip's top 4 pixels lie above PDG
    strip->setSpacing(0);
    pageBar = new PageBar(PNN);
    pageBar->hide();
    strip->addWidget(pageBar);
    strip->addStretch(1);
    q2 = new QLabel(PNN);
    q2->setObjectName(QStringLiteral("q2"));
    q2->setFixedHeight(1);
    q2->setScaledContents(true);
    QPixmap line(1, 1);
    line.fill(QColor(0x2a, 0x6a, 0xa6));
    q2->setPixmap(line);
    strip->addWidget(q2);
    PNN->setGeometry(0, -4, screenRect(this).width(), 34);
    outer->addWidget(PDG, 1);

    Panel10 = new QWidget(this);
    Panel10->setObjectName(QStringLiteral("Panel10"));
    Panel10->setFixedHeight(37);
    auto *bottom = new QHBoxLayout(Panel10);
    bottom->setContentsMargins(0, 0, 0, 0);
    pm2 = new LinkLabel(QStringLiteral("Sess\u00f5es"), Panel10);
    pm2->setObjectName(QStringLiteral("pm2"));
    pm2->hide(); // only the full suite shows it
    bottom->addWidget(pm2);
    connect(pm2, &LinkLabel::clicked, this, &SuiteWindow::pm2Click);
    outer->addWidget(Panel10);
}

// The window's own share of the steps. Pages add theirs into the same slots later, so
// within a slot the window's work comes first.
void SuiteWindow::registerOwnSteps()
{
    addCreateStep(CreateStep::InterfaceColour, [this] { applyInterfaceColourFile(); });
    addCreateStep(CreateStep::Geometry, [this] {
        const QRect screen = screenRect(this);
        setGeometry(screen.x(), 0, screen.width(), qMax(1, screen.height() - 54));
        hide();
        // No task-bar entry: Qt::Tool for every platform; on X11 the skip-taskbar state is
        // set as well before the window is first mapped.
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            X11Display().setSkipTaskbar(winId());
    });
    addCreateStep(CreateStep::Panels, [this] { PNN->resize(screenRect(this).width(), 34); });
    addCreateStep(CreateStep::ProgramFilter, [this] {
        m_tops.FC->setTag(flagFileExists(m_paths.windowsFile(kProgramFilterFlag)) ? 5 : 0);
    });
    addCreateStep(CreateStep::PageStrip, [this] {
        PNN->move(0, -4);
        PNN->raise();
        selectPage(0);
    });
    addCreateStep(CreateStep::ListHooks, [this] { hideScrollBars(this); });

    addShowStep(ShowStep::FullScreen, [this] { setGeometry(screenRect(this)); });
    addShowStep(ShowStep::Foreground, [this] { ForceForeground(this); });
    addShowStep(ShowStep::UnusedSheets, [this] { setUnusedSheetsShown(fullSuite()); });
    addShowStep(ShowStep::Dividers, [this] { Colors(); });
    addShowStep(ShowStep::InterfaceColour, [this] { applyInterfaceColourFile(); });
    addShowStep(ShowStep::Sound, [this] {
        const QString path = m_paths.resolve(kSoundFile);
        if (QFileInfo(path).isFile())
            m_services.sound.play(path);
    });
    addShowStep(ShowStep::FinanceInFront, [this] { selectPage(financePage); });
    addShowStep(ShowStep::FadeIn, [this] {
        setAlpha(0);
        Alpha.start();
    });
    // ShowStep::ContentPanel needs nothing of the window: PDG's place in the layout keeps
    // it between the header and the bottom panel, full width, at every size.
    // The full suite is a window among others: it leaves the rest of the desktop as it is.
    addShowStep(ShowStep::MinimiseAll, [this] {
        if (m_taa1 && !fullSuite())
            m_taa1->Mini();
    });

    addAfterFadeStep(AfterFadeStep::Foreground, [this] { ForceForeground(this); });
}

void SuiteWindow::FormCreate()
{
    if (m_created)
        return;
    m_created = true;
    m_createSteps.run();
    m_fullSuite->refresh();
    // The tray icon is there from creation; the companion watch starts with it. On X11 it
    // is shown even while no tray host runs yet: it docks as soon as one appears.
    guarded([&] {
        if (QSystemTrayIcon::isSystemTrayAvailable() ||
            QGuiApplication::platformName() == QLatin1String("xcb"))
            TrayIcon1->show();
    });
    Timer2.start();
}

QWidget *SuiteWindow::sheet(int index) const
{
    return index >= 0 && index < pageCount ? xPG->widget(index) : nullptr;
}

void SuiteWindow::setPage(int index, QWidget *page)
{
    Q_ASSERT(index >= 0 && index < pageCount);
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
    if (m_created) // placed after the create step: its lists are hooked now
        hideScrollBars(page);
}

int SuiteWindow::currentPage() const
{
    return xPG->currentIndex();
}

void SuiteWindow::selectPage(int index)
{
    Q_ASSERT(index >= 0 && index < pageCount);
    const bool wasSelecting = m_selectingPage;
    m_selectingPage = true;
    xPG->setCurrentIndex(index);
    m_selectingPage = wasSelecting;
}

void SuiteWindow::addCreateStep(CreateStep slot, std::function<void()> step)
{
    m_createSteps.add(slot, std::move(step));
}

void SuiteWindow::addShowStep(ShowStep slot, std::function<void()> step)
{
    m_showSteps.add(slot, std::move(step));
}

void SuiteWindow::addAfterFadeStep(AfterFadeStep slot, std::function<void()> step)
{
    m_afterFadeSteps.add(slot, std::move(step));
}

void SuiteWindow::addCloseStep(CloseStep slot, std::function<void()> step)
{
    m_closeSteps.add(slot, std::move(step));
}

void SuiteWindow::addTimer2Step(std::function<void()> step)
{
    m_timer2Steps.append(std::move(step));
}

void SuiteWindow::setFocusField(int page, QWidget *field)
{
    if (page >= 0 && page < pageCount)
        m_focusFields[size_t(page)] = field;
}

void SuiteWindow::setFileDropHandler(std::function<void(const QStringList &)> handler)
{
    m_dropFiles = std::move(handler);
    // Drops over controls that take none reach the window itself.
    setAcceptDrops(bool(m_dropFiles));
}

void SuiteWindow::addMenuRule(QMenu *menu, QAction *action, std::function<bool()> enabled)
{
    if (!menu || !action || !enabled)
        return;
    bool known = false;
    for (const MenuRule &rule : std::as_const(m_menuRules))
        known = known || rule.menu == menu;
    m_menuRules.append({menu, action, std::move(enabled)});
    if (!known)
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { enableMenuEntries(menu); });
}

void SuiteWindow::enableMenuEntries(QMenu *menu)
{
    for (const MenuRule &rule : std::as_const(m_menuRules)) {
        if (rule.menu != menu || !rule.action)
            continue;
        bool enabled = false;
        guarded([&] { enabled = rule.enabled(); });
        rule.action->setEnabled(enabled);
    }
}

void SuiteWindow::showWindow()
{
    if (!isVisible()) {
        // Invisible until the fade-in starts, and already in place: nothing flashes.
        setAlpha(0);
        setGeometry(screenRect(this));
        show();
    }
    FormShow();
}

void SuiteWindow::ShowSuite()
{
    guarded([&] { showWindow(); });
    guarded([&] {
        selectPage(financePage);
        TMF.start();
    });
}

void SuiteWindow::TrayIcon1Click()
{
    ShowSuite();
}

void SuiteWindow::openPage(int index)
{
    ForceForeground(this);
    if (!isVisible())
        showWindow();
    selectPage(index);
    // While the fade-in runs, its end gives the focus.
    if (fullSuite() && !Alpha.isActive())
        focusPageField(index);
}

void SuiteWindow::choosePage(int index)
{
    if (index < 0 || index >= pageCount)
        return;
    selectPage(index);
    focusPageField(index);
}

void SuiteWindow::focusPageField(int page)
{
    if (page >= 0 && page < pageCount && m_focusFields[size_t(page)])
        m_focusFields[size_t(page)]->setFocus(Qt::OtherFocusReason);
}

bool SuiteWindow::fullSuite() const
{
    return m_fullSuite && m_fullSuite->isOn();
}

void SuiteWindow::setUnusedSheetsShown(bool shown)
{
    for (int index : unusedSheets) {
        Q_ASSERT(sheet(index));
        for (QWidget *w : sheet(index)->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            w->setVisible(shown);
    }
}

void SuiteWindow::pm2Click()
{
    // Opened from the keyboard, the menu opens at the link rather than at the pointer.
    const QPoint at = pm2->underMouse() ? QCursor::pos() : pm2->mapToGlobal(QPoint(0, 0));
    PopupMenu1->popup(at - QPoint(105, 15));
}

void SuiteWindow::quitFromTray()
{
    closeAndSave();
    guarded([&] { m_services.companion.requestEnd(); });
    m_tops.Sai();
}

void SuiteWindow::FormShow()
{
    m_fullSuite->refresh();
    m_showSteps.run();
}

void SuiteWindow::LoadAll()
{
    m_showSteps.run(ShowStep::LoadFirst, ShowStep::LoadLast);
}

void SuiteWindow::Colors()
{
    blankDividers(this, m_tops.a2->pixmap(), m_tops.a10->pixmap());
}

void SuiteWindow::applyInterfaceColourFile()
{
    TextList file;
    if (file.load(m_paths.resolve(kColourFile)) != TextList::LoadResult::Loaded || file.lines().isEmpty())
        return;
    // A line that names no colour keeps the colour there is.
    if (const auto colour = colourFromText(file.lines().first(), QGuiApplication::palette()))
        applyColour(*colour);
}

void SuiteWindow::applyColour(const QColor &colour)
{
    m_colour = colour;
    applyWindowColour(this, colour);
}

void SuiteWindow::setAlpha(int alpha)
{
    m_alpha = qBound(0, alpha, 255);
    setWindowOpacity(m_alpha / 255.0);
}

void SuiteWindow::AlphaTimer()
{
    guarded([&] {
        if (flagFileExists(m_paths.resolve(kNoFadeFile)) || m_alpha >= alphaFinal) {
            Alpha.stop();
            setAlpha(alphaFinal);
            focusPageField(currentPage());
            TMTT.start();
            TMF.start();
            return;
        }
        setAlpha(m_alpha + m_alphaStep);
    });
}

void SuiteWindow::TMFTimer()
{
    TMF.stop();
    // Foreground and active, so typing goes to the focused field straight away. Nothing is
    // typed into that field on the user's behalf: the amount field drops a typed space, so
    // a Backspace after it would take the user's own last character.
    guarded([&] {
        raise();
        activateWindow();
    });
}

void SuiteWindow::TMTTTimer()
{
    TMTT.stop();
    m_afterFadeSteps.run();
}

void SuiteWindow::Timer2Timer()
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

void SuiteWindow::FormClose()
{
    // Nothing of the fade-in or its follow-ups runs on for a hidden window.
    Alpha.stop();
    TMF.stop();
    TMTT.stop();
    m_closeSteps.run();
}

void SuiteWindow::closeAndSave()
{
    if (isVisible()) {
        guarded([&] { close(); });
        return;
    }
    m_closeSteps.run();
}

void SuiteWindow::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept(); // hidden, not destroyed
}

bool SuiteWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        // Seen here once per notch, where it reaches the window, before the control under
        // the pointer; left unhandled so that control scrolls as well.
        if (watched == windowHandle())
            guarded([&] { m_wheel.turn(static_cast<QWheelEvent *>(event)->angleDelta().y(), this); });
        return false;
    }
    if ((event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
         event->type() == QEvent::Drop) &&
        m_dropFiles && watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == this)
        return takeFileDrop(event, m_dropFiles);
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    if (static_cast<QWidget *>(watched)->window() != this)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Escape) {
        guarded([&] { close(); });
        return true;
    }
    if (fullSuite()) {
        const int page = pageForKey(key->key(), key->modifiers(), currentPage());
        if (page >= 0) {
            guarded([&] { choosePage(page); });
            return true;
        }
    }
    return false;
}

} // namespace zorv

#include "hiddenmainwindow.h"

#include "guarded.h"

#include <QApplication>
#include <QListWidget>
#include <QProxyStyle>

namespace zorv {

namespace {

// Hints appear once the pointer has rested 1500 ms; Qt already keeps a hint up for about
// ten seconds.
class HintTimingStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay)
            return 1500;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

HiddenMainWindow::HiddenMainWindow(Services &services, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_services(services)
    , m_halt([](int code) { QCoreApplication::exit(code); })
{
    setObjectName(QStringLiteral("TOPS"));
    setWindowTitle(QStringLiteral("Zorv Ledger Pro"));
    // Should anything ever show this window, it still must not reach the screen.
    setAttribute(Qt::WA_DontShowOnScreen);

    LBS = new QListWidget(this);
    LBS->setObjectName(QStringLiteral("LBS"));
    FC = new TagLabel(this);
    FC->setObjectName(QStringLiteral("FC"));
    Comp = new TagLabel(this);
    Comp->setObjectName(QStringLiteral("Comp"));
    a2 = new QLabel(this);
    a2->setObjectName(QStringLiteral("a2"));
    a10 = new QLabel(this);
    a10->setObjectName(QStringLiteral("a10"));
    for (QWidget *w : {static_cast<QWidget *>(LBS), static_cast<QWidget *>(FC), static_cast<QWidget *>(Comp),
                       static_cast<QWidget *>(a2), static_cast<QWidget *>(a10)})
        w->hide();

    for (int i = 1; i <= 14; ++i) {
        q.append(new QLabel(this));
        q.last()->setObjectName(QStringLiteral("q%1").arg(i));
    }
    for (int i = 1; i <= 7; ++i) {
        x.append(new QLabel(this));
        x.last()->setObjectName(QStringLiteral("x%1").arg(i));
    }

    MEM.setObjectName(QStringLiteral("MEM"));
    MEM.setInterval(memInterval);
    connect(&MEM, &QTimer::timeout, this, &HiddenMainWindow::MEMTimer);

    guarded([&] {
        setGeometry(10000, 10000, 1, 0);
        if (qApp && !dynamic_cast<HintTimingStyle *>(QApplication::style()))
            QApplication::setStyle(new HintTimingStyle);
    });
}

void HiddenMainWindow::setIconSlotsShown(bool shown)
{
    m_iconSlotsShown = shown;
    for (QLabel *slot : q + x)
        slot->setVisible(shown);
}

void HiddenMainWindow::FormShow()
{
    guarded([&] {
        move(0, 0);
        MEM.setInterval(memInterval);
        MEM.start();
    });
}

void HiddenMainWindow::MEMTimer()
{
    guarded([&] { m_services.memory.trim(); });
}

void HiddenMainWindow::Sai()
{
    guarded([&] {
        emit halting();
        m_halt(0);
    });
}

} // namespace zorv

// The yardstick for start-up time: the least a Qt Widgets program does to put a window on
// the screen.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("zorv-bench-minimal"));
    window.resize(320, 200);
    window.show();
    return app.exec();
}

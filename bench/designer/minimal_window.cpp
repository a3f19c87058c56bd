// Baseline for start-up: the smallest Qt Widgets program that shows a window.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget w;
    w.resize(754, 487);
    w.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}

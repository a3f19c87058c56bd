// sleeveguide, the instructions program: shows the suite's user guide.

#include "fonts.h"
#include "guideviewer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextBrowser>
#include <QTextStream>

#include <cstring>

namespace {

// --quit-when-shown, for start-up measurements: ends once the first page has
// been painted, pictures in view and all (the rest of the guide would follow).
class GuideQuitWhenPainted : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // exit(), not quit(): the window stays until the page is on the screen.
        if (event->type() == QEvent::Paint)
            QCoreApplication::exit(0);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char **argv)
{
    // --markdown prints the built-in guide, for reading in a terminal; no
    // display is needed for it.
    if (argc == 2 && std::strcmp(argv[1], "--markdown") == 0) {
        QCoreApplication app(argc, argv);
        const QString text = GuideViewer::GuideText();
        QTextStream(stdout) << text;
        return text.isEmpty() ? 1 : 0;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        QTextStream(stdout) << "Usage: sleeveguide [--markdown]\n"
                               "Shows the Quirewell user guide.\n"
                               "  --markdown  print the guide as Markdown and exit\n";
        return 0;
    }

    fonts::PrepareEnvironment();
    QApplication app(argc, argv);
    fonts::InstallSubstitutions();
    QApplication::setApplicationName(QStringLiteral("sleeveguide"));
    QGuiApplication::setDesktopFileName(QStringLiteral("sleeveguide"));

    GuideViewer viewer(GuideViewer::Opening::FirstPageFirst);
    GuideQuitWhenPainted quitter;
    if (argc == 2 && std::strcmp(argv[1], "--quit-when-shown") == 0)
        viewer.browser()->viewport()->installEventFilter(&quitter);
    viewer.show();
    return app.exec();
}

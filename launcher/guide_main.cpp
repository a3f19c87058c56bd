// sleeveguide, the instructions program: shows the suite's user guide.

#include "fonts.h"
#include "guideviewer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

#include <cstring>

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

    GuideViewer viewer;
    viewer.show();
    return app.exec();
}

// sleeveart: writes the suite's desktop icons as PNG files into a hicolor
// theme tree, from the same drawings the programs use. Run at build time;
// not installed.

#include "artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

int main(int argc, char **argv)
{
    // Drawing needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "Usage: sleeveart OUTPUT_DIR\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const artwork::Program apps[] = {artwork::Program::Launcher, artwork::Program::Designer,
                                     artwork::Program::Indexer, artwork::Program::Guide};
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("hicolor/%1x%1").arg(size);
        if (!out.mkpath(dir + QStringLiteral("/apps")) || !out.mkpath(dir + QStringLiteral("/mimetypes")))
            return 1;
        for (const auto program : apps) {
            const QString file = out.filePath(
                QStringLiteral("%1/apps/%2.png").arg(dir, QLatin1String(artwork::IconName(program))));
            if (!artwork::Icon(program, size).save(file, "PNG"))
                return 1;
        }
        const QString doc =
            out.filePath(dir + QStringLiteral("/mimetypes/application-x-quirewell-design.png"));
        if (!artwork::DesignFileIcon(size).save(doc, "PNG"))
            return 1;
    }
    return 0;
}

#include "command_line.h"

#include <QFileInfo>
#include <QLabel>
#include <QTextStream>

#include "cover_elements.h"
#include "design.h"
#include "designfile.h"
#include "secondary_windows.h"

namespace commandline {

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

void say(const QString &line)
{
    err() << "sleevedesk: " << line << Qt::endl;
}

// Pictures the design names that the loaded cover does not show, each with a
// warning line; true when there were none.
bool picturesComplete(const Design &d, const designfile::Records &r)
{
    const struct {
        int record;
        const CoverImage *image;
    } pictures[] = {{14, d.Image1}, {17, d.Image2}, {18, d.Image3}};
    bool complete = true;
    for (const auto &s : pictures) {
        const QString path = designfile::Text(r, s.record);
        if (path.isEmpty() || s.image->HasPicture())
            continue;
        complete = false;
        QString why;
        // Open stops at the first picture it cannot load: the later ones may be fine.
        if (!DecodePicture(path, QSize(1, 1), nullptr, &why).isNull())
            why = QStringLiteral("a picture before it could not be loaded.");
        say(QStringLiteral("warning: the picture %1 is left out: %2").arg(path, why));
    }
    return complete;
}

} // namespace

void QuietPlatformNotes()
{
    // The offscreen platform notes window operations it cannot do (raising the
    // loading window), and Qt a missing runtime folder that nothing here uses:
    // stderr is for reasons and warnings of our own.
    static const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (type == QtWarningMsg &&
                (message.startsWith(QLatin1String("This plugin does not support")) ||
                 message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))))
                return;
            previous(type, context, message);
        });
}

int Run(const Job &job)
{
    Design d;
    // The windows Open shows while loading stay off the screen.
    for (QWidget *w : std::initializer_list<QWidget *>{d.WaitForm(), d.ErrorForm()})
        w->setAttribute(Qt::WA_DontShowOnScreen);

    const QString path = QFileInfo(job.design).absoluteFilePath();
    QString error;
    const auto records = designfile::Read(path, &error);
    if (!records) {
        say(QStringLiteral("cannot read the design %1: %2").arg(job.design, error));
        return DesignUnreadable;
    }
    d.LoadDesign(path, *records);
    const bool complete = picturesComplete(d, *records);

    switch (job.kind) {
    case Job::Kind::ExportPdf:
    case Job::Kind::ExportPng: {
        const auto format =
            job.kind == Job::Kind::ExportPdf ? Design::ExportFormat::Pdf : Design::ExportFormat::Png;
        if (!d.ExportCover(job.output, format, job.dpi, &error)) {
            say(QStringLiteral("cannot write %1: %2").arg(job.output, error));
            return NotWritten;
        }
        break;
    }
    case Job::Kind::Print:
        if (!d.PrintCover(job.printer, &error)) {
            say(QStringLiteral("nothing was printed: %1").arg(error));
            return NotPrinted;
        }
        break;
    }
    return complete ? Done : PictureMissing;
}

} // namespace commandline

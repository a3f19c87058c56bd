#include "command_line.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextStream>

#include "cover_elements.h"
#include "coverformat.h"
#include "design.h"
#include "designfile.h"
#include "names.h"
#include "secondary_windows.h"
#include "source.h"
#include "trackimportdialog.h"

namespace commandline {

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

void say(const QString &line)
{
    // Paths and entries reach a terminal: its control sequences are shown, not obeyed.
    err() << "sleevedesk: " << names::Readable(line) << Qt::endl;
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

// Reads the track list and writes it into the titles as the import dialog
// would when answered with its defaults (the numbering and lengths as asked).
// False, with the reason said, when no track could be read.
bool importTracks(Design &d, const Job &job)
{
    const tracklist::ReadResult read = tracklist::ReadSource(job.trackSources);
    if (read.tracks.isEmpty()) {
        say(QStringLiteral("cannot read the track list %1: %2")
                .arg(job.trackSources.join(QStringLiteral(", ")),
                     read.error.isEmpty() ? QStringLiteral("No track could be read.") : read.error));
        return false;
    }
    for (const tracklist::Skipped &s : read.skipped)
        say(QStringLiteral("warning: %1 is skipped: %2").arg(s.entry, s.reason));
    TrackImportDialog preview(read, d.Text1->text(), d.Text2->text(), &d);
    preview.setAttribute(Qt::WA_DontShowOnScreen);
    preview.Numbered->setChecked(job.numbered);
    preview.Durations->setChecked(job.durations);
    const tracklist::CoverTexts texts = preview.Result();
    // The dialog asks; a script keeps the first ones and is told.
    if (texts.leftOut > 0)
        say(QStringLiteral("warning: %1 titles read, the first %2 kept, %3 left out")
                .arg(read.tracks.size())
                .arg(read.tracks.size() - texts.leftOut)
                .arg(texts.leftOut));
    d.ApplyTrackImport(texts);
    return true;
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

    QString error;
    bool complete = true;
    if (!job.design.isEmpty()) {
        const QString path = names::Absolute(job.design);
        const auto records = designfile::Read(path, &error);
        if (!records) {
            say(QStringLiteral("cannot read the design %1: %2").arg(job.design, error));
            return DesignUnreadable;
        }
        d.LoadDesign(path, *records);
        complete = picturesComplete(d, *records);
    }
    if (!job.trackSources.isEmpty() && !importTracks(d, job))
        return TracksUnreadable;

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
    case Job::Kind::Save:
        // The Save command's own writer: the old file stays whole if this fails.
        if (!designfile::Write(job.output, d.DesignRecords(), &error)) {
            say(QStringLiteral("cannot write %1: %2").arg(job.output, error));
            return NotWritten;
        }
        break;
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

// Track lists brought in from audio files, a folder, a CUE sheet, a playlist, a text list or an
// audio CD: read, previewed, and written through the titles window's fields as typing is.
#include "design.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>

#include "coverformat.h"
#include "importprogress.h"
#include "source.h"
#include "titles.h"
#include "trackimportdialog.h"

namespace {

// A message lists at most this many of the skipped entries.
constexpr int SkippedInMessage = 8;

void showImportProblem(Design *design, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Warning, QObject::tr("Import Track List"), text, QMessageBox::Ok,
                                design);
    box->setObjectName(QStringLiteral("importProblem"));
    box->setTextFormat(Qt::PlainText); // paths and tags are never markup
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

QString problemText(const tracklist::ReadResult &r)
{
    QStringList lines;
    lines << (r.error.isEmpty() ? QObject::tr("No track could be read.") : r.error);
    for (qsizetype i = 0; i < r.skipped.size() && i < SkippedInMessage; ++i)
        lines << QStringLiteral("%1 \u2014 %2").arg(r.skipped[i].entry, r.skipped[i].reason);
    if (r.skipped.size() > SkippedInMessage)
        lines << QObject::tr("and %1 more").arg(r.skipped.size() - SkippedInMessage);
    return lines.join(u'\n');
}

} // namespace

void Design::ApplyTrackImport(const tracklist::CoverTexts &texts)
{
    // Through the fields, so that each label follows exactly as when the text is typed.
    Titles *titles = TitlesForm();
    for (int n = 1; n <= tracklist::CoverFields; ++n)
        if (const auto &text = texts.fields[size_t(n - 1)])
            titles->Text(n)->setText(*text);
    if (texts.topHeadline)
        Text1->setText(*texts.topHeadline);
    if (texts.bottomHeadline)
        Text2->setText(*texts.bottomHeadline);
    SetValue(Check7, 1);
}

bool Design::ImportTracksFrom(const QStringList &paths)
{
    if (paths.isEmpty())
        return false;
    tracklist::ReadResult read;
    {
        ImportProgress progress(this);
        read = tracklist::ReadSource(paths, progress.Callback());
    }
    if (read.cancelled)
        return false;
    if (read.tracks.isEmpty()) {
        showImportProblem(this, problemText(read));
        return false;
    }
    TrackImportDialog preview(read, Text1->text(), Text2->text(), this);
    if (TrackImportDialog::Answer(preview) != QDialog::Accepted)
        return false;
    ApplyTrackImport(preview.Result());
    return true;
}

bool Design::ChooseAndImportTracks(QWidget *parent)
{
    const QStringList paths = TrackImportDialog::ChooseSources(parent);
    return !paths.isEmpty() && ImportTracksFrom(paths);
}

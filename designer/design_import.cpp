// Track lists brought in from audio files, a folder, a CUE sheet, a playlist, a text list or an
// audio CD: read, previewed, and written through the titles window's fields as typing is.
#include "design.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>

#include "coverformat.h"
#include "importprogress.h"
#include "plaintext.h"
#include "source.h"
#include "titles.h"
#include "trackimportdialog.h"

namespace {

// A message lists at most this many of the skipped entries.
constexpr int SkippedInMessage = 8;

void showImportProblem(Design *design, const QString &text)
{
    auto *box = plaintext::Message(QMessageBox::Warning, QObject::tr("Import Track List"), text,
                                   QMessageBox::Ok, design);
    box->setObjectName(QStringLiteral("importProblem"));
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
    NameStep(QStringLiteral("Import Track List"));
    doc_.applyTrackImport(texts);
    // The titles window is made (hidden) if it does not exist yet, and shows the titles.
    TitlesForm();
    Refresh();
    noteChange();
    // What even the smallest type cannot hold is said; the list keeps it all the same.
    if (!doc_.LongList())
        return;
    const CoverDocument::ListLayout fitted = doc_.LayOutList();
    const qsizetype hidden = doc_.titles.list.size() - fitted.shown;
    if (hidden > 0 || fitted.cut > 0)
        ShowNotice(tr("Import Track List"),
                   hidden > 0
                       ? tr("Titles left out of the cover, which cannot hold them at 6 pt: %1.").arg(hidden)
                       : tr("Titles cut short to fit their column at 6 pt: %1.").arg(fitted.cut));
}

CoverDocument::CutShort Design::CutShortBy(const tracklist::CoverTexts &texts) const
{
    CoverDocument after = doc_;
    after.applyTrackImport(texts);
    return after.TitlesCutShort();
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
    preview.SetCutShortCount([this](const tracklist::CoverTexts &texts) { return CutShortBy(texts); });
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

bool Design::EditAllTitles(QWidget *parent)
{
    const QStringList before = doc_.TitleList();
    TrackImportDialog editor(before, parent ? parent : this);
    editor.SetCutShortCount([this](const tracklist::CoverTexts &texts) { return CutShortBy(texts); });
    if (TrackImportDialog::Answer(editor) != QDialog::Accepted)
        return false;
    const QStringList after = editor.Result().titles;
    if (after == before)
        return false;
    FlushUndo(); // typing before it is a step of its own
    NameStep(QStringLiteral("Edit All Titles"));
    doc_.setTitleList(after);
    Refresh();
    noteChange();
    return true;
}

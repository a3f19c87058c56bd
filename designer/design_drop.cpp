// Drag-and-drop: a design file dropped anywhere on the window opens (after the
// save question); on the cover, audio files, a folder or a track list import
// and a picture goes into the slot under it.
#include "design.h"

#include <optional>

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <algorithm>

#include "names.h"
#include "source.h"
#include "titles.h"

namespace {

// The one local file a drag carries; "" for several, none or remote ones.
QString droppedFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return {};
    return names::FromUrl(urls.constFirst());
}

bool isDesignFile(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("qwd"), Qt::CaseInsensitive) == 0;
}

// Where a picture dropped at `pos` goes: a logo's place takes that logo, the
// rest of the panel the main picture; nullptr off the panel.
std::optional<CoverDocument::Slot> pictureSlotAt(const Design &d, const QPointF &pos)
{
    using Slot = CoverDocument::Slot;
    if (!d.PanelRect().contains(pos))
        return std::nullopt;
    if (d.Image2->rect().contains(pos))
        return Slot::Logo1;
    if (d.Image3->rect().contains(pos))
        return Slot::Logo2;
    return Slot::Main;
}

// What the cover takes of a drag to import: its local paths when every one of
// them is a source (audio files, folders, a track list). A picture among audio
// files gives nothing: neither meaning fits the whole drag.
QStringList trackSources(const QMimeData *mime)
{
    QStringList paths = Titles::ImportablePaths(mime);
    if (!std::all_of(paths.cbegin(), paths.cend(), tracklist::IsImportable))
        paths.clear();
    return paths;
}

// Pictures and music files in one drag: neither meaning fits the whole of it.
bool picturesWithMusic(const QMimeData *mime)
{
    const QStringList paths = Titles::ImportablePaths(mime);
    const auto music = std::count_if(paths.cbegin(), paths.cend(), tracklist::IsImportable);
    return music > 0 && music < paths.size();
}

} // namespace

void Design::dragEnterEvent(QDragEnterEvent *event)
{
    const QMimeData *mime = event->mimeData();
    if (!droppedFile(mime).isEmpty() || !trackSources(mime).isEmpty() || picturesWithMusic(mime))
        event->acceptProposedAction();
}

void Design::dragMoveEvent(QDragMoveEvent *event)
{
    const QString file = droppedFile(event->mimeData());
    const bool onPanel = PanelRect().contains(event->position());
    const bool takes = (!file.isEmpty() && isDesignFile(file)) ||
                       (onPanel && !trackSources(event->mimeData()).isEmpty()) ||
                       (onPanel && picturesWithMusic(event->mimeData())) ||
                       (!file.isEmpty() && pictureSlotAt(*this, event->position()).has_value());
    if (takes)
        event->acceptProposedAction();
    else
        event->ignore();
}

void Design::dropEvent(QDropEvent *event)
{
    const QString file = droppedFile(event->mimeData());
    if (!file.isEmpty() && isDesignFile(file)) {
        event->acceptProposedAction();
        OpenPath(file);
        return;
    }
    if (picturesWithMusic(event->mimeData()) && PanelRect().contains(event->position())) {
        // Taken, so that it can be said why nothing happens.
        event->acceptProposedAction();
        ShowNotice(QStringLiteral("Not dropped"),
                   QStringLiteral("Pictures and music were dropped together. Drop the pictures on their "
                                  "places and the music on the cover, one kind at a time."));
        return;
    }
    const QStringList sources = trackSources(event->mimeData());
    if (!sources.isEmpty() && PanelRect().contains(event->position())) {
        event->acceptProposedAction();
        // After the drop has returned: the preview must not keep the dragging program waiting.
        QTimer::singleShot(0, this, [design = QPointer<Design>(this), sources] {
            if (design)
                design->ImportTracksFrom(sources);
        });
        return;
    }
    if (file.isEmpty() || !sources.isEmpty()) {
        event->ignore();
        return;
    }
    const auto slot = pictureSlotAt(*this, event->position());
    if (!slot) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    NameStep(QStringLiteral("Drop Picture"));
    LoadPictureFile(*slot, file);
}

bool Design::eventFilter(QObject *watched, QEvent *event)
{
    // The text fields take dropped text; a design file is the window's.
    const auto type = event->type();
    if (qobject_cast<QLineEdit *>(watched) &&
        (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)) {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString file = droppedFile(drop->mimeData());
        if (!file.isEmpty() && isDesignFile(file)) {
            drop->acceptProposedAction();
            if (type == QEvent::Drop)
                OpenPath(file);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

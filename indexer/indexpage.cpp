#include "indexpage.h"

#include <QApplication>
#include <QFont>
#include <QFrame>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPicture>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QStyleOptionSlider>
#include <QStyleOptionViewItem>

#include <algorithm>

#include "fs_models.h"
#include "layouts.h"

namespace {

// Creation order is the stacking order: Dir1 and File3 share the leftmost column.
constexpr std::array<int, IndexPage::Lists> kStacking = {0, 6, 7, 8, 1, 2, 3, 4, 5, 9, 10, 11};

int pageRows(const IndexPage &page, int i);

QStyle *style()
{
    return QApplication::style();
}

QStyleOptionFrame frameOption(const IndexPage::List &l, const QPalette &palette)
{
    QStyleOptionFrame o;
    o.state = QStyle::State_Enabled | QStyle::State_Sunken;
    o.direction = Qt::LeftToRight;
    o.rect = QRect(QPoint(), l.geometry.size());
    o.palette = palette;
    o.fontMetrics = QFontMetrics(IndexPage::ListFont());
    o.frameShape = QFrame::StyledPanel;
    o.lineWidth = 1;
    o.midLineWidth = 0;
    return o;
}

QRect contentsRect(const IndexPage::List &l, const QPalette &palette)
{
    const QStyleOptionFrame o = frameOption(l, palette);
    return style()->subElementRect(QStyle::SE_ShapedFrameContents, &o, nullptr);
}

QStyleOptionViewItem itemOption(const QPalette &palette)
{
    QStyleOptionViewItem o;
    o.state = QStyle::State_Enabled;
    o.direction = Qt::LeftToRight;
    o.palette = palette;
    o.palette.setCurrentColorGroup(QPalette::Active);
    o.font = IndexPage::ListFont();
    o.fontMetrics = QFontMetrics(o.font);
    const int icon = style()->pixelMetric(QStyle::PM_ListViewIconSize, nullptr, nullptr);
    o.decorationSize = QSize(icon, icon);
    o.decorationPosition = QStyleOptionViewItem::Left;
    o.decorationAlignment = Qt::AlignCenter;
    o.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    o.textElideMode = Qt::ElideRight;
    o.showDecorationSelected =
        style()->styleHint(QStyle::SH_ItemView_ShowDecorationSelected, nullptr, nullptr);
    o.locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return o;
}

// Plays a recording onto `p` as the window's recordings of its widgets
// are played: in 96-per-inch pixels whatever the device's resolution.
template <class Fn> void playRecorded(QPainter &p, Fn &&paint)
{
    QPicture picture;
    {
        QPainter recorder(&picture);
        paint(recorder);
    }
    PlayPicture(p, picture);
}

} // namespace

const char *IndexPage::Name(int i)
{
    static const char *names[] = {"Dir1",  "Dir2",  "Dir3",  "Dir4",  "Dir5",  "Dir6",
                                  "File1", "File2", "File3", "File4", "File5", "File6"};
    return names[i];
}

QRect IndexPage::HomeGeometry(int i)
{
    static const std::array<QRect, Lists> home = {{
        {0, 3, 129, 396},
        {132, 3, 129, 396},
        {265, 3, 129, 396},
        {435, 3, 112, 405},
        {550, 3, 107, 405},
        {660, 3, 107, 405},
        {132, 0, 129, 405},
        {264, 0, 129, 405},
        {0, 50, 130, 353},
        {435, 0, 112, 405},
        {550, 0, 107, 405},
        {660, 0, 107, 405},
    }};
    return home[static_cast<size_t>(i)];
}

bool IndexPage::White(int i)
{
    return i == 0 || i == 1 || i == 6 || i == 7;
}

QFont IndexPage::ListFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    // What the window's font leaves open comes from the application's, as for a widget.
    return font.resolve(QApplication::font());
}

QPalette IndexPage::ListPalette(int i)
{
    // The window's white background, and white rows where the window asks for them.
    QPalette p = QApplication::palette();
    p.setColor(QPalette::Window, Qt::white);
    if (White(i))
        p.setColor(QPalette::Base, Qt::white);
    return p;
}

IndexPage::IndexPage()
{
    for (size_t i = 0; i < files_.size(); ++i) {
        files_[i] = std::make_unique<fsl::FileListModel>();
        folders_[i] = std::make_unique<fsl::FolderListModel>();
    }
    for (int i = 0; i < Lists; ++i)
        lists_[static_cast<size_t>(i)].geometry = HomeGeometry(i);
    SetLayout(1);
}

IndexPage::~IndexPage() = default;
IndexPage::IndexPage(IndexPage &&) noexcept = default;
IndexPage &IndexPage::operator=(IndexPage &&) noexcept = default;

void IndexPage::SetLayout(int n)
{
    const layouts::Layout &l = layouts::Get(n);
    layout_ = std::clamp(n, 1, layouts::Count);
    width_ = layouts::ClientWidth(l);
    Line1.X1 = layouts::LineX1(l);
    if (l.dir1Height > 0)
        lists_[0].geometry = QRect(0, 3, 129, l.dir1Height);
    if (!l.file3.isNull())
        lists_[8].geometry = l.file3;
    for (int i = 0; i < Lists; ++i)
        lists_[static_cast<size_t>(i)].shown = l.shown & (1u << i);
}

void IndexPage::SetList(int i, const QByteArray &path, fsl::ListingPtr listing, const QByteArray &root)
{
    List &l = lists_[static_cast<size_t>(i)];
    l.path = path;
    l.root = root;
    l.listing = std::move(listing);
    l.topRow = 0;
    l.blankRows = 0;
    if (IsFolderList(i))
        folders_[static_cast<size_t>(i)]->set(path, root, l.listing);
    else
        files_[static_cast<size_t>(i - 6)]->setListing(l.listing);
}

void IndexPage::SetScroll(int i, int topRow, int blankRows)
{
    List &l = lists_[static_cast<size_t>(i)];
    if (!IsFolderList(i)) {
        l.blankRows = std::max(0, blankRows);
        files_[static_cast<size_t>(i - 6)]->setListing(l.listing, l.blankRows);
    }
    // A list scrolls no further than its last row standing at the bottom.
    const int rows = RowCount(i), whole = pageRows(*this, i);
    const int last = ScrollBarShown(i) ? rows - whole : 0;
    l.topRow = std::clamp(topRow, 0, std::max(0, last));
}

int IndexPage::RowCount(int i) const
{
    return IsFolderList(i) ? folders_[static_cast<size_t>(i)]->rowCount()
                           : files_[static_cast<size_t>(i - 6)]->rowCount();
}

int IndexPage::AncestorCount(int i) const
{
    return IsFolderList(i) ? folders_[static_cast<size_t>(i)]->ancestorCount() : 0;
}

QString IndexPage::Row(int i, int row) const
{
    const QAbstractListModel &m =
        IsFolderList(i) ? static_cast<const QAbstractListModel &>(*folders_[static_cast<size_t>(i)])
                        : *files_[static_cast<size_t>(i - 6)];
    return m.data(m.index(row, 0), Qt::DisplayRole).toString();
}

namespace {

// A row's size as the list's delegate gives it. The view lays every row
// out at the last row's size; the lists count whole rows by the first's.
QSize rowSize(const QAbstractListModel &m, bool folder, const QPalette &palette, bool last = true)
{
    if (m.rowCount() == 0)
        return {};
    const QStyleOptionViewItem o = itemOption(palette);
    const QModelIndex index = m.index(last ? m.rowCount() - 1 : 0, 0);
    if (folder)
        return fsl::FolderDelegate().sizeHint(o, index);
    return fsl::RowDelegate().sizeHint(o, index);
}

const QAbstractListModel &modelOf(const std::array<std::unique_ptr<fsl::FileListModel>, 6> &files,
                                  const std::array<std::unique_ptr<fsl::FolderListModel>, 6> &folders, int i)
{
    if (IndexPage::IsFolderList(i))
        return *folders[static_cast<size_t>(i)];
    return *files[static_cast<size_t>(i - 6)];
}

} // namespace

int IndexPage::RowHeight(int i) const
{
    return rowSize(modelOf(files_, folders_, i), IsFolderList(i), ListPalette(i)).height();
}

int IndexPage::WholeRows(int i) const
{
    const int h = rowSize(modelOf(files_, folders_, i), IsFolderList(i), ListPalette(i), false).height();
    return h > 0 ? contentsRect(list(i), ListPalette(i)).height() / h : 0;
}

namespace {

// The rows the scroll bar pages by: those that fit the view at the rows'
// pitch (the view is as high as the frame's inside: it has no bar below).
int pageRows(const IndexPage &page, int i)
{
    const int h = page.RowHeight(i);
    return h > 0 ? contentsRect(page.list(i), IndexPage::ListPalette(i)).height() / h : 0;
}

} // namespace

bool IndexPage::ScrollBarShown(int i) const
{
    const int h = RowHeight(i);
    const int view = contentsRect(list(i), ListPalette(i)).height();
    return h > 0 && RowCount(i) * h > view && RowCount(i) > view / h;
}

namespace {

QStyleOptionSlider barOption(const IndexPage &page, int i, const QRect &rect)
{
    QStyleOptionSlider o;
    o.state = QStyle::State_Enabled;
    o.direction = Qt::LeftToRight;
    o.palette = IndexPage::ListPalette(i);
    o.fontMetrics = QFontMetrics(IndexPage::ListFont());
    o.rect = rect;
    o.orientation = Qt::Vertical;
    o.subControls = QStyle::SC_All;
    o.activeSubControls = QStyle::SC_None;
    const int whole = pageRows(page, i);
    o.minimum = 0;
    o.maximum = std::max(0, page.RowCount(i) - whole);
    o.sliderPosition = o.sliderValue = page.list(i).topRow;
    o.singleStep = 1;
    o.pageStep = whole;
    o.upsideDown = false;
    return o;
}

int barExtent(const IndexPage &page, int i)
{
    const QStyleOptionSlider o = barOption(page, i, {});
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, &o, nullptr);
}

} // namespace

QRect IndexPage::ViewportRect(int i) const
{
    QRect r = contentsRect(list(i), ListPalette(i));
    if (ScrollBarShown(i))
        r.setRight(r.right() - barExtent(*this, i));
    return r;
}

std::vector<int> IndexPage::FlowOrder() const
{
    std::vector<int> order;
    if (layout_ == 12 || layout_ == 13 || layout_ == 14)
        return order; // no file list follows Dir1 there
    for (int i = 6; i < Lists; ++i)
        if (list(i).shown && list(i).path == list(0).path)
            order.push_back(i);
    // Reading order: column by column, top to bottom within a column.
    std::sort(order.begin(), order.end(), [this](int a, int b) {
        const QPoint pa = list(a).geometry.topLeft(), pb = list(b).geometry.topLeft();
        return std::pair(pa.x(), pa.y()) < std::pair(pb.x(), pb.y());
    });
    return order;
}

int IndexPage::Flow()
{
    int row = 0, files = 0;
    for (const int i : FlowOrder()) {
        files = files_[static_cast<size_t>(i - 6)]->fileCount();
        // Blank rows let the list scroll past its last file.
        SetScroll(i, 0, 0);
        const int whole = WholeRows(i);
        SetScroll(i, row, files == 0 ? 0 : row + whole - files);
        // A view that keeps more rows in sight at the end than whole rows fit
        // needs those too to scroll that far.
        if (files > 0 && list(i).topRow < row)
            SetScroll(i, row, list(i).blankRows + row - list(i).topRow);
        row += WholeRows(i);
    }
    return std::max(0, files - row);
}

void IndexPage::ShowCurrentFolders()
{
    for (int i = 0; i < 6; ++i)
        SetScroll(i, AncestorCount(i) - 1);
}

IndexPage::LeftOut IndexPage::NotShown() const
{
    // Keyed by what a row stands for: a folder's file, or a folder list's
    // row under the same root and current folder. The lists scroll by whole
    // rows: the rows in view are the top row and those below it that fit.
    LeftOut out;
    QHash<QByteArray, qint64> files;
    QSet<QPair<QByteArray, int>> shown;
    for (int i = 6; i < Lists; ++i) {
        if (!list(i).shown)
            continue;
        const QByteArray &key = list(i).path;
        const int count = files_[static_cast<size_t>(i - 6)]->fileCount();
        files.insert(key, count);
        for (int r = list(i).topRow; r < std::min(list(i).topRow + pageRows(*this, i), count); ++r)
            shown.insert({key, r});
    }
    for (const qint64 n : std::as_const(files))
        out.files += n;
    out.files -= shown.size();
    QHash<QByteArray, int> folders;
    QSet<QPair<QByteArray, int>> seen;
    for (int i = 0; i < 6; ++i) {
        if (!list(i).shown)
            continue;
        const QByteArray key = list(i).root + '\0' + list(i).path;
        folders.insert(key, i);
        for (int r = list(i).topRow; r < std::min(list(i).topRow + pageRows(*this, i), RowCount(i)); ++r)
            seen.insert({key, r});
    }
    for (auto it = folders.cbegin(); it != folders.cend(); ++it) {
        const int current = AncestorCount(it.value()) - 1;
        for (int r = 0; r < RowCount(it.value()); ++r) {
            const bool inView = seen.contains({it.key(), r});
            if (r == current)
                out.named = out.named || inView;
            else if (!inView)
                ++(r < current ? out.above : out.subfolders);
        }
    }
    return out;
}

void IndexPage::paintList(QPainter &p, int i) const
{
    const List &l = list(i);
    const QPalette palette = ListPalette(i);
    p.save();
    p.translate(l.geometry.topLeft());
    p.setClipRect(QRect(QPoint(), l.geometry.size()), Qt::IntersectClip);
    playRecorded(p, [&](QPainter &r) {
        const QStyleOptionFrame o = frameOption(l, palette);
        style()->drawControl(QStyle::CE_ShapedFrame, &o, &r, nullptr);
    });
    const QRect view = ViewportRect(i);
    const QAbstractListModel &m = modelOf(files_, folders_, i);
    const bool folder = IsFolderList(i);
    p.save();
    p.translate(view.topLeft());
    p.setClipRect(QRect(QPoint(), view.size()), Qt::IntersectClip);
    playRecorded(p, [&](QPainter &r) {
        r.fillRect(QRect(QPoint(), view.size()), palette.brush(QPalette::Base));
        const QSize hint = rowSize(m, folder, palette);
        if (hint.height() <= 0)
            return;
        fsl::FolderDelegate folderRows;
        fsl::RowDelegate fileRows;
        const QAbstractItemDelegate &delegate =
            folder ? static_cast<const QAbstractItemDelegate &>(folderRows) : fileRows;
        QStyleOptionViewItem o = itemOption(palette);
        for (int row = l.topRow; row < m.rowCount() && (row - l.topRow) * hint.height() < view.height();
             ++row) {
            const QModelIndex index = m.index(row, 0);
            QStyleOptionViewItem item = o;
            item.rect = QRect(0, (row - l.topRow) * hint.height(), view.width(), hint.height());
            if (!(m.flags(index) & Qt::ItemIsEnabled)) {
                item.state &= ~QStyle::State_Enabled;
                item.palette.setCurrentColorGroup(QPalette::Disabled);
            }
            r.save();
            r.setClipRect(QRect(QPoint(), view.size()), Qt::IntersectClip);
            delegate.paint(&r, item, index);
            r.restore();
        }
    });
    p.restore();
    if (ScrollBarShown(i)) {
        const QRect cr = contentsRect(l, palette);
        const int extent = barExtent(*this, i);
        const QRect bar(cr.right() - extent + 1, cr.top(), extent, cr.height());
        // As the window draws its scroll bars: a picture of their pixels at up
        // to 600 per inch, so that nothing of one reaches beyond its place.
        const QPaintDevice *device = p.device();
        const qreal k = std::clamp((device ? device->logicalDpiX() : 96) / 96.0, 1.0, 600 / 96.0);
        QImage image((QSizeF(bar.size()) * k).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter ip(&image);
            ip.scale(k, k);
            const QStyleOptionSlider o = barOption(*this, i, QRect(QPoint(), bar.size()));
            style()->drawComplexControl(QStyle::CC_ScrollBar, &o, &ip, nullptr);
        }
        p.drawImage(QRectF(bar), image);
    }
    p.restore();
}

void IndexPage::Paint(QPainter &p) const
{
    p.save();
    p.fillRect(QRect(QPoint(), Size()), Qt::white);
    for (const int i : kStacking)
        if (list(i).shown)
            paintList(p, i);
    PaintMarks(p, true);
    p.restore();
}

void IndexPage::PaintMarks(QPainter &p, bool always) const
{
    PaintPrintMarks(p, Line1, Line2, Line3, always);
}

void PaintPrintMarks(QPainter &p, const PrintMark &line1, const PrintMark &line2, const PrintMark &line3,
                     bool always)
{
    // The print marks: on screen only while the page prints.
    for (const PrintMark *m : {&line1, &line2, &line3}) {
        if (!m->Visible && !always)
            continue;
        QPen pen(Qt::black, 1);
        if (m == &line1)
            pen.setStyle(Qt::DashDotDotLine);
        p.setPen(pen);
        p.drawLine(m->X1, m->Y1, m->X2, m->Y2);
    }
}

void PlayPicture(QPainter &p, const QPicture &picture)
{
    // Playing a picture scales it from the screen's resolution to the
    // device's; the painter already works in 96-per-inch pixels, so undo that.
    const QPaintDevice *device = p.device();
    p.save();
    if (device)
        p.scale(qreal(picture.logicalDpiX()) / device->logicalDpiX(),
                qreal(picture.logicalDpiY()) / device->logicalDpiY());
    p.drawPicture(0, 0, picture);
    p.restore();
}

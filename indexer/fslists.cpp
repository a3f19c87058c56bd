#include "fslists.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStorageInfo>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_map>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fsl {

// ---------------------------------------------------------------------------
// Readable names

namespace {

void appendEscape(QString &out, unsigned char c)
{
    static const char hex[] = "0123456789ABCDEF";
    switch (c) {
    case '\n': out += QLatin1String("\\n"); return;
    case '\r': out += QLatin1String("\\r"); return;
    case '\t': out += QLatin1String("\\t"); return;
    default:
        out += QLatin1String("\\x");
        out += QLatin1Char(hex[c >> 4]);
        out += QLatin1Char(hex[c & 15]);
    }
}

} // namespace

QString ReadableName(const char *s, qsizetype n)
{
    // Fast path: printable ASCII, the common case.
    qsizetype i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c >= 0x7F)
            break;
        ++i;
    }
    if (i == n)
        return QString::fromLatin1(s, n);

    QString out;
    out.reserve(n + 8);
    out += QLatin1String(s, i);
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F)
                appendEscape(out, c);
            else
                out += QLatin1Char(static_cast<char>(c));
            ++i;
            continue;
        }
        int len = 0;
        char32_t cp = 0, min = 0;
        if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1Fu;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0Fu;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07u;
            min = 0x10000;
        }
        bool good = len > 0 && i + len <= n;
        for (int k = 1; good && k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                good = false;
            else
                cp = (cp << 6) | (cc & 0x3Fu);
        }
        if (!good || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            appendEscape(out, c);
            ++i;
            continue;
        }
        if ((cp >= 0x80 && cp < 0xA0) || cp == 0x2028 || cp == 0x2029) {
            // C1 controls and line separators would break the line: show their bytes.
            for (int k = 0; k < len; ++k)
                appendEscape(out, static_cast<unsigned char>(s[i + k]));
        } else {
            out += QChar::fromUcs4(cp);
        }
        i += len;
    }
    return out;
}

QString ReadablePath(const QByteArray &path)
{
    return ReadableName(path.constData(), path.size());
}

QByteArray CurrentFolder()
{
    std::vector<char> buf(4096);
    for (;;) {
        if (::getcwd(buf.data(), buf.size()))
            return QByteArray(buf.data());
        if (errno != ERANGE || buf.size() > (1u << 20))
            return QByteArrayLiteral("/");
        buf.resize(buf.size() * 2);
    }
}

QByteArray CleanPath(const QByteArray &path)
{
    QByteArray full = path;
    if (!full.startsWith('/'))
        full = CurrentFolder() + '/' + full;
    std::vector<QByteArray> parts;
    for (const QByteArray &part : full.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    QByteArray out;
    for (const QByteArray &part : parts) {
        out += '/';
        out += part;
    }
    return out.isEmpty() ? QByteArrayLiteral("/") : out;
}

QByteArray JoinPath(const QByteArray &dir, const QByteArray &name)
{
    if (dir.endsWith('/'))
        return dir + name;
    return dir + '/' + name;
}

// ---------------------------------------------------------------------------
// Sorting

namespace {

// Case-insensitive natural comparison of two folded keys.
int naturalCompare(const char16_t *p, const char16_t *pe, const char16_t *q, const char16_t *qe)
{
    auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    while (p < pe && q < qe) {
        if (digit(*p) && digit(*q)) {
            while (p < pe && *p == u'0')
                ++p;
            while (q < qe && *q == u'0')
                ++q;
            const char16_t *ps = p, *qs = q;
            while (p < pe && digit(*p))
                ++p;
            while (q < qe && digit(*q))
                ++q;
            const auto lp = p - ps, lq = q - qs;
            if (lp != lq)
                return lp < lq ? -1 : 1;
            for (std::ptrdiff_t k = 0; k < lp; ++k)
                if (ps[k] != qs[k])
                    return ps[k] < qs[k] ? -1 : 1;
            continue;
        }
        if (*p != *q)
            return *p < *q ? -1 : 1;
        ++p;
        ++q;
    }
    if (p < pe)
        return 1;
    if (q < qe)
        return -1;
    return 0;
}

char16_t fold(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if (QChar::isSurrogate(c))
        return c;
    return static_cast<char16_t>(QChar::toCaseFolded(static_cast<char32_t>(c)));
}

} // namespace

int NaturalCompare(const QString &a, const QString &b)
{
    QString fa = a.toCaseFolded(), fb = b.toCaseFolded();
    const auto *p = reinterpret_cast<const char16_t *>(fa.constData());
    const auto *q = reinterpret_cast<const char16_t *>(fb.constData());
    return naturalCompare(p, p + fa.size(), q, q + fb.size());
}

void SortEntries(std::vector<Entry> &entries)
{
    // Keys folded once, side by side in one buffer: the comparisons stay in
    // the cache and nothing is allocated per name.
    const size_t n = entries.size();
    size_t total = 0;
    for (const Entry &e : entries)
        total += static_cast<size_t>(e.text.size());
    std::vector<char16_t> keys;
    keys.reserve(total);
    std::vector<size_t> start(n + 1);
    for (size_t i = 0; i < n; ++i) {
        start[i] = keys.size();
        const auto *c = reinterpret_cast<const char16_t *>(entries[i].text.constData());
        const auto *ce = c + entries[i].text.size();
        for (; c < ce; ++c)
            keys.push_back(fold(*c));
    }
    start[n] = keys.size();
    std::vector<quint32> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = static_cast<quint32>(i);
    const char16_t *k = keys.data();
    std::sort(order.begin(), order.end(), [&](quint32 x, quint32 y) {
        const int c = naturalCompare(k + start[x], k + start[x + 1], k + start[y], k + start[y + 1]);
        if (c != 0)
            return c < 0;
        return entries[x].raw < entries[y].raw; // "a01"/"a1", "A"/"a": a fixed order
    });
    std::vector<Entry> sorted;
    sorted.reserve(n);
    for (quint32 i : order)
        sorted.push_back(std::move(entries[i]));
    entries.swap(sorted);
}

// ---------------------------------------------------------------------------
// Listing cache

namespace {

struct CacheState {
    int depth = 0;
    std::unordered_map<QByteArray, ListingPtr> memo;
    quint64 reads = 0;
    ListingCache::FailHook failHook;
};

CacheState &cache()
{
    static CacheState s;
    return s;
}

} // namespace

ListingCache::Batch::Batch()
{
    ++cache().depth;
}

ListingCache::Batch::~Batch()
{
    if (--cache().depth == 0)
        cache().memo.clear();
}

void ListingCache::SetFailHook(FailHook hook)
{
    cache().failHook = std::move(hook);
}

quint64 ListingCache::ReadCount()
{
    return cache().reads;
}

ListingPtr ListingCache::Read(const QByteArray &path)
{
    ++cache().reads;
    auto l = std::make_shared<Listing>();
    l->path = path;
    if (cache().failHook) {
        if (const int err = cache().failHook(path)) {
            l->error = err;
            return l;
        }
    }
    DIR *d = ::opendir(path.constData());
    if (!d) {
        l->error = errno;
        return l;
    }
    const int fd = ::dirfd(d);
    errno = 0;
    while (const dirent *e = ::readdir(d)) {
        const char *name = e->d_name;
        if (name[0] == '.') // hidden entries, "." and ".."
            continue;
        bool isDir = false;
        if (e->d_type == DT_DIR) {
            isDir = true;
        } else if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            // A link to a folder is a folder; a broken or looping link is a file.
            struct stat st;
            isDir = ::fstatat(fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        const auto n = static_cast<qsizetype>(std::strlen(name));
        Entry entry{QByteArray(name, n), ReadableName(name, n)};
        (isDir ? l->folders : l->files).push_back(std::move(entry));
        errno = 0;
    }
    const int readError = errno;
    ::closedir(d);
    SortEntries(l->folders);
    SortEntries(l->files);
    l->ok = readError == 0;
    l->error = readError;
    return l;
}

ListingPtr ListingCache::Get(const QByteArray &path)
{
    CacheState &s = cache();
    if (s.depth == 0)
        return Read(path);
    auto it = s.memo.find(path);
    if (it != s.memo.end())
        return it->second;
    ListingPtr l = Read(path);
    s.memo.emplace(path, l);
    return l;
}

// ---------------------------------------------------------------------------
// Volumes

namespace {

struct VolumeState {
    VolumeSource source;
    std::vector<Volume> list;
    bool loaded = false;
};

VolumeState &volumes()
{
    static VolumeState s;
    return s;
}

bool isUnder(const QByteArray &path, const QByteArray &root)
{
    if (root == "/")
        return path.startsWith('/');
    return path == root || (path.startsWith(root) && path.at(root.size()) == '/');
}

} // namespace

void Volumes::SetSource(VolumeSource source)
{
    volumes().source = std::move(source);
    Reload();
}

std::vector<Volume> Volumes::SystemVolumes()
{
    // Pseudo and memory file systems are no drives; neither are the system's own trees.
    static const QList<QByteArray> pseudo = {
        "proc",       "sysfs",     "tmpfs",   "devtmpfs",    "devpts",          "cgroup",      "cgroup2",
        "pstore",     "bpf",       "debugfs", "tracefs",     "securityfs",      "configfs",    "fusectl",
        "mqueue",     "hugetlbfs", "autofs",  "binfmt_misc", "efivarfs",        "nsfs",        "ramfs",
        "rpc_pipefs", "selinuxfs", "overlay", "squashfs",    "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs",
        "nfsd",       "tmpfs"};
    static const QList<QByteArray> network = {
        "nfs", "nfs4",       "cifs",        "smb3",  "smbfs",       "ncpfs",     "afs",
        "9p",  "fuse.sshfs", "fuse.rclone", "davfs", "fuse.davfs2", "glusterfs", "ceph"};
    static const QList<QByteArray> systemTrees = {"/proc",           "/sys",     "/dev", "/run", "/snap",
                                                  "/var/lib/docker", "/var/snap"};
    std::vector<Volume> out;
    const auto mounted = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &s : mounted) {
        const QByteArray root = QFile::encodeName(s.rootPath());
        const QByteArray type = s.fileSystemType();
        const QByteArray device = s.device();
        bool keep = false;
        if (root == "/" || network.contains(type)) {
            keep = true;
        } else if (!pseudo.contains(type)) {
            keep = device.startsWith("/dev/") || root.startsWith("/media/") ||
                   root.startsWith("/run/media/") || root.startsWith("/mnt/");
            for (const QByteArray &t : systemTrees)
                if (isUnder(root, t) && !root.startsWith("/run/media/"))
                    keep = false;
        }
        if (!keep || !QFileInfo(s.rootPath()).isDir()) // file bind mounts are no drives
            continue;
        const bool seen =
            std::any_of(out.begin(), out.end(), [&](const Volume &v) { return v.root == root; });
        if (!seen)
            out.push_back({root, s.name()});
    }
    std::sort(out.begin(), out.end(), [](const Volume &a, const Volume &b) { return a.root < b.root; });
    return out;
}

void Volumes::Reload()
{
    VolumeState &s = volumes();
    s.list = s.source ? s.source() : SystemVolumes();
    s.loaded = true;
}

const std::vector<Volume> &Volumes::List()
{
    if (!volumes().loaded)
        Reload();
    return volumes().list;
}

QByteArray Volumes::RootOf(const QByteArray &path)
{
    QByteArray best;
    for (const Volume &v : List())
        if (isUnder(path, v.root) && v.root.size() > best.size())
            best = v.root;
    return best.isEmpty() ? QByteArrayLiteral("/") : best;
}

QByteArray Volumes::OpenFolderOf(const QByteArray &root)
{
    const QByteArray cwd = CleanPath(CurrentFolder());
    return RootOf(cwd) == root ? cwd : root;
}

// ---------------------------------------------------------------------------
// Models

void FileListModel::setListing(ListingPtr listing)
{
    beginResetModel();
    listing_ = std::move(listing);
    endResetModel();
}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !listing_)
        return 0;
    return static_cast<int>(listing_->files.size());
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !listing_ || index.row() < 0 || index.row() >= rowCount())
        return {};
    return listing_->files[static_cast<size_t>(index.row())].text;
}

void FolderListModel::set(QByteArray path, QByteArray root, ListingPtr listing)
{
    beginResetModel();
    path_ = std::move(path);
    listing_ = std::move(listing);
    ancestors_.clear();
    if (!isUnder(path_, root))
        root = "/";
    ancestors_.push_back({root, ReadablePath(root)});
    QByteArray at = root;
    const QByteArray rest = path_.mid(root == "/" ? 1 : root.size() + 1);
    if (!rest.isEmpty()) {
        for (const QByteArray &part : rest.split('/')) {
            at = JoinPath(at, part);
            ancestors_.push_back({at, ReadableName(part)});
        }
    }
    endResetModel();
}

int FolderListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(ancestors_.size() + (listing_ ? listing_->folders.size() : 0));
}

QByteArray FolderListModel::pathOfRow(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const auto r = static_cast<size_t>(row);
    if (r < ancestors_.size())
        return ancestors_[r].path;
    return JoinPath(path_, listing_->folders[r - ancestors_.size()].raw);
}

int FolderListModel::levelOfRow(int row) const
{
    return std::min(row, ancestorCount());
}

QString FolderListModel::textOfRow(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const auto r = static_cast<size_t>(row);
    if (r < ancestors_.size())
        return ancestors_[r].text;
    return listing_->folders[r - ancestors_.size()].text;
}

QVariant FolderListModel::data(const QModelIndex &index, int role) const
{
    const int row = index.row();
    if (row < 0 || row >= rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole: return textOfRow(row);
    case LevelRole: return levelOfRow(row);
    case OpenRole: return row < ancestorCount();
    default: return {};
    }
}

// ---------------------------------------------------------------------------
// The folder list's look: indentation and a small folder drawn as vectors,
// so that it prints sharp.

namespace {

constexpr int kIndent = 7;
constexpr int kGlyph = 13;

class FolderDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget *w = opt.widget;
        QStyle *style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, p, w); // background, selection, focus

        const int level = index.data(FolderListModel::LevelRole).toInt();
        const bool open = index.data(FolderListModel::OpenRole).toBool();
        const QRect r = option.rect;
        const int x = r.left() + 2 + level * kIndent;
        p->save();
        p->setRenderHint(QPainter::Antialiasing, false);
        drawFolder(*p, QRect(x, r.top() + (r.height() - 10) / 2, kGlyph, 10), open);
        const bool selected = opt.state & QStyle::State_Selected;
        p->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        p->setFont(opt.font);
        const QRect tr(x + kGlyph + 3, r.top(), r.right() - (x + kGlyph + 3), r.height());
        const QString shown = opt.fontMetrics.elidedText(text, Qt::ElideRight, tr.width());
        p->drawText(tr, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, shown);
        p->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return QSize(100, std::max(option.fontMetrics.height() + 2, 14));
    }

private:
    static void drawFolder(QPainter &p, const QRect &b, bool open)
    {
        const QColor edge(128, 96, 0);
        const QColor face(255, 214, 92);
        const QColor flap(255, 236, 160);
        QPainterPath back;
        back.moveTo(b.left(), b.bottom());
        back.lineTo(b.left(), b.top() + 1);
        back.lineTo(b.left() + 4, b.top() + 1);
        back.lineTo(b.left() + 5, b.top() + 2);
        back.lineTo(b.right() - 1, b.top() + 2);
        back.lineTo(b.right() - 1, b.bottom());
        back.closeSubpath();
        p.setPen(QPen(edge, 1));
        p.setBrush(face);
        p.drawPath(back);
        if (open) {
            QPainterPath front;
            front.moveTo(b.left(), b.bottom());
            front.lineTo(b.left() + 3, b.top() + 5);
            front.lineTo(b.right(), b.top() + 5);
            front.lineTo(b.right() - 3, b.bottom());
            front.closeSubpath();
            p.setBrush(flap);
            p.drawPath(front);
        }
    }
};

void setUpView(QListView *v)
{
    v->setUniformItemSizes(true);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setTextElideMode(Qt::ElideRight);
    v->setWordWrap(false);
    v->setLayoutMode(QListView::SinglePass);
}

// Keeps the scroll position when the same folder is read anew.
class KeepScroll
{
public:
    explicit KeepScroll(QListView *v) : v_(v), value_(v->verticalScrollBar()->value()) {}
    void restore() { v_->verticalScrollBar()->setValue(value_); }

private:
    QListView *v_;
    int value_;
};

} // namespace

// ---------------------------------------------------------------------------
// File list

FileListBox::FileListBox(QWidget *parent) : QListView(parent), model_(this)
{
    setUpView(this);
    setModel(&model_);
}

void FileListBox::SetPath(const QString &path)
{
    SetNativePath(QFile::encodeName(path));
}

void FileListBox::SetNativePath(const QByteArray &path)
{
    ListingCache::Batch batch;
    path_ = CleanPath(path);
    model_.setListing(ListingCache::Get(path_));
    emit Change();
}

bool FileListBox::Refresh()
{
    ListingCache::Batch batch;
    ListingPtr l = ListingCache::Get(path_);
    if (!l->ok)
        return false;
    KeepScroll keep(this);
    model_.setListing(std::move(l));
    doItemsLayout();
    keep.restore();
    return true;
}

int FileListBox::ListCount() const
{
    return model_.rowCount();
}

QString FileListBox::List(int row) const
{
    const ListingPtr &l = model_.listing();
    if (!l || row < 0 || row >= ListCount())
        return {};
    return l->files[static_cast<size_t>(row)].text;
}

QStringList FileListBox::Entries() const
{
    QStringList out;
    if (const ListingPtr &l = model_.listing())
        for (const Entry &e : l->files)
            out << e.text;
    return out;
}

bool FileListBox::ReadOk() const
{
    return model_.listing() && model_.listing()->ok;
}

// ---------------------------------------------------------------------------
// Folder list

FolderListBox::FolderListBox(QWidget *parent) : QListView(parent), model_(this)
{
    setUpView(this);
    setItemDelegate(new FolderDelegate(this));
    setModel(&model_);
}

void FolderListBox::SetPath(const QString &path)
{
    SetNativePath(QFile::encodeName(path));
}

void FolderListBox::display(const QByteArray &path, ListingPtr listing)
{
    model_.set(path, Volumes::RootOf(path), std::move(listing));
}

void FolderListBox::SetNativePath(const QByteArray &path)
{
    ListingCache::Batch batch; // everything this change sets off shares the reads
    path_ = CleanPath(path);
    display(path_, ListingCache::Get(path_));
    emit Change();
}

bool FolderListBox::Refresh()
{
    ListingCache::Batch batch;
    ListingPtr l = ListingCache::Get(path_);
    if (!l->ok)
        return false;
    KeepScroll keep(this);
    display(path_, std::move(l));
    doItemsLayout();
    keep.restore();
    return true;
}

bool FolderListBox::OpenRow(int row)
{
    const QByteArray target = model_.pathOfRow(row);
    if (target.isEmpty())
        return false;
    SetNativePath(target);
    return true;
}

int FolderListBox::ListCount() const
{
    return model_.rowCount();
}
QString FolderListBox::List(int row) const
{
    return model_.textOfRow(row);
}
int FolderListBox::Level(int row) const
{
    return model_.levelOfRow(row);
}

QStringList FolderListBox::Entries() const
{
    QStringList out;
    for (int i = 0; i < ListCount(); ++i)
        out << List(i);
    return out;
}

QStringList FolderListBox::Subfolders() const
{
    QStringList out;
    for (int i = AncestorCount(); i < ListCount(); ++i)
        out << List(i);
    return out;
}

bool FolderListBox::ReadOk() const
{
    return model_.listing() && model_.listing()->ok;
}

void FolderListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()) {
        event->accept();
        OpenRow(index.row());
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

void FolderListBox::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        event->accept();
        OpenRow(currentIndex().row());
        return;
    }
    QListView::keyPressEvent(event);
}

// ---------------------------------------------------------------------------
// Drive list

DriveListBox::DriveListBox(QWidget *parent) : QComboBox(parent)
{
    fill(Volumes::RootOf(CleanPath(CurrentFolder())));
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) {
        if (!filling_)
            emit Change();
    });
}

QByteArray DriveListBox::NativeDrive() const
{
    return currentData().toByteArray();
}

void DriveListBox::fill(const QByteArray &keep)
{
    filling_ = true;
    clear();
    int at = -1;
    for (const Volume &v : Volumes::List()) {
        QString text = ReadablePath(v.root);
        const QString base = QFileInfo(text).fileName();
        if (!v.label.isEmpty() && v.label != base)
            text += QStringLiteral(" [") + v.label + u']';
        if (v.root == keep)
            at = count();
        addItem(text, v.root);
    }
    if (at < 0 && !keep.isEmpty()) {
        // A drive that is gone (or was never listed) still shows while it is chosen.
        at = count();
        addItem(ReadablePath(keep), keep);
    }
    setCurrentIndex(at);
    filling_ = false;
}

void DriveListBox::ReloadDrives()
{
    Volumes::Reload();
    fill(NativeDrive());
}

void DriveListBox::SetDrive(const QByteArray &root)
{
    int at = findData(root);
    if (at < 0) {
        filling_ = true;
        addItem(ReadablePath(root), root);
        filling_ = false;
        at = count() - 1;
    }
    setCurrentIndex(at); // raises Change when it differs
}

void DriveListBox::showPopup()
{
    // Discs and shares come and go: offer what is mounted now.
    ReloadDrives();
    QComboBox::showPopup();
}

void DriveListBox::focusInEvent(QFocusEvent *event)
{
    QComboBox::focusInEvent(event);
    emit GotFocus();
}

} // namespace fsl

#include "labelstock.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRectF>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <cmath>
#include <memory>

#include "safewrite.h"

namespace labelstock {

namespace {

constexpr int MaxFieldLength = 200;
// Fields that the reader keeps: trimmed, single blanks, no control characters, bounded.
QString stockField(QStringView raw)
{
    QString s;
    s.reserve(std::min<qsizetype>(raw.size(), MaxFieldLength));
    for (const QChar c : raw) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029 || c.isSpace())
            s += QLatin1Char(' ');
        else
            s += c;
        if (s.size() >= MaxFieldLength)
            break;
    }
    s = s.simplified();
    if (!s.isEmpty() && s.back().isHighSurrogate())
        s.chop(1);
    return s;
}

// "58.7mm", "8.5in", "612" (points, as the format has it): millimetres; false for another unit,
// a number that is not finite, negative or beyond MaxLengthMm.
bool stockLength(QStringView text, double *mmOut)
{
    text = text.trimmed();
    qsizetype n = 0;
    // Digits, a point, a sign, and an exponent ("3.9e-16pt" is how some files write nought).
    while (n < text.size() && (text[n].isDigit() || text[n] == u'.' || text[n] == u'-' || text[n] == u'+' ||
                               ((text[n] == u'e' || text[n] == u'E') && n + 1 < text.size() &&
                                (text[n + 1].isDigit() || text[n + 1] == u'-' || text[n + 1] == u'+'))))
        ++n;
    bool ok = false;
    const double v = QLocale::c().toDouble(text.first(n), &ok);
    const QStringView unit = text.sliced(n).trimmed();
    double k = 0;
    if (unit.isEmpty() || unit == u"pt")
        k = 25.4 / 72;
    else if (unit == u"mm")
        k = 1;
    else if (unit == u"cm")
        k = 10;
    else if (unit == u"in")
        k = 25.4;
    else if (unit == u"pc")
        k = 25.4 / 6;
    if (!ok || k == 0 || !std::isfinite(v) || v < 0 || v * k > MaxLengthMm)
        return false;
    *mmOut = v * k;
    return true;
}

struct Pending {
    Template t;
    QString equiv; // the part this one is the same as
    QString file;
};

void note(Library &library, const QString &line)
{
    if (library.notes.size() < MaxNotes)
        library.notes << line;
    else if (library.notes.size() == MaxNotes)
        library.notes << QStringLiteral("More templates were left out; the notes stop here.");
}

class StockReader
{
public:
    StockReader(const QString &name, Papers &papers, Library &into) : name_(name), papers_(papers), lib_(into)
    {}

    void read(QByteArrayView xml)
    {
        QXmlStreamReader r(QByteArray::fromRawData(xml.data(), xml.size()));
        r.setNamespaceProcessing(false);
        // Internal entities are refused below; this bounds what any expansion could make.
        r.setEntityExpansionLimit(256);
        int depth = 0;
        while (!r.atEnd()) {
            switch (r.readNext()) {
            case QXmlStreamReader::DTD:
                if (!r.entityDeclarations().isEmpty())
                    return refuse(QStringLiteral("it declares entities"));
                break;
            case QXmlStreamReader::EntityReference: return refuse(QStringLiteral("it uses entities"));
            case QXmlStreamReader::StartElement:
                if (++depth > MaxDepth)
                    return refuse(QStringLiteral("its elements nest deeper than %1").arg(MaxDepth));
                if (!start(r, depth))
                    return commit();
                break;
            case QXmlStreamReader::EndElement:
                if (r.name() == u"Template" && inTemplate_ && depth == templateDepth_)
                    endTemplate();
                --depth;
                break;
            default: break;
            }
        }
        if (r.hasError())
            return refuse(QStringLiteral("line %1: %2").arg(r.lineNumber()).arg(r.errorString()));
        commit();
    }

private:
    void refuse(const QString &why) { note(lib_, QStringLiteral("%1 is left out: %2.").arg(name_, why)); }
    void skip(const QString &why)
    {
        note(lib_, QStringLiteral("%1: %2 is left out: %3.").arg(name_, cur_.t.name().trimmed(), why));
        bad_ = true;
    }
    void commit()
    {
        for (auto &[id, size] : found_)
            if (!papers_.find(id))
                papers_.sizes.append({id, size});
        lib_.templates += done_;
        for (const Pending &p : std::as_const(equiv_))
            lib_.equivalents.append({p.t.brand, p.t.part, p.t.description, p.equiv, p.file});
    }

    bool length(const QXmlStreamAttributes &a, QLatin1StringView key, double *out, bool required = true)
    {
        if (!a.hasAttribute(key)) {
            if (required)
                skip(QStringLiteral("it has no %1").arg(key));
            return !required;
        }
        if (!stockLength(a.value(key), out)) {
            skip(QStringLiteral("its %1 \"%2\" is not a length in pt, mm, cm, in or pc up to %3 mm")
                     .arg(key, stockField(a.value(key)))
                     .arg(MaxLengthMm));
            return false;
        }
        return true;
    }

    // False: stop reading (the library is full).
    bool start(QXmlStreamReader &r, int depth)
    {
        const QStringView el = r.name();
        const QXmlStreamAttributes a = r.attributes();
        if (el == u"Paper-size") {
            const QString id = stockField(a.value(QLatin1StringView("id")));
            double w = 0, h = 0;
            if (!id.isEmpty() && stockLength(a.value(QLatin1StringView("width")), &w) &&
                stockLength(a.value(QLatin1StringView("height")), &h) && w > 0 && h > 0)
                found_.append({id, QSizeF(w, h)});
            return true;
        }
        if (el == u"Template") {
            if (++count_ + lib_.templates.size() + lib_.equivalents.size() > MaxTemplates) {
                note(lib_, QStringLiteral("%1: more than %2 templates; the rest are left out.")
                               .arg(name_)
                               .arg(MaxTemplates));
                return false;
            }
            inTemplate_ = true;
            templateDepth_ = depth;
            bad_ = framed_ = false;
            cur_ = {};
            cur_.file = name_;
            cur_.t.brand = stockField(a.value(QLatin1StringView("brand")));
            cur_.t.part = stockField(a.value(QLatin1StringView("part")));
            cur_.equiv = stockField(a.value(QLatin1StringView("equiv")));
            cur_.t.description = stockField(a.hasAttribute(QLatin1StringView("_description"))
                                                ? a.value(QLatin1StringView("_description"))
                                                : a.value(QLatin1StringView("description")));
            cur_.t.paper = stockField(a.value(QLatin1StringView("size")));
            if (cur_.t.brand.isEmpty() || cur_.t.part.isEmpty())
                return skip(QStringLiteral("it has no brand or part")), true;
            if (!cur_.equiv.isEmpty())
                return true;
            if (cur_.t.paper == u"Other" || cur_.t.paper.isEmpty()) {
                double w = 0, h = 0;
                if (length(a, QLatin1StringView("width"), &w) && length(a, QLatin1StringView("height"), &h))
                    cur_.t.paperMm = QSizeF(w, h);
            } else if (const QSizeF *size = paperNamed(cur_.t.paper)) {
                cur_.t.paperMm = *size;
            } else {
                skip(QStringLiteral("its paper \"%1\" is not known").arg(cur_.t.paper));
            }
            return true;
        }
        if (!inTemplate_ || bad_)
            return true;
        if (el.startsWith(u"Label-") && depth == templateDepth_ + 1) {
            // A sheet's first kind of label is the one its layouts place.
            frameLevel_ = framed_ ? -1 : depth;
            if (framed_)
                return true;
            framed_ = true;
            double w = 0, h = 0, radius = 0;
            Template &t = cur_.t;
            if (el == u"Label-rectangle" || el == u"Label-ellipse") {
                t.shape = el == u"Label-rectangle" ? Shape::Rectangle : Shape::Ellipse;
                if (length(a, QLatin1StringView("width"), &w) && length(a, QLatin1StringView("height"), &h))
                    t.labelMm = QSizeF(w, h);
            } else if (el == u"Label-round" || el == u"Label-cd") {
                t.shape = el == u"Label-round" ? Shape::Round : Shape::Cd;
                if (!length(a, QLatin1StringView("radius"), &radius))
                    return true;
                w = h = 2 * radius;
                double hole = 0;
                if (t.shape == Shape::Cd) {
                    if (!length(a, QLatin1StringView("hole"), &hole) ||
                        !length(a, QLatin1StringView("width"), &w, false) ||
                        !length(a, QLatin1StringView("height"), &h, false))
                        return true;
                    if (hole >= radius)
                        return skip(QStringLiteral("its hole is as large as the disc")), true;
                }
                t.labelMm = QSizeF(std::min(w, 2 * radius), std::min(h, 2 * radius));
                t.holeMm = 2 * hole;
            } else {
                skip(QStringLiteral("its label is of a kind not known (%1)").arg(stockField(el)));
            }
            if (!bad_ && t.labelMm.isEmpty())
                skip(QStringLiteral("its label has no size"));
            return true;
        }
        if (el == u"Layout" && depth == frameLevel_ + 1)
            layout(a);
        return true;
    }

    void layout(const QXmlStreamAttributes &a)
    {
        bool okx = false, oky = false;
        const int nx = a.value(QLatin1StringView("nx")).toInt(&okx),
                  ny = a.value(QLatin1StringView("ny")).toInt(&oky);
        double x0 = 0, y0 = 0, dx = 0, dy = 0;
        if (!okx || !oky || nx < 1 || ny < 1 || nx > MaxLabelsPerSheet || ny > MaxLabelsPerSheet ||
            qint64(nx) * ny + cur_.t.labelsMm.size() > MaxLabelsPerSheet)
            return skip(QStringLiteral("its layout has not 1 to %1 labels").arg(MaxLabelsPerSheet));
        if (!length(a, QLatin1StringView("x0"), &x0) || !length(a, QLatin1StringView("y0"), &y0) ||
            !length(a, QLatin1StringView("dx"), &dx, nx > 1) ||
            !length(a, QLatin1StringView("dy"), &dy, ny > 1))
            return;
        // Row by row, as the sheets are numbered.
        for (int iy = 0; iy < ny; ++iy)
            for (int ix = 0; ix < nx; ++ix)
                cur_.t.labelsMm.append(QPointF(x0 + ix * dx, y0 + iy * dy));
    }

    void endTemplate()
    {
        inTemplate_ = false;
        frameLevel_ = -1;
        if (bad_)
            return;
        if (!cur_.equiv.isEmpty()) {
            equiv_.append(cur_);
            return;
        }
        Template &t = cur_.t;
        if (t.labelsMm.isEmpty())
            return skip(QStringLiteral("it places no label"));
        const QRectF sheet(QPointF(0, 0), t.paperMm);
        constexpr double Slack = 1;
        for (const QPointF &at : std::as_const(t.labelsMm))
            if (!sheet.adjusted(-Slack, -Slack, Slack, Slack).contains(QRectF(at, t.labelMm)))
                return skip(QStringLiteral("a label lies off the sheet"));
        done_.append(t);
    }

    const QSizeF *paperNamed(const QString &id) const
    {
        for (const auto &[pid, size] : found_)
            if (pid == id)
                return &size;
        return papers_.find(id);
    }

    QString name_;
    Papers &papers_;
    Library &lib_;
    QList<std::pair<QString, QSizeF>> found_;
    QList<Template> done_;
    QList<Pending> equiv_;
    Pending cur_;
    bool inTemplate_ = false, bad_ = false, framed_ = false;
    int templateDepth_ = 0, frameLevel_ = -1, count_ = 0;
};

QString mmText(double v)
{
    return QLocale::c().toString(std::round(v * 10) / 10, 'g', 6);
}

QStringList templateFiles(const QStringList &folders, QStringList *paperFiles)
{
    QStringList files;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        for (const QString &name : dir.entryList({QStringLiteral("*.xml"), QStringLiteral("*.template")},
                                                 QDir::Files | QDir::Readable, QDir::Name)) {
            if (name == u"categories.xml" || name == u"vendors.xml")
                continue;
            (name == u"paper-sizes.xml" ? *paperFiles : files) << dir.filePath(name);
        }
    }
    return files;
}

void readFile(const QString &path, Papers &papers, Library &library)
{
    const QFileInfo info(path);
    QFile f(path);
    if (info.size() > MaxFileBytes) {
        note(library, QStringLiteral("%1 is left out: it is larger than %2 MB.")
                          .arg(info.fileName())
                          .arg(MaxFileBytes >> 20));
        return;
    }
    if (!f.open(QIODevice::ReadOnly))
        return note(library, QStringLiteral("%1 is left out: %2.").arg(info.fileName(), f.errorString()));
    // The file may have grown since it was looked at.
    const QByteArray bytes = f.read(MaxFileBytes + 1);
    if (bytes.size() > MaxFileBytes)
        return note(library, QStringLiteral("%1 is left out: it is larger than %2 MB.")
                                 .arg(info.fileName())
                                 .arg(MaxFileBytes >> 20));
    ReadXml(bytes, info.fileName(), papers, library);
}

Papers builtInPapers()
{
    Papers papers;
    Library unused;
    QFile f(QStringLiteral(":/labelstock/paper-sizes.xml"));
    if (f.open(QIODevice::ReadOnly))
        ReadXml(f.readAll(), QStringLiteral("built-in paper sizes"), papers, unused);
    return papers;
}

// The cache: a key of the files read (path, time, size), then the templates.
// Changed whenever what the reader makes of a file changes: the old cache is then read afresh.
constexpr quint32 CacheMagic = 0x534c5632; // "SLV2"
constexpr qint64 MaxCacheBytes = 32 << 20;

QString cachePath()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return dir.isEmpty() ? QString() : dir + QStringLiteral("/sleeve/labelstock.index");
}

QByteArray cacheKey(const QStringList &folders)
{
    QStringList papers;
    QStringList files = templateFiles(folders, &papers);
    files = papers + files;
    // The program too: a new build may read the same files differently.
    files.prepend(QCoreApplication::applicationFilePath());
    QByteArray key;
    QDataStream s(&key, QIODevice::WriteOnly);
    for (const QString &path : std::as_const(files)) {
        const QFileInfo info(path);
        s << path << info.lastModified().toMSecsSinceEpoch() << info.size();
    }
    return key;
}

// Strings in the cache are read with their length checked against what is left: the cache is a
// file like any other.
bool readString(QDataStream &s, QString *out)
{
    quint32 n = 0;
    s >> n;
    if (s.status() != QDataStream::Ok || n > 4 * MaxFieldLength)
        return false;
    out->resize(n);
    return s.readRawData(reinterpret_cast<char *>(out->data()), int(n * 2)) == int(n * 2);
}
void writeString(QDataStream &s, const QString &v)
{
    s << quint32(v.size());
    s.writeRawData(reinterpret_cast<const char *>(v.constData()), int(v.size() * 2));
}

QByteArray writeCache(const QByteArray &key, const Library &lib)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << CacheMagic << key << qint32(lib.templates.size()) << qint32(lib.notes.size());
    for (const QString &n : lib.notes)
        writeString(s, n);
    for (const Template &t : lib.templates) {
        for (const QString *v : {&t.brand, &t.part, &t.description, &t.paper})
            writeString(s, *v);
        s << t.paperMm << qint32(t.shape) << t.labelMm << t.holeMm << qint32(t.labelsMm.size());
        for (const QPointF &at : t.labelsMm)
            s << at;
    }
    return out;
}

bool readCache(const QByteArray &bytes, const QByteArray &key, Library *lib)
{
    QDataStream s(bytes);
    quint32 magic = 0;
    qint32 count = 0, notes = 0;
    s >> magic;
    if (magic != CacheMagic)
        return false;
    QByteArray stored;
    s >> stored >> count >> notes;
    if (s.status() != QDataStream::Ok || stored != key || count < 0 || count > MaxTemplates || notes < 0 ||
        notes > MaxNotes + 1)
        return false;
    for (qint32 i = 0; i < notes; ++i) {
        QString n;
        if (!readString(s, &n))
            return false;
        lib->notes << n;
    }
    lib->templates.reserve(count);
    for (qint32 i = 0; i < count; ++i) {
        Template t;
        for (QString *v : {&t.brand, &t.part, &t.description, &t.paper})
            if (!readString(s, v))
                return false;
        qint32 shape = 0, labels = 0;
        s >> t.paperMm >> shape >> t.labelMm >> t.holeMm >> labels;
        if (s.status() != QDataStream::Ok || shape < 0 || shape > int(Shape::Cd) || labels < 1 ||
            labels > MaxLabelsPerSheet)
            return false;
        t.shape = Shape(shape);
        t.labelsMm.resize(labels);
        for (QPointF &at : t.labelsMm)
            s >> at;
        lib->templates.append(std::move(t));
    }
    return s.status() == QDataStream::Ok && s.atEnd();
}

std::unique_ptr<Library> &runIndex()
{
    static std::unique_ptr<Library> index;
    return index;
}

} // namespace

const QSizeF *Papers::find(const QString &id) const
{
    for (const auto &[pid, size] : sizes)
        if (pid == id)
            return &size;
    return nullptr;
}

QString Template::sizeText() const
{
    if (shape == Shape::Cd) {
        QString s = QStringLiteral("%1 mm disc, hole %2 mm").arg(mmText(labelMm.height()), mmText(holeMm));
        return labelMm.width() < labelMm.height() - 0.05
                   ? s + QStringLiteral(", %1 mm wide").arg(mmText(labelMm.width()))
                   : s;
    }
    if (shape == Shape::Round)
        return QStringLiteral("%1 mm round").arg(mmText(labelMm.width()));
    return QStringLiteral("%1 × %2 mm").arg(mmText(labelMm.width()), mmText(labelMm.height()));
}

void ReadXml(QByteArrayView xml, const QString &name, Papers &papers, Library &into)
{
    StockReader(name, papers, into).read(xml);
}

void Finish(Library &library)
{
    const QList<Library::Equivalent> pending = std::exchange(library.equivalents, {});
    const auto key = [](const QString &brand, const QString &part) { return brand + QChar(0) + part; };
    QHash<QString, qsizetype> byName;
    for (qsizetype i = 0; i < library.templates.size(); ++i)
        byName.insert(key(library.templates[i].brand, library.templates[i].part), i);
    for (const Library::Equivalent &p : pending) {
        const qsizetype same = byName.value(key(p.brand, p.sameAs), -1);
        if (same < 0) {
            note(library, QStringLiteral("%1: %2 is left out: it is the same as %3, which is not there.")
                              .arg(p.file, p.brand + QLatin1Char(' ') + p.part, p.sameAs));
            continue;
        }
        Template t = library.templates[same];
        t.part = p.part;
        byName.insert(key(p.brand, p.part), library.templates.size());
        if (!p.description.isEmpty())
            t.description = p.description;
        library.templates.append(t);
    }
}

QStringList Folders()
{
    QStringList folders;
    const QStringList data = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    // The general data first, so a user's own template of the same name is listed after it.
    for (qsizetype i = data.size() - 1; i >= 0; --i)
        for (const char *sub : {"/libglabels-3.0/templates", "/glabels-qt/templates"})
            if (QFileInfo(data[i] + QLatin1String(sub)).isDir())
                folders << data[i] + QLatin1String(sub);
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/libglabels/templates");
    if (QFileInfo(user).isDir())
        folders << user;
    return folders;
}

Library BuiltIn()
{
    Library lib;
    Papers papers = builtInPapers();
    QFile f(QStringLiteral(":/labelstock/templates.xml"));
    if (f.open(QIODevice::ReadOnly))
        ReadXml(f.readAll(), QStringLiteral("built-in templates"), papers, lib);
    Finish(lib);
    return lib;
}

Library Read(const QStringList &folders)
{
    QStringList paperFiles;
    QStringList files = templateFiles(folders, &paperFiles);
    Library lib;
    Papers papers = builtInPapers();
    if (paperFiles.size() + files.size() > MaxFiles) {
        note(lib, QStringLiteral("More than %1 template files: the rest are left out.").arg(MaxFiles));
        files = files.mid(0, std::max<qsizetype>(0, MaxFiles - paperFiles.size()));
    }
    for (const QString &path : std::as_const(paperFiles))
        readFile(path, papers, lib);
    for (const QString &path : std::as_const(files))
        readFile(path, papers, lib);
    Finish(lib);
    if (lib.templates.isEmpty()) {
        Library builtIn = BuiltIn();
        builtIn.notes = lib.notes + builtIn.notes;
        return builtIn;
    }
    return lib;
}

const Library &Index()
{
    std::unique_ptr<Library> &index = runIndex();
    if (index)
        return *index;
    index = std::make_unique<Library>();
    const QStringList folders = Folders();
    const QByteArray key = cacheKey(folders);
    const QString cache = cachePath();
    if (!cache.isEmpty()) {
        QFile f(cache);
        if (QFileInfo(cache).size() <= MaxCacheBytes && f.open(QIODevice::ReadOnly) &&
            readCache(f.read(MaxCacheBytes), key, index.get()))
            return *index;
        *index = {};
    }
    *index = Read(folders);
    if (!cache.isEmpty() && QDir().mkpath(QFileInfo(cache).path())) {
        // A cache not written is read again from the folders next time: nothing to say.
        safewrite::Options own;
        own.followLinks = false;
        QString ignored;
        safewrite::WriteBytes(cache, writeCache(key, *index), &ignored, own);
    }
    return *index;
}

void ForgetIndex()
{
    runIndex().reset();
}

QString PieceName(Piece piece)
{
    switch (piece) {
    case Piece::Disc: return QStringLiteral("disc");
    case Piece::Cover: return QStringLiteral("cover");
    case Piece::Tray: return QStringLiteral("tray");
    }
    return {};
}

bool PieceNamed(const QString &name, Piece *piece)
{
    for (Piece p : {Piece::Disc, Piece::Cover, Piece::Tray})
        if (name == PieceName(p)) {
            *piece = p;
            return true;
        }
    return false;
}

bool Fits(const Template &t, Piece piece)
{
    constexpr double Tolerance = 2;
    const auto near = [&t](double w, double h) {
        return std::abs(t.labelMm.width() - w) <= Tolerance && std::abs(t.labelMm.height() - h) <= Tolerance;
    };
    switch (piece) {
    case Piece::Disc: return t.shape == Shape::Cd;
    case Piece::Cover: return t.shape == Shape::Rectangle && near(120, 120);
    case Piece::Tray: return t.shape == Shape::Rectangle && (near(150.8, 117.5) || near(138, 117.5));
    }
    return false;
}

QList<Template> Fitting(const Library &library, Piece piece)
{
    QList<Template> out;
    for (const Template &t : library.templates)
        if (Fits(t, piece))
            out.append(t);
    return out;
}

const Template *Find(const Library &library, const QString &name)
{
    const QString wanted = name.simplified();
    for (const Template &t : library.templates)
        if (t.name().compare(wanted, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QList<int> ParseLabels(const QString &text, int count, QString *error)
{
    QList<int> out;
    for (const QString &item : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int n = item.trimmed().toInt(&ok);
        if (!ok || n < 1 || n > count) {
            if (error)
                *error = count == 1 ? QStringLiteral("the sheet has one label: --labels takes 1")
                                    : QStringLiteral("--labels takes numbers from 1 to %1, not \"%2\"")
                                          .arg(count)
                                          .arg(item.trimmed());
            return {};
        }
        if (!out.contains(n - 1))
            out.append(n - 1);
    }
    std::sort(out.begin(), out.end());
    return out;
}

QString ListLine(const Template &t)
{
    return QStringList{t.brand, t.part,       t.description.isEmpty() ? QStringLiteral("-") : t.description,
                       t.paper, t.sizeText(), QString::number(t.labelsMm.size())}
        .join(QStringLiteral(" | "));
}

} // namespace labelstock

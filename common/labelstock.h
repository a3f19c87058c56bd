#pragma once

#include <QByteArrayView>
#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QStringList>

// Label stock: the label makers' sheet templates as the desktop's label programs keep them (XML
// files of templates and paper sizes), read under bounds because they are outside input. All
// lengths are millimetres, from the sheet's top-left corner.
namespace labelstock {

enum class Shape { Rectangle, Round, Ellipse, Cd };

struct Template {
    QString brand, part, description;
    QString paper;  // the paper's id ("A4", "US-Letter", "Other")
    QSizeF paperMm; // the sheet
    Shape shape = Shape::Rectangle;
    QSizeF labelMm;          // the label's bounding box; a disc label's diameter, or its clipped width
    double holeMm = 0;       // the disc label's centre hole
    QList<QPointF> labelsMm; // each label's top-left corner, in the sheet's numbering order

    // "BRAND PART", how a user names it.
    QString name() const { return brand + QLatin1Char(' ') + part; }
    QString sizeText() const; // "117.4 mm disc, hole 41.2 mm", "120 × 120 mm"
    bool operator==(const Template &) const = default;
};

// What the reader refuses to go beyond.
inline constexpr qint64 MaxFileBytes = 2 << 20;
inline constexpr int MaxFiles = 400;
inline constexpr int MaxTemplates = 20000; // in the whole library
inline constexpr int MaxLabelsPerSheet = 1000;
inline constexpr int MaxDepth = 12;         // element nesting
inline constexpr double MaxLengthMm = 2000; // any length, a sheet's side included
inline constexpr int MaxNotes = 40;

struct Library {
    QList<Template> templates;
    // Why a file or template was left out, one line each, plain text.
    QStringList notes;
    // Templates that are another's under a part of their own, until Finish() resolves them.
    struct Equivalent {
        QString brand, part, description, sameAs, file;
    };
    QList<Equivalent> equivalents;
};

// Paper sizes by id, read from paper-size files; added to as files are read.
struct Papers {
    QList<std::pair<QString, QSizeF>> sizes;
    const QSizeF *find(const QString &id) const;
};

// Reads one file's templates (or, from a paper-size file, its sizes) into `into`. `name` is what
// notes call the file. Equivalent templates ("equiv") are resolved by Finish().
void ReadXml(QByteArrayView xml, const QString &name, Papers &papers, Library &into);
// Resolves the equivalents that ReadXml kept aside, leaving out those that name no template.
void Finish(Library &library);

// The folders read, most general first: the system's template data, then the user's own.
QStringList Folders();
// Reads every template file of the folders (their paper sizes first); the built-in set of
// plain CD label sheets when none holds any.
Library Read(const QStringList &folders);
// The built-in set alone.
Library BuiltIn();

// The library of Folders(), built on first use and kept for the run; cached in the user's cache
// folder, keyed by the files' names, times and sizes, so a later run reads one file.
const Library &Index();
// Forgets the run's copy (the cached file stays): the next Index() looks at the folders again.
void ForgetIndex();

// The pieces a template can carry.
enum class Piece { Disc, Cover, Tray };
// "disc", "cover", "tray".
QString PieceName(Piece piece);
bool PieceNamed(const QString &name, Piece *piece);
// A disc label for the disc; a rectangle within 2 mm of 120 × 120 mm for the booklet front;
// of 150.8 × 117.5 mm or 138 × 117.5 mm (the panel without spines) for the tray card.
bool Fits(const Template &t, Piece piece);
QList<Template> Fitting(const Library &library, Piece piece);
// The template named "BRAND PART" (case and runs of blanks aside); nullptr when there is none.
const Template *Find(const Library &library, const QString &name);

// "1,3" → {0, 2}; empty with *error when a number is not one of 1..count.
QList<int> ParseLabels(const QString &text, int count, QString *error);

// One line of --list-stock: brand, part, description, paper, label size, labels per sheet.
QString ListLine(const Template &t);

} // namespace labelstock

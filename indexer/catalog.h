#pragma once

#include <QByteArray>
#include <QDate>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QTemporaryFile>
#include <QTransform>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QPagedPaintDevice;

// The catalog: every folder and file under a folder, on as many pages as it
// takes. The tree is read once into a spool file (so that memory stays the
// same however large the tree) and painted from there, onto a PDF or a printer.
namespace catalog {

enum class Paper { Booklet, A4, Letter };
// "booklet", "a4" or "letter"; nothing for any other name.
std::optional<Paper> PaperNamed(const QString &name);
// The booklet page folds into a jewel case: 120 × 119 mm.
QPageSize PageSizeOf(Paper paper);

// The sheet that booklet pages are imposed on, two to a side.
enum class Sheet { A4, Letter };
// "a4" or "letter"; nothing for any other name.
std::optional<Sheet> SheetNamed(const QString &name);
// The pages of a booklet of `pages` pages on each side of its sheets, in print
// order (front, back, next sheet's front...), left then right, for duplex
// printing flipped on the short edge; numbers past `pages` are blank.
std::vector<std::pair<int, int>> BookletOrder(int pages);
// Where the fold mark's two strokes are on a side, in millimetres from the top-left.
struct FoldMark {
    double x, top1, top2, bottom1, bottom2;
};
FoldMark FoldMarkOf(Sheet sheet);

struct Totals {
    quint64 folders = 0; // the root included
    quint64 files = 0;
    quint64 bytes = 0;
    quint64 unreadable = 0; // folders that could not be read (listed with the reason)
};

class Catalog
{
public:
    struct Hooks {
        // Called now and then while reading; false stops the reading (cancelled).
        std::function<bool(const Totals &sofar)> progress;
        // Called before each folder is read (tests change the tree here).
        std::function<void(const QByteArray &path)> beforeRead;
    };
    enum class Outcome { Read, RootUnreadable, Cancelled, SpoolFailed };

    Catalog();
    ~Catalog();
    Catalog(const Catalog &) = delete;
    Catalog &operator=(const Catalog &) = delete;

    // Reads the tree under `root` (bytes, as the file system has them):
    // depth first, each folder's subfolders and files in the lists' order;
    // symbolic links are listed, never followed; a folder met twice (a bind
    // mount of its own ancestor) is read once. `error` gets the errno when
    // the root cannot be read, or the reason when the spool cannot be written.
    Outcome Read(const QByteArray &root, const Hooks &hooks = {}, QString *error = nullptr);

    const Totals &totals() const { return totals_; }
    // The disc's name: the volume's label when the root is a volume that has
    // one, else the folder's name.
    const QString &DiscName() const { return discName_; }
    QDate Date() const { return date_; }
    void SetDate(QDate date) { date_ = date; }

    // Paints every page onto the device (a QPdfWriter or a QPrinter), its
    // page size set to `paper`, each under `calibrated` (a printer's correction, in device pixels).
    // The number of pages, 0 when the painter could not begin.
    int Paint(QPagedPaintDevice &device, Paper paper, const QTransform &calibrated = {}) const;
    // Paints the booklet's pages two to a side of `sheet`, landscape, in BookletOrder, each side
    // under `calibrated`. The number of booklet pages, 0 when the painter could not begin.
    int PaintImposed(QPagedPaintDevice &device, Sheet sheet, const QTransform &calibrated = {}) const;
    // The imposed sheet's page layout: landscape, no margins.
    static QPageLayout ImposedLayout(Sheet sheet);

private:
    QByteArray root_;
    QString discName_;
    QDate date_;
    Totals totals_;
    std::unique_ptr<QTemporaryFile> spool_;
};

// Writes the catalog as a PDF file: whole, or not at all; false with a reason.
bool WritePdf(const QString &path, const Catalog &catalog, Paper paper, QString *error = nullptr);
// The same, the booklet imposed on `sheet` to fold.
bool WriteImposedPdf(const QString &path, const Catalog &catalog, Sheet sheet, QString *error = nullptr);

// "1.2 MB", "532 B": sizes as the catalog prints them.
QString SizeText(quint64 bytes);

} // namespace catalog

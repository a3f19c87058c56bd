#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

// The folder listings the index maker's lists share.
namespace fsl {

struct Entry {
    QByteArray raw; // the name as the file system has it
    QString text;   // readable form: invalid UTF-8 bytes and control characters escaped
};

// One read of one folder: its subfolders and its files, hidden (dot) entries
// left out, each group sorted as a file manager sorts.
struct Listing {
    QByteArray path;
    bool ok = false; // false: the folder could not be read (shown as empty)
    int error = 0;   // errno of the failure
    std::vector<Entry> folders;
    std::vector<Entry> files;
};
using ListingPtr = std::shared_ptr<const Listing>;

// A folder is read once per change: while a batch is open (a list's change
// and everything it sets off, or a Refresh), every list that asks for the
// same folder gets the same listing. Outside a batch every ask reads anew.
class ListingCache
{
public:
    class Batch
    {
    public:
        Batch();
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;
    };

    static ListingPtr Get(const QByteArray &path);
    static ListingPtr Read(const QByteArray &path); // always reads, never memoised
    static quint64 ReadCount();                     // folders read so far (tests, bench)

    // Where folders are read: the file system (ReadFolder) unless another
    // source is put in; nullptr puts the file system back.
    using Source = std::function<ListingPtr(const QByteArray &path)>;
    static void SetSource(Source source);
};

// Reads a folder of the file system.
ListingPtr ReadFolder(const QByteArray &path);

} // namespace fsl

#include <QtTest>

#include <QPainter>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "inputs.h"
#include "pageexport.h"
#include "safewrite.h"

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool putFile(const QString &path, const QByteArray &bytes, mode_t mode = 0644)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() &&
           ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// Every name in the folder: a temporary left behind shows here.
QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// A full disk as this process sees it: writes past `bytes` fail with EFBIG.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved_;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    struct rlimit saved_ = {};
    void (*handler_)(int) = nullptr;
};

const QByteArray Old("the old file, which must survive\n");

} // namespace

class TestSafeWrite : public QObject
{
    Q_OBJECT
private slots:
    void writer_data();
    void writer();
};

void TestSafeWrite::writer_data()
{
    QTest::addColumn<QString>("producer"); // "bytes" (streamed by hand), "pdf", "png"
    QTest::addColumn<QString>("situation");
    QTest::addColumn<bool>("written");

    QTest::newRow("bytes, replaces, mode kept") << "bytes"
                                                << "mode 0640" << true;
    QTest::newRow("pdf, replaces, mode kept") << "pdf"
                                              << "mode 0640" << true;
    QTest::newRow("png, new file") << "png"
                                   << "new" << true;
    QTest::newRow("bytes, full disk") << "bytes"
                                      << "full disk" << false;
    QTest::newRow("pdf, full disk") << "pdf"
                                    << "full disk" << false;
    QTest::newRow("png, full disk") << "png"
                                    << "full disk" << false;
    // The system call fails; the writer's own handling of its result decides.
    QTest::newRow("bytes, fsync fails") << "bytes"
                                        << "fsync EIO" << false;
    QTest::newRow("pdf, fsync fails") << "pdf"
                                      << "fsync EIO" << false;
    QTest::newRow("bytes, close fails") << "bytes"
                                        << "close fails" << false;
    QTest::newRow("png, close fails") << "png"
                                      << "close fails" << false;
    QTest::newRow("bytes, not committed") << "bytes"
                                          << "not committed" << false;
    QTest::newRow("pdf, FIFO") << "pdf"
                               << "fifo" << false;
    QTest::newRow("png, device") << "png"
                                 << "device" << false;
    QTest::newRow("pdf, another user's link in a sticky folder") << "pdf"
                                                                 << "shared link" << false;
    QTest::newRow("bytes, another user's link in a sticky folder") << "bytes"
                                                                   << "shared link" << false;
    QTest::newRow("bytes, own link in a sticky folder") << "bytes"
                                                        << "own link" << true;
    // clang-format off
    QTest::newRow("bytes, fsync interrupted: retried") << "bytes" << "fsync EINTR" << true;
    for (const char *code : {"EINVAL", "ENOTSUP", "EROFS"})
        QTest::addRow("bytes, fsync %s: cannot sync here, passes", code) << "bytes" << QString("fsync ") + code << true;
    QTest::newRow("pdf, another user's folder link in a sticky folder") << "pdf" << "shared folder link" << false;
    QTest::newRow("bytes, own folder link in a sticky folder") << "bytes" << "own folder link" << true;
    QTest::newRow("bytes, a 255-byte name") << "bytes" << "long name" << true;
    QTest::newRow("pdf, a killed writer's temporary is removed") << "pdf" << "stale temporary" << true;
    // clang-format on
    QTest::newRow("bytes, output is an input") << "bytes"
                                               << "input" << false;
    QTest::newRow("pdf, output is an input's hard link") << "pdf"
                                                         << "input hard link" << false;
    QTest::newRow("png, output is an input through a link") << "png"
                                                            << "input link" << false;
}

// Every way a write can fail leaves the old file whole and no temporary beside it, and says why;
// a write that succeeds replaces the file keeping its mode.
void TestSafeWrite::writer()
{
    QFETCH(QString, producer);
    QFETCH(QString, situation);
    QFETCH(bool, written);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString folder = dir.path();
    if (situation.contains("link")) {
        // A sticky world-writable folder, as /tmp is.
        folder = dir.filePath("shared");
        QVERIFY(QDir().mkdir(folder));
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 01777), 0);
    }
    const QString victim = dir.filePath("victim");
    QVERIFY(putFile(victim, Old, 0600));
    const bool folderLink = situation.contains("folder link");
    QString path = folder + (situation == "long name" ? "/" + QString(255, u'n') : "/out");
    if (folderLink) {
        // The link is a folder of the path, not its end.
        QVERIFY(QDir().mkdir(dir.filePath("victims")));
        QCOMPARE(::symlink(QFile::encodeName(dir.filePath("victims")).constData(),
                           QFile::encodeName(folder + "/link").constData()),
                 0);
        if (situation.startsWith("shared") &&
            ::lchown(QFile::encodeName(folder + "/link").constData(), 65534, 0))
            QSKIP("giving a link to another user needs root");
        path = folder + "/link/out";
    }
    const QString stale = folder + "/" + QString::fromLatin1(safewrite::TemporaryName("out"));
    if (situation == "stale temporary") {
        QVERIFY(putFile(stale, Old));
        const struct timespec then[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(stale).constData(), then, 0), 0);
    }
    safewrite::Options options;

    if (situation == "mode 0640")
        QVERIFY(putFile(path, Old, 0640));
    else if (situation != "new" && situation != "fifo" && situation != "device" &&
             !situation.contains("link") && situation != "stale temporary")
        QVERIFY(putFile(path, Old));
    if (situation == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    if (situation == "device" &&
        ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        QSKIP("making a device node needs root");
    if (situation.contains("link") && !folderLink) {
        QCOMPARE(::symlink(QFile::encodeName(victim).constData(), QFile::encodeName(path).constData()), 0);
        if (situation == "shared link" && ::lchown(QFile::encodeName(path).constData(), 65534, 65534) != 0)
            QSKIP("giving a link to another user needs root");
    }
    // Noted as the readers note what they open.
    if (situation == "input" || situation == "input link")
        inputs::Note(situation == "input" ? path : victim);
    if (situation == "input hard link") {
        QCOMPARE(
            ::link(QFile::encodeName(path).constData(), QFile::encodeName(dir.filePath("other")).constData()),
            0);
        inputs::Note(dir.filePath("other"));
    }
    const QStringList before = entries(folder);

    QString error;
    bool ok = false;
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (situation == "full disk")
            limit = std::make_unique<FileSizeLimit>(100);
        const QHash<QString, int> codes{
            {"EIO", EIO}, {"EINTR", EINTR}, {"EINVAL", EINVAL}, {"ENOTSUP", ENOTSUP}, {"EROFS", EROFS}};
        if (situation.startsWith("fsync"))
            safewrite::testing::FailNext(safewrite::testing::Step::Fsync, codes[situation.mid(6)]);
        if (situation == "close fails")
            safewrite::testing::FailNext(safewrite::testing::Step::Close, EIO);
        const auto paint = [](QPainter &p) { p.fillRect(QRectF(0, 0, 200, 200), Qt::blue); };
        if (producer == "pdf") {
            ok = pageexport::ExportPdf(path, "t", QSizeF(456, 456), 12, paint, &error, options);
        } else if (producer == "png") {
            ok = pageexport::ExportPng(path, QSizeF(456, 456), 12, 96, paint, &error, options);
        } else {
            safewrite::Writer w(path, options);
            ok = w.open(&error);
            QCOMPARE(w.isRefusedAsInput(), situation == "input");
            if (ok) {
                for (int i = 0; i < 3; ++i)
                    w.device()->write(QByteArray(4000, char('a' + i)));
                if (situation != "not committed")
                    ok = w.commit(&error);
                else
                    ok = false;
            }
        }
    }
    safewrite::testing::FailNext(safewrite::testing::Step::None, 0);

    QCOMPARE(ok, written);
    // No temporary stays behind, in the link's folder or in its target's.
    QCOMPARE(entries(dir.path()).filter("."), QStringList());
    QCOMPARE(entries(folder).filter("."), QStringList());
    if (folderLink) {
        QCOMPARE(entries(dir.filePath("victims")), written ? QStringList{"out"} : QStringList());
        return;
    }
    if (situation == "own link") {
        // A link of this user is written through, and stays a link.
        QCOMPARE(readAll(victim), QByteArray(4000, 'a') + QByteArray(4000, 'b') + QByteArray(4000, 'c'));
        QVERIFY(QFileInfo(path).isSymLink());
        return;
    }
    QCOMPARE(readAll(victim), Old); // never written through a link it should not follow
    if (!written) {
        if (situation != "not committed")
            QVERIFY(!error.isEmpty());
        QCOMPARE(entries(folder), before);
        struct stat st;
        QCOMPARE(::lstat(QFile::encodeName(path).constData(), &st), 0);
        if (situation == "fifo")
            QVERIFY(S_ISFIFO(st.st_mode));
        else if (situation == "device")
            QVERIFY(S_ISCHR(st.st_mode));
        else if (situation.contains("link"))
            QVERIFY(S_ISLNK(st.st_mode));
        else
            QCOMPARE(readAll(path), Old);
        return;
    }
    QVERIFY2(ok, qPrintable(error));
    QVERIFY(QFileInfo(path).isFile());
    const QByteArray bytes = readAll(path);
    if (producer == "pdf")
        QVERIFY(bytes.startsWith("%PDF") && bytes.trimmed().endsWith("%%EOF"));
    else if (producer == "png")
        QVERIFY(bytes.startsWith("\x89PNG"));
    else
        QCOMPARE(bytes, QByteArray(4000, 'a') + QByteArray(4000, 'b') + QByteArray(4000, 'c'));
    if (situation == "mode 0640") {
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
    }
}

QTEST_MAIN(TestSafeWrite)
#include "test_safewrite.moc"

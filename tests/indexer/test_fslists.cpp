// The index maker's own drive, folder and file lists and their shared listings.
#include <QtTest>

#include <QScrollBar>
#include <QStorageInfo>

#include <cerrno>

#include "fslists.h"
#include "tree.h"

using namespace fsl;

class TestFsLists : public QObject
{
    Q_OBJECT
private slots:
    void readableNames_data();
    void readableNames();
    void cleanPath_data();
    void cleanPath();
    void naturalOrder();
    void listingSplitsAndHides();
    void listingOfMissingFolder();
    void batchReadsOnce();
    void folderListShowsAncestorsAndSubfolders();
    void folderListRootIsTheVolume();
    void folderListOpensOnDoubleClickAndEnter();
    void selectingChangesNothing();
    void fileListRefreshKeepsScroll();
    void fileListShowsFromRow_data();
    void fileListShowsFromRow();
    void invalidUtf8NameOpens();
    void symlinkLoopDoesNotHang();
    void unreadableFolderDoesNotOpen();
    void systemVolumesAreDrives();
    void driveListStartsOnWorkingFolder();
    void driveListAddsMissingDrive();
    void hundredThousandFiles();
};

void TestFsLists::readableNames_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QByteArray("notes.txt") << "notes.txt";
    QTest::newRow("utf8") << QByteArray("caf\xc3\xa9 \xe2\x82\xac.txt") << QString::fromUtf8("café €.txt");
    QTest::newRow("emoji") << QByteArray("\xf0\x9f\x8e\xb5.mp3") << QString::fromUtf8("🎵.mp3");
    QTest::newRow("invalid") << QByteArray("bad\xff\xfe.txt") << "bad\\xFF\\xFE.txt";
    QTest::newRow("latin1") << QByteArray("caf\xe9.txt") << "caf\\xE9.txt";
    QTest::newRow("truncated") << QByteArray("x\xe2\x82") << "x\\xE2\\x82";
    QTest::newRow("overlong") << QByteArray("\xc0\xaf") << "\\xC0\\xAF";
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << "\\xED\\xA0\\x80";
    QTest::newRow("newline") << QByteArray("line\nbreak.txt") << "line\\nbreak.txt";
    QTest::newRow("tab and cr") << QByteArray("a\tb\rc") << "a\\tb\\rc";
    QTest::newRow("control") << QByteArray("a\x01z") << "a\\x01z";
    QTest::newRow("c1 control") << QByteArray("a\xc2\x85z") << "a\\xC2\\x85z";
    QTest::newRow("bidi override") << QByteArray("photo\xe2\x80\xaegnp.exe") << "photo\\xE2\\x80\\xAEgnp.exe";
    QTest::newRow("bidi embeddings") << QByteArray("\xe2\x80\xaa"
                                                   "a\xe2\x80\xac")
                                     << "\\xE2\\x80\\xAAa\\xE2\\x80\\xAC";
    QTest::newRow("bidi isolates") << QByteArray("\xe2\x81\xa6"
                                                 "b\xe2\x81\xa9\xff")
                                   << "\\xE2\\x81\\xA6b\\xE2\\x81\\xA9\\xFF";
    // Next to the escaped ranges: U+2029 and U+206A (escaped), U+202F (kept).
    QTest::newRow("range edges") << QByteArray("\xe2\x80\xa9\xe2\x80\xaf\xe2\x81\xaa")
                                 << "\\xE2\\x80\\xA9" + QString(QChar(0x202F)) + "\\xE2\\x81\\xAA";
    QTest::newRow("good after bad") << QByteArray("\xe9\xc3\xa9\xff") << QString::fromUtf8("\\xE9é\\xFF");
    QTest::newRow("c1 after bad") << QByteArray("\xff\xc2\x85\n") << "\\xFF\\xC2\\x85\\n";
    QTest::newRow("byte-order mark kept") << QByteArray("\xef\xbb\xbf"
                                                        "a")
                                          << "\\xEF\\xBB\\xBFa";
    // What draws nothing shows, except where it joins or varies what it stands by.
    QTest::newRow("zero-width space") << QByteArray("a\xe2\x80\x8b.txt") << "a\\xE2\\x80\\x8B.txt";
    QTest::newRow("selector on a letter") << QByteArray("a\xef\xb8\x8f") << "a\\xEF\\xB8\\x8F";
    QTest::newRow("emoji sequence") << QByteArray("\xe2\x9d\xa4\xef\xb8\x8f\xe2\x80\x8d\xf0\x9f\x94\xa5")
                                    << QString::fromUtf8("\u2764\uFE0F\u200D\U0001F525");
    QTest::newRow("persian non-joiner") << QByteArray("\xd9\x85\xdb\x8c\xe2\x80\x8c\xd8\xae")
                                        << QString::fromUtf8("\u0645\u06CC\u200C\u062E");
    QTest::newRow("sequence after bad")
        << QByteArray("\xff\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x92\xbb\xe2\x80\x8d")
        << "\\xFF" + QString::fromUtf8("\U0001F469\u200D\U0001F4BB") + "\\xE2\\x80\\x8D";
}

void TestFsLists::readableNames()
{
    QFETCH(QByteArray, raw);
    QFETCH(QString, text);
    QCOMPARE(ReadableName(raw), text);
    QVERIFY(!ReadableName(raw).contains(u'\n'));
}

void TestFsLists::cleanPath_data()
{
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("root") << QByteArray("/") << QByteArray("/");
    QTest::newRow("slashes") << QByteArray("//a//b/") << QByteArray("/a/b");
    QTest::newRow("dots") << QByteArray("/a/./b/../c") << QByteArray("/a/c");
    QTest::newRow("above root") << QByteArray("/../..") << QByteArray("/");
}

void TestFsLists::cleanPath()
{
    QFETCH(QByteArray, in);
    QFETCH(QByteArray, out);
    QCOMPARE(CleanPath(in), out);
}

void TestFsLists::naturalOrder()
{
    std::vector<Entry> v;
    for (const char *n : {"file10.txt", "File2.txt", "file1.txt", "b", "A", "a", "x02", "x1", "x3", "_under",
                          "Zebra", "apple", "\xc3\x89tude",
                          "\xc3\xa9"
                          "clair"})
        v.push_back({QByteArray(n), QString::fromUtf8(n)});
    SortEntries(v);
    QStringList got;
    for (const Entry &e : v)
        got << e.text;
    // Letters beyond ASCII fold too: "éclair" before "Étude".
    const QStringList want = {"_under",
                              "A",
                              "a",
                              "apple",
                              "b",
                              "file1.txt",
                              "File2.txt",
                              "file10.txt",
                              "x1",
                              "x02",
                              "x3",
                              "Zebra",
                              QStringLiteral("\u00e9clair"),
                              QStringLiteral("\u00c9tude")};
    QCOMPARE(got, want);
    QVERIFY(NaturalCompare(u"disc 9"_qs, u"disc 10"_qs) < 0);
    QVERIFY(NaturalCompare(u"a100b"_qs, u"a99b"_qs) > 0);
    QCOMPARE(NaturalCompare(u"same"_qs, u"same"_qs), 0);
}

void TestFsLists::listingSplitsAndHides()
{
    Tree t;
    QVERIFY(t.mkdir("Sub10") && t.mkdir("sub2") && t.mkdir(".hidden_dir"));
    QVERIFY(t.touch("b.txt") && t.touch("A.txt") && t.touch(".hidden"));
    QVERIFY(t.symlink("Sub10", "link_to_dir"));
    QVERIFY(t.symlink("nowhere", "broken_link"));
    ListingPtr l = ListingCache::Read(t.root());
    QVERIFY(l->ok);
    QStringList folders, files;
    for (const Entry &e : l->folders)
        folders << e.text;
    for (const Entry &e : l->files)
        files << e.text;
    QCOMPARE(folders, QStringList({"link_to_dir", "sub2", "Sub10"}));
    QCOMPARE(files, QStringList({"A.txt", "b.txt", "broken_link"}));
}

void TestFsLists::listingOfMissingFolder()
{
    Tree t;
    ListingPtr l = ListingCache::Read(t.path("absent"));
    QVERIFY(!l->ok);
    QCOMPARE(l->error, ENOENT);
    QVERIFY(l->files.empty() && l->folders.empty());
    QVERIFY(t.touch("plain"));
    QVERIFY(!ListingCache::Read(t.path("plain"))->ok);
}

void TestFsLists::batchReadsOnce()
{
    Tree t;
    QVERIFY(t.touch("one"));
    const quint64 before = ListingCache::ReadCount();
    {
        ListingCache::Batch b;
        ListingPtr a = ListingCache::Get(t.root());
        ListingPtr c = ListingCache::Get(t.root());
        QCOMPARE(a.get(), c.get());
        QCOMPARE(ListingCache::ReadCount(), before + 1);
    }
    // A new change reads anew and sees what changed meanwhile.
    QVERIFY(t.touch("two"));
    ListingCache::Batch b;
    QCOMPARE(ListingCache::Get(t.root())->files.size(), size_t(2));
    QCOMPARE(ListingCache::ReadCount(), before + 2);
}

void TestFsLists::folderListShowsAncestorsAndSubfolders()
{
    Tree t;
    QVERIFY(t.mkdir("disc") && t.mkdir("disc/Photos") && t.mkdir("disc/Music"));
    QVERIFY(t.touch("disc/readme.txt"));
    FakeVolumes vols{{"/", {}}, {t.root(), {}}};
    FolderListBox d;
    QSignalSpy spy(&d, &FolderListBox::Change);
    d.SetNativePath(t.path("disc"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(d.Path(), t.qpath("disc"));
    QCOMPARE(d.AncestorCount(), 2);
    QCOMPARE(d.Entries(), QStringList({t.qpath(""), "disc", "Music", "Photos"}));
    QCOMPARE(d.Level(0), 0);
    QCOMPARE(d.Level(1), 1);
    QCOMPARE(d.Level(2), 2);
    QCOMPARE(d.Level(3), 2);
    // Setting the same folder again raises the change again.
    d.SetNativePath(t.path("disc"));
    QCOMPARE(spy.count(), 2);
}

void TestFsLists::folderListRootIsTheVolume()
{
    Tree t;
    QVERIFY(t.mkdir("a") && t.mkdir("a/b") && t.mkdir("vol") && t.mkdir("vol/inner"));
    FakeVolumes vols{{"/", {}}, {t.path("vol"), {}}};
    FolderListBox d;
    d.SetNativePath(t.path("a/b"));
    QCOMPARE(d.Root(), QByteArray("/"));
    QCOMPARE(d.List(0), QStringLiteral("/"));
    QCOMPARE(d.List(d.AncestorCount() - 1), QStringLiteral("b"));
    QCOMPARE(d.AncestorCount(), static_cast<int>(t.root().count('/')) + 3);
    // A volume mounted below the root is a folder there: the list keeps its root.
    d.SetNativePath(t.path("vol/inner"));
    QCOMPARE(d.Root(), QByteArray("/"));
    QCOMPARE(d.List(0), QStringLiteral("/"));
    // Rooted at the volume when asked, and at "/" again for a folder outside it.
    d.SetNativePath(t.path("vol/inner"), t.path("vol"));
    QCOMPARE(d.Entries(), QStringList({t.qpath("vol"), "inner"}));
    d.SetNativePath(t.path("a"));
    QCOMPARE(d.Root(), QByteArray("/"));
    // A list that starts on a volume is rooted there.
    FolderListBox e;
    e.SetNativePath(t.path("vol/inner"));
    QCOMPARE(e.Root(), t.path("vol"));
}

void TestFsLists::folderListOpensOnDoubleClickAndEnter()
{
    Tree t;
    QVERIFY(t.mkdir("one") && t.mkdir("two") && t.mkdir("one/inner"));
    FakeVolumes vols{{"/", {}}, {t.root(), {}}};
    FolderListBox d;
    d.resize(200, 300);
    d.SetNativePath(t.root());
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QSignalSpy spy(&d, &FolderListBox::Change);
    const QRect row1 = d.visualRect(d.model()->index(1, 0)); // "one"
    QTest::mouseDClick(d.viewport(), Qt::LeftButton, {}, row1.center());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(d.NativePath(), t.path("one"));
    QCOMPARE(d.Subfolders(), QStringList({"inner"}));
    // Enter opens the current entry: the root.
    d.setCurrentIndex(d.model()->index(0, 0));
    QTest::keyClick(&d, Qt::Key_Return);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(d.NativePath(), t.root());
}

void TestFsLists::selectingChangesNothing()
{
    Tree t;
    QVERIFY(t.mkdir("one"));
    FolderListBox d;
    d.resize(200, 300);
    d.SetNativePath(t.root());
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QSignalSpy spy(&d, &FolderListBox::Change);
    const QRect last = d.visualRect(d.model()->index(d.ListCount() - 1, 0));
    QTest::mouseClick(d.viewport(), Qt::LeftButton, {}, last.center());
    QCOMPARE(spy.count(), 0);
    QCOMPARE(d.NativePath(), t.root());
}

void TestFsLists::fileListRefreshKeepsScroll()
{
    Tree t;
    for (int i = 0; i < 200; ++i)
        QVERIFY(t.touch(QByteArray("f") + QByteArray::number(i)));
    FileListBox f;
    f.resize(120, 200);
    f.SetNativePath(t.root());
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.scrollTo(f.model()->index(120, 0), QAbstractItemView::PositionAtTop);
    const int value = f.verticalScrollBar()->value();
    QVERIFY(value > 0);
    QVERIFY(t.touch("f999"));
    QVERIFY(f.Refresh());
    QCOMPARE(f.ListCount(), 201);
    QCoreApplication::processEvents(); // and after the view's delayed layout too
    QCOMPARE(f.verticalScrollBar()->value(), value);
    QVERIFY(t.remove(""));
    QVERIFY(!f.Refresh());
    QCOMPARE(f.ListCount(), 201); // a failed refresh leaves the list as it was
}

void TestFsLists::fileListShowsFromRow_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<int>("row");
    QTest::newRow("top") << 50 << 0;
    QTest::newRow("middle") << 50 << 20;
    QTest::newRow("last files") << 50 << 45;
    QTest::newRow("just past the end") << 50 << 50;
    QTest::newRow("far past the end") << 50 << 80;
    QTest::newRow("no files") << 0 << 5;
}

void TestFsLists::fileListShowsFromRow()
{
    QFETCH(int, files);
    QFETCH(int, row);
    Tree t;
    for (int i = 0; i < files; ++i)
        QVERIFY(t.touch("f" + QByteArray::number(i)));
    FileListBox f;
    f.resize(120, 200);
    f.SetNativePath(t.root());
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.ShowFromRow(row);
    QCoreApplication::processEvents();
    QCOMPARE(f.TopRow(), files ? row : 0);
    QCOMPARE(f.ListCount(), files);
    // What stands at the top: that file, or nothing past the last file.
    const QModelIndex top = f.indexAt(QPoint(4, 2));
    QCOMPARE(top.row(), files ? row : -1);
    QCOMPARE(top.data().toString(), row < files ? QStringLiteral("f%1").arg(row) : QString());
    if (!files)
        return;
    QVERIFY(f.WholeRows() > 5 && f.WholeRows() * f.sizeHintForRow(0) <= f.viewport()->height());
    QVERIFY(!(top.flags() & Qt::ItemIsSelectable) == (row >= files));
    // A refresh keeps the place; a folder set anew drops the blank rows.
    QVERIFY(f.Refresh());
    QCOMPARE(f.TopRow(), row);
    f.SetNativePath(t.root());
    QCoreApplication::processEvents();
    QCOMPARE(f.verticalScrollBar()->maximum(), std::max(0, files - f.WholeRows()));
}

void TestFsLists::invalidUtf8NameOpens()
{
    Tree t;
    const QByteArray bad("caf\xe9");
    QVERIFY(t.mkdir(bad));
    QVERIFY(t.touch(bad + "/inside\xff.txt"));
    QVERIFY(t.touch("line\nbreak.txt"));
    FakeVolumes vols{{"/", {}}, {t.root(), {}}};
    FolderListBox d;
    d.SetNativePath(t.root());
    QCOMPARE(d.Subfolders(), QStringList({"caf\\xE9"}));
    QVERIFY(d.OpenRow(d.AncestorCount()));
    QCOMPARE(d.NativePath(), t.path(bad));
    FileListBox f;
    f.SetNativePath(d.NativePath());
    QCOMPARE(f.Entries(), QStringList({"inside\\xFF.txt"}));
    f.SetNativePath(t.root());
    QCOMPARE(f.Entries(), QStringList({"line\\nbreak.txt"}));
}

void TestFsLists::symlinkLoopDoesNotHang()
{
    Tree t;
    QVERIFY(t.mkdir("a"));
    QVERIFY(t.symlink("..", "a/up"));   // a folder loop
    QVERIFY(t.symlink("self", "self")); // a link to itself
    FolderListBox d;
    d.SetNativePath(t.path("a"));
    for (int i = 0; i < 60; ++i) {
        const QStringList subs = d.Subfolders();
        const qsizetype at = subs.contains(QStringLiteral("a")) ? subs.indexOf(QStringLiteral("a"))
                                                                : subs.indexOf(QStringLiteral("up"));
        const int row = d.AncestorCount() + static_cast<int>(at);
        if (row < d.AncestorCount() || !d.OpenRow(row))
            break; // the kernel's link limit reached: the folder cannot be read
    }
    // The loop ends at the system's link limit or at 60 steps; ctest's timeout catches a hang.
    QVERIFY(d.NativePath().startsWith(t.path("a")));
    FileListBox f;
    f.SetNativePath(t.root());
    QVERIFY(f.Entries().contains(QStringLiteral("self")));
}

void TestFsLists::unreadableFolderDoesNotOpen()
{
    Tree t;
    QVERIFY(t.mkdir("locked") && t.touch("locked/secret") && t.mkdir("locked/inner"));
    t.lock("locked");
    RefusedFolders refused({t.path("locked")}, EACCES);
    FolderListBox d;
    d.SetNativePath(t.root());
    QSignalSpy changes(&d, &FolderListBox::Change);
    QSignalSpy failures(&d, &FolderListBox::OpenFailed);
    QVERIFY(!d.OpenRow(d.AncestorCount()));
    QCOMPARE(failures.count(), 1);
    QCOMPARE(failures.at(0).at(0).toByteArray(), t.path("locked"));
    QCOMPARE(failures.at(0).at(1).toInt(), EACCES);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(d.NativePath(), t.root());
    QCOMPARE(d.Subfolders(), QStringList({"locked"}));
    // Set from code, it shows empty and cannot be refreshed.
    d.SetNativePath(t.path("locked"));
    QVERIFY(!d.ReadOk());
    QVERIFY(d.Subfolders().isEmpty());
    QVERIFY(!d.Refresh());
}

void TestFsLists::systemVolumesAreDrives()
{
    const std::vector<Volume> v = Volumes::SystemVolumes();
    QVERIFY(std::any_of(v.begin(), v.end(), [](const Volume &x) { return x.root == "/"; }));
    for (const Volume &x : v) {
        const QStorageInfo info(QFile::decodeName(x.root));
        QVERIFY2(x.root == "/" || (info.fileSystemType() != "proc" && info.fileSystemType() != "sysfs" &&
                                   info.fileSystemType() != "tmpfs"),
                 x.root.constData());
        QVERIFY(!x.root.startsWith("/proc") && !x.root.startsWith("/sys/"));
    }
}

void TestFsLists::driveListStartsOnWorkingFolder()
{
    Tree t;
    QVERIFY(t.mkdir("drive") && t.mkdir("drive/work"));
    // A label that would reorder the line shows its control as an escape.
    FakeVolumes vols{{"/", {}},
                     {t.path("drive"), QStringLiteral("DI") + QChar(0x202E) + QStringLiteral("SC")}};
    WorkingFolder wf(t.path("drive/work"));
    DriveListBox d;
    QCOMPARE(d.NativeDrive(), t.path("drive"));
    QVERIFY2(d.currentText().endsWith(QStringLiteral("[DI\\xE2\\x80\\xAESC]")), qPrintable(d.currentText()));
    QCOMPARE(Volumes::OpenFolderOf(t.path("drive")), t.path("drive/work"));
    QCOMPARE(Volumes::OpenFolderOf("/"), QByteArray("/"));
}

void TestFsLists::driveListAddsMissingDrive()
{
    FakeVolumes vols{{"/", {}}};
    DriveListBox d;
    QSignalSpy spy(&d, &DriveListBox::Change);
    d.SetDrive("/no/such/drive");
    QCOMPARE(spy.count(), 1);
    QCOMPARE(d.NativeDrive(), QByteArray("/no/such/drive"));
    d.ReloadDrives(); // a reload keeps what is chosen and raises nothing
    QCOMPARE(d.NativeDrive(), QByteArray("/no/such/drive"));
    QCOMPARE(spy.count(), 1);
    // A disc put in shows when the list is opened, not before.
    vols.set({{"/", {}}, {"/media/disc", QStringLiteral("DISC")}});
    QCOMPARE(d.findData(QByteArray("/media/disc")), -1);
    d.show();
    static_cast<QComboBox &>(d).showPopup(); // as a click on the list does
    QVERIFY(d.findData(QByteArray("/media/disc")) >= 0);
    d.hidePopup();
    QCOMPARE(d.NativeDrive(), QByteArray("/no/such/drive"));
    QCOMPARE(spy.count(), 1);
}

void TestFsLists::hundredThousandFiles()
{
    Tree t;
    for (int i = 0; i < 100000; ++i)
        QVERIFY(t.touch("n" + QByteArray::number(i)));
    FileListBox f;
    f.resize(130, 400);
    f.show();
    f.SetNativePath(t.root());
    QCoreApplication::processEvents();
    QCOMPARE(f.ListCount(), 100000);
    QCOMPARE(f.List(0), QStringLiteral("n0"));
    QCOMPARE(f.List(1), QStringLiteral("n1"));
    QCOMPARE(f.List(10), QStringLiteral("n10"));
    QCOMPARE(f.List(99999), QStringLiteral("n99999"));
}

QTEST_MAIN(TestFsLists)
#include "test_fslists.moc"

// Recovery copies: the store (names, whose copy is whose, staleness, removal) and the
// designer keeping a copy while modified and offering it back.
#include <QtTest>

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "app_setup.h"
#include "design.h"
#include "records.h"
#include "recovery.h"
#include "scripteddialog.h"
#include "terminal.h"

namespace {

QStringList recordsWithHeadline(const QString &headline)
{
    QStringList r(designfile::RecordCount);
    r[0] = headline;
    return r;
}

QStringList copiesIn(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.qwd")}, QDir::Files);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

mode_t modeOf(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                   .size());
}

// Collects the lines said on stderr while it lives.
class Warnings
{
public:
    Warnings() { ::dup2(::fileno(file_), 2); }
    ~Warnings()
    {
        ::dup2(saved_, 2);
        ::close(saved_);
        std::fclose(file_);
    }
    QStringList seen() const
    {
        std::fflush(stderr);
        QFile f;
        if (!f.open(::fileno(file_), QIODevice::ReadOnly) || !f.seek(0))
            return {QStringLiteral("unread")};
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

private:
    std::FILE *file_ = std::tmpfile();
    int saved_ = ::dup(2);
};

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void defaultFolder_data();
    void defaultFolder();
    void copiesOfRunningDesignersAreTheirs();
    void lockOfALongRunningDesignerHolds();
    void staleness_data();
    void staleness();
    void designKeepsACopyWhileModified_data();
    void designKeepsACopyWhileModified();
    void steadyTypingWritesACopy();
    void offer_data();
    void offer();
    void folderRefused_data();
    void folderRefused();
    void plantedFiles_data();
    void plantedFiles();
    void staleCopiesHoldFewDescriptors();

private:
    // A copy whose designer is gone (its store let go of the lock without removing it).
    QString leaveOrphan(const QString &headline, const QString &designPath);
    std::unique_ptr<QTemporaryDir> tmp;
    QString folder;
    ScriptedDialogBackend dialogs;
};

void TestRecovery::initTestCase()
{
    SetupDesignerApplication();
    terminal::SetProgram("sleevedesk");
}

void TestRecovery::init()
{
    tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(tmp->isValid());
    folder = tmp->filePath(QStringLiteral("state/sleeve"));
    dialogs = ScriptedDialogBackend();
    CommonDialog::SetBackend(&dialogs);
}

void TestRecovery::cleanup()
{
    CommonDialog::SetBackend(nullptr);
    tmp.reset();
}

QString TestRecovery::leaveOrphan(const QString &headline, const QString &designPath)
{
    RecoveryStore gone(folder);
    if (!gone.Write(recordsWithHeadline(headline), designPath))
        return {};
    return gone.CopyPath();
}

void TestRecovery::defaultFolder_data()
{
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<QString>("expected");
    const QString home = QDir::homePath() + QStringLiteral("/.local/state/sleeve");
    QTest::newRow("set") << QByteArray("/var/tmp/st") << "/var/tmp/st/sleeve";
    QTest::newRow("unset") << QByteArray() << home;
    QTest::newRow("relative is ignored") << QByteArray("rel/st") << home;
}

void TestRecovery::defaultFolder()
{
    QFETCH(QByteArray, state);
    QFETCH(QString, expected);
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    if (state.isEmpty())
        qunsetenv("XDG_STATE_HOME");
    else
        qputenv("XDG_STATE_HOME", state);
    const QString folderSeen = RecoveryStore::DefaultFolder();
    if (saved.isNull())
        qunsetenv("XDG_STATE_HOME");
    else
        qputenv("XDG_STATE_HOME", saved);
    QCOMPARE(folderSeen, expected);
}

// Two designers keep two copies; neither is an orphan while its designer runs, in this
// process or in another one, and a killed designer's copy is.
void TestRecovery::copiesOfRunningDesignersAreTheirs()
{
    RecoveryStore a(folder), b(folder);
    QVERIFY(a.Write(recordsWithHeadline("a"), QString()));
    QVERIFY(b.Write(recordsWithHeadline("b"), QString()));
    QVERIFY(a.CopyPath() != b.CopyPath());
    QCOMPARE(designfile::Text(*designfile::Read(a.CopyPath()), 1), QStringLiteral("a"));
    QCOMPARE(designfile::Text(*designfile::Read(b.CopyPath()), 1), QStringLiteral("b"));

    QProcess other;
    other.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-copy"), folder});
    QVERIFY(other.waitForReadyRead(60000));
    QCOMPARE(other.readLine(), QByteArray("ready\n"));
    QCOMPARE(copiesIn(folder).size(), 3);

    RecoveryStore c(folder);
    QVERIFY(c.TakeOrphans().isEmpty());
    other.kill(); // SIGKILL: no chance to clean up
    QVERIFY(other.waitForFinished(60000));
    const auto orphans = c.TakeOrphans();
    QCOMPARE(orphans.size(), 1);
    QCOMPARE(orphans[0].designPath, QStringLiteral("/from/the/killed.qwd"));
    QCOMPARE(designfile::Text(*designfile::Read(orphans[0].copyPath), 1), QStringLiteral("killed"));
    // Held while it is offered: nobody else offers it at the same time.
    QVERIFY(RecoveryStore(folder).TakeOrphans().isEmpty());
    c.Discard(orphans[0]);
    QVERIFY(!QFile::exists(orphans[0].copyPath));
    QCOMPARE(copiesIn(folder).size(), 2);
}

// A designer on another machine that shares the folder (a network home) holds
// its lock by the lock file alone; hours later the lock still holds.
void TestRecovery::lockOfALongRunningDesignerHolds()
{
    const QString copy = leaveOrphan(QStringLiteral("elsewhere"), QString());
    QVERIFY(!copy.isEmpty());
    QFile lock(copy.chopped(4) + QStringLiteral(".lock"));
    QVERIFY(lock.open(QIODevice::WriteOnly | QIODevice::NewOnly));
    lock.write("4242\nsleevedesk\nanother-machine\n0123456789abcdef0123456789abcdef\n\n");
    QVERIFY(lock.flush());
    QVERIFY(
        lock.setFileTime(QDateTime::currentDateTime().addSecs(-3 * 3600), QFileDevice::FileModificationTime));
    lock.close();
    QVERIFY(RecoveryStore(folder).TakeOrphans().isEmpty());
    QVERIFY(QFile::exists(copy) && lock.exists());
}

void TestRecovery::staleness_data()
{
    QTest::addColumn<QString>("design"); // "" untitled; "older", "newer": saved before/after
    QTest::addColumn<bool>("offered");
    QTest::newRow("untitled") << "" << true;
    QTest::newRow("saved before the copy") << "older" << true;
    QTest::newRow("saved after the copy") << "newer" << false;
    QTest::newRow("design file gone") << "gone" << true;
}

void TestRecovery::staleness()
{
    QFETCH(QString, design);
    QFETCH(bool, offered);
    const QString designPath = design.isEmpty() ? QString() : tmp->filePath(QStringLiteral("cover.qwd"));
    const QString copy = leaveOrphan(QStringLiteral("x"), designPath);
    QVERIFY(!copy.isEmpty());
    const QDateTime written = QDateTime::currentDateTime().addSecs(-60);
    {
        QFile f(copy);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(written, QFileDevice::FileModificationTime));
    }
    if (design == "older" || design == "newer") {
        QFile f(designPath);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(
            f.setFileTime(written.addSecs(design == "older" ? -5 : 5), QFileDevice::FileModificationTime));
    }
    RecoveryStore store(folder);
    const auto orphans = store.TakeOrphans();
    QCOMPARE(orphans.size(), offered ? 1 : 0);
    QCOMPARE(QFile::exists(copy), offered);
    QCOMPARE(QDir(folder).entryList(QDir::Files).isEmpty(), !offered); // side file and lock too
    if (offered)
        QCOMPARE(orphans[0].designPath, designPath);
}

void TestRecovery::designKeepsACopyWhileModified_data()
{
    QTest::addColumn<QString>("then");
    QTest::newRow("changed back") << "changed back";
    QTest::newRow("saved") << "saved";
    QTest::newRow("closed") << "closed";
    QTest::newRow("killed") << "killed";
}

// The copy is written a few seconds after a change (not on the keystroke), holds the
// design's records, and goes once nothing is unsaved or the designer closes cleanly.
void TestRecovery::designKeepsACopyWhileModified()
{
    QFETCH(QString, then);
    auto d = std::make_unique<Design>();
    d->StartRecovery(folder);
    d->show();
    QTest::keyClicks(d->Text10, "5"); // the box thickness, now 25
    QVERIFY(d->RecoveryCopyDue());
    QVERIFY(copiesIn(folder).isEmpty());
    d->WriteRecoveryCopy();
    QVERIFY(!d->RecoveryCopyDue());
    const QString copy = d->Recovery()->CopyPath();
    QCOMPARE(copiesIn(folder).size(), 1);
    const auto records = designfile::Read(copy);
    QVERIFY(records);
    for (int n = 1; n <= designfile::RecordCount; ++n)
        QCOMPARE(designfile::Text(*records, n), d->DesignRecords().at(n - 1));

    if (then == "changed back") {
        d->Text10->setText(QStringLiteral("2"));
        d->WriteRecoveryCopy();
    } else if (then == "saved") {
        dialogs.push(ScriptedDialogBackend::choose(tmp->filePath(QStringLiteral("saved.qwd"))));
        d->Command2->click();
    } else if (then == "closed") {
        Design::SetValue(d->Check12, 0);
        QVERIFY(d->close());
    } else {
        d.reset(); // gone without closing
    }
    QCOMPARE(QFile::exists(copy), then == "killed");
}

// Keys pressed faster than the delay do not put the copy off: it is written
// the delay after the first change, while typing goes on.
void TestRecovery::steadyTypingWritesACopy()
{
    Design d;
    d.StartRecovery(folder);
    d.show();
    QElapsedTimer typing;
    typing.start();
    // Typing goes on well past the delay; restarted by each key, the timer would never fire.
    const qint64 limit = 3 * Design::RecoveryDelayMs;
    while (copiesIn(folder).isEmpty() && typing.elapsed() < limit) {
        QTest::keyClicks(d.Text1, "a");
        QTest::qWait(Design::RecoveryDelayMs / 6);
    }
    QCOMPARE(copiesIn(folder).size(), 1);
    QVERIFY(designfile::Text(*designfile::Read(d.Recovery()->CopyPath()), 1).startsWith(QStringLiteral("a")));
}

void TestRecovery::offer_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("restore") << "Restore";
    QTest::newRow("discard") << "Discard";
    QTest::newRow("close box") << "";
}

void TestRecovery::offer()
{
    QFETCH(QString, answer);
    const QString designPath = QStringLiteral("/some/where/<b>cover</b>.qwd");
    const QString copy = leaveOrphan(QStringLiteral("lost work"), designPath);
    Design d;
    d.StartRecovery(folder);
    auto *offer = d.findChild<QDialog *>(QStringLiteral("RecoveryOffer"));
    QVERIFY(offer);
    QVERIFY(offer->isVisible());
    auto *text = offer->findChild<QLabel *>(QStringLiteral("Label1"));
    QCOMPARE(text->textFormat(), Qt::PlainText);
    QVERIFY(text->text().contains(designPath));
    if (answer.isEmpty())
        offer->close();
    else
        offer->findChild<QPushButton *>(answer)->click();

    const bool restored = answer == "Restore";
    QCOMPARE(d.Label2->Caption(), restored ? QStringLiteral("lost work") : QString());
    QCOMPARE(d.Text1->text(), d.Label2->Caption());
    QCOMPARE(d.IsModified(), restored);
    QCOMPARE(d.DesignPath(), restored ? designPath : QString());
    QCOMPARE(QFile::exists(copy), answer != "Discard");
    // Restored, the copy is this designer's own; unanswered, it waits for the next start.
    QCOMPARE(RecoveryStore(folder).TakeOrphans().size(), answer.isEmpty() ? 1 : 0);
    if (restored)
        QCOMPARE(d.Recovery()->CopyPath(), copy);
}

void TestRecovery::folderRefused_data()
{
    QTest::addColumn<QString>("folderIs");
    QTest::addColumn<bool>("refused");
    QTest::newRow("world-writable") << "0777" << true;
    QTest::newRow("group-writable") << "0770" << true;
    QTest::newRow("another user's") << "other" << true;
    QTest::newRow("a link to a folder of ours") << "link" << true;
    QTest::newRow("readable by others: made private") << "0755" << false;
    QTest::newRow("missing: made private") << "missing" << false;
}

// A folder others could plant files in is refused with one warning line: no copy is offered or
// written for the run, and nothing in it (or, for a link, behind it) changes.
void TestRecovery::folderRefused()
{
    QFETCH(QString, folderIs);
    QFETCH(bool, refused);
    const QString real = folderIs == "link" ? tmp->filePath(QStringLiteral("real")) : folder;
    if (folderIs != "missing") {
        const QString keep = folder;
        folder = real;
        QVERIFY(!leaveOrphan(QStringLiteral("lost work"), QString()).isEmpty());
        folder = keep;
    }
    const QByteArray native = QFile::encodeName(real);
    if (folderIs == "link") {
        QCOMPARE(::chmod(native.constData(), 0755), 0);
        QVERIFY(QDir().mkpath(QFileInfo(folder).path()));
        QCOMPARE(::symlink(native.constData(), QFile::encodeName(folder).constData()), 0);
    } else if (folderIs == "other") {
        if (::chown(native.constData(), 65534, 65534) != 0)
            QSKIP("giving a folder to another user needs root");
    } else if (folderIs != "missing") {
        QCOMPARE(::chmod(native.constData(), mode_t(folderIs.toUInt(nullptr, 8))), 0);
    }
    const mode_t modeBefore = modeOf(real);
    const QStringList before = QDir(real).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    Warnings warnings;
    {
        Design d;
        d.StartRecovery(folder);
        QCOMPARE(d.findChild<QDialog *>(QStringLiteral("RecoveryOffer")) != nullptr,
                 folderIs != "missing" && !refused);
        for (const char *key : {"5", "6"}) {
            QTest::keyClicks(d.Text10, QString::fromLatin1(key));
            d.WriteRecoveryCopy();
        }
        QCOMPARE(d.Recovery()->Off(), refused);
        QCOMPARE(d.Recovery()->CopyPath().isEmpty(), refused);
        if (refused) {
            QCOMPARE(QDir(real).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
            QCOMPARE(modeOf(real), modeBefore);
        } else {
            QCOMPARE(modeOf(real), mode_t(0700));
            QVERIFY(QFile::exists(d.Recovery()->CopyPath()));
        }
    }
    const QStringList seen = warnings.seen();
    QCOMPARE(seen.size(), refused ? 1 : 0);
    if (refused)
        QVERIFY2(seen[0].startsWith(QStringLiteral("sleevedesk: recovery is off: the folder ")),
                 qPrintable(seen[0]));
}

void TestRecovery::plantedFiles_data()
{
    QTest::addColumn<QString>("planted");
    QTest::newRow("a link to a victim's file") << "link";
    QTest::newRow("another user's copy") << "other";
    QTest::newRow("a FIFO") << "fifo";
    QTest::newRow("a link in place of our own copy") << "own copy";
    QTest::newRow("the folder moved, a link in its place") << "moved folder";
}

// Only this user's regular files are copies: a planted link or FIFO, or another owner's file, is
// neither offered, nor read, nor written through.
void TestRecovery::plantedFiles()
{
    QFETCH(QString, planted);
    const QString victim = tmp->filePath(QStringLiteral("victim.qwd"));
    QStringList records = recordsWithHeadline(QStringLiteral("the victim's"));
    QVERIFY(designfile::Write(victim, records));
    const QByteArray victimBytes = fileBytes(victim);

    RecoveryStore store(folder);
    QVERIFY(store.Write(recordsWithHeadline(QStringLiteral("mine")), QString()));
    const QString plant = folder + QStringLiteral("/design-1-00000001.qwd");
    const QByteArray nativePlant = QFile::encodeName(plant);
    if (planted == "link") {
        QCOMPARE(::symlink(QFile::encodeName(victim).constData(), nativePlant.constData()), 0);
    } else if (planted == "fifo") {
        QCOMPARE(::mkfifo(nativePlant.constData(), 0600), 0);
    } else if (planted == "other") {
        QVERIFY(designfile::Write(plant, records));
        if (::chown(nativePlant.constData(), 65534, 65534) != 0)
            QSKIP("giving a file to another user needs root");
    } else if (planted == "moved folder") {
        // Whoever owns the folder above can do this once the folder was checked.
        const QString victims = tmp->filePath(QStringLiteral("victims"));
        QVERIFY(QDir().mkdir(victims) && QDir().rename(folder, folder + QStringLiteral(".moved")));
        QCOMPARE(::symlink(QFile::encodeName(victims).constData(), QFile::encodeName(folder).constData()), 0);
        QVERIFY(store.Write(recordsWithHeadline(QStringLiteral("after the move")), QString()));
        QCOMPARE(QDir(victims).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        const auto copy =
            RecoveryStore::ReadCopy(folder + ".moved/" + QFileInfo(store.CopyPath()).fileName());
        QVERIFY(copy &&
                designfile::Text(*copy, records::TopHeadlineText) == QStringLiteral("after the move"));
    } else {
        const QByteArray own = QFile::encodeName(store.CopyPath());
        QCOMPARE(::unlink(own.constData()), 0);
        QCOMPARE(::symlink(QFile::encodeName(victim).constData(), own.constData()), 0);
        QString error;
        QVERIFY(!store.Write(recordsWithHeadline(QStringLiteral("written through")), QString(), &error));
        QVERIFY(error.contains(QStringLiteral("link")));
        QVERIFY(!RecoveryStore::ReadCopy(store.CopyPath()));
    }
    QVERIFY(RecoveryStore(folder).TakeOrphans().isEmpty());
    if (planted != "own copy") {
        QString error;
        QVERIFY(!RecoveryStore::ReadCopy(plant, &error));
        QVERIFY(!error.isEmpty());
    }
    QCOMPARE(fileBytes(victim), victimBytes);
}

// Each orphan offered holds its lock (a descriptor): a thousand copies left behind must not hold
// a thousand, which would make the next copy fail under the usual limit of 1,024.
void TestRecovery::staleCopiesHoldFewDescriptors()
{
    QVERIFY(QDir().mkpath(folder));
    const QByteArray design = designfile::Encode(recordsWithHeadline(QStringLiteral("stale")));
    for (int i = 0; i < 1000; ++i) {
        QFile copy(QStringLiteral("%1/design-1-%2.qwd").arg(folder).arg(i, 8, 16, QChar(u'0')));
        QVERIFY(copy.open(QIODevice::WriteOnly) && copy.write(design) == design.size());
    }
    const int before = openDescriptors();
    RecoveryStore store(folder);
    const auto orphans = store.TakeOrphans();
    QCOMPARE(orphans.size(), RecoveryStore::MaxOrphans);
    // The orphans' locks, and the folder the store holds.
    QVERIFY2(openDescriptors() - before <= RecoveryStore::MaxOrphans + 1,
             qPrintable(QString::number(openDescriptors() - before)));
    QVERIFY(store.Write(recordsWithHeadline(QStringLiteral("next")), QString()));
    // The others wait for a later start.
    for (const auto &o : orphans)
        store.Release(o);
    QCOMPARE(RecoveryStore(folder).TakeOrphans().size(), RecoveryStore::MaxOrphans);
}

int main(int argc, char *argv[])
{
    // The other designer of copiesOfRunningDesignersAreTheirs: keeps a copy until killed.
    if (argc == 3 && qstrcmp(argv[1], "--hold-copy") == 0) {
        QCoreApplication app(argc, argv);
        RecoveryStore store(QString::fromLocal8Bit(argv[2]));
        if (!store.Write(recordsWithHeadline(QStringLiteral("killed")),
                         QStringLiteral("/from/the/killed.qwd")))
            return 1;
        std::puts("ready");
        std::fflush(stdout);
        std::getchar(); // killed before anything comes
        return 0;
    }
    QApplication app(argc, argv);
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_recovery.moc"

// The launcher's window: its elements, the screen check, and the
// starting of programs by name from the launcher's own folder.

#include <QtTest>

#include "artwork.h"
#include "colors.h"
#include "fonts.h"
#include "programs.h"
#include "startup.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

namespace {

const QColor Peach = colors::ToQColor(0x00C0E0FF);

// A stand-in for one of the suite's programs: records that it ran and with
// how many arguments, then keeps running, as a real program does, until the
// test leaves a "release" file beside it (or its folder goes).
bool WriteStandIn(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(
        "#!/bin/sh\n"
        "exec >/dev/null 2>&1\n"
        "PATH=/usr/bin:/bin\n"
        "here=$(dirname \"$0\"); name=$(basename \"$0\")\n"
        "echo \"$name $#\" > \"$here/ran-$name.tmp\" && mv \"$here/ran-$name.tmp\" \"$here/ran-$name\"\n"
        "i=0\n"
        "while [ -d \"$here\" ] && [ ! -e \"$here/release\" ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i+1)); "
        "done\n"
        "echo done > \"$here/finished-$name\"\n");
    file.close();
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

QString ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

// Keeps PATH pointing at a given folder for one test.
class PathGuard
{
public:
    explicit PathGuard(const QString &path) : saved_(qgetenv("PATH")) { qputenv("PATH", path.toLocal8Bit()); }
    ~PathGuard() { qputenv("PATH", saved_); }
    PathGuard(const PathGuard &) = delete;
    PathGuard &operator=(const PathGuard &) = delete;

private:
    QByteArray saved_;
};

struct Recorder {
    QStringList paths;
    QList<bool> minimisedAtStart;
};

// A launcher whose programs are "started" into a recorder.
std::unique_ptr<Startup> RecordingStartup(Recorder &rec, const QString &folder, int width = 1024)
{
    auto window = std::make_shared<Startup *>(nullptr);
    Startup::Platform platform;
    platform.workAreaWidth = [width] { return width; };
    platform.programFolder = folder;
    platform.startDetached = [&rec, window](const QString &path, QString *) {
        rec.paths << path;
        rec.minimisedAtStart << (*window && (*window)->isMinimized());
        return true;
    };
    auto startup = std::make_unique<Startup>(platform);
    *window = startup.get();
    return startup;
}

QMessageBox *FailureBox(const Startup &startup)
{
    for (QMessageBox *box : startup.findChildren<QMessageBox *>(QStringLiteral("startFailure")))
        if (box->isVisible())
            return box;
    return nullptr;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void window();
    void elements_data();
    void elements();
    void looks();
    void titleShowsThroughBanner();
    void screenCheck_data();
    void screenCheck();
    void screenCheckReadsTheScreen();
    void executableName_data();
    void executableName();
    void resolveOrder();
    void resolveProblems();
    void startsProgramBesideLauncher_data();
    void startsProgramBesideLauncher();
    void narrowScreenStillOpensInstructions();
    void minimiseOrder_data();
    void minimiseOrder();
    void missingProgram();
    void programThatCannotRun_data();
    void programThatCannotRun();

private:
    QString emptyPath_;
    QTemporaryDir emptyDir_;
};

void TestStartup::initTestCase()
{
    fonts::InstallSubstitutions();
    QVERIFY(emptyDir_.isValid());
    emptyPath_ = emptyDir_.path();
}

void TestStartup::window()
{
    Startup startup({[] { return 1024; }, {}, {}});
    QCOMPARE(startup.windowTitle(), QStringLiteral("Quirewell Program Launcher"));
    QCOMPARE(startup.size(), QSize(434, 310));
    QCOMPARE(startup.minimumSize(), QSize(434, 310));
    QCOMPARE(startup.maximumSize(), QSize(434, 310));
    QVERIFY(!(startup.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(startup.windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(startup.palette().color(QPalette::Window), QColor(255, 224, 192));
    QCOMPARE(startup.palette().color(QPalette::Window), Peach);

    const QList<QSize> sizes = startup.windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(32, 32)));
    // Drawn, not blank: both sizes carry opaque pixels.
    for (int size : {16, 32}) {
        const QImage icon = startup.windowIcon().pixmap(size, size).toImage();
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(qAlpha(icon.pixel(size / 2, size / 2)) > 0);
    }
}

void TestStartup::elements_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::newRow("Image1") << "Image1" << QRect(48, 8, 342, 65) << QString();
    QTest::newRow("Label1") << "Label1" << QRect(48, 8, 337, 73) << "CD-R QUIREWELL";
    QTest::newRow("Label2") << "Label2" << QRect(16, 80, 401, 89)
                            << " Make custom covers for your jewel boxed CDs complete with graphics "
                               "and text.  Quickly index your data CD-R and RW disks showing folders "
                               "and files.  Print them on plain paper or card stock.  Cut to fit and "
                               "you'll soon know what's on EACH ONE of your CDs!  ";
    QTest::newRow("Command3") << "Command3" << QRect(168, 168, 97, 17) << "Open Instructions";
    QTest::newRow("Command1") << "Command1" << QRect(8, 176, 89, 81) << "Run CD-R Data Index Quirewell";
    QTest::newRow("Command2") << "Command2" << QRect(336, 176, 89, 81) << "Run CD-R Custom Quirewell";
    QTest::newRow("Label3") << "Label3" << QRect(136, 200, 169, 25) << QString();
    QTest::newRow("Check1") << "Check1" << QRect(152, 256, 145, 17) << "Minimize This Form When Checked";
    QTest::newRow("Label4") << "Label4" << QRect(24, 280, 385, 33) << QString();
}

void TestStartup::elements()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    Startup startup({[] { return 1024; }, {}, {}});
    auto *widget = startup.findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    if (auto *label = qobject_cast<QLabel *>(widget); label && !text.isEmpty())
        QCOMPARE(label->text(), text);
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        QCOMPARE(button->text(), text);
    // Our own words, but words there are.
    if (name == QLatin1String("Label3") || name == QLatin1String("Label4"))
        QVERIFY(!qobject_cast<QLabel *>(widget)->text().trimmed().isEmpty());
    QVERIFY(widget->isEnabled());
    // The members are the named elements.
    const QHash<QString, QWidget *> members{
        {"Image1", startup.Image1},     {"Label1", startup.Label1},     {"Label2", startup.Label2},
        {"Label3", startup.Label3},     {"Label4", startup.Label4},     {"Command1", startup.Command1},
        {"Command2", startup.Command2}, {"Command3", startup.Command3}, {"Check1", startup.Check1}};
    QCOMPARE(members.value(name), widget);
}

void TestStartup::looks()
{
    Startup startup({[] { return 1024; }, {}, {}});
    QCOMPARE(startup.Label1->font().family(), QStringLiteral("Braggadocio"));
    QCOMPARE(startup.Label1->font().pointSizeF(), 20.25);
    QCOMPARE(startup.Label1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    if (!QFontDatabase::hasFamily(QStringLiteral("Braggadocio"))) {
        // Mapped onto an installed face rather than Qt's default.
        const QString shown = QFontInfo(startup.Label1->font()).family();
        QVERIFY2(QFont::substitutes(QStringLiteral("Braggadocio")).contains(shown, Qt::CaseInsensitive),
                 qPrintable(shown));
    }

    QCOMPARE(startup.Label2->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(startup.Label2->font().pointSizeF(), 9.75);
    QVERIFY(startup.Label2->font().bold());
    QCOMPARE(startup.Label3->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(startup.Label3->font().pointSizeF(), 13.5);
    QCOMPARE(startup.Label3->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(startup.Check1->font().family(), QStringLiteral("MS Serif"));
    QCOMPARE(startup.Check1->font().pointSizeF(), 6.0);
    QCOMPARE(startup.Check1->checkState(), Qt::Unchecked);

    for (QWidget *w : std::initializer_list<QWidget *>{startup.Label1, startup.Label2, startup.Label3,
                                                       startup.Label4, startup.Check1}) {
        QVERIFY2(w->autoFillBackground(), qPrintable(w->objectName()));
        QCOMPARE(w->palette().color(QPalette::Window), Peach);
    }
    const QPixmap banner = startup.Image1->pixmap();
    QCOMPARE(banner.size(), QSize(342, 65));
    QCOMPARE(artwork::Banner().size(), QSize(342, 65));
}

void TestStartup::titleShowsThroughBanner()
{
    // The banner lies over Label1, clear where the title is written: the
    // red title must show in the top band of the painted window.
    Startup startup({[] { return 1024; }, {}, {}});
    QVERIFY(startup.Image1->geometry().intersects(startup.Label1->geometry()));
    const QImage shot = startup.grab().toImage();
    int red = 0;
    int banner = 0;
    for (int y = 8; y < 46; ++y)
        for (int x = 48; x < 250; ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
                ++red;
        }
    // and the banner's own drawing shows on its right, where no text is.
    for (int y = 8; y < 73; ++y)
        for (int x = 330; x < 390; ++x)
            if (shot.pixelColor(x, y) != Peach)
                ++banner;
    // The check box stands on the peach too, past the end of its caption.
    const QPoint beyondCaption = startup.Check1->geometry().topRight() + QPoint(-2, 2);
    QCOMPARE(shot.pixelColor(beyondCaption), Peach);
    QVERIFY2(red > 200, qPrintable(QString::number(red)));
    QVERIFY2(banner > 500, qPrintable(QString::number(banner)));
}

void TestStartup::screenCheck_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("programsEnabled");
    QTest::newRow("800") << 800 << true;
    QTest::newRow("750 passes") << 750 << true;
    QTest::newRow("749") << 749 << false;
    QTest::newRow("640") << 640 << false;
}

void TestStartup::screenCheck()
{
    QFETCH(int, width);
    QFETCH(bool, programsEnabled);
    Startup startup({[width] { return width; }, {}, {}});
    QCOMPARE(startup.WorkAreaWidth(), width);
    QCOMPARE(startup.Command1->isEnabled(), programsEnabled);
    QCOMPARE(startup.Command2->isEnabled(), programsEnabled);
    // Disabled, not hidden; and the instructions stay available.
    QVERIFY(!startup.Command1->isHidden());
    QVERIFY(!startup.Command2->isHidden());
    QVERIFY(startup.Command3->isEnabled());
    QVERIFY(startup.Check1->isEnabled());
    QCOMPARE(startup.Label2->text(),
             programsEnabled ? Startup::Description
                             : QStringLiteral("Sorry!  You MUST be running in AT LEAST 600 x 800 screen "
                                              "resolution mode to use these programs!  Click your right "
                                              "button on the desktop and change SETTINGS to 600 x 800 "
                                              "then run this program again!"));
}

void TestStartup::screenCheckReadsTheScreen()
{
    // Without an injected width the check reads the screen's work area
    // (offscreen: 800 wide, so it passes).
    const QScreen *screen = QGuiApplication::primaryScreen();
    QVERIFY(screen);
    QCOMPARE(Startup::ScreenWorkAreaWidth(), screen->availableGeometry().width());
    Startup startup;
    QCOMPARE(startup.WorkAreaWidth(), screen->availableGeometry().width());
    QCOMPARE(startup.Command1->isEnabled(), startup.WorkAreaWidth() >= 750);
    QCOMPARE(startup.ProgramFolder(), QCoreApplication::applicationDirPath());
}

void TestStartup::executableName_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("executable");
    QTest::newRow("index maker") << "sleeveindex.exe"
                                 << "sleeveindex";
    QTest::newRow("designer") << "sleevedesk.exe"
                              << "sleevedesk";
    QTest::newRow("instructions") << "sleeveguide.exe"
                                  << "sleeveguide";
    QTest::newRow("upper case") << "SLEEVEDESK.EXE"
                                << "SLEEVEDESK";
    QTest::newRow("no extension") << "sleevedesk"
                                  << "sleevedesk";
    QTest::newRow("only the extension") << ".exe"
                                        << ".exe";
    QTest::newRow("other extension") << "notes.txt"
                                     << "notes.txt";
}

void TestStartup::executableName()
{
    QFETCH(QString, file);
    QFETCH(QString, executable);
    QCOMPARE(programs::ExecutableName(file), executable);
}

void TestStartup::resolveOrder()
{
    QTemporaryDir beside;
    QTemporaryDir onPath;
    QVERIFY(beside.isValid() && onPath.isValid());
    QVERIFY(WriteStandIn(beside.filePath("sleevedesk")));
    QVERIFY(WriteStandIn(onPath.filePath("sleevedesk")));
    PathGuard path(onPath.path());

    // Beside the launcher first,
    programs::Resolution found = programs::Resolve(QStringLiteral("sleevedesk.exe"), beside.path());
    QCOMPARE(found.problem, programs::Problem::None);
    QCOMPARE(found.path, beside.filePath("sleevedesk"));
    // then the search path.
    QVERIFY(QFile::remove(beside.filePath("sleevedesk")));
    found = programs::Resolve(QStringLiteral("sleevedesk.exe"), beside.path());
    QCOMPARE(found.problem, programs::Problem::None);
    QCOMPARE(found.path, onPath.filePath("sleevedesk"));
}

// What lies beside the launcher under a program's name, for the tests below.
enum class Beside { Nothing, NoExecuteBit, Folder, BrokenLink, NotAProgram, MissingInterpreter };

bool PlaceBeside(const QString &path, Beside what)
{
    QFile file(path);
    switch (what) {
    case Beside::Nothing: return true;
    case Beside::Folder: return QDir().mkdir(path);
    case Beside::BrokenLink: return QFile::link(path + QStringLiteral(".gone"), path);
    case Beside::NoExecuteBit:
    case Beside::NotAProgram:
    case Beside::MissingInterpreter: break;
    }
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(what == Beside::NotAProgram ? "plain words\n" : "#!/no/such/shell\n");
    file.close();
    QFileDevice::Permissions mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (what != Beside::NoExecuteBit)
        mode |= QFileDevice::ExeOwner;
    return file.setPermissions(mode);
}

void TestStartup::resolveProblems()
{
    QTemporaryDir beside;
    QVERIFY(beside.isValid());
    PathGuard path(emptyPath_);
    const QString folder = beside.path();
    QCOMPARE(programs::Resolve(QStringLiteral("sleevedesk.exe"), folder).problem,
             programs::Problem::NotFound);
    // Only bare names: nothing outside the folder and the search path.
    QVERIFY(WriteStandIn(beside.filePath("sleeveguide")));
    QVERIFY(QDir(folder).mkdir(QStringLiteral("sub")));
    const QString inSub = QStringLiteral("../%1/sleeveguide").arg(QFileInfo(folder).fileName());
    QCOMPARE(programs::Resolve(inSub, folder + QStringLiteral("/sub")).problem, programs::Problem::NotFound);
    QCOMPARE(programs::Resolve(QString(), folder).problem, programs::Problem::NotFound);
    QCOMPARE(programs::Resolve(QStringLiteral(".."), folder).problem, programs::Problem::NotFound);
}

void TestStartup::startsProgramBesideLauncher_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("program");
    QTest::newRow("Command1") << "Command1"
                              << "sleeveindex";
    QTest::newRow("Command2") << "Command2"
                              << "sleevedesk";
    QTest::newRow("Command3") << "Command3"
                              << "sleeveguide";
}

void TestStartup::startsProgramBesideLauncher()
{
    QFETCH(QString, button);
    QFETCH(QString, program);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (const char *name : {"sleeveindex", "sleevedesk", "sleeveguide"})
        QVERIFY(WriteStandIn(folder.filePath(QLatin1String(name))));
    PathGuard path(emptyPath_);

    // The real starter; only the folder is the test's.
    Startup startup({[] { return 1024; }, folder.path(), {}});
    startup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&startup));
    auto *pressed = startup.findChild<QPushButton *>(button);
    QVERIFY(pressed);
    QTest::mouseClick(pressed, Qt::LeftButton);
    // The click came back while the program still runs: no waiting.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.filePath("ran-" + program)), 10000);
    QVERIFY(!QFile::exists(folder.filePath("finished-" + program)));
    // That one program, with no arguments.
    QCOMPARE(ReadAll(folder.filePath("ran-" + program)), program + QStringLiteral(" 0"));
    const QStringList ran = QDir(folder.path()).entryList({QStringLiteral("ran-*")}, QDir::Files);
    QCOMPARE(ran, QStringList{"ran-" + program});
    QVERIFY(!FailureBox(startup));
    QVERIFY(!startup.isMinimized());
    QFile release(folder.filePath("release"));
    QVERIFY(release.open(QIODevice::WriteOnly));
    release.close();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.filePath("finished-" + program)), 10000);
}

void TestStartup::narrowScreenStillOpensInstructions()
{
    Recorder rec;
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (const char *name : {"sleeveindex", "sleevedesk", "sleeveguide"})
        QVERIFY(WriteStandIn(folder.filePath(QLatin1String(name))));
    auto startup = RecordingStartup(rec, folder.path(), 640);
    startup->show();
    QVERIFY(QTest::qWaitForWindowExposed(startup.get()));

    QTest::mouseClick(startup->Command1, Qt::LeftButton);
    QTest::mouseClick(startup->Command2, Qt::LeftButton);
    QVERIFY(rec.paths.isEmpty());
    QTest::mouseClick(startup->Command3, Qt::LeftButton);
    QCOMPARE(rec.paths, QStringList{folder.filePath("sleeveguide")});
    // Pressing again starts another one.
    QTest::mouseClick(startup->Command3, Qt::LeftButton);
    QCOMPARE(rec.paths.size(), 2);
}

void TestStartup::minimiseOrder_data()
{
    QTest::addColumn<bool>("checked");
    QTest::newRow("checked") << true;
    QTest::newRow("unchecked") << false;
}

void TestStartup::minimiseOrder()
{
    QFETCH(bool, checked);
    Recorder rec;
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(WriteStandIn(folder.filePath("sleevedesk")));
    auto startup = RecordingStartup(rec, folder.path());
    startup->show();
    QVERIFY(QTest::qWaitForWindowExposed(startup.get()));

    if (checked)
        QTest::mouseClick(startup->Check1, Qt::LeftButton);
    QCOMPARE(startup->Check1->isChecked(), checked);
    QTest::mouseClick(startup->Command2, Qt::LeftButton);

    QCOMPARE(rec.paths, QStringList{folder.filePath("sleevedesk")});
    // Minimised before the program was started, or left as it was.
    QCOMPARE(rec.minimisedAtStart, QList<bool>{checked});
    QCOMPARE(startup->isMinimized(), checked);
    if (!checked) {
        QCOMPARE(startup->windowState(), Qt::WindowNoState);
        QVERIFY(startup->isVisible());
    }
}

void TestStartup::missingProgram()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    PathGuard path(emptyPath_);
    Startup startup({[] { return 1024; }, folder.path(), {}});
    startup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&startup));
    startup.Check1->setChecked(true);

    QTest::mouseClick(startup.Command2, Qt::LeftButton);
    // The handler has returned; the message is up, naming program and cause.
    QMessageBox *box = FailureBox(startup);
    QVERIFY(box);
    QVERIFY2(box->text().contains(QLatin1String("sleevedesk")), qPrintable(box->text()));
    QVERIFY2(box->text().contains(QLatin1String("not found")), qPrintable(box->text()));
    QVERIFY(box->text().contains(folder.path()));
    QCOMPARE(box->windowTitle(), Startup::Title);
    // The launcher came back from its minimise to show it.
    QVERIFY(!startup.isMinimized());
    box->button(QMessageBox::Ok)->click();
    QTRY_VERIFY(!FailureBox(startup));

    // Still usable: the program appears, and the same button starts it.
    QVERIFY(startup.Command2->isEnabled());
    QVERIFY(WriteStandIn(folder.filePath("sleevedesk")));
    startup.Check1->setChecked(false);
    QTest::mouseClick(startup.Command2, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.filePath("ran-sleevedesk")), 10000);
    QVERIFY(!FailureBox(startup));
}

void TestStartup::programThatCannotRun_data()
{
    QTest::addColumn<int>("beside");
    QTest::addColumn<QString>("cause");
    QTest::newRow("no execute bit") << int(Beside::NoExecuteBit) << "is not executable";
    QTest::newRow("folder") << int(Beside::Folder) << "is a folder, not a program";
    QTest::newRow("broken link") << int(Beside::BrokenLink) << ".gone, which does not exist";
    QTest::newRow("not a program") << int(Beside::NotAProgram) << "could not be run";
    QTest::newRow("missing interpreter") << int(Beside::MissingInterpreter) << "could not be run";
}

void TestStartup::programThatCannotRun()
{
    QFETCH(int, beside);
    QFETCH(QString, cause);
    // The launcher's folder has markup in its name; a working program of the
    // same name lies on the search path.
    QTemporaryDir top;
    QTemporaryDir pathDir;
    QVERIFY(top.isValid() && pathDir.isValid());
    const QString folder = top.filePath(QStringLiteral("<i>suite"));
    QVERIFY(QDir().mkdir(folder));
    const QString program = folder + QStringLiteral("/sleeveindex");
    QVERIFY(PlaceBeside(program, Beside(beside)));
    QVERIFY(WriteStandIn(pathDir.filePath("sleeveindex")));
    PathGuard path(pathDir.path());

    Startup startup({[] { return 1024; }, folder, {}});
    startup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&startup));
    startup.Command1_Click();
    QMessageBox *box = FailureBox(startup);
    QVERIFY(box);
    QVERIFY2(box->text().startsWith(QLatin1String("Cannot start sleeveindex: ") + program),
             qPrintable(box->text()));
    QVERIFY2(box->text().contains(cause), qPrintable(box->text()));
    QCOMPARE(box->textFormat(), Qt::PlainText);
    box->close();
    QTRY_VERIFY(!FailureBox(startup));
    QVERIFY(startup.Command1->isEnabled());
    QVERIFY(startup.isVisible());
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"

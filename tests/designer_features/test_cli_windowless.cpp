// The command line's work under a QGuiApplication, as sleevedesk runs it: a QWidget made
// anywhere on the way would abort the test ("Cannot create a QWidget without QApplication").
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include "app_setup.h"
#include "command_line.h"
#include "coverdocument.h"
#include "designfile.h"
#include "records.h"

using deskcli::Job;

class TestCliWindowless : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void jobs_data();
    void jobs();

private:
    QTemporaryDir tmp;
    QString design;
};

void TestCliWindowless::initTestCase()
{
    QVERIFY(!QCoreApplication::instance()->inherits("QApplication"));
    SetupDesignerApplication();
    QVERIFY(tmp.isValid());
    QImage photo(600, 400, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    const QString picture = tmp.filePath(QStringLiteral("photo.png"));
    QVERIFY(photo.save(picture));
    CoverDocument doc;
    doc.setTopText(QStringLiteral("Harbour Lights"));
    QVERIFY(doc.loadPicture(CoverDocument::Slot::Main, picture, nullptr));
    design = tmp.filePath(QStringLiteral("cover.qwd"));
    QVERIFY(designfile::Write(design, doc.Records()));
    QFile list(tmp.filePath(QStringLiteral("titles.txt")));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("One\nTwo\nThree\n");
}

void TestCliWindowless::jobs_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("tracks");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("as");
    const int cover = int(casepages::Output::Cover);
    QTest::newRow("export PDF") << int(Job::Kind::ExportPdf) << false << "out.pdf" << cover;
    QTest::newRow("export PNG") << int(Job::Kind::ExportPng) << false << "out.png" << cover;
    QTest::newRow("import and save") << int(Job::Kind::Save) << true << "out.qwd" << cover;
    QTest::newRow("import and export") << int(Job::Kind::ExportPdf) << true << "tracks.pdf" << cover;
    QTest::newRow("set as PDF") << int(Job::Kind::ExportPdf) << false << "set.pdf"
                                << int(casepages::Output::Set);
    QTest::newRow("disc as PNG") << int(Job::Kind::ExportPng) << false << "disc.png"
                                 << int(casepages::Output::Disc);
}

void TestCliWindowless::jobs()
{
    QFETCH(int, kind);
    QFETCH(bool, tracks);
    QFETCH(QString, output);
    QFETCH(int, as);
    Job job;
    job.as = casepages::Output(as);
    job.kind = Job::Kind(kind);
    job.design = design;
    job.output = tmp.filePath(output);
    job.dpi = 96;
    if (tracks)
        job.trackSources = {tmp.filePath(QStringLiteral("titles.txt"))};
    QCOMPARE(deskcli::Run(job), Exit::Ok);
    QVERIFY(QFileInfo(job.output).size() > 0);
    if (job.kind == Job::Kind::Save) {
        const auto records = designfile::Read(job.output);
        QVERIFY(records);
        QCOMPARE(designfile::Text(*records, records::TopHeadlineText), QStringLiteral("Harbour Lights"));
        QCOMPARE(designfile::Text(*records, records::TitleLine1 + 1), QStringLiteral("Two"));
    }
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    TestCliWindowless test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_cli_windowless.moc"

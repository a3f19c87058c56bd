#include <QtTest>

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "pageexport.h"

namespace {

// A red 10 x 10 square at (0, 0) and a black one at the content's far corner.
void paintMarks(QPainter &p, QSizeF content)
{
    p.fillRect(QRectF(0, 0, 10, 10), Qt::red);
    p.fillRect(QRectF(content.width() - 10, content.height() - 10, 10, 10), Qt::black);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestPageExport : public QObject
{
    Q_OBJECT
private slots:
    void pngSizeAndPlaces_data();
    void pngSizeAndPlaces();
    void pdfPageIsContentPlusMargin();
    void severalPages();
    void failureKeepsExistingFile_data();
    void failureKeepsExistingFile();
};

void TestPageExport::pngSizeAndPlaces_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<double>("margin");
    QTest::newRow("96 dpi, no margin") << 96 << 0.0;
    QTest::newRow("300 dpi, margin 12") << 300 << 12.0;
    QTest::newRow("600 dpi, margin 12") << 600 << 12.0;
}

void TestPageExport::pngSizeAndPlaces()
{
    QFETCH(int, dpi);
    QFETCH(double, margin);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.png"));
    const QSizeF content(456, 456);
    QString error;
    QVERIFY2(pageexport::ExportPng(
                 path, content, margin, dpi, [&](QPainter &p) { paintMarks(p, content); }, &error),
             qPrintable(error));
    QImage img(path);
    const double k = dpi / 96.0;
    QCOMPARE(img.size(),
             QSize(int(std::ceil((456 + 2 * margin) * k)), int(std::ceil((456 + 2 * margin) * k))));
    QCOMPARE(qRound(img.dotsPerMeterX() * 0.0254), dpi);
    // The marks sit inside the margin at the scaled places; the margin is white.
    const auto at = [&](double x, double y) { return img.pixelColor(int(x * k), int(y * k)); };
    QCOMPARE(at(margin + 5, margin + 5), QColor(Qt::red));
    QCOMPARE(at(margin + 451, margin + 451), QColor(Qt::black));
    QCOMPARE(at(margin + 228, margin + 228), QColor(Qt::white));
    if (margin > 0)
        QCOMPARE(at(margin / 2, margin / 2), QColor(Qt::white));
}

void TestPageExport::pdfPageIsContentPlusMargin()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    QString error;
    QVERIFY2(pageexport::ExportPdf(
                 path, QStringLiteral("t"), QSizeF(519, 456), 12,
                 [](QPainter &p) {
                     QFont f(QStringLiteral("DejaVu Sans"));
                     f.setPixelSize(20);
                     p.setFont(f);
                     p.drawText(QPointF(10, 40), QStringLiteral("Vectorword"));
                 },
                 &error),
             qPrintable(error));
    const QByteArray pdf = readAll(path);
    // (519 + 24) and (456 + 24) pixels at 96 per inch, in points rounded up.
    const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    const auto m = box.match(QString::fromLatin1(pdf));
    QVERIFY(m.hasMatch());
    QCOMPARE(m.captured(1).toDouble(), 408.0);
    QCOMPARE(m.captured(2).toDouble(), 360.0);
    // Text stays text: the font is embedded, not an image of the page.
    QVERIFY(pdf.contains("/FontFile2"));
    QVERIFY(!pdf.contains("/Subtype /Image"));
}

// Pages of their own sizes: PDF pages one after the other, a PNG's one below the other with the
// margin between them.
void TestPageExport::severalPages()
{
    QTemporaryDir dir;
    const QSizeF wide(200, 60), tall(120, 160);
    const QList<pageexport::Page> pages{{wide, [wide](QPainter &p) { paintMarks(p, wide); }},
                                        {tall, [tall](QPainter &p) { paintMarks(p, tall); }}};
    QString error;
    const QString png = dir.filePath(QStringLiteral("pages.png"));
    QVERIFY2(pageexport::ExportPngPages(png, pages, 12, 96, &error), qPrintable(error));
    const QImage img(png);
    QCOMPARE(img.size(), QSize(200 + 24, 60 + 160 + 12 + 24));
    QCOMPARE(img.pixelColor(12 + 5, 12 + 5), QColor(Qt::red));
    QCOMPARE(img.pixelColor(12 + 195, 12 + 55), QColor(Qt::black));
    QCOMPARE(img.pixelColor(12 + 5, 12 + 60 + 12 + 5), QColor(Qt::red));
    QCOMPARE(img.pixelColor(12 + 115, 12 + 60 + 12 + 155), QColor(Qt::black));
    QCOMPARE(img.pixelColor(12 + 5, 12 + 60 + 6), QColor(Qt::white));

    const QString pdf = dir.filePath(QStringLiteral("pages.pdf"));
    QVERIFY2(pageexport::ExportPdfPages(pdf, QStringLiteral("t"), pages, 12, &error), qPrintable(error));
    static const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    QStringList sizes;
    for (auto it = box.globalMatch(QString::fromLatin1(readAll(pdf))); it.hasNext();) {
        const auto m = it.next();
        sizes << QStringLiteral("%1x%2").arg(m.captured(1).toDouble()).arg(m.captured(2).toDouble());
    }
    QCOMPARE(sizes, (QStringList{QStringLiteral("168x63"), QStringLiteral("108x138")}));
    QVERIFY(!pageexport::ExportPdfPages(pdf, QStringLiteral("t"), {}, 12, &error));
}

void TestPageExport::failureKeepsExistingFile_data()
{
    QTest::addColumn<bool>("pdf");
    QTest::addColumn<double>("width");
    QTest::addColumn<int>("dpi");
    QTest::newRow("pdf, empty page") << true << 0.0 << 96;
    QTest::newRow("png, empty page") << false << 0.0 << 96;
    QTest::newRow("png, absurd dpi") << false << 456.0 << 100000;
    QTest::newRow("png, huge page") << false << 1e9 << 96;
}

void TestPageExport::failureKeepsExistingFile()
{
    QFETCH(bool, pdf);
    QFETCH(double, width);
    QFETCH(int, dpi);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("previous");
    }
    QString error;
    const QSizeF content(width, 456);
    const auto paint = [](QPainter &) {};
    const bool ok = pdf ? pageexport::ExportPdf(path, QString(), content, 0, paint, &error)
                        : pageexport::ExportPng(path, content, 0, dpi, paint, &error);
    QVERIFY(!ok);
    QVERIFY(!error.isEmpty());
    QCOMPARE(readAll(path), QByteArray("previous"));
}

QTEST_MAIN(TestPageExport)
#include "test_pageexport.moc"

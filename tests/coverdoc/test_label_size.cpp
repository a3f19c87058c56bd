// A self-sizing label measures its text only when its size is first asked for. Whatever the
// order of changes, the size must be the one measuring at every change would give.
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QtTest>

#include <cmath>
#include <functional>

#include "cover_elements.h"
#include "fonts.h"

using LabelStep = std::function<void(CoverLabel &)>;
using LabelSteps = QList<LabelStep>;
Q_DECLARE_METATYPE(LabelSteps)

namespace {

LabelStep caption(const QString &text)
{
    return [text](CoverLabel &l) { l.setCaption(text); };
}

QSizeF measured(const CoverLabel &l, const QString &text)
{
    const QFontMetricsF fm(l.font(), fonts::Reference96());
    return {std::ceil(fm.horizontalAdvance(text)), std::ceil(fm.height())};
}

} // namespace

class TestLabelSize : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void sizeAsMeasuredAtEachChange_data();
    void sizeAsMeasuredAtEachChange();
    void copiesAndComparisons();
};

void TestLabelSize::initTestCase()
{
    fonts::InstallSubstitutions();
}

void TestLabelSize::sizeAsMeasuredAtEachChange_data()
{
    QTest::addColumn<LabelSteps>("steps");
    QTest::addColumn<QString>("sizedBy"); // the text whose measure the size is; "" when set by hand

    const LabelStep big = [](CoverLabel &l) { l.setFontSize(30); };
    const LabelStep bold = [](CoverLabel &l) { l.setFontBold(true); };
    QTest::newRow("text, then font") << LabelSteps{caption("Harbour"), big, bold, caption("Harbour Lights")}
                                     << "Harbour Lights";
    QTest::newRow("self-sizing ends, then new text")
        << LabelSteps{caption("Harbour"), big, [](CoverLabel &l) { l.setAutoSize(false); },
                      caption("Harbour Lights Forever and Ever")}
        << "Harbour";
    QTest::newRow("wrapping starts, then new text")
        << LabelSteps{caption("Harbour"), [](CoverLabel &l) { l.setWordWrap(true); },
                      caption("Harbour Lights")}
        << "Harbour";
    QTest::newRow("self-sizing again")
        << LabelSteps{caption("Harbour"), [](CoverLabel &l) { l.setAutoSize(false); }, caption("Lights"),
                      [](CoverLabel &l) { l.setAutoSize(true); }}
        << "Lights";
    QTest::newRow("width set after new text: the height is the text's")
        << LabelSteps{caption("Harbour"), big, [](CoverLabel &l) { l.setWidth(500); }} << "";
    QTest::newRow("height set after new font")
        << LabelSteps{caption("Harbour"), big, [](CoverLabel &l) { l.setHeight(3); }} << "";
}

void TestLabelSize::sizeAsMeasuredAtEachChange()
{
    QFETCH(LabelSteps, steps);
    QFETCH(QString, sizedBy);
    CoverLabel eager(QStringLiteral("Label2"), nullptr);
    CoverLabel lazy(QStringLiteral("Label2"), nullptr);
    for (const LabelStep &step : steps) {
        step(eager);
        eager.rect(); // measured now, as at every change
        step(lazy);
    }
    QCOMPARE(lazy.rect(), eager.rect());
    QVERIFY(lazy.sameAs(eager) && eager.sameAs(lazy));
    if (!sizedBy.isEmpty())
        QCOMPARE(eager.rect().size(), measured(eager, sizedBy));
}

// Copies, assignment and comparison take a size still to measure as the size it will be.
void TestLabelSize::copiesAndComparisons()
{
    CoverLabel a(QStringLiteral("Label2"), nullptr);
    a.setFontSize(24);
    a.setCaption(QStringLiteral("Harbour Lights"));
    const std::unique_ptr<CoverElement> copy = a.clone(); // before a is measured
    CoverLabel b(QStringLiteral("Label2"), nullptr);
    b.assign(a);
    QVERIFY(copy->sameAs(a) && b.sameAs(a)); // all three still to measure
    const QSizeF size = measured(a, QStringLiteral("Harbour Lights"));
    QCOMPARE(b.rect().size(), size);
    QVERIFY(copy->sameAs(b) && b.sameAs(*copy)); // measured against still to measure
    QCOMPARE(static_cast<const CoverLabel &>(*copy).rect().size(), size);

    // The same text in another font: never the same, measured or not.
    CoverLabel c(QStringLiteral("Label2"), nullptr);
    c.setFontSize(12);
    c.setCaption(QStringLiteral("Harbour Lights"));
    QVERIFY(!c.sameAs(a) && !a.sameAs(c));
}

QTEST_MAIN(TestLabelSize)
#include "test_label_size.moc"

#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include "calibration.h"

using calibration::Correction;

// The correction's arithmetic: what the user measured to what is kept, and its bounds.
class TestCalibration : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void fromMeasured_data()
    {
        QTest::addColumn<Correction>("current");
        QTest::addColumn<QPointF>("origin");
        QTest::addColumn<QSizeF>("square");
        QTest::addColumn<Correction>("kept");
        const QPointF at(calibration::PageOriginMm, calibration::PageOriginMm);
        const QSizeF true100(100, 100);
        QTest::newRow("true printer") << Correction{} << at << true100 << Correction{};
        QTest::newRow("shifted") << Correction{} << at + QPointF(2, -1.5) << true100
                                 << Correction{-2, 1.5, 1, 1};
        // 1 % large across, 1 % small down, the mark 0.2 mm further out on both: across that is
        // the scale alone, down the page must also move up 0.4 mm.
        QTest::newRow("scaled") << Correction{} << at * 1.01 << QSizeF(101, 99)
                                << Correction{0, -0.4, 0.9901, 1.0101};
        // Printed with a correction that was right: measured true, kept as it was.
        QTest::newRow("kept") << Correction{2, 3, 1.01, 1} << at << true100 << Correction{2, 3, 1.01, 1};
        QTest::newRow("refined") << Correction{2, 3, 1, 1} << at + QPointF(0.5, 0) << true100
                                 << Correction{1.5, 3, 1, 1};
        QTest::newRow("beyond the bound")
            << Correction{} << at + QPointF(14, 0) << QSizeF(90, 100) << Correction{-10, 0, 1.03, 1};
    }
    void fromMeasured()
    {
        QFETCH(Correction, current);
        QFETCH(QPointF, origin);
        QFETCH(QSizeF, square);
        QFETCH(Correction, kept);
        const auto c = calibration::FromMeasured(current, origin, square);
        QVERIFY(c);
        QCOMPARE(calibration::Clamped(*c), kept);
    }

    void nothingFromNoSquare()
    {
        QVERIFY(!calibration::FromMeasured({}, {20, 20}, {0, 100}));
        QVERIFY(!calibration::FromMeasured({}, {qQNaN(), 20}, {100, 100}));
    }

    void bounds_data()
    {
        QTest::addColumn<Correction>("given");
        QTest::addColumn<bool>("inRange");
        QTest::addColumn<Correction>("kept");
        QTest::newRow("at the bounds")
            << Correction{-10, 10, 0.97, 1.03} << true << Correction{-10, 10, 0.97, 1.03};
        QTest::newRow("steps") << Correction{1.04, -0.06, 1.00004, 0.99996} << true
                               << Correction{1, -0.1, 1, 1};
        QTest::newRow("under half a step") << Correction{-0.04, 0, 1, 1} << true << Correction{};
        QTest::newRow("offset over") << Correction{10.06, 0, 1, 1} << false << Correction{10, 0, 1, 1};
        QTest::newRow("scale over") << Correction{0, 0, 1, 0.969} << false << Correction{0, 0, 1, 0.97};
        QTest::newRow("not a number") << Correction{qQNaN(), 0, qInf(), 1} << false << Correction{};
    }
    void bounds()
    {
        QFETCH(Correction, given);
        QFETCH(bool, inRange);
        QFETCH(Correction, kept);
        QCOMPARE(calibration::InRange(given), inRange);
        QCOMPARE(calibration::Clamped(given), kept);
    }

    // Kept per queue; an edited file is held to the bounds; identity forgets the queue.
    void keptPerQueue()
    {
        calibration::Save(QStringLiteral("PDF"), {2, 3, 1.01, 1});
        calibration::Save(QStringLiteral("a/b"), {-1, 0, 1, 1});
        QCOMPARE(calibration::Load(QStringLiteral("PDF")), (Correction{2, 3, 1.01, 1}));
        QCOMPARE(calibration::Load(QStringLiteral("a/b")), (Correction{-1, 0, 1, 1}));
        QCOMPARE(calibration::Load(QStringLiteral("a")), Correction{});
        QSettings(QStringLiteral("Sleeve"), QStringLiteral("sleevedesk"))
            .setValue(QStringLiteral("Calibration/PDF/dx"), 55);
        QCOMPARE(calibration::Load(QStringLiteral("PDF")).dxMm, calibration::MaxOffsetMm);
        calibration::Save(QStringLiteral("PDF"), {});
        QVERIFY(!QSettings(QStringLiteral("Sleeve"), QStringLiteral("sleevedesk"))
                     .contains(QStringLiteral("Calibration/PDF/dx")));
    }

    // Offset in mm, scale about the paper's corner: a painter starting 5 mm in on the paper.
    void transform()
    {
        const QTransform t = calibration::Transform({2, 3, 1.01, 0.99}, 10, QPointF(5, 5));
        QCOMPARE(t.map(QPointF(0, 0)), QPointF((5 * 1.01 + 2 - 5) * 10, (5 * 0.99 + 3 - 5) * 10));
        QCOMPARE(t.map(QPointF(1000, 0)).x() - t.map(QPointF(0, 0)).x(), 1010.0);
    }
};

QTEST_GUILESS_MAIN(TestCalibration)
#include "test_calibration.moc"

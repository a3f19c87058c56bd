#include <QtTest>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "app_setup.h"
#include "design.h"
#include "titles.h"

class TestTitles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { SetupDesignerApplication(); }
    void init();
    void cleanup() { d.reset(); }

    void enterMovesFocus_data();
    void enterMovesFocus();
    void tabGoesDownWhateverTheBox();
    void typingFollowsOnCover();
    void openingFillsFromLabels();
    void closingMakesItAfresh();
    void opensWholeOnTheScreen_data();
    void opensWholeOnTheScreen();

private:
    std::unique_ptr<Design> d;
    Titles *t = nullptr;
};

void TestTitles::init()
{
    d = std::make_unique<Design>();
    d->Command14->click();
    t = d->TitlesForm();
    QVERIFY(t->isVisible());
    t->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(t));
}

void TestTitles::enterMovesFocus_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("across");
    QTest::addColumn<int>("to");
    // Down: the next field. Across: row by row through the two columns.
    for (int n = 1; n <= 23; ++n)
        QTest::addRow("down %d", n) << n << false << n + 1;
    const int across[24] = {0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 2,
                            3, 4,  5,  6,  7,  8,  9,  10, 21, 22, 23, 24};
    for (int n = 1; n <= 23; ++n)
        QTest::addRow("across %d", n) << n << true << across[n];
    QTest::addRow("misc field keeps focus down") << 24 << false << 24;
    QTest::addRow("misc field keeps focus across") << 24 << true << 24;
}

void TestTitles::enterMovesFocus()
{
    QFETCH(int, from);
    QFETCH(bool, across);
    QFETCH(int, to);
    t->Check1->setChecked(across);
    t->Text(from)->setFocus();
    QVERIFY(t->Text(from)->hasFocus());
    QTest::keyClick(t->Text(from), Qt::Key_Return);
    QVERIFY2(t->Text(to)->hasFocus(), qPrintable(QStringLiteral("expected focus in Text%1").arg(to)));
    QCOMPARE(t->Text(from)->text(), QString()); // Enter adds nothing
}

void TestTitles::tabGoesDownWhateverTheBox()
{
    t->Check1->setChecked(true);
    t->Text(10)->setFocus();
    QTest::keyClick(t->Text(10), Qt::Key_Tab);
    QVERIFY(t->Text(11)->hasFocus());
    t->Text(24)->setFocus();
    QTest::keyClick(t->Text(24), Qt::Key_Tab);
    QVERIFY(t->Check1->hasFocus());
}

void TestTitles::typingFollowsOnCover()
{
    QVERIFY(!d->Label10->Visible()); // the block is hidden; the labels still follow
    QTest::keyClick(t->Text(7), Qt::Key_A);
    QCOMPARE(d->Label10->Caption(), QStringLiteral("a"));
    QTest::keyClicks(t->Text(7), "bc");
    QCOMPARE(d->Label10->Caption(), QStringLiteral("abc"));
    for (int n = 1; n <= 24; ++n) {
        const QString text = QStringLiteral("  line %1 ").arg(n);
        t->Text(n)->setText(text);
        QCOMPARE(d->CoverLabelN(n + 3)->Caption(), text); // as typed, blanks kept
    }
    const QPointF before = d->Label27->rect().topLeft();
    t->Text(24)->clear();
    QCOMPARE(d->Label27->Caption(), QString());
    QCOMPARE(d->Label27->rect().topLeft(), before);
}

void TestTitles::openingFillsFromLabels()
{
    t->Text(3)->setText(QStringLiteral("typed"));
    d->Label6->setCaption(QStringLiteral("from the cover"));
    QCOMPARE(t->Text(3)->text(), QStringLiteral("typed")); // not until opened again
    t->hide();
    d->Command14->click();
    QVERIFY(t->isVisible());
    QCOMPARE(t->Text(3)->text(), QStringLiteral("from the cover"));
}

void TestTitles::opensWholeOnTheScreen_data()
{
    QTest::addColumn<QPoint>("designAt");
    QTest::newRow("top left") << QPoint(0, 0);
    QTest::newRow("centred") << QPoint(23, 56);
    QTest::newRow("bottom right") << QPoint(46, 113);
}

// Beside the design window where it fits, else below it, but never past the screen's edges.
void TestTitles::opensWholeOnTheScreen()
{
    QFETCH(QPoint, designAt);
    d->move(designAt);
    d->show();
    d->Command14_Click();
    Titles *shown = d->TitlesForm();
    QVERIFY(shown->isVisible());
    const QRect area = d->screen()->availableGeometry();
    QVERIFY2(area.contains(shown->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                                                                   .arg(shown->frameGeometry().x())
                                                                   .arg(shown->frameGeometry().y())
                                                                   .arg(shown->frameGeometry().width())
                                                                   .arg(shown->frameGeometry().height())
                                                                   .arg(area.width())
                                                                   .arg(area.height())));
}

void TestTitles::closingMakesItAfresh()
{
    t->Check1->setChecked(true);
    d->Label4->setCaption(QStringLiteral("one"));
    QPointer<Titles> old = t;
    t->close();
    QTRY_VERIFY(old.isNull());
    QVERIFY(!d->TitlesLoaded());
    d->Command14->click();
    Titles *fresh = d->TitlesForm();
    QVERIFY(!fresh->Check1->isChecked());
    QCOMPARE(fresh->Text(1)->text(), QStringLiteral("one"));
    QCOMPARE(fresh->windowTitle(), QStringLiteral("List of Titles"));
}

QTEST_MAIN(TestTitles)
#include "test_titles.moc"

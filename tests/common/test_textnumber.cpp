#include <QtTest>

#include "colors.h"
#include "textnumber.h"

#include <cmath>

using namespace textnum;

class TestTextNumber : public QObject
{
    Q_OBJECT
private slots:
    void leadingNumber_data();
    void leadingNumber();
    void overflowIsInfinite();
    void positionText_data();
    void positionText();
    void recordForms_data();
    void recordForms();
    void realRoundTrip_data();
    void realRoundTrip();
    void wholeConversions_data();
    void wholeConversions();
    void roundInt16_data();
    void roundInt16();
    void colourNumbers();
    void yearHasSignBlank();
};

void TestTextNumber::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << "120" << 120.0;
    QTest::newRow("unit suffix") << "12px" << 12.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("negative") << "-5" << -5.0;
    QTest::newRow("plus") << "+7" << 7.0;
    QTest::newRow("blanks inside") << " 1 2 3" << 123.0;
    QTest::newRow("tabs and line feeds") << "\t4\n5" << 45.0;
    QTest::newRow("sign then blank") << "- 5" << -5.0;
    QTest::newRow("fraction") << "10.5" << 10.5;
    QTest::newRow("leading point") << ".25" << 0.25;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("comma is not a point") << "3,5" << 3.0;
    QTest::newRow("exponent E") << "1E3" << 1000.0;
    QTest::newRow("exponent D") << "2d2" << 200.0;
    QTest::newRow("exponent negative") << "25E-1" << 2.5;
    QTest::newRow("exponent without digits") << "7E" << 7.0;
    QTest::newRow("exponent sign only") << "7E+x" << 7.0;
    QTest::newRow("hex") << "&HFF" << 255.0;
    QTest::newRow("hex lower") << "&hff" << 255.0;
    QTest::newRow("hex 16-bit two's complement") << "&HFFFF" << -1.0;
    QTest::newRow("hex 32-bit") << "&H10000" << 65536.0;
    QTest::newRow("hex 32-bit negative") << "&H80000008" << -2147483640.0;
    QTest::newRow("hex stops at non-digit") << "&H1G" << 1.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&O78" << 7.0;
    QTest::newRow("ampersand alone") << "&" << 0.0;
    QTest::newRow("ampersand other") << "&X12" << 0.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("carriage return not ignored") << "\r5" << 0.0;
    QTest::newRow("tiny underflows to zero") << "1E-999" << 0.0;
}

void TestTextNumber::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(TextNumber(text), value);
}

void TestTextNumber::overflowIsInfinite()
{
    QVERIFY(std::isinf(TextNumber("1E999")));
    QVERIFY(TextNumber("-1E999") < 0);
    QVERIFY(std::isinf(TextNumber("&H" + QString(40, u'F'))));
}

void TestTextNumber::positionText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 177.0 << "177";
    QTest::newRow("negative") << -10.0 << "-10";
    QTest::newRow("half") << 10.5 << "10.5";
    QTest::newRow("picture left") << 31.5 << "31.5";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("single precision") << 0.1 << "0.1";
}

void TestTextNumber::positionText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(PositionText(value), text);
    QCOMPARE(static_cast<float>(TextNumber(text)), static_cast<float>(value));
}

void TestTextNumber::recordForms_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("expected");
    QTest::newRow("int16 one") << Int16Form(1) << " 1 ";
    QTest::newRow("int16 minus three") << Int16Form(-3) << "-3 ";
    QTest::newRow("int32 white") << Int32Form(0xFFFFFF) << " 16777215 ";
    QTest::newRow("int32 red") << Int32Form(255) << " 255 ";
    QTest::newRow("int32 system colour") << Int32Form(colors::WindowText) << "-2147483640 ";
    QTest::newRow("real 8.25") << RealForm(8.25f) << " 8.25 ";
    QTest::newRow("real 289") << RealForm(289.0f) << " 289 ";
    QTest::newRow("real 13.5") << RealForm(13.5f) << " 13.5 ";
    QTest::newRow("real negative") << RealForm(-0.5f) << "-0.5 ";
    QTest::newRow("bool") << BoolForm(true) << "True";
    QTest::newRow("bool false") << BoolForm(false) << "False";
}

void TestTextNumber::recordForms()
{
    QFETCH(QString, written);
    QFETCH(QString, expected);
    QCOMPARE(written, expected);
}

void TestTextNumber::realRoundTrip_data()
{
    QTest::addColumn<float>("value");
    for (float v : {0.0f, 1.0f, 8.25f, 13.5f, 3.75f, 0.1f, 1.0f / 3.0f, 123456.7f, 1e-7f, 3.4e38f, -2.5e20f})
        QTest::newRow(qPrintable(QString::number(double(v), 'g', 9))) << v;
}

void TestTextNumber::realRoundTrip()
{
    QFETCH(float, value);
    const QString w = RealForm(value);
    QCOMPARE(ToReal(w).value(), value);
    QCOMPARE(static_cast<float>(TextNumber(w)), value);
}

void TestTextNumber::wholeConversions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("int16ok");
    QTest::addColumn<int>("int16");
    QTest::addColumn<bool>("boolok");
    QTest::addColumn<bool>("boolv");
    QTest::newRow("written one") << " 1 " << true << 1 << true << true;
    QTest::newRow("zero") << "0" << true << 0 << true << false;
    QTest::newRow("half to even") << "2.5" << true << 2 << true << true;
    QTest::newRow("three and a half") << "3.5" << true << 4 << true << true;
    QTest::newRow("letters") << "abc" << false << 0 << false << false;
    QTest::newRow("trailing letters") << "12px" << false << 0 << false << false;
    QTest::newRow("empty line") << "" << false << 0 << false << false;
    QTest::newRow("overflow") << "40000" << false << 0 << true << true;
    QTest::newRow("True") << "True" << false << 0 << true << true;
    QTest::newRow("false lower") << "false" << false << 0 << true << false;
    QTest::newRow("hex") << " &H10 " << true << 16 << true << true;
}

void TestTextNumber::wholeConversions()
{
    QFETCH(QString, text);
    QFETCH(bool, int16ok);
    QFETCH(int, int16);
    QFETCH(bool, boolok);
    QFETCH(bool, boolv);
    const auto i = ToInt16(text);
    QCOMPARE(i.has_value(), int16ok);
    if (int16ok)
        QCOMPARE(int(*i), int16);
    const auto b = ToBool(text);
    QCOMPARE(b.has_value(), boolok);
    if (boolok)
        QCOMPARE(*b, boolv);
}

void TestTextNumber::roundInt16_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("result");
    QTest::newRow("2.5") << 2.5 << true << 2;
    QTest::newRow("3.5") << 3.5 << true << 4;
    QTest::newRow("-2.5") << -2.5 << true << -2;
    QTest::newRow("max") << 32767.4 << true << 32767;
    QTest::newRow("over") << 32767.6 << false << 0;
    QTest::newRow("min") << -32768.0 << true << -32768;
    QTest::newRow("inf") << qInf() << false << 0;
}

void TestTextNumber::roundInt16()
{
    QFETCH(double, value);
    QFETCH(bool, ok);
    QFETCH(int, result);
    const auto r = RoundInt16(value);
    QCOMPARE(r.has_value(), ok);
    if (ok)
        QCOMPARE(int(*r), result);
}

void TestTextNumber::colourNumbers()
{
    QCOMPARE(colors::ToQColor(0x0000FF), QColor(255, 0, 0));
    QCOMPARE(colors::ToQColor(0xFF0000), QColor(0, 0, 255));
    QCOMPARE(colors::FromQColor(QColor(1, 2, 3)), 0x030201);
    QVERIFY(colors::IsSystemColor(colors::WindowText));
    QCOMPARE(colors::WindowText, -2147483640);
    QVERIFY(!colors::IsSystemColor(colors::White));
}

void TestTextNumber::yearHasSignBlank()
{
    const QString y = YearText();
    QCOMPARE(y.size(), 5);
    QCOMPARE(y.at(0), QChar(u' '));
    QCOMPARE(y.mid(1).toInt(), QDate::currentDate().year());
}

QTEST_GUILESS_MAIN(TestTextNumber)
#include "test_textnumber.moc"

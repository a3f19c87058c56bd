// The design file as a pure reader and writer: record forms, byte-exact output,
// line splitting and its bounds, the two encodings, atomic writing and safe reading.

#include <QtTest>

#include "designfile.h"
#include "textnumber.h"

#include <QTemporaryDir>

#include <cstring>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#endif

using namespace designfile;

namespace {

// The 75 records of a design saved right after start-up (the start-up values), as the
// value forms write them.
QStringList defaultDesign()
{
    using namespace textnum;
    const QString sys = Int32Form(qint32(0x80000008u));
    QStringList r(RecordCount);
    // clang-format off
    r[0] = "";                       // 1 top headline
    r[1] = "MS Sans Serif";
    r[2] = RealForm(18);
    r[3] = sys;
    r[4] = "";                       // 5 bottom headline
    r[5] = "MS Sans Serif";
    r[6] = RealForm(13.5f);
    r[7] = sys;
    r[8] = Int32Form(0x00FFFFFF);    // 9 background white
    r[9] = Int16Form(4);             // 10 line thickness
    r[10] = Int32Form(0);
    r[11] = Int16Form(0);
    r[12] = Int16Form(0);
    r[13] = "";                      // 14 picture path
    r[14] = RealForm(289);
    r[15] = RealForm(393);
    r[16] = "";
    r[17] = "";
    r[18] = Int16Form(0);            // 19 show box
    r[19] = "2";                     // 20 box thickness as typed
    r[20] = Int32Form(0);
    r[21] = Int16Form(0);
    r[22] = Int16Form(1);            // 23 lower small, checked
    r[23] = "MS Sans Serif";
    r[24] = RealForm(8.25f);
    r[25] = sys;
    r[26] = Int16Form(0);
    r[51] = "8";                     // 52..55 positions as typed
    r[52] = "104";
    r[53] = "408";
    r[54] = "96";
    r[55] = Int16Form(0);
    r[56] = Int16Form(0);
    r[57] = Int16Form(0);
    r[58] = " 2026";                 // 59 year with its sign blank
    r[59] = "";
    r[60] = Int16Form(1);            // 61, 62 centre
    r[61] = Int16Form(1);
    r[62] = Int16Form(0);
    r[63] = BoolForm(true);          // 64 front
    r[64] = BoolForm(false);
    r[65] = Int16Form(0);
    r[66] = Int16Form(0);
    r[67] = BoolForm(true);          // 68 top headline bold
    for (int i = 68; i < RecordCount; ++i)
        r[i] = BoolForm(false);
    // clang-format on
    return r;
}

// The same design written out by hand, byte for byte.
// clang-format off
const char DefaultDesignBytes[] =
    "\r\n" "MS Sans Serif\r\n" " 18 \r\n" "-2147483640 \r\n"
    "\r\n" "MS Sans Serif\r\n" " 13.5 \r\n" "-2147483640 \r\n"
    " 16777215 \r\n" " 4 \r\n" " 0 \r\n" " 0 \r\n" " 0 \r\n"
    "\r\n" " 289 \r\n" " 393 \r\n" "\r\n" "\r\n"
    " 0 \r\n" "2\r\n" " 0 \r\n" " 0 \r\n" " 1 \r\n"
    "MS Sans Serif\r\n" " 8.25 \r\n" "-2147483640 \r\n" " 0 \r\n"
    "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"   // 28..39
    "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"   // 40..51
    "8\r\n" "104\r\n" "408\r\n" "96\r\n"
    " 0 \r\n" " 0 \r\n" " 0 \r\n" " 2026\r\n" "\r\n"
    " 1 \r\n" " 1 \r\n" " 0 \r\n"
    "True\r\n" "False\r\n" " 0 \r\n" " 0 \r\n"
    "True\r\n" "False\r\n" "False\r\n" "False\r\n"
    "False\r\n" "False\r\n" "False\r\n" "False\r\n";
// clang-format on

QByteArray numberedLines(int count)
{
    QByteArray out;
    for (int i = 1; i <= count; ++i)
        out += "line " + QByteArray::number(i) + "\r\n";
    return out;
}

QStringList present(const Records &r)
{
    QStringList out;
    for (const auto &rec : r) {
        if (!rec)
            break;
        out << *rec;
    }
    return out;
}

int presentCount(const Records &r)
{
    int n = 0;
    for (const auto &rec : r)
        n += rec.has_value();
    return n;
}

Records recordsOf(const QStringList &texts)
{
    Records r;
    for (int i = 0; i < texts.size() && i < RecordCount; ++i)
        r[i] = texts[i];
    return r;
}

QStringList withRecord(int number, const QString &text)
{
    QStringList r = defaultDesign();
    r[number - 1] = text;
    return r;
}

QByteArray lineOf(const QByteArray &file, int number)
{
    return file.split('\n').value(number - 1).chopped(1); // drop the CR
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return f.readAll();
}

bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

Records decodeInPieces(const QByteArray &bytes, qsizetype piece)
{
    detail::LineReader reader;
    for (qsizetype pos = 0; pos < bytes.size() && !reader.done(); pos += piece)
        reader.feed(bytes.constData() + pos, std::min(piece, bytes.size() - pos));
    return reader.finish();
}

// Bytes this process has read through read() so far (Linux), or -1.
qint64 bytesReadSoFar()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    // The figure includes this read itself, a few hundred bytes.
    const QByteArray text = io.readAll();
    for (const QByteArray &line : text.split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

QStringList leftovers(const QString &dir, const QStringList &expected)
{
    QStringList names =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &e : expected)
        names.removeAll(e);
    return names;
}

#ifdef Q_OS_LINUX
// Root ignores folder permissions; to test a read-only folder as root, the effective
// capabilities that override them are dropped for the duration and raised again after.
class WithoutDacOverride
{
public:
    WithoutDacOverride()
    {
        if (::geteuid() != 0)
            return;
        if (!get(m_saved))
            return;
        __user_cap_data_struct data[2];
        std::memcpy(data, m_saved, sizeof data);
        for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            data[cap / 32].effective &= ~(1u << (cap % 32));
        m_dropped = set(data);
    }
    ~WithoutDacOverride()
    {
        if (m_dropped)
            set(m_saved);
    }
    // True when permission bits now bind this process.
    bool bound() const { return ::geteuid() != 0 || m_dropped; }

private:
    static bool get(__user_cap_data_struct *data)
    {
        __user_cap_header_struct head = {_LINUX_CAPABILITY_VERSION_3, 0};
        return ::syscall(SYS_capget, &head, data) == 0;
    }
    static bool set(__user_cap_data_struct *data)
    {
        __user_cap_header_struct head = {_LINUX_CAPABILITY_VERSION_3, 0};
        return ::syscall(SYS_capset, &head, data) == 0;
    }
    __user_cap_data_struct m_saved[2] = {};
    bool m_dropped = false;
};
#endif

} // namespace

class TestDesignFile : public QObject
{
    Q_OBJECT
private slots:
    // Forms and byte-exact output
    void defaultDesignBytes();
    void recordForms_data();
    void recordForms();
    void alwaysSeventyFiveLines_data();
    void alwaysSeventyFiveLines();
    void lineBreaksInTextBecomeBlanks();
    void blanksKept();

    // Typed readings
    void typedReadings_data();
    void typedReadings();
    void missingRecordsAreEmpty();
    void numbersOutsideOneToSeventyFive();

    // Lines
    void decodeLines_data();
    void decodeLines();
    void shortFile();
    void longFile();
    void settingsLines_data();
    void settingsLines();
    void settingsRoundTrip();
    void longLines_data();
    void longLines();
    void cutKeepsUtf8Whole_data();
    void cutKeepsUtf8Whole();
    void piecesMatchWhole_data();
    void piecesMatchWhole();

    // Encodings
    void windows1252Table();
    void encodeChoice_data();
    void encodeChoice();
    void decodeChoice_data();
    void decodeChoice();
    void validUtf8_data();
    void validUtf8();

    // Files
    void writeAndRead();
    void writeReplacesWholeFile();
    void writeKeepsModeAndOwner_data();
    void writeKeepsModeAndOwner();
    void writeWrongCountKeepsOldFile();
    void writeReadOnlyFolderKeepsOldFile();
    void writeFullDiskKeepsOldFile();
    void writeToFolderFails();
    void writeToMissingFolderFails();
    void writeToFifoFails();
    void writeThroughLinks_data();
    void writeThroughLinks();
    void writeRemovesStaleTemporaries_data();
    void writeRemovesStaleTemporaries();
    void readMissingFile();
    void readFolder();
    void readFifo();
    void readDevices_data();
    void readDevices();
    void readHugeFileIsBounded_data();
    void readHugeFileIsBounded();
    void readStopsAfterSeventyFiveLines();
    void readEqualsDecode_data();
    void readEqualsDecode();
    void corpusDesigns();
};

// ---------------------------------------------------------------------------------------------
// Forms and byte-exact output

void TestDesignFile::defaultDesignBytes()
{
    const QByteArray expected(DefaultDesignBytes);
    const QByteArray bytes = Encode(defaultDesign());
    QCOMPARE(bytes, expected);
    QCOMPARE(bytes.count("\r\n"), RecordCount);
    QCOMPARE(bytes.count('\n'), RecordCount);
    QVERIFY(bytes.endsWith("\r\n"));
    // The seed corpus's default design is this very file.
    QCOMPARE(fileBytes(QStringLiteral(DESIGNFILE_CORPUS_DIR "/default.qwd")), expected);
}

void TestDesignFile::recordForms_data()
{
    using namespace textnum;
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("readAs");
    QTest::addColumn<double>("value");

    // The documented examples, each in a record of its form, read with its record's conversion.
    QTest::newRow("Text empty headline") << 1 << QString() << QByteArray("") << "text" << 0.0;
    QTest::newRow("Text font face") << 2 << "MS Sans Serif" << QByteArray("MS Sans Serif") << "text" << 0.0;
    QTest::newRow("Real 18 read as TextNumber")
        << 3 << RealForm(18) << QByteArray(" 18 ") << "number" << 18.0;
    QTest::newRow("Real 13.5 read as TextNumber")
        << 7 << RealForm(13.5f) << QByteArray(" 13.5 ") << "number" << 13.5;
    QTest::newRow("Int32 system colour")
        << 4 << Int32Form(qint32(0x80000008u)) << QByteArray("-2147483640 ") << "int32" << -2147483640.0;
    QTest::newRow("Int32 white") << 9 << Int32Form(0xFFFFFF) << QByteArray(" 16777215 ") << "int32"
                                 << 16777215.0;
    QTest::newRow("Int32 red") << 11 << Int32Form(255) << QByteArray(" 255 ") << "int32" << 255.0;
    QTest::newRow("Int16 4 read as TextNumber to Int16")
        << 10 << Int16Form(4) << QByteArray(" 4 ") << "numberInt16" << 4.0;
    QTest::newRow("Int16 1 read as TextNumber to Int16")
        << 12 << Int16Form(1) << QByteArray(" 1 ") << "numberInt16" << 1.0;
    QTest::newRow("Int16 -3") << 19 << Int16Form(-3) << QByteArray("-3 ") << "int16" << -3.0;
    QTest::newRow("Int16 checked") << 23 << Int16Form(1) << QByteArray(" 1 ") << "int16" << 1.0;
    QTest::newRow("Int16 unchecked") << 61 << Int16Form(0) << QByteArray(" 0 ") << "int16" << 0.0;
    QTest::newRow("Real 289 picture height")
        << 15 << RealForm(289) << QByteArray(" 289 ") << "number" << 289.0;
    QTest::newRow("Real 8.25 read as Real")
        << 25 << RealForm(8.25f) << QByteArray(" 8.25 ") << "real" << 8.25;
    QTest::newRow("Real -10.5") << 16 << RealForm(-10.5f) << QByteArray("-10.5 ") << "number" << -10.5;
    QTest::newRow("Text box thickness as typed") << 20 << "3" << QByteArray("3") << "text" << 0.0;
    QTest::newRow("Text position 12px") << 52 << "12px" << QByteArray("12px") << "number" << 12.0;
    QTest::newRow("Text position 120") << 53 << "120" << QByteArray("120") << "number" << 120.0;
    QTest::newRow("Text year") << 59 << " 2026" << QByteArray(" 2026") << "text" << 0.0;
    QTest::newRow("Bool True") << 64 << BoolForm(true) << QByteArray("True") << "bool" << 1.0;
    QTest::newRow("Bool False") << 65 << BoolForm(false) << QByteArray("False") << "bool" << 0.0;
    QTest::newRow("Bool last record") << 75 << BoolForm(true) << QByteArray("True") << "bool" << 1.0;
}

void TestDesignFile::recordForms()
{
    QFETCH(int, number);
    QFETCH(QString, written);
    QFETCH(QByteArray, line);
    QFETCH(QString, readAs);
    QFETCH(double, value);

    const QByteArray bytes = Encode(withRecord(number, written));
    QCOMPARE(lineOf(bytes, number), line);

    const Records r = Decode(bytes);
    QCOMPARE(presentCount(r), RecordCount);
    QCOMPARE(Text(r, number), written);
    if (readAs == "number")
        QCOMPARE(Number(r, number), value);
    else if (readAs == "numberInt16")
        QCOMPARE(double(NumberInt16(r, number)), value);
    else if (readAs == "int16")
        QCOMPARE(double(Int16(r, number)), value);
    else if (readAs == "int32")
        QCOMPARE(double(Int32(r, number)), value);
    else if (readAs == "real")
        QCOMPARE(double(Real(r, number)), value);
    else if (readAs == "bool")
        QCOMPARE(Bool(r, number), value != 0);
    else
        QCOMPARE(readAs, QStringLiteral("text"));
}

void TestDesignFile::alwaysSeventyFiveLines_data()
{
    QTest::addColumn<int>("given");
    QTest::newRow("none") << 0;
    QTest::newRow("ten") << 10;
    QTest::newRow("seventy-four") << 74;
    QTest::newRow("seventy-five") << 75;
    QTest::newRow("eighty") << 80;
}

void TestDesignFile::alwaysSeventyFiveLines()
{
    QFETCH(int, given);
    QStringList texts;
    for (int i = 1; i <= given; ++i)
        texts << QString::number(i);
    const QByteArray bytes = Encode(texts);
    QCOMPARE(bytes.count("\r\n"), RecordCount);
    QCOMPARE(bytes.count('\n'), RecordCount);
    const Records r = Decode(bytes);
    for (int n = 1; n <= RecordCount; ++n)
        QCOMPARE(Text(r, n), n <= given ? QString::number(n) : QString());
}

void TestDesignFile::lineBreaksInTextBecomeBlanks()
{
    QStringList texts = defaultDesign();
    texts[0] = "two\nlines";
    texts[4] = "cr\r\nlf";
    texts[50] = "\r";
    const QByteArray bytes = Encode(texts);
    QCOMPARE(bytes.count('\n'), RecordCount);
    QCOMPARE(lineOf(bytes, 1), QByteArray("two lines"));
    QCOMPARE(lineOf(bytes, 5), QByteArray("cr  lf"));
    QCOMPARE(lineOf(bytes, 51), QByteArray(" "));
    // Nothing after them shifted.
    QCOMPARE(lineOf(bytes, 64), QByteArray("True"));
}

void TestDesignFile::blanksKept()
{
    const QStringList texts = withRecord(1, "   Spaced Out   ");
    const Records r = Decode(Encode(texts));
    QCOMPARE(Text(r, 1), QStringLiteral("   Spaced Out   "));
}

// ---------------------------------------------------------------------------------------------
// Typed readings

void TestDesignFile::typedReadings_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<double>("number");
    QTest::addColumn<int>("int16");
    QTest::addColumn<int>("numberInt16");
    QTest::addColumn<qint32>("int32");
    QTest::addColumn<float>("real");
    QTest::addColumn<bool>("boolean");

    // Columns: the line, then Number, Int16, NumberInt16, Int32, Real, Bool of it.
    QTest::newRow("empty line") << "" << 0.0 << 0 << 0 << 0 << 0.0f << false;
    QTest::newRow("Int16 form 1") << " 1 " << 1.0 << 1 << 1 << 1 << 1.0f << true;
    QTest::newRow("Int16 form -3") << "-3 " << -3.0 << -3 << -3 << -3 << -3.0f << true;
    QTest::newRow("Int16 form 0") << " 0 " << 0.0 << 0 << 0 << 0 << 0.0f << false;
    QTest::newRow("white") << " 16777215 " << 16777215.0 << 0 << 0 << 16777215 << 16777215.0f << true;
    QTest::newRow("system colour") << "-2147483640 " << -2147483640.0 << 0 << 0 << -2147483640
                                   << -2147483640.0f << true;
    QTest::newRow("Real 8.25") << " 8.25 " << 8.25 << 8 << 8 << 8 << 8.25f << true;
    QTest::newRow("Real 13.5 to even") << " 13.5 " << 13.5 << 14 << 14 << 14 << 13.5f << true;
    QTest::newRow("Real 12.5 to even") << " 12.5 " << 12.5 << 12 << 12 << 12 << 12.5f << true;
    QTest::newRow("True") << "True" << 0.0 << 0 << 0 << 0 << 0.0f << true;
    QTest::newRow("False") << "False" << 0.0 << 0 << 0 << 0 << 0.0f << false;
    QTest::newRow("position 12px") << "12px" << 12.0 << 0 << 12 << 0 << 0.0f << false;
    QTest::newRow("letters") << "abc" << 0.0 << 0 << 0 << 0 << 0.0f << false;
    QTest::newRow("Int16 overflow") << "40000" << 40000.0 << 0 << 0 << 40000 << 40000.0f << true;
    QTest::newRow("Int32 overflow") << "3000000000" << 3e9 << 0 << 0 << 0 << 3e9f << true;
    QTest::newRow("infinite TextNumber") << "1E999" << 0.0 << 0 << 0 << 0 << 0.0f << true;
    QTest::newRow("hex literal") << "&HFF" << 255.0 << 255 << 255 << 255 << 255.0f << true;
    QTest::newRow("tab around") << "\t5\t" << 5.0 << 5 << 5 << 5 << 5.0f << true;
    QTest::newRow("comma decimal") << "3,5" << 3.0 << 0 << 3 << 0 << 0.0f << false;
}

void TestDesignFile::typedReadings()
{
    QFETCH(QString, line);
    QFETCH(double, number);
    QFETCH(int, int16);
    QFETCH(int, numberInt16);
    QFETCH(qint32, int32);
    QFETCH(float, real);
    QFETCH(bool, boolean);

    // Through the bytes, in a record of each kind.
    const Records r = Decode(Encode(withRecord(30, line)));
    QCOMPARE(Text(r, 30), line);
    QCOMPARE(Number(r, 30), number);
    QCOMPARE(int(Int16(r, 30)), int16);
    QCOMPARE(int(NumberInt16(r, 30)), numberInt16);
    QCOMPARE(Int32(r, 30), int32);
    QCOMPARE(Real(r, 30), real);
    QCOMPARE(Bool(r, 30), boolean);
}

void TestDesignFile::missingRecordsAreEmpty()
{
    const Records r = Decode("only one line\r\n");
    QCOMPARE(Text(r, 1), QStringLiteral("only one line"));
    for (int n = 2; n <= RecordCount; ++n) {
        QVERIFY(!r[n - 1].has_value());
        QCOMPARE(Text(r, n), QString());
        QCOMPARE(Number(r, n), 0.0);
        QCOMPARE(Int16(r, n), qint16(0));
        QCOMPARE(NumberInt16(r, n), qint16(0));
        QCOMPARE(Int32(r, n), 0);
        QCOMPARE(Real(r, n), 0.0f);
        QCOMPARE(Bool(r, n), false);
    }
}

void TestDesignFile::numbersOutsideOneToSeventyFive()
{
    Records r;
    r.fill(QStringLiteral(" 1 "));
    for (int n : {-1, 0, 76, 1000}) {
        QCOMPARE(Text(r, n), QString());
        QCOMPARE(Number(r, n), 0.0);
        QCOMPARE(Int16(r, n), qint16(0));
        QCOMPARE(NumberInt16(r, n), qint16(0));
        QCOMPARE(Int32(r, n), 0);
        QCOMPARE(Real(r, n), 0.0f);
        QCOMPARE(Bool(r, n), false);
    }
    QCOMPARE(Int16(r, 75), qint16(1));
}

// ---------------------------------------------------------------------------------------------
// Lines

void TestDesignFile::decodeLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("records");

    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("no terminator") << QByteArray("abc") << QStringList{"abc"};
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("lone LF") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("mixed, last unterminated") << QByteArray("a\r\nb\nc") << QStringList{"a", "b", "c"};
    QTest::newRow("empty lines") << QByteArray("\r\n\r\nx\r\n\r\n") << QStringList{"", "", "x", ""};
    QTest::newRow("empty lines LF") << QByteArray("\n\n\n") << QStringList{"", "", ""};
    QTest::newRow("CR inside a line") << QByteArray("a\rb\r\n") << QStringList{"a\rb"};
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\n") << QStringList{"a\r"};
    QTest::newRow("lone CR at the end") << QByteArray("a\r\nb\r") << QStringList{"a", "b"};
    QTest::newRow("CR alone after last line") << QByteArray("a\r\n\r") << QStringList{"a", ""};
    QTest::newRow("NUL kept") << QByteArray("a\0b\r\n", 5) << QStringList{QStringView(u"a\0b", 3).toString()};
    QTest::newRow("blanks kept") << QByteArray("  x  \r\n\t\r\n") << QStringList{"  x  ", "\t"};

    QStringList seventyFive;
    for (int i = 1; i <= 75; ++i)
        seventyFive << "line " + QString::number(i);
    QTest::newRow("75 lines") << numberedLines(75) << seventyFive;
    QTest::newRow("76 lines") << numberedLines(76) << seventyFive;
    QTest::newRow("75 lines and an unterminated one") << numberedLines(75) + "tail" << seventyFive;
    QTest::newRow("75 lines then binary") << numberedLines(75) + QByteArray(1000, '\xFF') << seventyFive;
}

void TestDesignFile::decodeLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, records);
    const Records r = Decode(bytes);
    QCOMPARE(present(r), records);
    QCOMPARE(presentCount(r), records.size()); // no gaps
}

void TestDesignFile::shortFile()
{
    const QByteArray bytes = fileBytes(QStringLiteral(DESIGNFILE_CORPUS_DIR "/short.qwd"));
    const Records r = Decode(bytes);
    QCOMPARE(presentCount(r), 20);
    QCOMPARE(Text(r, 2), QStringLiteral("MS Sans Serif"));
    QCOMPARE(Number(r, 3), 18.0);
    QCOMPARE(Text(r, 20), QStringLiteral("2"));
    // Record 21 on: empty, whatever the reading.
    QVERIFY(!r[20]);
    QCOMPARE(Int32(r, 21), 0);
    QCOMPARE(Int16(r, 23), qint16(0));
    QCOMPARE(Real(r, 25), 0.0f);
    QCOMPARE(Bool(r, 64), false);
    QCOMPARE(Text(r, 52), QString());
}

void TestDesignFile::longFile()
{
    const QByteArray bytes = Encode(defaultDesign()) + QByteArray("extra\r\n").repeated(1000);
    const Records r = Decode(bytes);
    QCOMPARE(r, Decode(Encode(defaultDesign())));
}

void TestDesignFile::settingsLines_data()
{
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QStringList>("settings");

    QTest::newRow("none") << QByteArray() << QStringList();
    QTest::newRow("in file order") << QByteArray("b=2\r\na=1\n") << QStringList{"b=2", "a=1"};
    QTest::newRow("unterminated last") << QByteArray("a=1\r\nb=2") << QStringList{"a=1", "b=2"};
    QTest::newRow("not settings") << QByteArray("extra\r\n=x\r\nKey=x\r\n9a=x\r\na b=x\r\n\r\nd.e-f_9=ok\r\n")
                                  << QStringList{"d.e-f_9=ok"};
    QTest::newRow("key of 32, not 33")
        << QByteArray(QByteArray(32, 'k') + "=1\r\n" + QByteArray(33, 'k') + "=2\r\n")
        << QStringList{QString(32, u'k') + "=1"};
    QTest::newRow("= in the value") << QByteArray("k=a=b\r\n") << QStringList{"k=a=b"};
    QTest::newRow("UTF-8 line") << QByteArray("k=\xC3\xA9\r\n") << QStringList{"k=é"};
    QTest::newRow("Windows-1252 line") << QByteArray("k=\xE9\x80\r\n") << QStringList{"k=é€"};
    QTest::newRow("binary") << QByteArray(1000, '\xFF') + "\r\nk=1\r\n" << QStringList{"k=1"};
    const QByteArray longValue(2 * MaxSettingBytes, 'v');
    QTest::newRow("cut to its bound") << "k=" + longValue + "\r\nn=1\r\n"
                                      << QStringList{"k=" + QString(MaxSettingBytes - 2, u'v'), "n=1"};
    QStringList many;
    for (int i = 0; i < MaxSettingLines; ++i)
        many << QStringLiteral("k=%1").arg(i);
    QByteArray manyBytes;
    for (int i = 0; i < 3 * MaxSettingLines; ++i)
        manyBytes += QByteArrayLiteral("k=") + QByteArray::number(i) + "\r\n";
    QTest::newRow("lines past the bound") << manyBytes << many;
}

void TestDesignFile::settingsLines()
{
    QFETCH(QByteArray, after);
    QFETCH(QStringList, settings);
    const QByteArray records = Encode(defaultDesign());
    const Records r = Decode(records + after);
    QCOMPARE(r.settings, settings);
    // Whatever follows, the records read as without it, from a file as from bytes.
    using Lines = std::array<std::optional<QString>, RecordCount>;
    QVERIFY(static_cast<const Lines &>(r) == static_cast<const Lines &>(Decode(records)));
    QTemporaryDir dir;
    const QString path = dir.filePath("settings.qwd");
    QVERIFY(putFile(path, records + after));
    QCOMPARE(Read(path), std::optional<Records>(r));
}

void TestDesignFile::settingsRoundTrip()
{
    // Records in Windows-1252, settings in UTF-8: each reads back in its own.
    QStringList records = defaultDesign();
    records[0] = QStringLiteral("Café");
    const QStringList settings{"title=Sigur Rós", "title=line\nbreak", "title=", "spine.text=€ 😀"};
    const QByteArray bytes = Encode(records, settings);
    QVERIFY(bytes.startsWith(Encode(records)));
    QVERIFY(bytes.contains("Caf\xE9\r\n"));
    const Records back = Decode(bytes);
    QCOMPARE(back.settings, (QStringList{"title=Sigur Rós", "title=line break", "title=", "spine.text=€ 😀"}));
    QCOMPARE(Text(back, 1), QStringLiteral("Café"));

    // Save writes the same bytes.
    QTemporaryDir dir;
    const QString path = dir.filePath("cover.qwd");
    QVERIFY(Write(path, records, settings));
    QCOMPARE(fileBytes(path), bytes);
}

void TestDesignFile::longLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("firstLength");
    QTest::addColumn<QStringList>("rest");

    const QByteArray max(MaxLineBytes, 'a');
    const QStringList next{"next"};
    QTest::newRow("64 KiB CR LF") << max + "\r\nnext\r\n" << MaxLineBytes << next;
    QTest::newRow("64 KiB LF") << max + "\nnext\n" << MaxLineBytes << next;
    QTest::newRow("64 KiB at end of file") << max << MaxLineBytes << QStringList();
    QTest::newRow("64 KiB and a cut-off CR") << max + "\r" << MaxLineBytes << QStringList();
    QTest::newRow("64 KiB + 1 CR LF") << max + "b\r\nnext\r\n" << MaxLineBytes << next;
    QTest::newRow("64 KiB + 1 at end of file") << max + "b" << MaxLineBytes << QStringList();
    QTest::newRow("64 KiB then CR in the text") << max + "\rx\r\nnext\r\n" << MaxLineBytes << next;
    QTest::newRow("64 KiB then CR CR LF") << max + "\r\r\nnext\r\n" << MaxLineBytes << next;
    QTest::newRow("200 KB then more lines") << QByteArray(200000, 'a') + "\r\nnext\r\n"
                                            << MaxLineBytes << next;
    QTest::newRow("3 MB without a line break") << QByteArray(3 << 20, 'a') << MaxLineBytes << QStringList();
    QTest::newRow("two long lines") << QByteArray(100000, 'a') + "\n" + QByteArray(70000, 'a') + "\nnext"
                                    << MaxLineBytes << QStringList{QString(MaxLineBytes, u'a'), "next"};
    // Past MaxScanBytes the file reads as ended: the over-long line keeps its cut text and
    // what follows far away is not reached.
    QTest::newRow("line break after the scan limit") << QByteArray(MaxScanBytes + 10, 'a') + "\nnext\n"
                                                     << MaxLineBytes << QStringList();
}

void TestDesignFile::longLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, firstLength);
    QFETCH(QStringList, rest);

    const Records r = Decode(bytes);
    QVERIFY(r[0]);
    QCOMPARE(r[0]->size(), firstLength);
    QCOMPARE(*r[0], QString(firstLength, u'a'));
    QCOMPARE(present(r).mid(1), rest);
    QCOMPARE(presentCount(r), 1 + rest.size());
}

void TestDesignFile::cutKeepsUtf8Whole_data()
{
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("unit");

    QTest::newRow("two-byte, straddling") << "a" << QStringLiteral("é");
    QTest::newRow("two-byte, on the boundary") << "" << QStringLiteral("é");
    QTest::newRow("three-byte, one over") << "a" << QStringLiteral("語");
    QTest::newRow("three-byte, two over") << "ab" << QStringLiteral("語");
    QTest::newRow("four-byte") << "abc" << QStringLiteral("😀");
    QTest::newRow("four-byte, two over") << "a" << QStringLiteral("😀");
}

void TestDesignFile::cutKeepsUtf8Whole()
{
    QFETCH(QString, head);
    QFETCH(QString, unit);
    const QByteArray headBytes = head.toUtf8();
    const qsizetype unitBytes = unit.toUtf8().size();
    const qsizetype count = MaxLineBytes / unitBytes + 10;
    const QString longText = head + unit.repeated(count);

    QStringList texts = defaultDesign();
    texts[0] = longText;
    texts[1] = QStringLiteral("Привет"); // a second UTF-8 record, read right only as UTF-8
    const QByteArray bytes = Encode(texts);
    const Records r = Decode(bytes);

    // As many whole characters as fit in 64 KiB.
    const qsizetype whole = (MaxLineBytes - headBytes.size()) / unitBytes;
    QCOMPARE(Text(r, 1), head + unit.repeated(whole));
    QVERIFY(Text(r, 1).toUtf8().size() <= MaxLineBytes);
    QVERIFY(Text(r, 1).toUtf8().size() > MaxLineBytes - unitBytes);
    QCOMPARE(Text(r, 2), QStringLiteral("Привет"));
    QCOMPARE(Text(r, 64), QStringLiteral("True"));
}

void TestDesignFile::piecesMatchWhole_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray max(MaxLineBytes, 'a');
    QTest::newRow("default design") << Encode(defaultDesign());
    QTest::newRow("LF and CR mix") << QByteArray("a\r\nb\nc\rd\r\r\n\r\n\r");
    QTest::newRow("64 KiB CR LF") << max + "\r\nnext\r\n";
    QTest::newRow("64 KiB + CR x") << max + "\rx\r\nnext\r\n";
    QTest::newRow("64 KiB + CR at end") << max + "\r";
    QTest::newRow("200 KB and more") << QByteArray(200000, 'b') + "\r\n" + numberedLines(80);
    QTest::newRow("UTF-8 long line") << QStringLiteral("é").repeated(40000).toUtf8() + "\nx";
    QTest::newRow("100 lines") << numberedLines(100);
}

void TestDesignFile::piecesMatchWhole()
{
    QFETCH(QByteArray, bytes);
    const Records whole = Decode(bytes);
    for (qsizetype piece : {1, 2, 3, 7, 4096, 65535, 65536, 65537, 1 << 20})
        QVERIFY2(decodeInPieces(bytes, piece) == whole, qPrintable(QString::number(piece)));
}

// ---------------------------------------------------------------------------------------------
// Encodings

void TestDesignFile::windows1252Table()
{
    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    const QString text = FromWindows1252(all);
    QCOMPARE(text.size(), 256);
    for (int b = 0; b < 0x80; ++b)
        QCOMPARE(text[b].unicode(), char16_t(b));
    for (int b = 0xA0; b < 0x100; ++b)
        QCOMPARE(text[b].unicode(), char16_t(b));
    QCOMPARE(text[0x80], QChar(0x20AC)); // €
    QCOMPARE(text[0x85], QChar(0x2026)); // …
    QCOMPARE(text[0x8A], QChar(0x0160)); // Š
    QCOMPARE(text[0x92], QChar(0x2019)); // ’
    QCOMPARE(text[0x96], QChar(0x2013)); // –
    QCOMPARE(text[0x97], QChar(0x2014)); // —
    QCOMPARE(text[0x99], QChar(0x2122)); // ™
    QCOMPARE(text[0x9F], QChar(0x0178)); // Ÿ
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        QCOMPARE(text[b], QChar(b)); // undefined bytes keep their C1 control
    // Every byte comes back.
    QCOMPARE(ToWindows1252(text), std::optional<QByteArray>(all));
    // What the code page cannot hold.
    for (char16_t u : {char16_t(0x80), char16_t(0x9F), char16_t(0x100), char16_t(0x0416), char16_t(0x65E5),
                       char16_t(0xD83D)})
        QVERIFY(!ToWindows1252(QStringView(&u, 1)));
}

void TestDesignFile::encodeChoice_data()
{
    QTest::addColumn<QStringList>("texts"); // records 1, 2, ... (the rest default)
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<QByteArray>("line1");

    QTest::newRow("ASCII") << QStringList{"Hello"} << false << QByteArray("Hello");
    QTest::newRow("cp1252 é") << QStringList{"Café"} << false << QByteArray("Caf\xE9");
    QTest::newRow("cp1252 €") << QStringList{"€ 10"} << false << QByteArray("\x80 10");
    QTest::newRow("cp1252 ©") << QStringList{"© 1998"} << false << QByteArray("\xA9 1998");
    QTest::newRow("cp1252 mixed") << QStringList{"Noël — “Œuvre” ™"} << false
                                  << QByteArray("No\xEBl \x97 \x93\x8Cuvre\x94 \x99");
    QTest::newRow("cp1252 undefined byte's control")
        << QStringList{QString(QChar(0x81))} << false << QByteArray("\x81");
    QTest::newRow("Cyrillic path") << QStringList{"C:\\Картинки\\обложка.jpg"} << true
                                   << QStringLiteral("C:\\Картинки\\обложка.jpg").toUtf8();
    QTest::newRow("Japanese path") << QStringList{"C:\\写真\\表紙.jpg"} << true
                                   << QStringLiteral("C:\\写真\\表紙.jpg").toUtf8();
    QTest::newRow("one record decides for all")
        << QStringList{"Café", "東京"} << true << QByteArray("Caf\xC3\xA9");
    QTest::newRow("C1 control that cp1252 lacks")
        << QStringList{QString(QChar(0x80))} << true << QByteArray("\xC2\x80");
    QTest::newRow("emoji") << QStringList{"😀"} << true << QByteArray("\xF0\x9F\x98\x80");
    // Windows-1252 bytes C3 A9 are valid UTF-8 ("é"); written so, they would come back wrong.
    QTest::newRow("cp1252 that looks like UTF-8")
        << QStringList{"Ã©"} << true << QByteArray("\xC3\x83\xC2\xA9");
}

void TestDesignFile::encodeChoice()
{
    QFETCH(QStringList, texts);
    QFETCH(bool, utf8);
    QFETCH(QByteArray, line1);

    QStringList records = defaultDesign();
    for (int i = 0; i < texts.size(); ++i)
        records[i] = texts[i];
    const QByteArray bytes = Encode(records);
    QCOMPARE(lineOf(bytes, 1), line1);
    // The whole file is in the one encoding.
    QByteArray expected;
    for (const QString &t : records)
        expected += (utf8 ? t.toUtf8() : ToWindows1252(t).value_or("?")) + "\r\n";
    QCOMPARE(bytes, expected);
    // Whichever way, the texts keep their characters.
    QCOMPARE(Decode(bytes), recordsOf(records));
}

void TestDesignFile::decodeChoice_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("records");

    QTest::newRow("invalid UTF-8 is cp1252") << QByteArray("Caf\xE9\r\n") << QStringList{"Café"};
    QTest::newRow("valid UTF-8") << QByteArray("Caf\xC3\xA9\r\n") << QStringList{"Café"};
    QTest::newRow("UTF-8 Cyrillic") << QStringLiteral("Привет\r\n").toUtf8() << QStringList{"Привет"};
    QTest::newRow("one invalid line makes all cp1252")
        << QByteArray("Caf\xC3\xA9\r\n\xE9t\xE9\r\n") << QStringList{"CafÃ©", "été"};
    QTest::newRow("cp1252 smart quotes") << QByteArray("\x93Hi\x94 \x85\r\n") << QStringList{"“Hi” …"};
    QTest::newRow("UTF-8 BOM dropped")
        << QByteArray("\xEF\xBB\xBFTitle\r\nx\r\n") << QStringList{"Title", "x"};
    QTest::newRow("UTF-8 BOM alone") << QByteArray("\xEF\xBB\xBF\r\n") << QStringList{""};
    QTest::newRow("BOM only in line 1")
        << QByteArray("a\r\n\xEF\xBB\xBF\r\n") << QStringList{"a", QString(QChar(0xFEFF))};
    QTest::newRow("BOM with invalid UTF-8 is cp1252")
        << QByteArray("\xEF\xBB\xBF\xE9\r\n") << QStringList{"ï»¿é"};
    QTest::newRow("overlong form") << QByteArray("\xC0\xAF\r\n") << QStringList{"À¯"};
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80\r\n") << QStringList{"í\u00A0€"};
    QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80\r\n") << QStringList{"ô\u0090€€"};
    QTest::newRow("cut-off sequence") << QByteArray("\xE6\x97\r\n") << QStringList{"æ—"};
    QTest::newRow("four-byte") << QByteArray("\xF0\x9F\x98\x80\r\n") << QStringList{"😀"};
    QTest::newRow("undefined cp1252 bytes")
        << QByteArray("\x81\x8D\x8F\x90\x9D\r\n")
        << QStringList{QStringView(u"\u0081\u008D\u008F\u0090\u009D").toString()};
    // Lines past the 75th do not take part in the choice.
    QStringList utf8Lines;
    QByteArray bytes;
    for (int i = 0; i < 75; ++i) {
        utf8Lines << QStringLiteral("é");
        bytes += "\xC3\xA9\r\n";
    }
    QTest::newRow("line 76 ignored") << bytes + "\xE9\r\n" << utf8Lines;
}

void TestDesignFile::decodeChoice()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, records);
    QCOMPARE(present(Decode(bytes)), records);
}

void TestDesignFile::validUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("ASCII") << QByteArray("abc\r\n") << true;
    QTest::newRow("NUL") << QByteArray("\0", 1) << true;
    QTest::newRow("2-byte") << QByteArray("\xC2\x80\xDF\xBF") << true;
    QTest::newRow("3-byte") << QByteArray("\xE0\xA0\x80\xEF\xBF\xBF") << true;
    QTest::newRow("4-byte") << QByteArray("\xF0\x90\x80\x80\xF4\x8F\xBF\xBF") << true;
    QTest::newRow("lone continuation") << QByteArray("\x80") << false;
    QTest::newRow("C0 overlong") << QByteArray("\xC0\x80") << false;
    QTest::newRow("C1 overlong") << QByteArray("\xC1\xBF") << false;
    QTest::newRow("E0 overlong") << QByteArray("\xE0\x9F\xBF") << false;
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
    QTest::newRow("last before surrogates") << QByteArray("\xED\x9F\xBF") << true;
    QTest::newRow("F0 overlong") << QByteArray("\xF0\x8F\xBF\xBF") << false;
    QTest::newRow("above range") << QByteArray("\xF4\x90\x80\x80") << false;
    QTest::newRow("F5") << QByteArray("\xF5\x80\x80\x80") << false;
    QTest::newRow("FF") << QByteArray("\xFF") << false;
    QTest::newRow("cut 2-byte") << QByteArray("a\xC3") << false;
    QTest::newRow("cut 4-byte") << QByteArray("\xF0\x9F\x98") << false;
    QTest::newRow("bad continuation") << QByteArray("\xE6\x97\x41") << false;
}

void TestDesignFile::validUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QCOMPARE(IsValidUtf8(bytes), valid);
    // Agrees with Qt's own decoder.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    QCOMPARE(!decoder.hasError(), valid);
    Q_UNUSED(text);
}

// ---------------------------------------------------------------------------------------------
// Files

void TestDesignFile::writeAndRead()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("cover.qwd");
    QStringList texts = defaultDesign();
    texts[0] = "  Top Headline  ";
    texts[13] = "/home/юрий/Картинки/обложка.jpg";
    texts[51] = "12px";
    texts[63] = "False";
    texts[64] = "True";
    QString error;
    QVERIFY2(Write(path, texts, &error), qPrintable(error));
    QCOMPARE(fileBytes(path), Encode(texts));
    const auto r = Read(path, &error);
    QVERIFY2(r, qPrintable(error));
    QCOMPARE(*r, recordsOf(texts));
    QCOMPARE(Number(*r, 52), 12.0);
    QVERIFY(Bool(*r, 65));
    QCOMPARE(Int32(*r, 4), qint32(0x80000008u));
    QCOMPARE(NumberInt16(*r, 10), qint16(4));
    QCOMPARE(leftovers(dir.path(), {"cover.qwd"}), QStringList());
    // No error pointer is fine too (under a new name: the run has read this one).
    QVERIFY(Write(dir.filePath("again.qwd"), texts));
    QVERIFY(Read(dir.filePath("again.qwd")));
}

void TestDesignFile::writeReplacesWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cover.qwd");
    QVERIFY(putFile(path, numberedLines(500)));
    QVERIFY(Write(path, defaultDesign()));
    QCOMPARE(fileBytes(path), QByteArray(DefaultDesignBytes));
}

void TestDesignFile::writeKeepsModeAndOwner_data()
{
    QTest::addColumn<int>("mode"); // -1: no file yet
    QTest::addColumn<uint>("owner");
    const uint me = uint(::geteuid());
    QTest::newRow("new file") << -1 << me;
    QTest::newRow("0644") << 0644 << me;
    QTest::newRow("0600") << 0600 << me;
    QTest::newRow("0640") << 0640 << me;
    QTest::newRow("0444, read-only") << 0444 << me;
    QTest::newRow("0640 of another user") << 0640 << 65534u;
}

void TestDesignFile::writeKeepsModeAndOwner()
{
#ifdef Q_OS_UNIX
    QFETCH(int, mode);
    QFETCH(uint, owner);
    if (owner != uint(::geteuid()) && ::geteuid() != 0)
        QSKIP("giving a file to another user needs root");
    QTemporaryDir dir;
    const QString path = dir.filePath("cover.qwd");
    const QByteArray native = QFile::encodeName(path);
    const mode_t mask = ::umask(022);
    ::umask(mask);
    if (mode >= 0) {
        QVERIFY(putFile(path, "old"));
        QCOMPARE(::chmod(native.constData(), mode_t(mode)), 0);
        QCOMPARE(::chown(native.constData(), owner, owner), 0);
    }
    // Root may write anything; anyone else may not replace a read-only file.
    const bool refused = mode >= 0 && !(mode & 0200) && ::geteuid() != 0;
    QString error;
    QCOMPARE(Write(path, defaultDesign(), &error), !refused);
    struct stat st;
    QCOMPARE(::stat(native.constData(), &st), 0);
    if (refused) {
        QVERIFY(error.contains("read-only"));
        QCOMPARE(fileBytes(path), QByteArray("old"));
    } else {
        QCOMPARE(fileBytes(path), QByteArray(DefaultDesignBytes));
    }
    // As a plain create would make it, or as it was: never a temporary's 0600, nor 0644 for all.
    QCOMPARE(st.st_mode & 07777, mode >= 0 ? mode_t(mode) : 0666 & ~mask);
    QCOMPARE(uint(st.st_uid), owner);
    QCOMPARE(leftovers(dir.path(), {"cover.qwd"}), QStringList());
#else
    QSKIP("POSIX modes only");
#endif
}

void TestDesignFile::writeWrongCountKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cover.qwd");
    QVERIFY(putFile(path, "old"));
    QString error;
    QVERIFY(!Write(path, QStringList(74), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!Write(path, QStringList(76)));
    QCOMPARE(fileBytes(path), QByteArray("old"));
}

void TestDesignFile::writeReadOnlyFolderKeepsOldFile()
{
#ifdef Q_OS_LINUX
    QTemporaryDir dir;
    const QString sub = dir.filePath("ro");
    QVERIFY(QDir().mkdir(sub));
    const QString path = sub + "/cover.qwd";
    const QByteArray old = Encode(withRecord(1, "the old design"));
    QVERIFY(putFile(path, old));
    QVERIFY(
        QFile::setPermissions(sub, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup));
    bool written = false;
    QString error;
    {
        WithoutDacOverride guard;
        if (!guard.bound()) {
            QFile::setPermissions(sub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("running as root without the means to drop CAP_DAC_OVERRIDE");
        }
        written = Write(path, withRecord(1, "the new design"), &error);
    }
    QFile::setPermissions(sub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!written);
    QVERIFY(!error.isEmpty());
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(leftovers(sub, {"cover.qwd"}), QStringList());
#else
    QSKIP("Linux only");
#endif
}

void TestDesignFile::writeFullDiskKeepsOldFile()
{
#ifdef Q_OS_UNIX
    // A full disk, as the process sees it: writes past 100 bytes fail (EFBIG).
    QTemporaryDir dir;
    const QString path = dir.filePath("cover.qwd");
    const QByteArray old = Encode(withRecord(1, "the old design"));
    QVERIFY(putFile(path, old));

    struct rlimit saved;
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool written = Write(path, withRecord(1, "the new design"), &error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QVERIFY(!error.isEmpty());
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(leftovers(dir.path(), {"cover.qwd"}), QStringList());
#else
    QSKIP("POSIX only");
#endif
}

void TestDesignFile::writeToFolderFails()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("folder.qwd");
    QVERIFY(QDir().mkdir(path));
    QString error;
    QVERIFY(!Write(path, defaultDesign(), &error));
    QVERIFY(error.contains("folder"));
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(leftovers(dir.path(), {"folder.qwd"}), QStringList());
}

void TestDesignFile::writeToMissingFolderFails()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY(!Write(dir.filePath("no/such/folder/cover.qwd"), defaultDesign(), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!Write(QString(), defaultDesign(), &error));
    QVERIFY(!Write(dir.filePath(QStringView(u"a\0b", 3).toString()), defaultDesign(), &error));
    QCOMPARE(leftovers(dir.path(), {}), QStringList());
}

void TestDesignFile::writeToFifoFails()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString path = dir.filePath("fifo.qwd");
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    // A write that opened the FIFO would block for good: ctest's time limit catches that.
    QString error;
    QVERIFY(!Write(path, defaultDesign(), &error));
    QVERIFY(!error.isEmpty());
    struct stat st;
    QCOMPARE(::lstat(QFile::encodeName(path).constData(), &st), 0);
    QVERIFY(S_ISFIFO(st.st_mode)); // not replaced by a regular file
#else
    QSKIP("POSIX only");
#endif
}

void TestDesignFile::writeThroughLinks_data()
{
    QTest::addColumn<QString>("folderMode"); // the link's folder: "own", "sticky" or "shared"
    QTest::addColumn<uint>("folderOwner");
    QTest::addColumn<uint>("linkOwner");
    QTest::addColumn<bool>("dangling");
    QTest::addColumn<int>("answer"); // to the question about a missing target; -1 nobody to ask
    QTest::addColumn<bool>("chain"); // our own link first, pointing at that one
    QTest::addColumn<bool>("written");
    const uint me = uint(::geteuid()), other = 65534;
    // clang-format off
    QTest::newRow("own link")                           << "own"    << me    << me    << false << -1 << false << true;
    QTest::newRow("own link in a sticky shared folder") << "sticky" << me    << me    << false << -1 << false << true;
    QTest::newRow("other's link, sticky shared folder") << "sticky" << me    << other << false << -1 << false << false;
    QTest::newRow("other's link, reached by our link")  << "sticky" << me    << other << false << -1 << true  << false;
    QTest::newRow("other's link, folder not sticky")    << "shared" << me    << other << false << -1 << false << true;
    QTest::newRow("other's link in their sticky folder")<< "sticky" << other << other << false << -1 << false << true;
    QTest::newRow("dangling, nobody to ask")            << "own"    << me    << me    << true  << -1 << false << false;
    QTest::newRow("dangling, declined")                 << "own"    << me    << me    << true  << 0  << false << false;
    QTest::newRow("dangling, accepted")                 << "own"    << me    << me    << true  << 1  << false << true;
    QTest::newRow("dangling, via our link, accepted")   << "own"    << me    << me    << true  << 1  << true  << true;
    // clang-format on
}

// A link is written through, the link itself left as it is; but not a link that another user
// planted in a shared sticky folder, and not to a missing target nobody agreed to create.
void TestDesignFile::writeThroughLinks()
{
#ifdef Q_OS_UNIX
    QFETCH(QString, folderMode);
    QFETCH(uint, folderOwner);
    QFETCH(uint, linkOwner);
    QFETCH(bool, dangling);
    QFETCH(int, answer);
    QFETCH(bool, chain);
    QFETCH(bool, written);
    const uint me = uint(::geteuid());
    if ((folderOwner != me || linkOwner != me) && me != 0)
        QSKIP("links of another user need root to make");
    QTemporaryDir dir;
    const QString shared = dir.filePath("shared");
    QVERIFY(QDir().mkdir(shared));
    const QByteArray sharedNative = QFile::encodeName(shared);
    QCOMPARE(::chmod(sharedNative.constData(), folderMode == "sticky"   ? 01777
                                               : folderMode == "shared" ? 0777
                                                                        : 0700),
             0);
    QCOMPARE(::chown(sharedNative.constData(), folderOwner, folderOwner), 0);

    // The file the link leads to: someone's precious file, or nothing yet.
    const QString target = dir.filePath("precious.txt");
    if (!dangling)
        QVERIFY(putFile(target, "precious"));
    const QString link = shared + "/cover.qwd";
    QVERIFY(QFile::link(target, link));
    QCOMPARE(::lchown(QFile::encodeName(link).constData(), linkOwner, linkOwner), 0);
    const QString saved = chain ? dir.filePath("mine.qwd") : link;
    if (chain)
        QVERIFY(QFile::link(QStringLiteral("shared/cover.qwd"), saved)); // relative

    WriteOptions options;
    QStringList asked;
    if (answer >= 0)
        options.createLinkTarget = [&](const QString &from, const QString &to) {
            asked << from << to;
            return answer == 1;
        };
    QString error;
    QCOMPARE(Write(saved, defaultDesign(), &error, options), written);
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(!chain || QFileInfo(saved).isSymLink());
    const QStringList question = dangling && answer >= 0 ? QStringList{saved, target} : QStringList();
    QCOMPARE(asked, question);
    if (written) {
        QCOMPARE(fileBytes(target), QByteArray(DefaultDesignBytes));
    } else {
        QVERIFY(!error.isEmpty());
        QCOMPARE(fileBytes(target), dangling ? QByteArray("<unreadable>") : QByteArray("precious"));
        if (!dangling)
            QVERIFY2(error.contains(link) && error.contains("shared folder"), qPrintable(error));
    }
    QCOMPARE(leftovers(shared, {"cover.qwd"}), QStringList());
    QCOMPARE(leftovers(dir.path(), {"shared", "precious.txt", "mine.qwd"}), QStringList());
#else
    QSKIP("POSIX only");
#endif
}

void TestDesignFile::writeRemovesStaleTemporaries_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("age"); // seconds since last written
    // "file" (a complete design), "cut" (a design cut short), "link",
    // "folder", "locked" (a design that a writer at work holds)
    QTest::addColumn<QString>("kind");
    QTest::addColumn<uint>("owner");
    QTest::addColumn<bool>("removed");
    const uint me = uint(::geteuid());
    // clang-format off
    const QString ours = QString::fromLatin1(safewrite::TemporaryName("cover.qwd"));
    QTest::newRow("stale")                 << ours               << 120   << "file"   << me     << true;
    QTest::newRow("stale, a day old")      << ours               << 86400 << "file"   << me     << true;
    QTest::newRow("fresh")                 << ours               << 5     << "file"   << me     << false;
    QTest::newRow("another file's")        << QString::fromLatin1(safewrite::TemporaryName("x.pdf")) << 120 << "file" << me << true;
    QTest::newRow("cut short: ours all the same") << ours        << 120   << "cut"    << me     << true;
    QTest::newRow("a capital in the random part") << QString(ours).replace(8, 1, u'Q') << 120 << "file" << me << false;
    QTest::newRow("another suffix")        << QString(ours).replace(".part", ".pdf") << 120 << "file" << me << false;
    // The user's own copies, named like the old temporaries were.
    for (const char *copy : {"cover.qwd.KeepMe", "cover.qwd.BackUp", "cover.qwd.OldOne", "cover.qwd.MyCopy", "cover.qwd.Ab3xY9"})
        QTest::addRow("the user's %s", copy) << copy         << 300   << "file"   << me     << false;
    QTest::newRow("a link")                << ours               << 120   << "link"   << me     << false;
    QTest::newRow("a folder")              << ours               << 120   << "folder" << me     << false;
    QTest::newRow("another user's")        << ours               << 120   << "file"   << 65534u << false;
    QTest::newRow("held by a live writer") << ours               << 120   << "locked" << me     << false;
    // clang-format on
}

// A save or an export killed between writing and renaming leaves its temporary: the next save in
// that folder removes it, and nothing else.
void TestDesignFile::writeRemovesStaleTemporaries()
{
#ifdef Q_OS_UNIX
    QFETCH(QString, name);
    QFETCH(int, age);
    QFETCH(QString, kind);
    QFETCH(uint, owner);
    QFETCH(bool, removed);
    if (owner != uint(::geteuid()) && ::geteuid() != 0)
        QSKIP("a file of another user needs root to make");
    QTemporaryDir dir;
    const QString leftover = dir.filePath(name);
    const QByteArray native = QFile::encodeName(leftover);
    const QString kept = dir.filePath("kept.txt");
    QVERIFY(putFile(kept, "kept"));
    int lockFd = -1;
    if (kind == "link") {
        QVERIFY(QFile::link(kept, leftover));
    } else if (kind == "folder") {
        QVERIFY(QDir().mkdir(leftover));
    } else {
        const QByteArray design = Encode(defaultDesign());
        QVERIFY(putFile(leftover, kind == "cut" ? design.left(design.size() / 2) : design));
        QCOMPARE(::chown(native.constData(), owner, owner), 0);
        if (kind == "locked") {
            lockFd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
            QVERIFY(lockFd >= 0);
            QCOMPARE(::flock(lockFd, LOCK_EX), 0);
        }
    }
    const struct timespec then[2] = {{::time(nullptr) - age, 0}, {::time(nullptr) - age, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, native.constData(), then, AT_SYMLINK_NOFOLLOW), 0);

    const bool written = Write(dir.filePath("cover.qwd"), defaultDesign());
    if (lockFd >= 0)
        ::close(lockFd);
    QVERIFY(written);
    QCOMPARE(QFileInfo::exists(leftover) || QFileInfo(leftover).isSymLink(), !removed);
    QCOMPARE(fileBytes(kept), QByteArray("kept"));
    QStringList expected{"cover.qwd", "kept.txt"};
    if (!removed)
        expected << name;
    QCOMPARE(leftovers(dir.path(), expected), QStringList());
#else
    QSKIP("POSIX only");
#endif
}

void TestDesignFile::readMissingFile()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY(!Read(dir.filePath("missing.qwd"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!Read(QString(), &error));
    QVERIFY(!Read(dir.filePath(QStringView(u"a\0b", 3).toString())));
}

void TestDesignFile::readFolder()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY(!Read(dir.path(), &error));
    QVERIFY(error.contains("folder"));
}

void TestDesignFile::readFifo()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString path = dir.filePath("fifo.qwd");
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QString error;
    QVERIFY(!Read(path, &error)); // no writer: a blocking open would never return
    QVERIFY(error.contains("regular"));
#else
    QSKIP("POSIX only");
#endif
}

void TestDesignFile::readDevices_data()
{
    QTest::addColumn<QString>("path");
    for (const char *dev : {"/dev/zero", "/dev/null", "/dev/urandom", "/dev/full"})
        QTest::newRow(dev) << QString::fromLatin1(dev);
}

void TestDesignFile::readDevices()
{
    QFETCH(QString, path);
    if (!QFileInfo::exists(path))
        QSKIP("no such device here");
    const qint64 before = bytesReadSoFar();
    if (before < 0)
        QSKIP("no /proc/self/io to count the bytes read");
    QString error;
    QVERIFY(!Read(path, &error));
    QVERIFY(!error.isEmpty());
    // Refused on sight: /dev/zero and /dev/urandom would give bytes for ever.
    const qint64 read = bytesReadSoFar() - before;
    QVERIFY2(read < 4096, qPrintable(QString::number(read)));
}

void TestDesignFile::readHugeFileIsBounded_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("sparse");
    QTest::newRow("8 MB written, no line break") << qint64(8) * 1000 * 1000 << false;
    QTest::newRow("2 GB sparse, no line break") << qint64(2) * 1024 * 1024 * 1024 << true;
}

void TestDesignFile::readHugeFileIsBounded()
{
    QFETCH(qint64, size);
    QFETCH(bool, sparse);
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.qwd");
    char fill = 'x';
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (sparse) {
            fill = '\0';
            if (!f.resize(size))
                QSKIP("no sparse file here");
        } else {
            QVERIFY(f.write(QByteArray(size, fill)) == size);
        }
    }
    const qint64 before = bytesReadSoFar();
    if (before < 0)
        QSKIP("no /proc/self/io to count the bytes read");
    const auto r = Read(path);
    const qint64 read = bytesReadSoFar() - before;

    QVERIFY(r);
    QCOMPARE(presentCount(*r), 1);
    QCOMPARE(Text(*r, 1), QString(MaxLineBytes, QChar::fromLatin1(fill)));
    // However big the file, no more than the bounded scan is read.
    QVERIFY2(read <= MaxScanBytes + 64 * 1024 + 4096, qPrintable(QString::number(read)));
}

void TestDesignFile::readStopsAfterSeventyFiveLines()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.qwd");
    QVERIFY(putFile(path, Encode(defaultDesign()) + QByteArray(10 << 20, 'z')));
    const qint64 before = bytesReadSoFar();
    const auto r = Read(path);
    const qint64 after = bytesReadSoFar();
    QVERIFY(r);
    QCOMPARE(*r, recordsOf(defaultDesign()));
    if (before >= 0 && after >= 0)
        QVERIFY2(after - before <= 64 * 1024 + 4096 + MaxSettingsScan,
                 qPrintable(QString::number(after - before)));
}

void TestDesignFile::readEqualsDecode_data()
{
    QTest::addColumn<QString>("path");
    const QDir corpus(QStringLiteral(DESIGNFILE_CORPUS_DIR));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    QVERIFY(names.size() >= 4);
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << corpus.filePath(name);
}

void TestDesignFile::readEqualsDecode()
{
    QFETCH(QString, path);
    const auto r = Read(path);
    QVERIFY(r);
    QCOMPARE(*r, Decode(fileBytes(path)));
}

void TestDesignFile::corpusDesigns()
{
    const QString dir = QStringLiteral(DESIGNFILE_CORPUS_DIR);

    const auto def = Read(dir + "/default.qwd");
    QVERIFY(def);
    QCOMPARE(presentCount(*def), RecordCount);
    QCOMPARE(Int32(*def, 4), qint32(0x80000008u));
    QCOMPARE(NumberInt16(*def, 10), qint16(4));
    QCOMPARE(Text(*def, 59), QStringLiteral(" 2026"));
    QVERIFY(Bool(*def, 64));
    QVERIFY(!Bool(*def, 65));

    const auto back = Read(dir + "/back-odd-values.qwd");
    QVERIFY(back);
    QVERIFY(!Bool(*back, 64));
    QVERIFY(Bool(*back, 65));
    QCOMPARE(Text(*back, 1), QStringLiteral("  Midnight Sessions  "));
    QCOMPARE(Text(*back, 5), QStringLiteral("Live at the Café — 1998 ©"));
    QCOMPARE(Number(*back, 3), 24.75);
    QCOMPARE(Int32(*back, 4), 255);
    QCOMPARE(Text(*back, 52), QStringLiteral("12px"));
    QCOMPARE(Number(*back, 52), 12.0);
    QCOMPARE(Number(*back, 54), 400.0); // &H190
    QCOMPARE(Number(*back, 55), 0.0);   // letters
    QCOMPARE(Number(*back, 15), 300.5);
    QCOMPARE(Text(*back, 20), QStringLiteral("3.5"));
    QCOMPARE(Text(*back, 50), QStringLiteral("Mastered ™"));
    QCOMPARE(Real(*back, 25), 9.0f);

    const auto lf = Read(dir + "/lf-no-final-terminator.qwd");
    QVERIFY(lf);
    QCOMPARE(*lf, *back);

    const auto utf8 = Read(dir + "/utf8.qwd");
    QVERIFY(utf8);
    QCOMPARE(Text(*utf8, 1), QStringLiteral("Привет, мир"));
    QCOMPARE(Text(*utf8, 14), QStringLiteral("/home/юрий/Картинки/обложка.jpg"));
    QCOMPARE(Text(*utf8, 17), QStringLiteral("/home/yuri/写真/ロゴ.gif"));
    QCOMPARE(Text(*utf8, 28), QStringLiteral("Café"));
    QCOMPARE(Text(*utf8, 29), QStringLiteral("Noël 🎄"));
}

QTEST_GUILESS_MAIN(TestDesignFile)
#include "test_designfile.moc"

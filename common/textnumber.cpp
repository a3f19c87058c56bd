#include "textnumber.h"

#include <QDate>

#include <charconv>
#include <cmath>
#include <limits>

namespace textnum {
namespace {

bool isIgnored(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// Parses the longest numeric prefix of s (already stripped of ignored
// characters) starting at 0. Returns the value and the length consumed
// (0 when there is no number at all).
struct Prefix {
    double value = 0;
    qsizetype length = 0;
};

Prefix radixLiteral(const QString &s)
{
    // s starts with '&'
    if (s.size() < 3)
        return {};
    const QChar kind = s.at(1).toUpper();
    int base = 0;
    if (kind == u'H')
        base = 16;
    else if (kind == u'O')
        base = 8;
    else
        return {};
    quint64 v = 0;
    qsizetype i = 2;
    bool overflow = false;
    for (; i < s.size(); ++i) {
        const char16_t c = s.at(i).toUpper().unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0 || digit >= base)
            break;
        if (v > (std::numeric_limits<quint64>::max() >> 4))
            overflow = true;
        v = v * static_cast<quint64>(base) + static_cast<quint64>(digit);
    }
    if (i == 2)
        return {};
    double value;
    // Literals that fit 16 or 32 bits are two's complement, as the
    // platform's integer literals are (&HFFFF is -1).
    if (!overflow && v <= 0xFFFFu)
        value = static_cast<qint16>(static_cast<quint16>(v));
    else if (!overflow && v <= 0xFFFFFFFFu)
        value = static_cast<qint32>(static_cast<quint32>(v));
    else
        value = overflow ? std::numeric_limits<double>::infinity() : static_cast<double>(v);
    return {value, i};
}

Prefix decimalPrefix(const QString &s)
{
    std::string ascii;
    ascii.reserve(static_cast<size_t>(s.size()));
    qsizetype i = 0;
    if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-'))
        ascii.push_back(static_cast<char>(s.at(i++).unicode()));
    bool digits = false;
    while (i < s.size() && s.at(i) >= u'0' && s.at(i) <= u'9') {
        ascii.push_back(static_cast<char>(s.at(i++).unicode()));
        digits = true;
    }
    if (i < s.size() && s.at(i) == u'.') {
        ascii.push_back('.');
        ++i;
        while (i < s.size() && s.at(i) >= u'0' && s.at(i) <= u'9') {
            ascii.push_back(static_cast<char>(s.at(i++).unicode()));
            digits = true;
        }
    }
    if (!digits)
        return {};
    qsizetype end = i;
    if (i < s.size() && (s.at(i).toUpper() == u'E' || s.at(i).toUpper() == u'D')) {
        qsizetype j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s.at(j) == u'+' || s.at(j) == u'-'))
            exp.push_back(static_cast<char>(s.at(j++).unicode()));
        bool expDigits = false;
        while (j < s.size() && s.at(j) >= u'0' && s.at(j) <= u'9') {
            exp.push_back(static_cast<char>(s.at(j++).unicode()));
            expDigits = true;
        }
        if (expDigits) {
            ascii += exp;
            end = j;
        }
    }
    if (ascii.front() == '+')
        ascii.erase(0, 1);
    double v = 0;
    const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars leaves v untouched; tell overflow from underflow.
        const auto e = ascii.find('e');
        const bool negExp = e != std::string::npos && e + 1 < ascii.size() && ascii[e + 1] == '-';
        const bool neg = ascii.front() == '-';
        v = negExp ? 0.0 : std::numeric_limits<double>::infinity();
        if (neg)
            v = -v;
    }
    return {v, end};
}

Prefix numberPrefix(const QString &s)
{
    if (s.isEmpty())
        return {};
    if (s.at(0) == u'&')
        return radixLiteral(s);
    return decimalPrefix(s);
}

QString stripIgnored(const QString &text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (!isIgnored(c))
            s.append(c);
    return s;
}

QString shortestFloat(float value)
{
    char buf[64];
    const float a = std::fabs(value);
    std::to_chars_result r;
    if (a == 0.0f || (a >= 1e-5f && a < 1e15f))
        r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    else
        r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    QString out = QString::fromLatin1(buf, r.ptr - buf);
    // The platform writes exponents as E+NN.
    const qsizetype e = out.indexOf(u'e');
    if (e >= 0) {
        QString mant = out.left(e);
        QString exp = out.mid(e + 1);
        QChar sign = u'+';
        if (exp.startsWith(u'-') || exp.startsWith(u'+')) {
            sign = exp.at(0);
            exp.remove(0, 1);
        }
        while (exp.size() < 2)
            exp.prepend(u'0');
        out = mant + u'E' + sign + exp;
    }
    if (out == QLatin1String("-0"))
        out = QStringLiteral("0");
    return out;
}

// A whole-text number: blanks around, nothing else.
std::optional<double> wholeNumber(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const Prefix p = numberPrefix(t);
    if (p.length == 0 || p.length != t.size())
        return std::nullopt;
    return p.value;
}

} // namespace

double TextNumber(const QString &text)
{
    return numberPrefix(stripIgnored(text)).value;
}

QString PositionText(double value)
{
    return shortestFloat(static_cast<float>(value));
}

QString Int16Form(int value)
{
    return (value < 0 ? QString::number(value) : u' ' + QString::number(value)) + u' ';
}

QString Int32Form(qint32 value)
{
    return Int16Form(value);
}

QString RealForm(float value)
{
    const QString s = shortestFloat(value);
    return (s.startsWith(u'-') ? s : u' ' + s) + u' ';
}

QString BoolForm(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<qint16> RoundInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = std::nearbyint(value); // default rounding: half to even
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return static_cast<qint16>(r);
}

std::optional<qint16> ToInt16(const QString &text)
{
    const auto v = wholeNumber(text);
    if (!v)
        return std::nullopt;
    return RoundInt16(*v);
}

std::optional<qint32> ToInt32(const QString &text)
{
    const auto v = wholeNumber(text);
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    const double r = std::nearbyint(*v);
    if (r < -2147483648.0 || r > 2147483647.0)
        return std::nullopt;
    return static_cast<qint32>(r);
}

std::optional<float> ToReal(const QString &text)
{
    const auto v = wholeNumber(text);
    if (!v || !std::isfinite(*v) || std::fabs(*v) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*v);
}

std::optional<bool> ToBool(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const auto v = wholeNumber(t);
    if (!v)
        return std::nullopt;
    return *v != 0.0;
}

QString YearText()
{
    return u' ' + QString::number(QDate::currentDate().year());
}

} // namespace textnum

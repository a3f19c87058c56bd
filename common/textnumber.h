#pragma once

#include <QString>

#include <optional>

// Numbers as the designer reads them from text fields and design files, and
// the text forms it writes back.
namespace textnum {

// Leading-number reading of a field: blanks, tabs and line feeds are ignored
// anywhere; the longest numeric prefix is taken (sign, digits, one '.',
// exponent with E or D, or &H / &O literals); no number gives 0.
// Overflowing exponents give +-infinity; callers decide what they accept.
double TextNumber(const QString &text);

// A single-precision value in plain decimal form, no leading blank
// ("177", "-10", "10.5").
QString PositionText(double value);

// Record value forms: a blank (or '-') before the number, a blank after.
QString Int16Form(int value);
QString Int32Form(qint32 value);
QString RealForm(float value);
QString BoolForm(bool value);

// Whole-text conversions of a record. Blanks around the number are allowed;
// anything else that is not a number (including empty text) is an error
// (nullopt). Fractions round half to even.
std::optional<qint16> ToInt16(const QString &text);
std::optional<qint32> ToInt32(const QString &text);
std::optional<float> ToReal(const QString &text);
std::optional<bool> ToBool(const QString &text);

// Round half to even into a 16-bit integer; nullopt when out of range or not finite.
std::optional<qint16> RoundInt16(double value);

// The current year with the blank reserved for the sign (" 2026").
QString YearText();

} // namespace textnum

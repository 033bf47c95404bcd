#include "telemetry/value_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>

char DecimalSeparator(const QLocale& locale) {
    const QString separator = locale.decimalPoint();
    return separator.size() == 1 && separator[0].unicode() < 0x80 ? separator[0].toLatin1() : '.';
}

namespace {

// Whole numbers and thousandths (millivolts read as volts) are every channel's values. Written
// from the integer they give the general form's text exactly: the nearest double to n/1000
// rounds back to n/1000 at 15 significant digits, and has no exponent from 0.001 up.
// The end of the text written, or null for any other value.
char* WriteThousandths(char* at, double value, char decimalSeparator) {
    const double scaled = value * 1000;
    if (!(std::fabs(scaled) < 1e15)) return nullptr;
    // the nearest whole number; a half is no thousandth, and the test below sends it on
    const auto n = static_cast<long long>(scaled + std::copysign(0.5, scaled));
    if (static_cast<double>(n) / 1000 != value) return nullptr;
    if (n < 0) *at++ = '-';
    const auto magnitude = static_cast<unsigned long long>(n < 0 ? -n : n);
    at = std::to_chars(at, at + kValueTextMost, magnitude / 1000).ptr;
    const auto fraction = static_cast<unsigned>(magnitude % 1000);
    if (fraction == 0) return at;
    *at++ = decimalSeparator;
    at[0] = static_cast<char>('0' + fraction / 100);
    at[1] = static_cast<char>('0' + fraction / 10 % 10);
    at[2] = static_cast<char>('0' + fraction % 10);
    return at + (fraction % 10 != 0 ? 3 : fraction % 100 != 0 ? 2 : 1);  // no trailing zeros
}

}  // namespace

char* WriteValueText(char* at, double value, char decimalSeparator) {
    if (char* end = WriteThousandths(at, value, decimalSeparator)) return end;
    char* const end = std::to_chars(at, at + kValueTextMost, value, std::chars_format::general, 15).ptr;
    for (char* c = at; c != end; ++c)
        if (*c == '.') *c = decimalSeparator;
    return end;
}

void AppendValueText(std::string& out, double value, char decimalSeparator) {
    char text[kValueTextMost];
    out.append(text, WriteValueText(text, value, decimalSeparator));
}

QString ValueText(double value, const QLocale& locale) {
    std::string text;
    AppendValueText(text, value, DecimalSeparator(locale));
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString StatusText(double value) {
    const double whole = std::nearbyint(value);
    if (!(whole >= 0 && whole <= 4294967295.0)) return ValueText(value);  // never from a 32-bit field
    return QString::number(static_cast<std::uint32_t>(whole), 16).toUpper();
}

QString PositionText(int n, int count) { return QStringLiteral("#%1 / %2").arg(n).arg(count); }

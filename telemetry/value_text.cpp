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
    const double thousandths = std::nearbyint(value * 1000);
    if (!(std::fabs(thousandths) < 1e15) || thousandths / 1000 != value) return nullptr;
    const auto n = static_cast<long long>(thousandths);
    if (n < 0 && n > -1000) *at++ = '-';  // the whole part of -0.5 is a plain 0
    at = std::to_chars(at, at + kValueTextMost, n / 1000).ptr;
    int fraction = static_cast<int>(n < 0 ? -(n % 1000) : n % 1000);
    if (fraction == 0) return at;
    *at++ = decimalSeparator;
    int digits = 3;
    while (fraction % 10 == 0) fraction /= 10, --digits;
    for (int divisor = digits == 3 ? 100 : digits == 2 ? 10 : 1; divisor > 0; divisor /= 10)
        *at++ = static_cast<char>('0' + fraction / divisor % 10);
    return at;
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

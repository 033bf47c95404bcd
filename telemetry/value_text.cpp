#include "telemetry/value_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>

char DecimalSeparator(const QLocale& locale) {
    const QString separator = locale.decimalPoint();
    return separator.size() == 1 && separator[0].unicode() < 0x80 ? separator[0].toLatin1() : '.';
}

void AppendValueText(std::string& out, double value, char decimalSeparator) {
    char text[32];
    // most channels are whole numbers: written as integers, many times faster
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        out.append(text, std::to_chars(text, text + sizeof text, static_cast<long long>(value)).ptr);
        return;
    }
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15).ptr;
    for (char* c = text; c != end; ++c)
        if (*c == '.') *c = decimalSeparator;
    out.append(text, end);
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

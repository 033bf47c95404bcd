#include "telemetry/value_text.h"

#include <cmath>
#include <cstdint>

QString ValueText(double value, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'g', 15);
}

QString StatusText(double value) {
    const double whole = std::nearbyint(value);
    if (!(whole >= 0 && whole <= 4294967295.0)) return ValueText(value);  // never from a 32-bit field
    return QString::number(static_cast<std::uint32_t>(whole), 16).toUpper();
}

QString PositionText(int n, int count) { return QStringLiteral("#%1 / %2").arg(n).arg(count); }

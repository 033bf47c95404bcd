#pragma once

#include <QLocale>
#include <QString>

// How values are written as text on screen and in exports.

// The general decimal form: up to 15 significant digits, no trailing zeros, no thousands
// separator, the locale's decimal separator.
QString ValueText(double value, const QLocale& locale = QLocale());

// The status word in upper-case hexadecimal without leading zeros; the whole 32 bits,
// so 4294967295 reads FFFFFFFF.
QString StatusText(double value);

// "#n / N": packet n of N.
QString PositionText(int n, int count);

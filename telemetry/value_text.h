#pragma once

#include <QLocale>
#include <QString>

#include <string>

// How values are written as text on screen and in exports.

// The locale's decimal separator, as one byte ("." where the locale has none that fits).
char DecimalSeparator(const QLocale& locale = QLocale());

// The general decimal form: up to 15 significant digits, no trailing zeros, no thousands
// separator, "-" before negative values and the given decimal separator.
void AppendValueText(std::string& out, double value, char decimalSeparator);
QString ValueText(double value, const QLocale& locale = QLocale());

// The status word in upper-case hexadecimal without leading zeros; the whole 32 bits,
// so 4294967295 reads FFFFFFFF.
QString StatusText(double value);

// "#n / N": packet n of N.
QString PositionText(int n, int count);

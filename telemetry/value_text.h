#pragma once

#include <QLocale>
#include <QString>

#include <cstring>
#include <string>
#include <string_view>

// How values are written as text on screen and in exports.

// The locale's decimal separator, as one byte ("." where the locale has none that fits).
char DecimalSeparator(const QLocale& locale = QLocale());

// The general decimal form: up to 15 significant digits, no trailing zeros, no thousands
// separator, "-" before negative values and the given decimal separator.
void AppendValueText(std::string& out, double value, char decimalSeparator);
// ... written at a place with room for kValueTextMost characters; where it ends.
inline constexpr std::size_t kValueTextMost = 32;
char* WriteValueText(char* at, double value, char decimalSeparator);

// A row of text written into room made in the string once, rather than the string growing a
// field at a time; what the row did not use is given back at the end.
class RowBuffer {
public:
    RowBuffer(std::string& out, std::size_t most) : out_(out), start_(out.size()) {
        out_.resize(start_ + most);
        at_ = out_.data() + start_;
    }
    ~RowBuffer() { out_.resize(static_cast<std::size_t>(at_ - out_.data())); }
    RowBuffer(const RowBuffer&) = delete;
    RowBuffer& operator=(const RowBuffer&) = delete;

    RowBuffer& Text(std::string_view text) {
        std::memcpy(at_, text.data(), text.size());
        at_ += text.size();
        return *this;
    }
    RowBuffer& Char(char c) {
        *at_++ = c;
        return *this;
    }
    RowBuffer& Value(double value, char decimalSeparator) {
        at_ = WriteValueText(at_, value, decimalSeparator);
        return *this;
    }

private:
    std::string& out_;
    std::size_t start_;
    char* at_;
};
QString ValueText(double value, const QLocale& locale = QLocale());

// The status word in upper-case hexadecimal without leading zeros; the whole 32 bits,
// so 4294967295 reads FFFFFFFF.
QString StatusText(double value);

// "#n / N": packet n of N.
QString PositionText(int n, int count);

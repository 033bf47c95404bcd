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

// A row of text written into room of its own, then added to the string at once, rather than
// the string growing a field at a time. `most` bounds the row's length.
class RowBuffer {
public:
    RowBuffer(std::string& out, std::size_t most) : out_(out) {
        if (most > sizeof room_) spill_.resize(most);  // never for a packet's row; for safety
        start_ = at_ = most > sizeof room_ ? spill_.data() : room_;
    }
    ~RowBuffer() { out_.append(start_, at_); }
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
    char room_[4096];
    std::string spill_;
    char* start_;
    char* at_;
};

QString ValueText(double value, const QLocale& locale = QLocale());

// The status word in upper-case hexadecimal without leading zeros; the whole 32 bits,
// so 4294967295 reads FFFFFFFF.
QString StatusText(double value);

// "#n / N": packet n of N.
QString PositionText(int n, int count);

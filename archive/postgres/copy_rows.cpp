#include "archive/postgres/copy_rows.h"

#include <bit>

namespace {

// The server counts time in microseconds from 2000-01-01 UTC.
constexpr std::int64_t kServerEpochMs = 946'684'800'000;

}  // namespace

CopyRows::CopyRows() : data_("PGCOPY\n\xff\r\n\0", 11) {
    Word(0, 4);  // flags: no row ids
    Word(0, 4);  // no header extension
}

void CopyRows::Word(std::uint64_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) data_ += static_cast<char>(value >> shift);
}

void CopyRows::Length(std::int32_t length) { Word(static_cast<std::uint32_t>(length), 4); }

CopyRows& CopyRows::Row(int fields) {
    ++rows_;
    Word(static_cast<std::uint16_t>(fields), 2);
    return *this;
}

CopyRows& CopyRows::Integer(std::int64_t value) {
    Length(8);
    Word(static_cast<std::uint64_t>(value), 8);
    return *this;
}

CopyRows& CopyRows::Real(double value) {
    Length(8);
    Word(std::bit_cast<std::uint64_t>(value), 8);
    return *this;
}

CopyRows& CopyRows::Text(std::string_view text) {
    Length(static_cast<std::int32_t>(text.size()));
    data_.append(text);
    return *this;
}

CopyRows& CopyRows::Time(std::int64_t milliseconds) { return Integer((milliseconds - kServerEpochMs) * 1000); }

CopyRows& CopyRows::Null() {
    Length(-1);
    return *this;
}

const std::string& CopyRows::Finished() {
    Word(0xffff, 2);
    return data_;
}

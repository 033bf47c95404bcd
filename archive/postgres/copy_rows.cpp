#include "archive/postgres/copy_rows.h"

#include <bit>

std::int64_t BinaryInteger(const char* field) {
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) value = value << 8 | static_cast<unsigned char>(field[i]);
    return static_cast<std::int64_t>(value);
}

CopyRows::CopyRows() : data_("PGCOPY\n\xff\r\n\0", 11) {
    Word(0, 4);  // flags: no row ids
    Word(0, 4);  // no header extension
}

void CopyRows::Word(std::uint64_t value, int bytes) {
    // most significant first, appended at once
    char word[8];
    for (int i = 0; i < bytes; ++i) word[i] = static_cast<char>(value >> (8 * (bytes - 1 - i)));
    data_.append(word, static_cast<std::size_t>(bytes));
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

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The server counts time in microseconds from 2000-01-01 UTC.
inline constexpr std::int64_t kServerEpochMs = 946'684'800'000;

// A bigint, or a timestamptz in milliseconds since 1970, as the server sends it in binary.
std::int64_t BinaryInteger(const char* field);
inline std::int64_t BinaryTimeMs(const char* field) { return BinaryInteger(field) / 1000 + kServerEpochMs; }
// Rows in the binary form of PostgreSQL's COPY, which a server takes without parsing a
// statement or a number's text: a header, then each row's field count and its fields, each with
// its length, in network byte order.
class CopyRows {
public:
    CopyRows();

    CopyRows& Row(int fields);
    CopyRows& Integer(std::int64_t value);     // bigint
    CopyRows& Real(double value);              // double precision
    CopyRows& Text(std::string_view text);     // text, or bytea
    CopyRows& Time(std::int64_t milliseconds); // timestamptz, from milliseconds since 1970
    CopyRows& Null();

    // The rows with the trailer the format ends with.
    const std::string& Finished();
    bool empty() const { return rows_ == 0; }
    // Rows sent as they come: those in hand, then forgotten once sent; the rows after them, and
    // the trailer, follow on from them.
    const std::string& data() const { return data_; }
    std::size_t size() const { return data_.size(); }
    void Sent() { data_.clear(); }

private:
    void Length(std::int32_t length);
    void Word(std::uint64_t value, int bytes);

    std::string data_;
    std::int64_t rows_ = 0;
};

#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// Readers of a beacon frame's fields. Positions count from 1 (position p is frame offset
// p-1); a reader refuses a position outside 1 to 255 or beyond the end of the frame, so a
// field never reaches past the bytes it was given.

inline constexpr int kFrameBytesCapacity = 255;

using FrameBytes = std::string_view;  // one character per byte

namespace field_readers_detail {
inline bool Covers(FrameBytes frameBytes, int p, int size) {
    const int last = p + size - 1;
    return p >= 1 && last <= kFrameBytesCapacity && last <= static_cast<int>(frameBytes.size());
}
inline std::uint8_t ByteAt(FrameBytes frameBytes, int p) {
    return static_cast<std::uint8_t>(frameBytes[static_cast<std::size_t>(p - 1)]);
}
}  // namespace field_readers_detail

// The number whose least significant byte is bytes[start] and most significant bytes[end],
// both inclusive, counted from 1 like the frame. An end below 1 means the last byte.
// When isUnsigned is false the most significant byte is two's complement.
// An impossible range gives nothing.
inline std::optional<double> BytesToNumber(std::span<const std::uint8_t> bytes, int start, int end,
                                           bool isUnsigned) {
    if (end < 1) end = static_cast<int>(bytes.size());
    if (start < 1 || start > end || end > static_cast<int>(bytes.size())) return std::nullopt;
    double value = 0;
    for (int i = end; i >= start; --i) {
        const int byte = bytes[static_cast<std::size_t>(i - 1)];
        const bool signByte = i == end && !isUnsigned && byte >= 128;
        value = value * 256 + (signByte ? byte - 256 : byte);
    }
    return value;
}

inline std::optional<double> ReadU8(FrameBytes frameBytes, int p) {
    if (!field_readers_detail::Covers(frameBytes, p, 1)) return std::nullopt;
    return field_readers_detail::ByteAt(frameBytes, p);
}

inline std::optional<double> ReadS8(FrameBytes frameBytes, int p) {
    if (!field_readers_detail::Covers(frameBytes, p, 1)) return std::nullopt;
    const int byte = field_readers_detail::ByteAt(frameBytes, p);
    return byte < 128 ? byte : byte - 256;
}

// Big-endian: the frame's first byte is the most significant, so it goes last.
inline std::optional<double> ReadBigEndian(FrameBytes frameBytes, int p, int size) {
    if (!field_readers_detail::Covers(frameBytes, p, size)) return std::nullopt;
    std::uint8_t reversed[4];
    for (int i = 0; i < size; ++i) reversed[size - 1 - i] = field_readers_detail::ByteAt(frameBytes, p + i);
    return BytesToNumber(std::span(reversed, static_cast<std::size_t>(size)), 1, size, true);
}

inline std::optional<double> ReadU16BE(FrameBytes frameBytes, int p) { return ReadBigEndian(frameBytes, p, 2); }
inline std::optional<double> ReadU32BE(FrameBytes frameBytes, int p) { return ReadBigEndian(frameBytes, p, 4); }

// A base-2 numeral written with "1" for one; any other character counts as zero.
// The last character weighs 1; only the last 31 characters fit the 32-bit result.
inline std::int32_t BinaryTextToNumber(std::string_view text) {
    std::int32_t value = 0;
    const std::size_t counted = text.size() < 31 ? text.size() : 31;
    const std::string_view tail = text.substr(text.size() - counted);
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (tail[i] == '1') value |= std::int32_t{1} << (tail.size() - 1 - i);
    return value;
}

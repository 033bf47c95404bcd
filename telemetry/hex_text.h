#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Frames as hexadecimal text: the frame log, SatNOGS exports and the text-beacon search.

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// Two upper-case hexadecimal digits.
constexpr std::array<char, 2> ByteToHex(std::uint8_t byte) { return {kHexDigits[byte >> 4], kHexDigits[byte & 0x0F]}; }

// The bytes as hexadecimal text, two upper-case digits each.
std::string HexText(std::string_view bytes);
// ... into a buffer that is reused from frame to frame.
void HexText(std::string_view bytes, std::string& text);

// Hexadecimal text with an optional "0x" or "&H" prefix, read up to the first character
// that is not a hexadecimal digit; no digit gives 0.
std::int32_t HexToNumber(std::string_view text);

// Bytes of hexadecimal text, two digits each; a single last digit makes a byte alone.
std::string BytesFromHex(std::string_view hex);
// ... of the digits the text starts with, read as they are checked, into a buffer reused from
// line to line; how many digits there were.
std::size_t BytesFromLeadingHex(std::string_view text, std::string& bytes);

// The value of a hexadecimal digit, -1 for any other character: a table, whatever the locale.
inline int HexDigitValue(char c) {
    static constexpr auto kValues = [] {
        std::array<std::int8_t, 256> values{};
        for (int i = 0; i < 256; ++i)
            values[static_cast<std::size_t>(i)] = static_cast<std::int8_t>(i >= '0' && i <= '9'   ? i - '0'
                                                                          : i >= 'A' && i <= 'F' ? i - 'A' + 10
                                                                          : i >= 'a' && i <= 'f' ? i - 'a' + 10
                                                                                                 : -1);
        return values;
    }();
    return kValues[static_cast<unsigned char>(c)];
}

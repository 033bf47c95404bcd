#include "telemetry/hex_text.h"

#include <cstring>

std::string HexText(std::string_view bytes) {
    std::string text;
    HexText(bytes, text);
    return text;
}

void HexText(std::string_view bytes, std::string& text) {
    // both digits of every byte value, so a byte costs one two-character copy
    static constexpr auto kPairs = [] {
        std::array<char, 512> pairs{};
        for (std::size_t byte = 0; byte < 256; ++byte) {
            const auto digits = ByteToHex(static_cast<std::uint8_t>(byte));
            pairs[2 * byte] = digits[0];
            pairs[2 * byte + 1] = digits[1];
        }
        return pairs;
    }();
    text.resize(bytes.size() * 2);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        std::memcpy(&text[2 * i], &kPairs[2 * static_cast<std::uint8_t>(bytes[i])], 2);
}

std::int32_t HexToNumber(std::string_view text) {
    if (text.size() >= 2 && ((text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) ||
                             (text[0] == '&' && (text[1] == 'h' || text[1] == 'H')))) {
        text.remove_prefix(2);
    }
    std::uint32_t value = 0;  // wraps like a 32-bit register; callers pass two digits
    for (const char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) break;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(value);
}

std::string BytesFromHex(std::string_view hex) {
    // a pair reads as the number reader reads two characters: up to the first that is no digit
    std::string bytes((hex.size() + 1) / 2, '\0');
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigitValue(hex[i]);
        const int low = i + 1 < hex.size() ? HexDigitValue(hex[i + 1]) : -1;
        bytes[i / 2] = static_cast<char>(high < 0 ? 0 : low < 0 ? high : high << 4 | low);
    }
    return bytes;
}

std::size_t BytesFromLeadingHex(std::string_view text, std::string& bytes) {
    bytes.resize(text.size() / 2 + 1);
    char* out = bytes.data();
    std::size_t at = 0;
    for (; at + 1 < text.size(); at += 2) {
        const int high = HexDigitValue(text[at]), low = HexDigitValue(text[at + 1]);
        if ((high | low) < 0) break;
        *out++ = static_cast<char>(high << 4 | low);
    }
    if (at < text.size() && HexDigitValue(text[at]) >= 0) *out++ = static_cast<char>(HexDigitValue(text[at++]));  // a digit alone
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
    return at;
}

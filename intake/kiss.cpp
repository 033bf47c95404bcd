#include "intake/kiss.h"

#include <array>
#include <cstring>

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
}  // namespace

std::string KissUnescape(std::string_view frame) {
    std::string bytes;
    bytes.reserve(frame.size());
    for (std::size_t fesc = frame.find(kFesc); fesc != std::string_view::npos; fesc = frame.find(kFesc)) {
        bytes.append(frame.substr(0, fesc));
        const char next = fesc + 1 < frame.size() ? frame[fesc + 1] : '\0';
        const bool escape = next == kTfend || next == kTfesc;
        bytes += next == kTfend ? kFend : kFesc;
        frame.remove_prefix(fesc + (escape ? 2 : 1));
    }
    bytes.append(frame);
    return bytes;
}

std::string KissDataFrame(std::string_view frame, char command) {
    std::string kiss;
    kiss.reserve(frame.size() + 8);
    kiss += kFend;
    kiss += command;
    for (const char c : frame) {
        if (c == kFend)
            kiss.append({kFesc, kTfend});
        else if (c == kFesc)
            kiss.append({kFesc, kTfesc});
        else
            kiss += c;
    }
    kiss += kFend;
    return kiss;
}

std::string ByteToHex(std::uint8_t byte) { return {kHexDigits[byte >> 4], kHexDigits[byte & 0x0F]}; }

std::string HexText(std::string_view bytes) {
    // both digits of every byte value, so a byte costs one two-character copy
    static constexpr auto kPairs = [] {
        std::array<char, 512> pairs{};
        for (std::size_t byte = 0; byte < 256; ++byte) {
            pairs[2 * byte] = kHexDigits[byte >> 4];
            pairs[2 * byte + 1] = kHexDigits[byte & 0x0F];
        }
        return pairs;
    }();
    std::string text(bytes.size() * 2, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        std::memcpy(&text[2 * i], &kPairs[2 * static_cast<std::uint8_t>(bytes[i])], 2);
    return text;
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

#include "intake/kiss.h"

#include <gtest/gtest.h>

namespace {

std::string Unescaped(std::string_view frame) {
    std::string bytes = "held before";
    KissUnescape(frame, bytes);
    return bytes;
}

}  // namespace

TEST(KissUnescape, UndoesBothEscapesAndKeepsAnythingElse) {
    struct {
        std::string escaped, unescaped;
    } const cases[] = {
        {"\xDB\xDC", "\xC0"},
        {"\xDB\xDD", "\xDB"},
        {"\xDB\xDD\xDC", "\xDB\xDC"},  // an escaped FESC before a plain TFEND is not FEND
        {"\xDB\xDB\xDC", "\xDB\xC0"},
        {"A\xDB" "B", "A\xDB" "B"},       // FESC before another byte stays
        {"AB\xDB", "AB\xDB"},          // and at the end
        {"\xDC\xDD", "\xDC\xDD"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Unescaped(c.escaped), c.unescaped);
}

TEST(KissDataFrame, EscapesWhatUnescapeRestores) {
    std::string every;
    for (int byte = 0; byte < 256; ++byte) every += static_cast<char>(byte);
    const std::string kiss = KissDataFrame(every, '\x05');
    EXPECT_EQ(kiss.front(), kFend);
    EXPECT_EQ(kiss.back(), kFend);
    EXPECT_EQ(kiss.find(kFend, 1), kiss.size() - 1) << "no FEND inside";
    EXPECT_EQ(Unescaped(std::string_view(kiss).substr(1, kiss.size() - 2)), "\x05" + every);
}

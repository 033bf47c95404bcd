#include "intake/kiss.h"

#include <gtest/gtest.h>

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
    for (const auto& c : cases) EXPECT_EQ(KissUnescape(c.escaped), c.unescaped);
}

TEST(Hex, TwoUpperCaseDigitsPerByte) {
    EXPECT_EQ(ByteToHex(10), "0A");
    EXPECT_EQ(ByteToHex(255), "FF");
    EXPECT_EQ(ByteToHex(0), "00");
    EXPECT_EQ(HexText(std::string("\x00\x1F\xC0\xff", 4)), "001FC0FF");
    EXPECT_EQ(HexText(""), "");
}

TEST(Hex, HexToNumberReadsPrefixesAndStopsAtTheFirstNonDigit) {
    for (const char* text : {"1F", "1f", "0x1F", "0X1f", "&H1F", "&h1f", "1F|rest"}) EXPECT_EQ(HexToNumber(text), 31) << text;
    EXPECT_EQ(HexToNumber(""), 0);
    EXPECT_EQ(HexToNumber("zz"), 0);
    EXPECT_EQ(HexToNumber("0x"), 0);
    EXPECT_EQ(HexToNumber("G1"), 0);
    EXPECT_EQ(HexToNumber("FFFFFFFF"), -1);
}

TEST(KissDataFrame, EscapesWhatUnescapeRestores) {
    std::string every;
    for (int byte = 0; byte < 256; ++byte) every += static_cast<char>(byte);
    const std::string kiss = KissDataFrame(every, '\x05');
    EXPECT_EQ(kiss.front(), kFend);
    EXPECT_EQ(kiss.back(), kFend);
    EXPECT_EQ(kiss.find(kFend, 1), kiss.size() - 1) << "no FEND inside";
    EXPECT_EQ(KissUnescape(std::string_view(kiss).substr(1, kiss.size() - 2)), "\x05" + every);
}

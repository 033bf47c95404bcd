#include "telemetry/hex_text.h"

#include <gtest/gtest.h>

TEST(Hex, TwoUpperCaseDigitsPerByte) {
    EXPECT_EQ(ByteToHex(10), (std::array{'0', 'A'}));
    EXPECT_EQ(ByteToHex(255), (std::array{'F', 'F'}));
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

TEST(Hex, EveryPairOfCharactersReadsAsTheNumberReaderReadsIt) {
    for (int high = 0; high < 256; ++high)
        for (int low = 0; low < 256; ++low) {
            const std::string pair{static_cast<char>(high), static_cast<char>(low)};
            const std::string bytes = BytesFromHex(pair);
            ASSERT_EQ(static_cast<std::uint8_t>(bytes[0]), static_cast<std::uint8_t>(HexToNumber(pair))) << high << ' ' << low;
        }
}

TEST(Hex, BytesFromHexTakesTwoDigitsAByte) {
    EXPECT_EQ(BytesFromHex("001FC0ff"), std::string("\x00\x1F\xC0\xFF", 4));
    EXPECT_EQ(BytesFromHex("ABC"), "\xAB\x0C") << "a single last digit makes a byte alone";
    EXPECT_EQ(BytesFromHex(""), "");
}

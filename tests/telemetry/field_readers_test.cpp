#include "telemetry/field_readers.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

TEST(BytesToNumber, StartIsTheLeastSignificantByte) {
    const std::array<std::uint8_t, 3> bytes{0x01, 0x02, 0x80};
    EXPECT_EQ(BytesToNumber(bytes, 1, 2, true), 0x0201);
    EXPECT_EQ(BytesToNumber(bytes, 1, 3, true), 0x800201);
    EXPECT_EQ(BytesToNumber(bytes, 1, 3, false), 0x0201 - 0x800000);  // last byte counts as 0x80 - 256
    EXPECT_EQ(BytesToNumber(bytes, 2, 2, false), 2);
    EXPECT_EQ(BytesToNumber(bytes, 2, 0, true), 0x8002) << "an end below 1 means the last byte";
}

TEST(BytesToNumber, RefusesImpossibleRanges) {
    const std::array<std::uint8_t, 3> bytes{1, 2, 3};
    EXPECT_EQ(BytesToNumber(bytes, 3, 2, true), std::nullopt);
    EXPECT_EQ(BytesToNumber(bytes, -1, 2, true), std::nullopt);
    EXPECT_EQ(BytesToNumber(bytes, 1, 4, true), std::nullopt);
}

TEST(FieldReaders, ReadBigEndianAndTwosComplement) {
    const std::string frame("\x0F\xA0\xFF\xFF\xFF\xFF\xF6\x7F\x80", 9);
    EXPECT_EQ(ReadU16BE(frame, 1), 4000);
    EXPECT_EQ(ReadU32BE(frame, 3), 4294967295.0);
    EXPECT_EQ(ReadU8(frame, 7), 0xF6);
    EXPECT_EQ(ReadS8(frame, 7), -10);
    EXPECT_EQ(ReadS8(frame, 8), 127);
    EXPECT_EQ(ReadS8(frame, 9), -128);
}

TEST(FieldReaders, RefusePositionsOutsideTheFrameOrTheBuffer) {
    const std::string frame(255, '\x01');
    EXPECT_EQ(ReadU8(frame, 0), std::nullopt);
    EXPECT_EQ(ReadU8(frame, 255), 1);
    EXPECT_EQ(ReadU32BE(frame, 252), 0x01010101);
    EXPECT_EQ(ReadU32BE(frame, 253), std::nullopt);
    EXPECT_EQ(ReadU16BE(frame, 255), std::nullopt);

    const std::string longer(300, '\x01');
    EXPECT_EQ(ReadU8(longer, 256), std::nullopt) << "the buffer holds 255 bytes";

    const std::string shorter(10, '\x01');
    EXPECT_EQ(ReadS8(shorter, 11), std::nullopt);
}

TEST(BinaryTextToNumber, CountsOnlyTheCharacterOne) {
    EXPECT_EQ(BinaryTextToNumber(""), 0);
    EXPECT_EQ(BinaryTextToNumber("0101"), 5);
    EXPECT_EQ(BinaryTextToNumber("1111"), 15);
    EXPECT_EQ(BinaryTextToNumber(std::string(4, '\0')), 0);
    EXPECT_EQ(BinaryTextToNumber("1xy1"), 9);
    EXPECT_EQ(BinaryTextToNumber("\x01\x01\x01\x01"), 0) << "the byte 1 is not the character 1";
    EXPECT_EQ(BinaryTextToNumber("1" + std::string(30, '0')), 1 << 30);
}

// Element sets read from their two lines: known lines to known elements, the Alpha-5 catalog
// number, the set chosen for a time, and each line that is wrong named by its place.
#include "orbit/element_sets.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A line of 68 columns with its checksum after it.
std::string Checked(std::string line) {
    int sum = 0;
    for (const char c : line) sum += std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : c == '-';
    return line + std::to_string(sum % 10);
}

const std::string kIss1 = "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927";
const std::string kIss2 = "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537";

ElementSets Parsed(const std::string& text) {
    auto read = ParseElementSets("sat.tle", QByteArray::fromStdString(text));
    if (auto* error = std::get_if<QString>(&read)) ADD_FAILURE() << error->toStdString();
    return std::get<ElementSets>(std::move(read));
}

QString ErrorOf(const std::string& text) {
    const auto read = ParseElementSets("sat.tle", QByteArray::fromStdString(text));
    return std::holds_alternative<QString>(read) ? std::get<QString>(read) : QString();
}

}  // namespace

TEST(ElementSets, KnownLinesGiveKnownElements) {
    const ElementSets sets = Parsed("ISS (ZARYA)\r\n" + kIss1 + "\r\n" + kIss2 + "\r\n");
    ASSERT_EQ(sets.sets().size(), 1u);
    const ElementSet& iss = sets.sets()[0];
    EXPECT_EQ(iss.catalogNumber, 25544);
    EXPECT_EQ(iss.line, 2);
    // day 264 of 2008 is 20 September; .51782528 of it is 12:25:40.104192
    EXPECT_NEAR(iss.epochMs, 1221913540104.192, 0.01);
    EXPECT_DOUBLE_EQ(iss.meanMotionDot, -0.00002182);
    EXPECT_DOUBLE_EQ(iss.bstar, -0.11606e-4);
    EXPECT_DOUBLE_EQ(iss.inclinationDeg, 51.6416);
    EXPECT_DOUBLE_EQ(iss.ascendingNodeDeg, 247.4627);
    EXPECT_DOUBLE_EQ(iss.eccentricity, 0.0006703);
    EXPECT_DOUBLE_EQ(iss.perigeeDeg, 130.5360);
    EXPECT_DOUBLE_EQ(iss.meanAnomalyDeg, 325.0288);
    EXPECT_DOUBLE_EQ(iss.revolutionsPerDay, 15.72125391);
    EXPECT_NEAR(iss.periodMinutes(), 91.596, 0.001);
}

TEST(ElementSets, AnAlphaFiveNumberAndTheSetOfATime) {
    // a new object's number, and two sets of it a day apart, the later one first in the file
    const auto set = [](const std::string& day) {
        return Checked("1 A0001U 26001A   26" + day + " -.00002182  00000-0 -11606-4 0  292") + "\n" +
               Checked("2 A0001  51.6416 247.4627 0006703 130.5360 325.0288 15.7212539156353") + "\n";
    };
    const ElementSets sets = Parsed(set("011.50000000") + "\n" + set("010.50000000"));
    ASSERT_EQ(sets.sets().size(), 2u);
    EXPECT_EQ(sets.sets()[0].catalogNumber, 100001);
    const double jan10Noon = 1768046400000.0;  // 2026-01-10 12:00 UTC
    EXPECT_EQ(sets.At(jan10Noon - 1).epochMs, jan10Noon) << "before every epoch: the earliest";
    EXPECT_EQ(sets.At(jan10Noon + 86399999).epochMs, jan10Noon) << "the latest not after the time";
    EXPECT_EQ(sets.At(jan10Noon + 86400000).epochMs, jan10Noon + 86400000);
    EXPECT_EQ(sets.At(jan10Noon + 1e10).epochMs, jan10Noon + 86400000);
}

TEST(ElementSets, EachWrongLineIsNamedByItsPlace) {
    std::string badChecksum = kIss2;
    badChecksum.back() = '8';
    EXPECT_EQ(ErrorOf(kIss1 + "\n" + badChecksum), "sat.tle:2: its checksum does not hold");
    EXPECT_EQ(ErrorOf("NAME\n" + kIss1.substr(0, 60) + "\n" + kIss2), "sat.tle:2: a line of 60 characters, not 69");
    const std::string noNumber = Checked("2 25544  51.6416 247.4627 0006703 130.5360 325.02x8 15.7212539156353");
    EXPECT_EQ(ErrorOf(kIss1 + "\n" + noNumber), "sat.tle:2: the mean anomaly \"325.02x8\" is no number");
    const std::string deepSpace = Checked("2 25544  51.6416 247.4627 0006703 130.5360 325.0288  2.0000000056353");
    EXPECT_EQ(ErrorOf(kIss1 + "\n" + deepSpace),
              "sat.tle:2: a period of 720.0 minutes is a deep-space orbit, which is not computed here (under 225)");
    const std::string other = Checked("2 25545  51.6416 247.4627 0006703 130.5360 325.0288 15.7212539156353");
    EXPECT_EQ(ErrorOf(kIss1 + "\n" + other), "sat.tle:2: line 2 is of another satellite than its line 1");
    EXPECT_EQ(ErrorOf("\n" + kIss1 + "\n"), "sat.tle:2: line 2 of this set is missing");
    EXPECT_EQ(ErrorOf(kIss2 + "\n"), "sat.tle:1: a line 2 without its line 1");
    EXPECT_EQ(ErrorOf(kIss1 + "\nISS\n" + kIss2), "sat.tle:2: line 2 of the set begun on line 1 expected");
    EXPECT_EQ(ErrorOf("just a name\n"), "sat.tle: no element set in it");
    EXPECT_TRUE(ErrorOf(kIss1 + "\n" + kIss2).isEmpty());
}

// The limits file: its statements, its sets, and a clear line for each thing wrong in it.
#include "limits/limits_file.h"

#include <gtest/gtest.h>

namespace {

constexpr char kFile[] = R"(# the station's limits
LIMIT "Battery 1 Volt" 3.3 3.5 4.2 4.4        # red low, yellow low, yellow high, red high
LIMIT "Z+ Temperature" -20 -10 50 60 PERSIST 2
STALE 360
SET TVAC
LIMIT "Battery 1 Volt" 3.0 3.2 4.5 4.7
)";

Limits Read(const char* text, const QString& set = {}) {
    auto read = ParseLimits("limits.txt", text, set);
    if (const auto* problem = std::get_if<QString>(&read)) ADD_FAILURE() << problem->toStdString();
    return std::holds_alternative<Limits>(read) ? std::get<Limits>(read) : Limits{};
}

QString Problem(const char* text, const QString& set = {}) {
    auto read = ParseLimits("limits.txt", text, set);
    return std::holds_alternative<QString>(read) ? std::get<QString>(read) : QString("read");
}

}  // namespace

TEST(LimitsFile, ReadsTheSetAskedForAndTheStaleTime) {
    const Limits defaults = Read(kFile);
    EXPECT_EQ(defaults.set, "DEFAULT");
    ASSERT_TRUE(defaults.channels[channel::Battery1Volt]);
    EXPECT_EQ(defaults.channels[channel::Battery1Volt]->redLow, 3.3);
    EXPECT_EQ(defaults.channels[channel::Battery1Volt]->redHigh, 4.4);
    EXPECT_EQ(defaults.channels[channel::Battery1Volt]->persist, 1);
    ASSERT_TRUE(defaults.channels[channel::ZPlusTemperature]);
    EXPECT_EQ(defaults.channels[channel::ZPlusTemperature]->yellowLow, -10);
    EXPECT_EQ(defaults.channels[channel::ZPlusTemperature]->persist, 2);
    EXPECT_EQ(defaults.staleMs, 360 * 60000);

    const Limits tvac = Read(kFile, "TVAC");
    EXPECT_EQ(tvac.channels[channel::Battery1Volt]->redLow, 3.0);
    EXPECT_FALSE(tvac.channels[channel::ZPlusTemperature]) << "a set of its own, not DEFAULT's";
    EXPECT_EQ(tvac.staleMs, 360 * 60000) << "STALE holds for the file";
    EXPECT_FALSE(Read("LIMIT \"Urbv\" 1 2 3 4\n").staleMs) << "no STALE: never stale";
}

TEST(LimitsFile, EachMistakeIsNamedWithItsLine) {
    EXPECT_EQ(Problem("\n\nLIMIT \"Batery 1 Volt\" 3.3 3.5 4.2 4.4\n"),
              "limits.txt:3: no channel is named \"Batery 1 Volt\" (did you mean \"Battery 1 Volt\"?)");
    EXPECT_EQ(Problem("LIMIT \"Urbv\" 3.5 3.3 4.2 4.4\n"),
              "limits.txt:1: the limits are not in order: red low <= yellow low <= yellow high <= red high");
    EXPECT_EQ(Problem("LIMIT \"Urbv\" 3.3 3,5 4.2 4.4\n"), "limits.txt:1: \"3,5\" is no number");
    EXPECT_EQ(Problem("LIMITS \"Urbv\" 3.3 3.5 4.2 4.4\n"), "limits.txt:1: \"LIMITS\" is no statement: SET, LIMIT or STALE");
    EXPECT_EQ(Problem("LIMIT \"Urbv\" 1 2 3 4 PERSIST 0\n"), "limits.txt:1: PERSIST takes a whole number of packets, 1 or more");
    EXPECT_EQ(Problem("LIMIT \"Urbv\" 1 2 3\n"),
              "limits.txt:1: LIMIT takes a channel, four numbers (red low, yellow low, yellow high, red high) and PERSIST n at the end");
    EXPECT_EQ(Problem("LIMIT \"Urbv 1 2 3 4\n"), "limits.txt:1: a quote is not closed");
    EXPECT_EQ(Problem("LIMIT \"Urbv\" 1 2 3 4\nLIMIT \"Urbv\" 1 2 3 5\n"), "limits.txt:2: \"Urbv\" has limits in this set already");
    EXPECT_EQ(Problem("STALE soon\n"), "limits.txt:1: STALE takes a number of minutes greater than 0");
    EXPECT_EQ(Problem(kFile, "FLIGHT"), "limits.txt: no set is named \"FLIGHT\" (the file has DEFAULT, TVAC)");
    EXPECT_EQ(Problem("LIMIT \"Urbv\" 1 2 2 4\r\n"), "read") << "equal limits and CR LF lines are fine";
}

// Where the satellite was, in the window: the packet shown's place and light on the table's last
// row, the next pass in the menu bar's corner as the clock runs, and element sets that cannot be
// used.
#include "orbit/eclipses.h"
#include "support/archive_window.h"
#include "support/window_harness.h"
#include "ui/channel_chart.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

namespace {

// A sun-synchronous orbit whose set's epoch is the day of the harness's packets.
constexpr char kSets[] = "1 99999U 21999A   21037.58333333  .00001000  00000-0  50000-4 0  9999\n"
                         "2 99999  97.5000 120.0000 0010000  90.0000 270.0000 15.20000000000109\n";
constexpr std::int64_t kNoonMs = 1612612800000;  // 2021-02-06 12:00 UTC

struct OrbitWindow {
    explicit OrbitWindow(const std::string& sets = kSets)
        : tle(WriteBytes(files.filePath("orbit.tle"), sets)),
          harness(kOrca5s, ("TLE = " + tle + "\r\nLATITUDE = 48.1\r\nLONGITUDE = 11.6\r\nALTITUDE = 520\r\n").toUtf8()) {}
    QTemporaryDir files;
    QString tle;
    WindowHarness harness;
};

}  // namespace

TEST(OrbitWindow, ThePacketShownSaysWhereTheSatelliteWasAndTheNextPassFollowsTheClock) {
    OrbitWindow window;
    Form1& form = window.harness.window;
    ASSERT_TRUE(form.OrbitLabel && form.NextPassLabel);
    window.harness.AddNumberedPackets(3);
    form.HScroll1->setValue(2);  // heard at 14:00:02
    const Orbit orbit(std::get<ElementSets>(ParseElementSets("orbit.tle", kSets)));
    const Geodetic station{48.1, 11.6, 0.52};
    const QString shown = OrbitPointText(orbit.PointAt(1612620002000.0, station));
    EXPECT_EQ(form.OrbitLabel->text(), shown);
    EXPECT_EQ(form.OrbitLabel->accessibleName(), shown) << "a screen reader hears the place";
    EXPECT_TRUE(shown.startsWith("sunlit, over ") || shown.startsWith("eclipse, over ")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(" deg up"));

    // noon: the first pass after it, then in the middle of it, then after it the one after
    const std::vector<PredictedPass> passes = PredictPasses(orbit, station, kNoonMs, kNoonMs + 86400000.0);
    ASSERT_GE(passes.size(), 2u);
    std::int64_t now = kNoonMs;
    form.SetClock([&] { return now; });
    const QString next = form.NextPassLabel->text();
    EXPECT_EQ(next, NextPassText(passes[0], static_cast<double>(kNoonMs)));
    EXPECT_TRUE(QRegularExpression(R"(^next pass \d\d:\d\d UTC in (\d+ h )?\d+ min, max \d+ deg$)").match(next).hasMatch()) << next.toStdString();
    EXPECT_EQ(form.NextPassLabel->accessibleName(), next);
    now = std::llround(passes[0].maxTimeMs);
    QTest::qWait(5500);  // the line is kept current
    EXPECT_TRUE(form.NextPassLabel->text().startsWith("above the horizon now, LOS in ")) << form.NextPassLabel->text().toStdString();
    now = std::llround(passes[0].losMs) + 1000;
    form.SetClock([&] { return now; });
    EXPECT_EQ(form.NextPassLabel->text(), NextPassText(passes[1], static_cast<double>(now)));
}

TEST(OrbitWindow, ElementSetsThatCannotBeUsedAreSaidAndTheWindowRunsWithout) {
    std::string broken = kSets;
    broken[broken.size() - 2] = '0';  // the last checksum
    OrbitWindow window(broken);
    Form1& form = window.harness.window;
    EXPECT_EQ(window.harness.loadError, "");
    ASSERT_TRUE(form.NextPassLabel);
    EXPECT_EQ(form.NextPassLabel->text(), "Orbit off: " + window.tle + ":2: its checksum does not hold");
    EXPECT_EQ(form.Text4->text(), form.NextPassLabel->text());
    window.harness.AddNumberedPackets(2);
    form.HScroll1->setValue(2);
    EXPECT_EQ(form.Text1[channel::Urbi]->text(), "2") << "the packets show as without";

    WindowHarness without;
    EXPECT_EQ(without.window.OrbitLabel, nullptr) << "without TLE the window is as it was";
    EXPECT_EQ(without.window.NextPassLabel, nullptr);
}

TEST(OrbitWindow, TheChartShadesThePacketsHeardInEclipse) {
    OrbitWindow window;
    Form1& form = window.harness.window;
    // 14:00:01 to 14:50:00, a second apart, a chart drawn before the last of them came
    window.harness.AddNumberedPackets(1000);
    form.Option1_Click(channel::Urbi);
    window.harness.AddNumberedPackets(2000);
    form.Option1_Click(channel::Urbi);
    // the runs of packets in the shadow, as the orbit has them
    const Orbit orbit(std::get<ElementSets>(ParseElementSets("orbit.tle", kSets)));
    std::vector<std::pair<int, int>> expected;
    for (int row = 1; row <= 3000; ++row) {
        if (orbit.PointAt(1612620000000.0 + 1000.0 * (row % 3600), std::nullopt)->sunlit) continue;
        if (!expected.empty() && expected.back().second == row - 1)
            expected.back().second = row;
        else
            expected.emplace_back(row, row);
    }
    ASSERT_FALSE(expected.empty()) << "the hour holds an eclipse";
    EXPECT_EQ(form.MSChart1->eclipses(), expected);
    int bands = 0;
    for (int i = 0; i < form.MSChart1->itemCount(); ++i)
        if (auto* band = qobject_cast<QCPItemRect*>(form.MSChart1->item(i)); band && band->brush().color() == kEclipseShade) ++bands;
    EXPECT_EQ(bands, static_cast<int>(expected.size()));
    EXPECT_FALSE(form.MSChart1->accessibleDescription().isEmpty());

    WindowHarness without;
    without.AddNumberedPackets(3);
    without.window.Option1_Click(channel::Urbi);
    EXPECT_TRUE(without.window.MSChart1->eclipses().empty());
}

TEST(OrbitWindow, HistoryShadesTheEclipsesOfTheDaysShown) {
    QTemporaryDir files;
    const QString tle = WriteBytes(files.filePath("orbit.tle"), kSets);
    ArchiveWindow archive(3000, ("TLE = " + tle + "\r\n").toUtf8());  // 2021-02-06 14:00 to 02-08 16:00
    Form1& window = archive.harness.window;
    window.MnuHistory->trigger();
    QApplication::processEvents();
    History* history = window.history();
    ASSERT_TRUE(history);
    // the whole mission is over two days: a band each eclipse, fifteen a day
    const TimeRange shown = history->range();
    const Orbit orbit(std::get<ElementSets>(ParseElementSets("orbit.tle", kSets)));
    const auto expected = EclipsesBetween(orbit, static_cast<double>(*shown.from), static_cast<double>(*shown.to));
    EXPECT_EQ(history->eclipses(), expected);
    EXPECT_GE(expected.size(), 25u);
    int bands = 0;
    for (int i = 0; i < history->Chart->itemCount(); ++i)
        if (auto* band = qobject_cast<QCPItemRect*>(history->Chart->item(i)); band && band->brush().color() == kEclipseShade) ++bands;
    EXPECT_EQ(bands, static_cast<int>(expected.size()));
    // a week or more is shown without them
    history->ShowRange({*shown.from - 7 * 86400000LL, *shown.to});
    QApplication::processEvents();
    EXPECT_TRUE(history->eclipses().empty());
}

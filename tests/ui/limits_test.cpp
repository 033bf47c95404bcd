// Limits in the window: coloured value boxes with their state in words, the count in the menu
// bar's corner, the Health window, and a limits file that cannot be used.
#include "support/live_window.h"
#include "support/window_harness.h"
#include "ui/channel_chart.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QTableWidget>

namespace {

// Battery 1 Volt of packet n: in, then red low, then yellow high.
BeaconBuilder Battery(int n) { return BeaconBuilder().u16(79, static_cast<std::uint16_t>(n)).u16(85, n == 2 ? 3210 : n == 3 ? 4300 : 4000); }

struct LimitsWindow {
    explicit LimitsWindow(const std::string& limitsText)
        : limits(WriteBytes(files.filePath("limits.txt"), limitsText)), harness(kOrca5s, ("LIMITS = " + limits + "\r\n").toUtf8()) {}
    QTemporaryDir files;
    QString limits;
    WindowHarness harness;
};

QColor BaseOf(const QLineEdit& box) { return box.palette().color(QPalette::Base); }

}  // namespace

TEST(Limits, TheValueBoxesOfThePacketShownTakeTheirStatesColourAndWords) {
    LimitsWindow window("LIMIT \"Battery 1 Volt\" 3.3 3.5 4.2 4.4\nLIMIT \"Urbv\" 0 0 9 9\nSTALE 60\n");
    Form1& form = window.harness.window;
    ASSERT_TRUE(form.LimitsLabel && form.MnuHealth);
    window.harness.AddPackets(3, Battery);
    QLineEdit& battery = *form.Text1[channel::Battery1Volt];
    const QColor plain = BaseOf(*form.Text1[channel::Urbv]);
    form.Option1_Click(channel::Battery1Volt);
    const QColor chosen = BaseOf(battery);

    form.HScroll1->setValue(2);
    EXPECT_EQ(battery.text(), "3.21");
    EXPECT_NE(BaseOf(battery), plain) << "red";
    EXPECT_EQ(battery.toolTip(), "red_low: 3.21 is below 3.3 (limits 3.3 / 3.5 \u2026 4.2 / 4.4)");
    EXPECT_EQ(battery.accessibleName(), "Battery 1 Volt value") << "the name stays the channel's";
    EXPECT_EQ(battery.accessibleDescription(), "Battery 1 Volt red_low: 3.21 is below 3.3 (limits 3.3 / 3.5 \u2026 4.2 / 4.4)");
    EXPECT_EQ(form.LimitsLabel->text(), "Limits: 1 red, 0 yellow");

    form.HScroll1->setValue(3);
    const QColor yellow = BaseOf(battery);
    EXPECT_NE(yellow, plain);
    EXPECT_EQ(form.LimitsLabel->text(), "Limits: 0 red, 1 yellow");
    form.HScroll1->setValue(1);
    EXPECT_EQ(BaseOf(battery), chosen) << "within its limits: as the chosen channel is";
    EXPECT_NE(chosen, plain);
    EXPECT_TRUE(battery.toolTip().startsWith("green: 4 is within its limits"));
    EXPECT_EQ(form.LimitsLabel->text(), "Limits: 0 red, 0 yellow");
    form.Option1_Click(channel::Urbv);
    EXPECT_EQ(BaseOf(battery), plain);
    form.HScroll1->setValue(2);
    EXPECT_EQ(BaseOf(battery), QColor(255, 150, 150)) << "red, chosen or not";
}

TEST(Limits, TheChartDrawsTheFourLimitsAndMarksTheValuesOutOfThem) {
    LimitsWindow window("LIMIT \"Battery 1 Volt\" 3.3 3.5 4.2 4.4\n");
    Form1& form = window.harness.window;
    window.harness.AddPackets(3, Battery);
    for (const bool bars : {true, false}) {
        form.Check1->setChecked(bars);
        form.Option1_Click(channel::Battery1Volt);
        ChannelChart& chart = *form.MSChart1;
        ASSERT_TRUE(chart.limits());
        EXPECT_EQ(chart.itemCount(), 4) << "a line a limit";
        std::vector<double> marked;
        for (int i = 1; i < chart.plottableCount(); ++i)
            if (auto* marks = qobject_cast<QCPGraph*>(chart.plottable(i)); marks && marks->lineStyle() == QCPGraph::lsNone)
                for (auto point = marks->data()->begin(); point != marks->data()->end(); ++point) marked.push_back(point->value);
        std::sort(marked.begin(), marked.end());
        EXPECT_EQ(marked, (std::vector<double>{3.21, 4.3})) << "the red and the yellow value";
    }
    form.Option1_Click(channel::Urbv);
    EXPECT_FALSE(form.MSChart1->limits());
    EXPECT_EQ(form.MSChart1->itemCount(), 0) << "a channel without limits: no lines";
}

TEST(Limits, HistoryDrawsAChannelsLimitsAndNoneForAGroup) {
    QTemporaryDir files;
    const QString limits = WriteBytes(files.filePath("limits.txt"), "LIMIT \"Battery 1 Volt\" 3.3 3.5 4.2 4.4\n");
    WindowHarness harness(kOrca5s, ("ARCHIVE = yes\r\nLIMITS = " + limits + "\r\n").toUtf8());
    harness.AddPackets(3, Battery);
    harness.window.Option1_Click(channel::Battery1Volt);
    harness.window.MnuHistory->trigger();
    History* history = harness.window.history();
    ASSERT_TRUE(history);
    EXPECT_EQ(history->Chart->itemCount(), 4) << "a line a limit";
    history->Channel->setCurrentIndex(kChannelCount);  // a chart group
    EXPECT_EQ(history->Chart->itemCount(), 0);
    history->Channel->setCurrentIndex(channel::Urbv);
    EXPECT_EQ(history->Chart->itemCount(), 0) << "a channel without limits";
}

TEST(Limits, TheHealthWindowListsTheChannelsRedAndYellowFirst) {
    LimitsWindow window("LIMIT \"Urbv\" 0 0 9 9\nLIMIT \"Battery 1 Volt\" 3.3 3.5 4.2 4.4\nSTALE 60\n");
    Form1& form = window.harness.window;
    window.harness.AddPackets(2, Battery);
    form.HScroll1->setValue(2);
    form.MnuHealth->trigger();
    Health* health = form.health();
    ASSERT_TRUE(health && health->isVisible());
    EXPECT_EQ(health->windowTitle(), "Health");
    EXPECT_TRUE(health->Satellite->text().startsWith("Last packet 2021-02-06 14:00:02 UTC, ")) << health->Satellite->text().toStdString();
    EXPECT_TRUE(health->Satellite->text().endsWith(": stale")) << "an hour since the packet: stale";
    QTableWidget& rows = *health->Channels;
    ASSERT_EQ(rows.rowCount(), 2);
    EXPECT_EQ(rows.item(0, 0)->text(), "Battery 1 Volt") << "red first, whatever the file's order";
    EXPECT_EQ(rows.item(0, 1)->text(), "3.21 V");
    EXPECT_EQ(rows.item(0, 2)->text(), "red_low");
    EXPECT_EQ(rows.item(0, 3)->text(), "2021-02-06 14:00:02") << "since its transition";
    EXPECT_EQ(rows.item(1, 0)->text(), "Urbv");
    EXPECT_EQ(rows.item(1, 2)->text(), "green");
    EXPECT_EQ(rows.accessibleName(), "Channels with limits");
    // it follows the packet the main window shows
    form.HScroll1->setValue(1);
    EXPECT_EQ(rows.item(1, 0)->text(), "Battery 1 Volt");
    EXPECT_EQ(rows.item(1, 2)->text(), "green");
}

TEST(Limits, AFileThatCannotBeUsedIsToldAndLimitsAreOff) {
    LimitsWindow window("LIMIT \"Batery 1 Volt\" 3.3 3.5 4.2 4.4\n");
    Form1& form = window.harness.window;
    const QString why = window.limits + ":1: no channel is named \"Batery 1 Volt\" (did you mean \"Battery 1 Volt\"?)";
    EXPECT_EQ(form.LimitsLabel->text(), "Limits off: " + why);
    EXPECT_EQ(form.Text4->text(), "Limits off: " + why);
    window.harness.AddPackets(2, Battery);
    form.HScroll1->setValue(2);
    EXPECT_TRUE(form.Text1[channel::Battery1Volt]->toolTip().isEmpty());
    form.MnuHealth->trigger();
    EXPECT_EQ(form.health()->Satellite->text(), "Limits off: " + why);

    WindowHarness without;
    EXPECT_FALSE(without.window.LimitsLabel) << "without LIMITS the window is as it was";
    EXPECT_FALSE(without.window.MnuHealth);
}

// Both programs, live: the packet that comes colours its box, counts, and reaches Health.
TEST(Limits, LivePacketsAreJudgedAsTheyComeInBothPrograms) {
    for (const BuildVariant* variant : {&kOrca5s, &kOrca5}) {
        QTemporaryDir files;
        const QString limits = WriteBytes(files.filePath("limits.txt"), "LIMIT \"Battery 1 Volt\" 3.3 3.5 4.2 4.4\n");
        LiveWindow live(*variant, ("LIMITS = " + limits + "\r\n").toUtf8());
        Form1& form = live.harness.window;
        live.SwitchOn();
        form.MnuHealth->trigger();
        live.SendUntilStored(Bytes(KissDataFrame(Battery(2).build())), 1);
        EXPECT_EQ(form.LimitsLabel->text(), "Limits: 1 red, 0 yellow") << variant->programName;
        EXPECT_TRUE(form.Text1[channel::Battery1Volt]->toolTip().startsWith("red_low: 3.21")) << variant->programName;
        ASSERT_TRUE(form.health());
        EXPECT_EQ(form.health()->Channels->item(0, 2)->text(), "red_low");
        live.SendUntilStored(Bytes(KissDataFrame(Battery(1).build())), 2);
        EXPECT_EQ(form.LimitsLabel->text(), "Limits: 0 red, 0 yellow");
        EXPECT_EQ(form.health()->Channels->item(0, 2)->text(), "green") << "it follows the newest packet";
    }
}

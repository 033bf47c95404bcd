#include "support/window_harness.h"
#include "ui/channel_chart.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

namespace {

QStringList LegendTexts(ChannelChart* chart) {
    QStringList texts;
    for (int i = 0; i < chart->legend->itemCount(); ++i)
        if (auto* item = qobject_cast<QCPPlottableLegendItem*>(chart->legend->item(i)))
            texts << item->plottable()->name();
    return texts;
}

QColor Background(QLineEdit* box) { return box->palette().color(QPalette::Base); }

// A click on a selector's round button, with the given mouse button and keys.
void Choose(QRadioButton* selector, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {}) {
    QTest::mouseClick(selector, button, keys, QPoint(8, selector->height() / 2));
}

// Temperatures of X-, Y- and Z- follow the packet number.
BeaconBuilder Temperatures(int n) {
    return BeaconBuilder().s8(108, static_cast<std::int8_t>(n)).s8(126, static_cast<std::int8_t>(-n)).u16(79, n);
}

}  // namespace

TEST(ChannelChoice, CaptionsTheFrameAndHighlightsTheBox) {
    WindowHarness harness;
    Form1& window = harness.window;
    Choose(window.Option1[13]);
    EXPECT_EQ(window.Frame1->title(), "Urbv (V)");
    EXPECT_EQ(harness.state.chartChannel, 13);
    EXPECT_TRUE(window.Option1[13]->isChecked());
    EXPECT_EQ(Background(window.Text1[13]), QColor(255, 255, 192));
    EXPECT_EQ(Background(window.Text1[12]), QColor(Qt::white));

    Choose(window.Option1[0]);
    EXPECT_EQ(window.Frame1->title(), "Packet #");
    EXPECT_FALSE(window.Option1[13]->isChecked());
    EXPECT_EQ(Background(window.Text1[13]), QColor(Qt::white));
    EXPECT_EQ(window.MSChart1->rowCount(), 0) << "no packets, no chart";
}

TEST(ChannelChoice, ChartsTheChannelOverAllPacketsAndShowsThePacketOfTheBar) {
    WindowHarness harness;
    Form1& window = harness.window;
    harness.AddNumberedPackets(5);
    window.HScroll1->setValue(4);

    Choose(window.Option1[14]);
    ChannelChart* chart = window.MSChart1;
    EXPECT_EQ(chart->seriesCount(), 1);
    EXPECT_EQ(chart->rowCount(), 5);
    EXPECT_EQ(chart->rowLabel(3), "14:00:03");
    EXPECT_EQ(chart->style(), ChartStyle::Bars);
    EXPECT_EQ(LegendTexts(chart), QStringList{"Urbi"});
    EXPECT_EQ(chart->plottableCount(), 1);
    auto* bars = qobject_cast<QCPBars*>(chart->plottable(0));
    ASSERT_TRUE(bars);
    EXPECT_EQ(bars->data()->size(), 5);
    EXPECT_EQ(bars->data()->at(4)->value, 5);
    EXPECT_EQ(window.Text2->text(), "#4 / 5");
    EXPECT_EQ(window.Text1[14]->text(), "4") << "the table shows the packet the position names";

    QTest::mouseClick(window.Check1, Qt::LeftButton);
    EXPECT_EQ(chart->style(), ChartStyle::Line);
    ASSERT_TRUE(qobject_cast<QCPGraph*>(chart->plottable(0)));
    EXPECT_EQ(qobject_cast<QCPGraph*>(chart->plottable(0))->data()->size(), 5);
}

TEST(ChannelChoice, ALineOfOnePacketShowsItsPoint) {
    WindowHarness harness;
    harness.AddNumberedPackets(1);
    QTest::mouseClick(harness.window.Check1, Qt::LeftButton);  // line
    Choose(harness.window.Option1[14]);
    const QImage picture = harness.window.MSChart1->toPixmap().toImage();
    const QRect plot = harness.window.MSChart1->axisRect()->rect();  // the legend stands below it
    int drawn = 0;
    for (int y = plot.top(); y <= plot.bottom(); ++y)
        for (int x = plot.left(); x <= plot.right(); ++x) drawn += picture.pixelColor(x, y) == QColor(70, 130, 180);
    EXPECT_GT(drawn, 0);
}

TEST(ChannelChoice, RowLabelsAreTheTimeOfDayOrWhateverStandsThere) {
    WindowHarness harness;
    harness.AddNumberedPackets(1);
    DecoderContext context{harness.window.decodeView(), kOrca5s.log};
    DecodeBeacon(context, BeaconBuilder().build(), {"2021-02-06 14:0", ""});
    DecodeBeacon(context, BeaconBuilder().build(), {"short", ""});

    harness.window.Option1_Click(0);
    EXPECT_EQ(harness.window.MSChart1->rowLabel(1), "14:00:01");
    EXPECT_EQ(harness.window.MSChart1->rowLabel(2), "14:0");
    EXPECT_EQ(harness.window.MSChart1->rowLabel(3), "");
}

TEST(ChannelChoice, TicksScaleThemselvesUpTo100RowsThenEvery50thPart) {
    WindowHarness harness;
    harness.AddNumberedPackets(100);
    harness.window.Option1_Click(14);
    EXPECT_TRUE(harness.window.MSChart1->automaticTicks());

    harness.AddNumberedPackets(1);
    harness.window.Option1_Click(14);
    EXPECT_FALSE(harness.window.MSChart1->automaticTicks());
    EXPECT_EQ(harness.window.MSChart1->tickStep(), 2);

    EXPECT_EQ(ChannelChart::FixedTickStep(125), 2);
    EXPECT_EQ(ChannelChart::FixedTickStep(175), 4);
    EXPECT_EQ(ChannelChart::FixedTickStep(1000), 20);
    EXPECT_EQ(ChannelChart::FixedTickStep(10000), 200);
}

TEST(ChannelChoice, ShiftOrRightClickChartsTheGroup) {
    WindowHarness harness;
    Form1& window = harness.window;
    harness.AddPackets(3, Temperatures);

    Choose(window.Option1[40], Qt::LeftButton, Qt::ShiftModifier);
    ChannelChart* chart = window.MSChart1;
    EXPECT_EQ(chart->seriesCount(), 3);
    EXPECT_EQ(LegendTexts(chart), (QStringList{"X- Temperature", "Y- Temperature", "Z- Temperature"}));
    EXPECT_EQ(window.Frame1->title(), "Y- Temperature (C)");
    EXPECT_EQ(harness.state.chartChannel, 40);
    auto* second = qobject_cast<QCPBars*>(chart->plottable(1));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->brush().color(), QColor(34, 139, 34));
    EXPECT_EQ(second->data()->at(2)->value, -3);

    QTest::mouseClick(window.Check1, Qt::LeftButton);
    EXPECT_EQ(chart->seriesCount(), 1) << "the check box charts the chosen channel alone";
    EXPECT_EQ(LegendTexts(chart), QStringList{"Y- Temperature"});

    Choose(window.Option1[17], Qt::RightButton);
    EXPECT_EQ(LegendTexts(chart), (QStringList{"Battery 1 Volt", "Battery 2 Volt", "Battery 3 Volt"}));
    EXPECT_EQ(chart->style(), ChartStyle::Line) << "a group keeps the last chart's style";
    EXPECT_TRUE(window.Option1[17]->isChecked());
}

TEST(ChannelChoice, AChannelOfNoGroupKeepsTheChart) {
    WindowHarness harness;
    Form1& window = harness.window;
    harness.AddPackets(3, Temperatures);
    window.Option1_Click(40, Form1::ChartRequest::Group);

    Choose(window.Option1[3], Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(LegendTexts(window.MSChart1).size(), 3);
    EXPECT_EQ(Background(window.Text1[3]), QColor(255, 255, 192)) << "the highlight moves all the same";
    EXPECT_EQ(harness.state.chartChannel, 3);
}

TEST(ChannelChoice, TheEarlierProgramKnowsFiveGroups) {
    WindowHarness harness(kOrca5);
    harness.AddPackets(3, Temperatures);
    harness.window.Option1_Click(40, Form1::ChartRequest::Group);
    EXPECT_EQ(harness.window.MSChart1->seriesCount(), 3);
    harness.window.Option1_Click(36, Form1::ChartRequest::Group);
    EXPECT_EQ(LegendTexts(harness.window.MSChart1),
              (QStringList{"X- Temperature", "Y- Temperature", "Z- Temperature"})) << "Y- TRI Volt has no group there";
}

TEST(ChannelChart, SqueezesThousandsOfBarsIntoPixelColumns) {
    WindowHarness harness;
    harness.AddNumberedPackets(10000);
    harness.window.Option1_Click(14);
    ChannelChart* chart = harness.window.MSChart1;
    auto* bars = qobject_cast<QCPBars*>(chart->plottable(0));
    ASSERT_TRUE(bars);
    const int columns = chart->axisRect()->width();
    EXPECT_LE(bars->data()->size(), 2 * columns);
    double lowest = 1e9, highest = -1e9;
    for (const QCPBarsData& bar : *bars->data()) {
        lowest = std::min(lowest, bar.value);
        highest = std::max(highest, bar.value);
    }
    EXPECT_EQ(lowest, 1) << "every row's value still shows";
    EXPECT_EQ(highest, 10000);
}

// The History window as a user browses it: the whole mission, the wheel, a drag, the keys, the
// readout under the pointer, a double click into the main window, and live packets arriving.
#include "support/archive_window.h"
#include "support/live_window.h"
#include "ui/time_range_dialog.h"

#include <gtest/gtest.h>

#include <qcustomplot.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

std::int64_t PacketsDrawn(const History& history) {
    std::int64_t packets = 0;
    for (const HistoryColumn& column : history.series()[0]) packets += column.values.packets;
    return packets;
}

void Send(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
    QApplication::processEvents();  // the redraw
}

}  // namespace

TEST(History, ChartsTheArchiveAsAUserBrowsesIt) {
    ArchiveWindow archive(3000);  // 2021-02-06 14:00:12 to 2021-02-08 15:59:12, a packet a minute
    Form1& window = archive.harness.window;
    window.MnuHistory->trigger();
    QApplication::processEvents();  // laid out, then drawn
    History* history = window.history();
    ASSERT_TRUE(history && history->isVisible());
    EXPECT_EQ(history->windowTitle(), "History");
    EXPECT_EQ(history->Channel->count(), kChannelCount + static_cast<int>(kOrca5s.chartGroups.size()));
    EXPECT_EQ(history->Channel->currentIndex(), archive.harness.state.chartChannel);
    EXPECT_EQ(history->Channel->accessibleName(), "Channel");
    QCustomPlot* chart = history->Chart;
    const int width = chart->axisRect()->width();

    // the whole mission, a column a pixel; the days it was heard
    EXPECT_EQ(PacketsDrawn(*history), 3000);
    EXPECT_EQ(history->series()[0].size(), static_cast<std::size_t>(width));
    std::vector<std::int64_t> perDay;
    for (const HistoryColumn& day : history->days()) perDay.push_back(day.values.packets);
    EXPECT_EQ(perDay, (std::vector<std::int64_t>{600, 1440, 960}));

    // the wheel zooms around the pointer: the time under it stays where it was
    const QPoint pointer(chart->axisRect()->left() + width / 4, chart->axisRect()->center().y());
    const std::int64_t under = history->TimeAt(pointer.x());
    const std::int64_t wide = *history->range().to - *history->range().from;
    QWheelEvent wheel(pointer, chart->mapToGlobal(pointer), {}, {0, 3 * 120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart, &wheel);
    QApplication::processEvents();
    const std::int64_t narrow = *history->range().to - *history->range().from;
    EXPECT_LT(narrow, wide * 3 / 4);
    EXPECT_NEAR(static_cast<double>(history->TimeAt(pointer.x())), static_cast<double>(under), static_cast<double>(narrow / width));
    EXPECT_LT(PacketsDrawn(*history), 3000);
    EXPECT_EQ(history->series()[0].size(), static_cast<std::size_t>(width)) << "read anew at the new resolution";

    // a drag to the right shows earlier times
    const std::int64_t from = *history->range().from;
    Send(chart, QEvent::MouseButtonPress, pointer, Qt::LeftButton);
    Send(chart, QEvent::MouseMove, pointer + QPoint(100, 0), Qt::LeftButton);
    Send(chart, QEvent::MouseButtonRelease, pointer + QPoint(100, 0), Qt::NoButton);
    EXPECT_NEAR(static_cast<double>(from - *history->range().from), 100.0 * narrow / width, 2.0 * narrow / width);

    // the keys: Home for the whole mission, minus and plus
    chart->setFocus();
    QTest::keyClick(chart, Qt::Key_Home);
    EXPECT_EQ(*history->range().to - *history->range().from, wide);
    QTest::keyClick(chart, Qt::Key_Plus);
    EXPECT_NEAR(static_cast<double>(*history->range().to - *history->range().from), wide / 2.0, 2.0);
    history->WholeMission->click();
    EXPECT_EQ(PacketsDrawn(*history), 3000);

    // under the pointer: its time, and the column's least and greatest value and packets
    const double noon = 1612699200;  // 2021-02-07 12:00:00
    const QPoint atNoon(static_cast<int>(chart->xAxis->coordToPixel(noon)), pointer.y());
    Send(chart, QEvent::MouseMove, atNoon, Qt::NoButton);
    EXPECT_TRUE(history->Readout->text().startsWith("2021-02-07 1")) << history->Readout->text().toStdString();
    EXPECT_TRUE(history->Readout->text().contains(QRegularExpression(": min [-0-9.]+, max [-0-9.]+, [0-9]+ packets?$")))
        << history->Readout->text().toStdString();

    // a double click loads the 24 hours around the point into the main window
    QTest::mouseDClick(chart, Qt::LeftButton, {}, atNoon);
    const std::int64_t clicked = history->TimeAt(atNoon.x());
    EXPECT_EQ(window.Text4->text(), QStringLiteral("%1 packets from %2 to %3")
                                        .arg(archive.harness.state.packetCount)
                                        .arg(FieldTime(clicked - kDayMs / 2), FieldTime(clicked + kDayMs / 2)));
    EXPECT_NEAR(archive.harness.state.packetCount, 1440, 1);

    // a chart group: three series
    history->Channel->setCurrentIndex(kChannelCount);
    EXPECT_EQ(history->series().size(), 3u);
    EXPECT_EQ(PacketsDrawn(*history), 3000);
}

TEST(History, ALivePacketReachesAnOpenHistoryWindow) {
    LiveWindow live(kOrca5s, "ARCHIVE = yes\r\n");
    live.SwitchOn();
    live.SendUntilStored(Bytes(KissDataFrame(NumberedBeacon(1))), 1);
    live.harness.window.MnuHistory->trigger();
    QApplication::processEvents();
    History* history = live.harness.window.history();
    ASSERT_TRUE(history);
    EXPECT_EQ(PacketsDrawn(*history), 1);
    live.SendUntilStored(Bytes(KissDataFrame(NumberedBeacon(2))), 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return PacketsDrawn(*history) == 2; }, 5000)) << PacketsDrawn(*history);
}

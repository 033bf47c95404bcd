// The Passes window as a user reads it: passes newest first and stations on their tab, sorted
// by a click on a heading, a pass loaded with Enter or a double click, who heard the packet
// shown, History's strip of one station, and live packets arriving.
#include "archive/sqlite/sqlite_archive.h"
#include "support/archive_window.h"
#include "support/live_window.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace {

constexpr std::int64_t kSecondDay = 1612656000000;  // 2021-02-07 00:00:00 UTC

// Beacons of a second station, 10 s apart from a time, numbered from a first.
void HearAsSecondStation(const QString& archivePath, std::int64_t fromMs, int first, int count) {
    QString error;
    const auto archive = SqliteArchive::Open(archivePath, SqliteArchive::Mode::ReadWrite, error);
    ASSERT_TRUE(archive) << error.toStdString();
    Received result;
    for (int n = first; n < first + count; ++n)
        EXPECT_EQ(archive->Receive({NumberedBeacon(n), fromMs + 10000 * (n - first), "b.kss#" + std::to_string(n), "N0BBB"}, result), "");
    EXPECT_EQ(archive->Commit(), "");
}

Passes* OpenPasses(Form1& window) {
    window.MnuPasses->trigger();
    Passes* passes = window.passes();
    EXPECT_TRUE(passes && passes->isVisible());
    QSignalSpy shown(passes, &Passes::shown);
    EXPECT_TRUE(shown.wait(10000));
    return passes;
}

QStringList Row(const QTableWidget* table, int row) {
    QStringList cells;
    for (int column = 0; column < table->columnCount(); ++column) cells << table->item(row, column)->text();
    return cells;
}

}  // namespace

TEST(Passes, ListsPassesAndStationsAndLoadsAPassIntoTheMainWindow) {
    ArchiveWindow archive(120, "CALLSIGN = N0AAA\r\n");  // beacons a minute apart from 2021-02-06 14:00:12
    Form1& window = archive.harness.window;
    const QString path = archive.harness.folder.filePath(kArchiveFileName);
    HearAsSecondStation(path, kSecondDay + 10 * kHourMs, 1000, 30);
    HearAsSecondStation(path, kSecondDay + 12 * kHourMs, 2000, 10);

    Passes* passes = OpenPasses(window);
    ASSERT_TRUE(passes);
    EXPECT_EQ(passes->windowTitle(), "Passes");
    QTableWidget* table = passes->PassTable;
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(Row(table, 0), (QStringList{"N0BBB", "2021-02-07 12:00:00.000 UTC", "2021-02-07 12:01:30.000 UTC", "0:01:30", "10", "10", "10"}))
        << "newest first";
    EXPECT_EQ(Row(table, 2).mid(0, 2), (QStringList{"N0AAA", "2021-02-06 14:00:12.000 UTC"}));
    EXPECT_EQ(Row(table, 2)[3], "1:59:00");
    EXPECT_EQ(passes->Status->text(), "3 passes of 2 stations");

    // a click on "Packets" sorts by it, as numbers
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, {header->sectionViewportPosition(4) + 5, header->height() / 2});
    QStringList packets;
    for (int row = 0; row < 3; ++row) packets << table->item(row, 4)->text();
    EXPECT_TRUE(packets == (QStringList{"10", "30", "120"}) || packets == (QStringList{"120", "30", "10"})) << packets.join(' ').toStdString();

    // the stations' tab
    passes->Tabs->setCurrentIndex(1);
    ASSERT_EQ(passes->StationTable->rowCount(), 2);
    EXPECT_EQ(Row(passes->StationTable, 1).mid(0, 5), (QStringList{"N0BBB", "2", "40", "40", "40"}));
    EXPECT_EQ(Row(passes->StationTable, 1)[6], "2021-02-07 12:01:30.000 UTC");
    passes->Tabs->setCurrentIndex(0);

    // Enter on the 30 beacons' pass loads its span, the last reception with it
    const int thirty = table->findItems("30", Qt::MatchExactly).front()->row();
    table->setCurrentCell(thirty, 0);
    table->setFocus();
    QTest::keyClick(table->viewport(), Qt::Key_Return);
    EXPECT_EQ(archive.harness.state.packetCount, 30);
    EXPECT_EQ(window.Text4->text(), "30 packets from 2021-02-07 10:00:00 to 2021-02-07 10:04:50");
    EXPECT_EQ(window.HeardByLabel->text(), "heard by N0BBB (first)");
    EXPECT_EQ(window.HeardByLabel->accessibleName(), "heard by N0BBB (first)");

    // a double click on N0AAA's pass
    const int first = table->findItems("120", Qt::MatchExactly).front()->row();
    const QRect cell = table->visualItemRect(table->item(first, 1));
    // as a user's: a click, then the second press that makes it double
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(archive.harness.state.packetCount, 120);
    EXPECT_EQ(window.HeardByLabel->text(), "heard by N0AAA (first)");

    // History's strip: every station's packets a day, or one's
    window.MnuHistory->trigger();
    QApplication::processEvents();  // laid out, then drawn
    History* history = window.history();
    ASSERT_TRUE(history);
    const auto perDay = [&] {
        std::vector<std::int64_t> counts;
        for (const HistoryColumn& day : history->days()) counts.push_back(day.values.packets);
        return counts;
    };
    EXPECT_EQ(perDay(), (std::vector<std::int64_t>{120, 40}));
    EXPECT_EQ(history->Station->itemText(0), "All stations");
    history->Station->setCurrentIndex(history->Station->findText("N0BBB"));
    EXPECT_EQ(perDay(), (std::vector<std::int64_t>{0, 40}));
    history->Station->setCurrentIndex(history->Station->findText("N0AAA"));
    EXPECT_EQ(perDay(), (std::vector<std::int64_t>{120, 0}));
}

TEST(Passes, APacketHeardByTwoStationsNamesBothAndTheFirst) {
    EXPECT_EQ(HeardByText("N0AAA,N0BBB", "N0BBB"), "N0BBB (first), N0AAA");
    EXPECT_EQ(HeardByText("N0AAA,N0BBB", "N0AAA"), "N0AAA (first), N0BBB");
    EXPECT_EQ(HeardByText("N0AAA", ""), "N0AAA") << "first heard by a reception without a station";
    EXPECT_EQ(HeardByText("", ""), "");
}

TEST(Passes, FollowsLivePacketsAndNamesTheStationThatHeardThem) {
    LiveWindow live(kOrca5s, "ARCHIVE = yes\r\nCALLSIGN = N0CALL\r\n");
    live.SwitchOn();
    live.SendUntilStored(Bytes(KissDataFrame(NumberedBeacon(1))), 1);
    Form1& window = live.harness.window;
    EXPECT_EQ(window.HeardByLabel->text(), "heard by N0CALL");
    Passes* passes = OpenPasses(window);
    ASSERT_TRUE(passes);
    ASSERT_EQ(passes->PassTable->rowCount(), 1);
    EXPECT_EQ(passes->PassTable->item(0, 4)->text(), "1");
    live.SendUntilStored(Bytes(KissDataFrame(NumberedBeacon(2))), 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return passes->PassTable->item(0, 4)->text() == "2"; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.HeardByLabel->text() == "heard by N0CALL (first)"; }, 5000))
        << window.HeardByLabel->text().toStdString() << ": once the archive has it";
}

// A time range of the archive loaded into the window, the dialog driven as a user drives it.
#include "archive/sqlite/sqlite_archive.h"
#include "support/archive_window.h"
#include "ui/time_range_dialog.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Drives the dialog once it is open: fields, then a button.
void WhenTheDialogOpens(const std::function<void(TimeRangeDialog&)>& drive) {
    QTimer::singleShot(0, [drive] {
        auto* dialog = qobject_cast<TimeRangeDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        drive(*dialog);
    });
}

void Press(TimeRangeDialog& dialog, QDialogButtonBox::StandardButton button) {
    dialog.findChild<QDialogButtonBox*>()->button(button)->click();
}

}  // namespace

TEST(TimeRange, TheDialogLoadsARangeAsAnImport) {
    ArchiveWindow archive(3000);  // to 2021-02-08 15:59:12
    Form1& window = archive.harness.window;
    const ProgramState& state = archive.harness.state;
    ASSERT_TRUE(window.MnuArchive && window.MnuArchive->isVisible());
    WhenTheDialogOpens([](TimeRangeDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Load Time Range");
        EXPECT_EQ(dialog.From->text(), "2021-02-07 15:59:13") << "the last 24 hours of the archive";
        EXPECT_EQ(dialog.To->text(), "2021-02-08 15:59:13");
        EXPECT_EQ(dialog.To->accessibleName(), "To (UTC)");
        dialog.From->setText("2021-02-08 12:00:00");
        dialog.To->setText("2021-02-08 13:00:00");
        Press(dialog, QDialogButtonBox::Ok);
    });
    window.MnuLoadTimeRange->trigger();

    EXPECT_EQ(state.packetCount, 60);
    EXPECT_EQ(window.Text2->text(), "#1 / 60");
    EXPECT_EQ(window.Text4->text(), "60 packets from 2021-02-08 12:00:00 to 2021-02-08 13:00:00");
    EXPECT_TRUE(state.Packet(1)->rxTime.starts_with("2021-02-08 12:00:12.")) << state.Packet(1)->rxTime;
    EXPECT_TRUE(state.Packet(60)->rxTime.ends_with(" UTC"));
    EXPECT_EQ(window.Text5->document()->blockCount(), 60) << "a line a packet, as an import logs it";
    EXPECT_EQ(window.Text8->document()->blockCount(), 2) << "the text beacons of the hour";
    window.WriteCSVFile_Click();
    EXPECT_EQ(window.Text4->text(), archive.harness.folder.filePath("orca5-archive_20210208-20210208.csv") + " has been written");
}

TEST(TimeRange, ABadTimeIsNamedAndARangeBeyondTheStoreSaysSo) {
    ArchiveWindow archive(12000);
    Form1& window = archive.harness.window;
    WhenTheDialogOpens([](TimeRangeDialog& dialog) {
        dialog.From->setText("2021-02-31 00:00:00");
        Press(dialog, QDialogButtonBox::Ok);
        EXPECT_TRUE(dialog.isVisible()) << "kept open";
        EXPECT_EQ(dialog.Problem->text(), "From (UTC) is no time of the form 2021-02-06 14:00:00");
        dialog.From->setText("2021-02-01 00:00:00");
        dialog.To->setText("2021-03-01 00:00:00");
        Press(dialog, QDialogButtonBox::Ok);
    });
    window.MnuLoadTimeRange->trigger();
    EXPECT_EQ(archive.harness.state.packetCount, kStoreCapacity);
    EXPECT_EQ(window.Text4->text(), "10000 of 12000 packets from 2021-02-01 00:00:00 to 2021-03-01 00:00:00; "
                                    "narrow the range for the rest");

    WhenTheDialogOpens([](TimeRangeDialog& dialog) { Press(dialog, QDialogButtonBox::Cancel); });
    window.MnuLoadTimeRange->trigger();
    EXPECT_EQ(archive.harness.state.packetCount, kStoreCapacity) << "cancelled: nothing changes";
}

TEST(TimeRange, AReversedOrEmptyRangeIsRefusedAndTheStoreKept) {
    ArchiveWindow archive(300);
    Form1& window = archive.harness.window;
    for (const char* to : {"2021-02-06 14:00:00", "2021-02-06 13:00:00"}) {
        WhenTheDialogOpens([to](TimeRangeDialog& dialog) {
            dialog.From->setText("2021-02-06 14:00:00");
            dialog.To->setText(to);
            Press(dialog, QDialogButtonBox::Ok);
            EXPECT_TRUE(dialog.isVisible()) << "kept open";
            EXPECT_EQ(dialog.Problem->text(), "To (UTC) comes after From (UTC)");
            Press(dialog, QDialogButtonBox::Cancel);
        });
        window.MnuLoadTimeRange->trigger();
        EXPECT_EQ(archive.harness.state.packetCount, 300);
    }
}

TEST(TimeRange, ARangeAskedForDuringAnImportIsLoadedAfterIt) {
    ArchiveWindow archive(300);
    Form1& window = archive.harness.window;
    const QString second = archive.harness.folder.filePath("second.kss");
    QProcess::execute(ORCA5_DEMO_CAPTURE_PATH, {second, "120"});
    // History's double click, while the import lets the event loop run between its files
    bool asked = false;
    QTimer::singleShot(0, [&] {
        EXPECT_FALSE(window.MnuLoadTimeRange->isEnabled()) << "the Archive menu waits";
        window.LoadTimeRange({1612620000000, 1612623600000});  // 14:00 to 15:00
        asked = true;
    });
    archive.harness.dialogs.answers.push_back(QStringList{archive.harness.folder.filePath("demo.kss"), second});
    window.MnuOpenKISSFile_Click();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(window.MnuLoadTimeRange->isEnabled());
    EXPECT_EQ(archive.harness.state.packetCount, 60) << "the range, loaded once the import ended";
    EXPECT_EQ(window.Text4->text(), "60 packets from 2021-02-06 14:00:00 to 2021-02-06 15:00:00");
}

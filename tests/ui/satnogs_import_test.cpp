#include "support/window_harness.h"
#include "ui/channel_chart.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>

namespace {

std::string Line(int second, int milliamperes) {
    char time[32];
    std::snprintf(time, sizeof time, "2021-02-06 14:00:%02d|", second);
    return time + HexText(BeaconBuilder().u16(79, static_cast<std::uint16_t>(milliamperes)).build());
}

}  // namespace

TEST(SatnogsImport, ShowsTheExportReadFromTheBottomUp) {
    WindowHarness harness;
    const std::string text = "timestamp|frame\r\n" + Line(1, 1) + "\r\n" + Line(2, 2) + "\r\n" + Line(2, 2) + "\r\n" +
                             Line(3, 3) + "\r\n" + Line(1, 1) + "\r\n";
    const QString path = harness.WriteFile("pass.csv", text);
    harness.dialogs.answers.push_back(QStringList{path});
    harness.window.MnuOpenServerLog_Click();

    EXPECT_EQ(harness.dialogs.filters.front(), "Log Files (*.csv)|*.csv|All Files (*.*)|*.*");
    EXPECT_EQ(StoredUrbi(harness.state), (std::vector<double>{1, 3, 2, 1}));
    EXPECT_EQ(harness.window.Text5->toPlainText().split('\n').mid(0, 2),
              (QStringList{"records from SatNOGS: 5", "after removing duplicates: 4"}));
    EXPECT_EQ(harness.state.currentFileName, path);
    EXPECT_EQ(harness.window.Text4->text(), path);
    EXPECT_EQ(harness.window.MSChart1->rowCount(), 4);
    EXPECT_EQ(harness.window.Text2->text(), "#1 / 4");
    EXPECT_EQ(harness.window.Text8->toPlainText(), "");

    // saved by a tool that marks its UTF-8: the mark hides no record
    harness.dialogs.answers.push_back(QStringList{harness.WriteFile("marked.csv", "\xEF\xBB\xBF" + Line(4, 4) + "\r\n" + Line(5, 5))});
    harness.window.MnuOpenServerLog_Click();
    EXPECT_EQ(StoredUrbi(harness.state), (std::vector<double>{5, 4}));
}

TEST(SatnogsImport, EmptyAndSeveralFiles) {
    WindowHarness harness;
    const QString empty = harness.WriteFile("a-empty.csv", "");
    const QString second = harness.WriteFile("c.csv", Line(3, 3) + "\r\n");
    const QString first = harness.WriteFile("b.csv", Line(1, 1) + "\r\n" + Line(2, 2) + "\r\n");
    harness.dialogs.answers.push_back(QStringList{second, empty, first});
    harness.window.MnuOpenServerLog_Click();

    EXPECT_EQ(StoredUrbi(harness.state), (std::vector<double>{2, 1, 3}));
    EXPECT_EQ(harness.window.Text5->toPlainText().split('\n').filter(QRegularExpression("^(records|after)")),
              (QStringList{"records from SatNOGS: 0", "after removing duplicates: 0", "records from SatNOGS: 2",
                           "after removing duplicates: 2", "records from SatNOGS: 1", "after removing duplicates: 1"}));
    EXPECT_EQ(harness.window.List3->item(0)->text(), empty);

    harness.window.MnuOpenServerLog_Click();  // cancelled: the same files again
    EXPECT_EQ(StoredUrbi(harness.state), (std::vector<double>{2, 1, 3}));
    EXPECT_EQ(harness.window.cursor().shape(), Qt::ArrowCursor);
}

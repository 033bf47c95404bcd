#include "support/window_harness.h"
#include "telemetry/time_stamps.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QCheckBox>
#include <QScrollBar>
#include <QTest>

namespace {

// Imports a capture of beacons whose "Urbi" counts from 1, under the given name.
QString ImportCapture(WindowHarness& harness, const QString& name, int count = 3) {
    std::string capture;
    for (int i = 1; i <= count; ++i) {
        AppendRxTimeFrame(capture, "2021-02-06 14:00:0" + std::to_string(i) + ".000 UTC");
        capture += KissDataFrame(BeaconBuilder().u16(79, static_cast<std::uint16_t>(i)).u16(85, 4250).build());
    }
    QDir(harness.folder.path()).mkpath(QFileInfo(harness.folder.filePath(name)).path());
    const QString path = harness.WriteFile(name, capture);
    harness.dialogs.answers.push_back(QStringList{path});
    harness.window.MnuOpenKISSFile_Click();
    return path;
}

// Runs a test in a current folder of its own.
class InFolder {
public:
    explicit InFolder(const QString& folder) : saved_(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~InFolder() { QDir::setCurrent(saved_); }

private:
    QString saved_;
};

}  // namespace

TEST(Exports, CsvLandsBesideTheImportedCapture) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    WindowHarness harness;
    const QString capture = ImportCapture(harness, "my.data/pass.kss");
    harness.window.WriteCSVFile_Click();
    QLocale::setDefault(saved);

    const QString csv = harness.folder.filePath("my.data/pass.csv");
    EXPECT_EQ(harness.window.Text4->text(), csv + " has been written");
    const QList<QByteArray> lines = Contents(csv).split('\n');
    ASSERT_EQ(lines.size(), 5);  // heading, three packets, nothing after the last line end
    EXPECT_TRUE(lines[0].startsWith("time;Packet #;"));
    EXPECT_TRUE(lines[1].startsWith("2021-02-06 14:00:01.000 UTC;0;0;0;0;"));
    EXPECT_TRUE(lines[1].contains(";4,25;"));
    EXPECT_TRUE(lines[1].endsWith(";\r"));
}

TEST(Exports, WithoutAnImportTheDefaultsAreUsed) {
    WindowHarness harness;
    const InFolder current(harness.folder.path());
    harness.AddNumberedPackets(2);
    harness.window.WriteCSVFile_Click();
    EXPECT_EQ(harness.state.currentFileName, "orca5.csv");
    EXPECT_EQ(harness.window.Text4->text(), "orca5.csv has been written");
    EXPECT_TRUE(QFile::exists(harness.folder.filePath("orca5.csv")));

    harness.window.WriteTLMFile_Click();
    EXPECT_EQ(harness.window.Text4->text(), "orca5.tlm has been written") << "named after the CSV's default";
    EXPECT_TRUE(QFile::exists(harness.folder.filePath("orca5.tlm")));

    harness.window.WriteCSVFile_Click();
    EXPECT_EQ(harness.window.Text4->text(), "orca5.csv has been written") << "our own export, replaced";
}

TEST(Exports, ASatnogsFileIsNeverReplacedByItsExport) {
    WindowHarness harness;
    const std::string exported = "2021-02-06 14:00:00|" + HexText(BeaconBuilder().build()) + "\r\n";
    const QString source = harness.WriteFile("pass.csv", exported);
    harness.dialogs.answers.push_back(QStringList{source});
    harness.window.MnuOpenServerLog_Click();
    harness.window.WriteCSVFile_Click();

    EXPECT_EQ(Contents(source).toStdString(), exported);
    EXPECT_EQ(harness.window.Text4->text(), harness.folder.filePath("pass_export.csv") + " has been written");
    EXPECT_TRUE(Contents(harness.folder.filePath("pass_export.csv")).startsWith("time;"));
}

TEST(Exports, AFailedWriteSaysWhyAndKeepsTheOldFile) {
    WindowHarness harness;
    harness.WriteFile("plain", "a file, not a folder");
    harness.state.currentFileName = harness.folder.filePath("plain/pass.kss");
    harness.window.WriteCSVFile_Click();
    EXPECT_TRUE(harness.window.Text4->text().startsWith(harness.folder.filePath("plain/pass.csv") + " could not be written: "))
        << harness.window.Text4->text().toStdString();

    const QString longName = QString(250, 'x');
    const QString old = harness.WriteFile(longName + ".tlm", "old report");
    harness.state.currentFileName = harness.folder.filePath(longName + ".kss");
    harness.window.WriteTLMFile_Click();
    EXPECT_TRUE(harness.window.Text4->text().contains(" could not be written: "));
    EXPECT_EQ(Contents(old), "old report");
}

TEST(Exports, TheReportShowsThePacketOnScreen) {
    WindowHarness harness;
    const QString capture = ImportCapture(harness, "pass.kss");
    harness.window.HScroll1->setValue(2);
    harness.window.WriteTLMFile_Click();
    const QList<QByteArray> lines = Contents(harness.folder.filePath("pass.tlm")).split('\n');
    ASSERT_EQ(lines.size(), 30);
    EXPECT_EQ(lines[0], "ORCA-5 Telemetry Decoder   by the orca5 contributors\r");
    EXPECT_EQ(lines[10], "Urbi                2       mA   |  Urbv trans          0       V   \r")
        << "channels 14 and 15 of packet 2";
}

TEST(Screenshot, TheStandInConverterLeavesAPngOfTheWindow) {
    WindowHarness harness(kOrca5);  // its window shows the whole surface, button included
    QTemporaryDir shots;
    harness.WriteConfiguration("IMAGE_PATH = " + shots.path().toUtf8() + "/\r\n");
    ASSERT_EQ(harness.window.Form_Load(harness.folder.path()), "");
    ASSERT_TRUE(QFile::copy(NCONVERT_PATH, harness.folder.filePath("nconvert")));
    QFile::setPermissions(harness.folder.filePath("nconvert"), QFile::ExeOwner | QFile::ReadOwner);
    ImportCapture(harness, "cap/2021-02-05_orca5.kss");

    QTest::mouseClick(harness.window.Command1, Qt::LeftButton);
    const QString png = QDir(shots.path()).filePath("2021-02-05_orca5.png");
    EXPECT_EQ(harness.window.Text4->text(), png + " converted and saved");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(QDir(shots.path()).filePath("2021-02-05_orca5.bmp")); },
                                10000));
    const QImage picture(png);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), harness.window.centralWidget()->size());
    EXPECT_TRUE(QFile::exists(harness.folder.filePath("cap/2021-02-05_orca5.kss")));
    EXPECT_TRUE(harness.window.Command1->isVisible());
    EXPECT_TRUE(harness.window.Check1->isVisible());

    // the button was not in the picture: where it stands, the picture shows the surface
    const QPoint button = harness.window.Command1->mapTo(harness.window.centralWidget(), QPoint(10, 10));
    EXPECT_EQ(harness.window.Picture2->pixmap().toImage().pixelColor(button), QColor(240, 240, 240));
}

TEST(Screenshot, WithoutAConverterTheBitmapStays) {
    WindowHarness harness;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", harness.folder.path().toUtf8());
    harness.window.Command1_Click();
    qputenv("PATH", path);

    ASSERT_EQ(harness.dialogs.messages.size(), 1u);
    EXPECT_EQ(harness.dialogs.messages[0].title, "Error");
    EXPECT_EQ(harness.dialogs.messages[0].text, "nconvert.exe not found");
    const QString bitmap = harness.folder.filePath("orca5.bmp");
    EXPECT_EQ(harness.window.Text4->text(), bitmap + " saved");
    EXPECT_FALSE(QImage(bitmap).isNull());
}

TEST(Exports, NoExportWritesOverTheUsersFiles) {
    WindowHarness harness;
    // the user's SatNOGS export of a pass, imported two imports before the capture of it
    const std::string satnogs = "2021-02-06 14:00:00|" + HexText(NumberedBeacon(1)) + "\r\n";
    const QString source = harness.WriteFile("pass.csv", satnogs);
    harness.dialogs.answers.push_back(QStringList{source});
    harness.window.MnuOpenServerLog_Click();
    ImportCapture(harness, "other.kss");
    ImportCapture(harness, "pass.kss");
    harness.window.WriteCSVFile_Click();
    EXPECT_EQ(Contents(source).toStdString(), satnogs);
    EXPECT_EQ(harness.window.Text4->text(), harness.folder.filePath("pass_export.csv") + " has been written");

    // a report that another program wrote stays; our own export is written over again
    const QString theirs = harness.WriteFile("pass.tlm", "someone else's report");
    harness.window.WriteTLMFile_Click();
    harness.window.WriteTLMFile_Click();
    EXPECT_EQ(Contents(theirs), "someone else's report");
    EXPECT_EQ(harness.window.Text4->text(), harness.folder.filePath("pass_export.tlm") + " has been written");
    EXPECT_FALSE(QFile::exists(harness.folder.filePath("pass_export2.tlm")));
}

TEST(Screenshot, AFailedSaveSaysWhyAndNoSelectionShows) {
    WindowHarness harness(kOrca5s, "IMAGE_PATH = /proc/\r\n");  // a file system that takes no files
    harness.window.Text4->setText("a status message");
    harness.window.Text4->selectAll();
    harness.window.Command1_Click();
    EXPECT_FALSE(harness.window.Text4->hasSelectedText()) << "the picture shows no highlighted text";
    EXPECT_TRUE(harness.window.Text4->text().startsWith("/proc/orca5.bmp could not be saved: "));
    EXPECT_GT(harness.window.Text4->text().size(), QString("/proc/orca5.bmp could not be saved: ").size());
}

#include "support/window_harness.h"
#include "telemetry/beacon_layout.h"
#include "ui/twips.h"
#include "ui/value_box.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QListWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

namespace {

// The value box a screen reader knows by the channel's name.
QLineEdit* ValueBox(Form1& window, const QString& channel) {
    for (QLineEdit* box : window.findChildren<QLineEdit*>())
        if (box->accessibleName() == channel + " value") return box;
    return nullptr;
}

QStringList MenuTexts(QMenuBar* bar) {
    QStringList texts;
    for (QAction* item : bar->actions()) {
        texts << item->text();
        if (item->menu())
            for (QAction* command : item->menu()->actions()) texts << "  " + command->text();
    }
    return texts;
}

// What a screen reader hears of the menus: each caption, without its Alt-key mark.
QStringList MenuNames(QMenuBar* bar) {
    QStringList names;
    QAccessibleInterface* menus = QAccessible::queryAccessibleInterface(bar);
    for (int i = 0; i < menus->childCount(); ++i) {
        names << menus->child(i)->text(QAccessible::Name);
        if (QMenu* menu = bar->actions()[i]->menu()) {
            QAccessibleInterface* items = QAccessible::queryAccessibleInterface(menu);
            for (int k = 0; k < items->childCount(); ++k) names << "  " + items->child(k)->text(QAccessible::Name);
        }
    }
    return names;
}

}  // namespace

TEST(MainWindow, TelemetryTableHasTheChannelsInThreeColumns) {
    WindowHarness harness;
    Form1& window = harness.window;
    EXPECT_EQ(window.windowTitle(), "ORCA-5 Telemetry Decoder (orca5 project)");
    EXPECT_EQ(window.SSTab1->tabText(0), "Telemetry");
    EXPECT_EQ(window.SSTab1->tabText(1), "ASCII beacons");
    EXPECT_EQ(window.SSTab1->tabText(2), "debug");

    for (int i = 0; i < kChannelCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        EXPECT_EQ(window.Option1[index]->text().toStdString(), kChannels[index].name);
        EXPECT_EQ(window.Label1[index]->text().toStdString(), kChannels[index].unit);
        EXPECT_EQ(window.Option1[index]->x(), window.Option1[static_cast<std::size_t>(i % 3)]->x()) << i;
        EXPECT_EQ(window.Option1[index]->y(), window.Option1[static_cast<std::size_t>(i - i % 3)]->y()) << i;
        EXPECT_LT(window.Option1[index]->x(), window.Text1[index]->x());
        EXPECT_LT(window.Text1[index]->x(), window.Label1[index]->x());
        EXPECT_EQ(ValueBox(window, window.Option1[index]->text()), window.Text1[index]);
    }
    EXPECT_GT(window.Option1[3]->y(), window.Option1[0]->y());
    EXPECT_EQ(window.Option1[51]->x(), window.Option1[0]->x()) << "channel 51 stands alone in the last row";
    EXPECT_EQ(window.Option1[51]->y() - window.Option1[48]->y(), window.Option1[3]->y() - window.Option1[0]->y());
    EXPECT_EQ(window.Label1[43]->text(), "V");
    EXPECT_EQ(window.Label1[0]->text(), "");
}

TEST(MainWindow, MenusAndEveryBoxAreNamed) {
    WindowHarness harness;
    EXPECT_EQ(MenuNames(harness.window.menuBar()),
              (QStringList{"File", "  Open KISS File", "  Open SatNOGS CSV", "  Exit", "TLM File", "  Write CSV File",
                           "  Write TLM File", "Info"}));
    EXPECT_EQ(MenuTexts(harness.window.menuBar()),
              (QStringList{"&File", "  &Open KISS File", "  Open &SatNOGS CSV", "  E&xit", "&TLM File", "  Write &CSV File",
                           "  Write T&LM File", "&Info"}));
    QTest::keyClick(&harness.window, Qt::Key_F, Qt::AltModifier);
    QMenu* file = harness.window.menuBar()->actions()[0]->menu();
    EXPECT_TRUE(QTest::qWaitFor([&] { return file->isVisible(); }, 2000)) << "Alt+F opens the File menu";
    file->close();
    for (QWidget* control : harness.window.findChildren<QWidget*>()) {
        const bool box = qobject_cast<QLineEdit*>(control) || qobject_cast<QPlainTextEdit*>(control);
        const bool namedBar = qobject_cast<QScrollBar*>(control) && !control->objectName().isEmpty();
        if (box || namedBar) {
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        }
    }
}

TEST(MainWindow, EveryCaptionShowsWhole) {
    for (const BuildVariant* variant : {&kOrca5s, &kOrca5}) {
        WindowHarness harness(*variant);
        for (const QRadioButton* selector : harness.window.Option1)
            EXPECT_LE(selector->sizeHint().width(), selector->width()) << selector->text().toStdString();
    }
}

TEST(MainWindow, StartUpAppliesConfIni) {
    WindowHarness harness(kOrca5s, "# a comment\r\n\r\ntcp_server = abc\r\nTCP_PORT=8001\r\nSCREENSHOT = no\r\n");
    EXPECT_TRUE(harness.loadError.isEmpty());
    EXPECT_EQ(harness.window.Label2->text(), "[ABC:8001]");
    EXPECT_EQ(harness.window.Label2->toolTip(), "[ABC:8001]") << "the server stays at hand once the state shows";
    EXPECT_FALSE(harness.window.Command1->isVisible());
    EXPECT_EQ(harness.state.imagePath, harness.folder.path() + "/");
    EXPECT_EQ(harness.window.configuration().serverHost, "ABC");

    WindowHarness shown(kOrca5, "SCREENSHOT = yes\r\nIMAGE_PATH = /Shots/\r\n");
    EXPECT_TRUE(shown.window.Command1->isVisible());
    EXPECT_EQ(shown.state.imagePath, "/Shots/");
    EXPECT_EQ(shown.window.Label2->text(), "") << "no server configured";
}

TEST(MainWindow, StartUpStopsOnAnUnreadableFileOrABadPort) {
    WindowHarness harness;
    QFile::remove(harness.folder.filePath("conf.ini"));
    QDir(harness.folder.path()).mkdir("conf.ini");  // there, but no file to read
    EXPECT_TRUE(harness.window.Form_Load(harness.folder.path()).contains(harness.folder.filePath("conf.ini")));
    QDir(harness.folder.path()).rmdir("conf.ini");

    harness.WriteConfiguration("TCP_SERVER=abc\r\nTCP_PORT=eighty\r\n");
    EXPECT_TRUE(harness.window.Form_Load(harness.folder.path()).startsWith("conf.ini, line 2"));
}

TEST(MainWindow, ShowsAPacketWithStatusInHexadecimal) {
    WindowHarness harness;
    harness.AddPackets(1, [](int) {
        return BeaconBuilder().u32(47, 6699).u16(77, 4200).u8(75, 0xF6).u16(79, 4200).obcTime(21, 2, 6, 9, 5, 0);
    });
    harness.AddPackets(1, [](int) { return BeaconBuilder().u32(47, 0xFFFFFFFF); });
    Form1& window = harness.window;

    window.ShowPacket(1);
    EXPECT_EQ(ValueBox(window, "Status")->text(), "1A2B");
    EXPECT_EQ(ValueBox(window, "Urbv")->text(), QLocale().toString(4.2));
    EXPECT_EQ(ValueBox(window, "UHF Temperature")->text(), "-10");
    EXPECT_EQ(ValueBox(window, "Urbi")->text(), "4200");
    EXPECT_EQ(ValueBox(window, "JOB ID")->text(), "");
    EXPECT_EQ(window.Label3->text(), "OBC Timestamp: 2021/02/06 09:05:00");
    EXPECT_EQ(window.Label4->text(), "RX Timestamp: 2021-02-06 14:00:01.000 UTC");

    window.ShowPacket(2);
    EXPECT_EQ(ValueBox(window, "Status")->text(), "FFFFFFFF");
    for (const int outside : {0, -1, 3, 10001}) {
        window.ShowPacket(outside);
        EXPECT_EQ(ValueBox(window, "Status")->text(), "FFFFFFFF") << outside;
        EXPECT_EQ(window.Label4->text(), "RX Timestamp: 2021-02-06 14:00:02.000 UTC") << outside;
    }
}

TEST(MainWindow, ValuesUseTheLocaleDecimalSeparator) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    WindowHarness harness;
    harness.AddPackets(1, [](int) { return BeaconBuilder().u16(77, 4200); });
    harness.window.ShowPacket(1);
    QLocale::setDefault(saved);
    EXPECT_EQ(ValueBox(harness.window, "Urbv")->text(), "4,2");
}

TEST(Navigation, TheBarChoosesThePacketShown) {
    WindowHarness harness;
    Form1& window = harness.window;
    EXPECT_EQ(window.Text2->text(), "") << "empty before the first packet";
    harness.AddNumberedPackets(120);
    EXPECT_EQ(window.HScroll1->maximum(), 120);
    EXPECT_EQ(window.HScroll1->value(), 1) << "new packets leave the position alone";

    window.HScroll1->setValue(7);
    EXPECT_EQ(window.Text2->text(), "#7 / 120");
    EXPECT_EQ(ValueBox(window, "Urbi")->text(), "7");

    window.HScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(window.Text2->text(), "#8 / 120");
    EXPECT_EQ(ValueBox(window, "Urbi")->text(), "8");
}

TEST(Navigation, ALowerMaximumPullsThePositionDown) {
    WindowHarness harness;
    harness.AddNumberedPackets(10);
    harness.window.HScroll1->setValue(9);
    harness.window.ResetStore();
    EXPECT_EQ(ValueBox(harness.window, "Urbi")->text(), "");
    // the first new packet lowers the maximum to 1, which moves the position there
    harness.AddPackets(4, [](int n) { return BeaconBuilder().u16(79, static_cast<std::uint16_t>(100 + n)); });
    EXPECT_EQ(harness.window.HScroll1->value(), 1);
    EXPECT_EQ(harness.window.HScroll1->maximum(), 4);
    EXPECT_EQ(harness.window.Text2->text(), "#1 / 1");
    EXPECT_EQ(ValueBox(harness.window, "Urbi")->text(), "101");
}

TEST(MainWindow, DecodingShowsThePayloadAndLogsTheFrame) {
    WindowHarness harness;
    harness.AddPackets(1, [](int) { return BeaconBuilder().text(17, "Hello from ORCA-5 in orbit ..."); });
    EXPECT_EQ(harness.window.Label5->text(), "Hello from ORCA-5 in orbit ...");
    EXPECT_EQ(harness.window.Text5->toPlainText(),
              "2021-02-06 14:00:01.000 UTC | " + QString::fromStdString(harness.state.frameHex));
}

TEST(MainWindow, ScreenshotBufferFollowsTheClientArea) {
    WindowHarness harness;
    harness.window.resize(900, 650);
    QApplication::processEvents();
    EXPECT_EQ(harness.window.Picture2->size(), harness.window.centralWidget()->size());
    EXPECT_FALSE(harness.window.Picture2->isVisible());
}

TEST(MainWindow, ReadingsCannotBeTypedOver) {
    WindowHarness harness;
    harness.AddNumberedPackets(2);
    Form1& window = harness.window;
    window.HScroll1->setValue(2);
    window.Text4->setText("a report");
    harness.state.currentFileName = harness.folder.filePath("pass.kss");
    for (QLineEdit* box : {window.Text1[channel::Urbi], window.Text2, window.Text4}) {
        const QString shown = box->text();
        box->setFocus();
        QTest::keyClicks(box, "99");
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(box->text(), shown) << box->accessibleName().toStdString();
        EXPECT_TRUE(box->focusPolicy() & Qt::TabFocus) << "a screen reader still reaches it";
        box->selectAll();
        EXPECT_EQ(box->selectedText(), shown) << "and its text can be copied";
    }
    window.WriteTLMFile_Click();
    EXPECT_TRUE(Contents(harness.folder.filePath("pass.tlm")).contains("Urbi                2       mA"));
}

TEST(MainWindow, TheWidestValuesShowWholeInTheirBoxes) {
    // every field at the end of its range that gives the longest text
    BeaconBuilder widest;
    for (const Field& field : kBeaconLayout) {
        switch (field.encoding) {
        case Encoding::BinaryText: widest.text(field.offset, "1111"); break;
        case Encoding::U8: widest.u8(field.offset, 255); break;
        case Encoding::S8: widest.s8(field.offset, -128); break;
        case Encoding::U16: widest.u16(field.offset, 65535); break;
        case Encoding::U32: widest.u32(field.offset, 4294967295); break;
        }
    }
    WindowHarness harness;
    harness.AddPackets(kStoreCapacity, [&](int) { return widest; });
    Form1& window = harness.window;
    window.HScroll1->setValue(kStoreCapacity);
    EXPECT_EQ(window.Text1[kStatusChannel]->text(), "FFFFFFFF");
    EXPECT_EQ(window.Text1[channel::BeaconsSinceReset]->text(), "4294967295");
    EXPECT_EQ(window.Text2->text(), "#10000 / 10000");

    std::vector<QLineEdit*> boxes(window.Text1.begin(), window.Text1.end());
    boxes.push_back(window.Text2);
    for (const QLineEdit* box : boxes) {
        EXPECT_LE(QFontMetrics(box->font()).horizontalAdvance(box->text()), TextRoom(*box))
            << box->accessibleName().toStdString() << ": " << box->text().toStdString();
        EXPECT_GT(TextRoom(*box), box->width() - 12) << "room within the box's frame";
    }
    EXPECT_EQ(window.Text1[0]->width(), Twips(735)) << "the design's width";
    EXPECT_EQ(window.Text1[channel::Urbi]->font().pixelSize(), 11) << "short values keep the surface's font";
}

TEST(Accessibility, LabelsAreHeardByWhatTheyShow) {
    WindowHarness harness;
    harness.AddNumberedPackets(1);
    Form1& window = harness.window;
    window.ShowPacket(1);
    const auto name = [](QWidget* widget) { return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name); };
    const auto description = [](QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Description);
    };
    EXPECT_EQ(name(window.Label4), "RX Timestamp: 2021-02-06 14:00:01.000 UTC");
    EXPECT_EQ(description(window.Label4), "Reception time stamp");
    EXPECT_EQ(name(window.Label1[channel::Urbv]), "V");
    EXPECT_EQ(description(window.Label1[channel::Urbv]), "Urbv unit");
    EXPECT_EQ(name(window.Label2), "[127.0.0.1:8001]");
    EXPECT_EQ(name(window.Text1[channel::Urbv]), "Urbv value");
}

TEST(Accessibility, TheKeyboardMovesThePacketBarAndNeverReachesHiddenControls) {
    WindowHarness harness;
    harness.AddNumberedPackets(30);
    Form1& window = harness.window;

    std::vector<QWidget*> chain;  // what Tab reaches, in order
    for (QWidget* widget = window.Check5->nextInFocusChain(); widget != window.Check5; widget = widget->nextInFocusChain())
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(&window) && widget->isEnabled()) chain.push_back(widget);
    EXPECT_NE(std::find(chain.begin(), chain.end(), window.HScroll1), chain.end());
    for (QWidget* hidden : std::initializer_list<QWidget*>{window.Text6, window.List3}) {
        EXPECT_EQ(std::find(chain.begin(), chain.end(), hidden), chain.end()) << hidden->objectName().toStdString();
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(hidden)->state().invisible);
    }

    window.HScroll1->setFocus();
    const std::pair<Qt::Key, const char*> keys[] = {
        {Qt::Key_Right, "#2 / 30"}, {Qt::Key_PageDown, "#3 / 30"}, {Qt::Key_End, "#30 / 30"},
        {Qt::Key_Left, "#29 / 30"}, {Qt::Key_PageUp, "#28 / 30"},  {Qt::Key_Home, "#1 / 30"},
    };
    for (const auto& [key, position] : keys) {
        QTest::keyClick(window.HScroll1, key);
        EXPECT_EQ(window.Text2->text(), position) << QTest::toString(key);
        EXPECT_EQ(ValueBox(window, "Urbi")->text(), QString(position).section(' ', 0, 0).mid(1));
    }
}

TEST(MainWindow, InstalledItWritesItsConfIniAndCapturesInTheUsersPlaces) {
    QTemporaryDir installedProgram;  // no conf.ini beside it
    const QString configFile = qEnvironmentVariable("XDG_CONFIG_HOME") + "/orca5/conf.ini";
    QFile::remove(configFile);
    ProgramState state;
    FakeDialogs dialogs;
    Form1 window(state, kOrca5s, dialogs);
    EXPECT_EQ(window.Form_Load(installedProgram.path()), "");
    EXPECT_EQ(window.Text4->text(), "A default conf.ini was written to " + configFile);
    EXPECT_EQ(window.configuration().serverHost, "127.0.0.1") << "the build's default";
    EXPECT_TRUE(state.imagePath.startsWith(qEnvironmentVariable("HOME")));

    // a later start reads it as the user left it
    QTemporaryDir passes;
    WriteBytes(configFile, "TCP_SERVER = 127.0.0.1\nTCP_PORT = 8001\nCAPTURE_PATH = " + passes.filePath("new").toStdString() + "\n");
    Form1 again(state, kOrca5s, dialogs);
    EXPECT_EQ(again.Form_Load(installedProgram.path()), "");
    EXPECT_EQ(again.Text4->text(), "");
    EXPECT_EQ(again.configuration().capturePath, passes.filePath("new"));
    QFile::remove(configFile);
}

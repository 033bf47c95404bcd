#include "support/window_harness.h"
#include "ui/info_window.h"

#include <gtest/gtest.h>

#include <QLabel>

TEST(InfoWindow, ShowsTheVersionAndTheLicence) {
    WindowHarness harness;
    harness.window.MnuInfo_Click();
    Info* info = harness.window.info();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->windowTitle(), "Info");
    EXPECT_EQ(info->Label2->text(), "Version 0.6    (06 Feb 2021)");
    EXPECT_EQ(info->Label11->text().size(), 485);
    EXPECT_TRUE(info->Label11->text().contains("\"AS IS\""));
    EXPECT_FALSE(info->Label11->text().contains('\n'));
    EXPECT_FALSE(info->isModal());

    harness.window.MnuInfo_Click();
    EXPECT_EQ(harness.window.info(), info);
    EXPECT_EQ(harness.window.findChildren<Info*>().size(), 1);

    info->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(harness.window.info(), nullptr) << "closing unloads it";
    harness.window.MnuInfo_Click();
    EXPECT_EQ(harness.window.findChildren<Info*>().size(), 1);
}

TEST(InfoWindow, TheEarlierProgramHasItsOwnVersion) {
    EXPECT_EQ(VersionLine(kOrca5), "Version 0.5    (05 Feb 2021)");
    EXPECT_EQ(Info(kOrca5).Label11->text(), Info(kOrca5s).Label11->text());
}

TEST(InfoWindow, EveryLineShowsItsDescenders) {
    const Info info(kOrca5s);
    for (const QLabel* label : info.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || label->wordWrap()) continue;
        EXPECT_GE(label->height(), label->fontMetrics().height()) << label->text().toStdString();
    }
}

#include "support/window_harness.h"
#include "ui/scrollable_surface.h"

#include <gtest/gtest.h>

#include <QScrollBar>

TEST(ScrollableSurface, AtTheStartSizeOnlyTheVerticalBarShows) {
    WindowHarness harness;
    ScrollableSurface* client = harness.window.scrollableSurface;
    ASSERT_TRUE(client);
    EXPECT_EQ(client->size(), QSize(740, 549)) << "11100 x 8235 twips";
    EXPECT_EQ(client->PictureForm->size(), QSize(713, 761)) << "10695 x 11415 twips";
    EXPECT_TRUE(client->VScroll_V->isVisible());
    EXPECT_FALSE(client->HScroll_H->isVisible());
    EXPECT_TRUE(client->Picture2Form->isVisible());
    EXPECT_EQ(client->VScroll_V->maximum(), 761 - 549 + client->HScroll_H->height());

    client->VScroll_V->setValue(client->VScroll_V->maximum());
    EXPECT_EQ(client->PictureForm->y(), -client->VScroll_V->maximum());
    EXPECT_EQ(client->PictureForm->geometry().bottom() + 1, client->height() - client->HScroll_H->height())
        << "the surface's bottom edge just above the horizontal bar's place";
}

TEST(ScrollableSurface, EnlargedBeyondTheSurfaceNothingScrolls) {
    WindowHarness harness;
    ScrollableSurface* client = harness.window.scrollableSurface;
    client->VScroll_V->setValue(50);
    harness.window.resize(800, 900);
    QApplication::processEvents();
    EXPECT_FALSE(client->VScroll_V->isVisible());
    EXPECT_FALSE(client->HScroll_H->isVisible());
    EXPECT_FALSE(client->Picture2Form->isVisible());
    EXPECT_EQ(client->PictureForm->pos(), QPoint(0, 0)) << "back at the origin";

    harness.window.resize(500, 400);
    QApplication::processEvents();
    EXPECT_TRUE(client->HScroll_H->isVisible());
    EXPECT_EQ(client->HScroll_H->maximum(), 713 - 500 + client->VScroll_V->width());
    client->HScroll_H->setValue(30);
    EXPECT_EQ(client->PictureForm->x(), -30);
}

TEST(ScrollableSurface, TheEarlierProgramHasAFixedWindowOfTheSurfaceSize) {
    WindowHarness harness(kOrca5);
    EXPECT_EQ(harness.window.scrollableSurface, nullptr);
    EXPECT_EQ(harness.window.centralWidget()->size(), QSize(713, 761));
    EXPECT_EQ(harness.window.minimumSize(), harness.window.maximumSize());
}

#include "ui/value_box.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// QLineEdit keeps this many pixels free at either side of its text.
constexpr int kLineEditMargin = 2;
constexpr int kSmallestPixelSize = 6;
// A caption is fitted no narrower and no smaller than this: still read at a glance.
constexpr int kNarrowestSpacing = 90;
constexpr int kSmallestCaptionPixelSize = 9;

}  // namespace

int TextRoom(const QLineEdit& box) {
    QStyleOptionFrame option;
    option.initFrom(&box);
    option.lineWidth = box.hasFrame() ? box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &box) : 0;
    const QRect contents = box.style()->subElementRect(QStyle::SE_LineEditContents, &option, &box);
    const QMargins margins = box.textMargins();
    return contents.width() - margins.left() - margins.right() - 2 * kLineEditMargin;
}

void ShowValue(QLineEdit& box, const QString& text) {
    QFont font = box.parentWidget()->font();
    const int room = TextRoom(box);
    while (font.pixelSize() > kSmallestPixelSize && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPixelSize(font.pixelSize() - 1);
    if (box.font() != font) box.setFont(font);
    box.setText(text);
    box.setCursorPosition(0);
}

void FitCaption(QAbstractButton& button, const QString& caption) {
    button.setText(caption);
    QFont font = button.parentWidget()->font();
    const auto fits = [&] {
        if (button.font() != font) button.setFont(font);
        return button.sizeHint().width() <= button.width();
    };
    // letters a little closer first, then smaller ones: whatever font the system gave
    for (int spacing = 100; spacing >= kNarrowestSpacing; --spacing) {
        font.setLetterSpacing(QFont::PercentageSpacing, spacing);
        if (fits()) return;
    }
    while (font.pixelSize() > kSmallestCaptionPixelSize) {
        font.setPixelSize(font.pixelSize() - 1);
        if (fits()) return;
    }
}

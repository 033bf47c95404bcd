#pragma once

#include <QString>

class QAbstractButton;
class QLineEdit;

// The value boxes keep the narrow widths of the design, which our fonts overflow: a value
// that does not fit at the window's font takes the largest smaller font that shows it whole.

// The pixels a line edit has for its text: its contents, less its frame and text margins.
int TextRoom(const QLineEdit& box);

// Shows the text, from its first character, in the largest font up to the surface's that fits.
void ShowValue(QLineEdit& box, const QString& text);

// Shows a caption whole in its button's width: a caption a pixel or two too wide is set a
// little closer, never smaller.
void FitCaption(QAbstractButton& button, const QString& caption);

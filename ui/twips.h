#pragma once

#include <QRect>
#include <QSize>

// The window's layout is fixed by design and given in twips: 15 twips to a pixel at 96 dpi.
constexpr int Twips(int twips) { return twips / 15; }

inline QRect TwipsRect(int left, int top, int width, int height) {
    return {Twips(left), Twips(top), Twips(width), Twips(height)};
}

inline QSize TwipsSize(int width, int height) { return {Twips(width), Twips(height)}; }

// Kavrin Records at any DPI on Windows 7 to 11: the window's DPI, the
// system's message font made for it, and the font's measures, from which
// the window lays itself out (no size in it is a fixed number of pixels).
// Windows 10's per-monitor functions are looked up at run time, so the
// program still starts on Windows 7, where the DPI is the screen's.
#pragma once

#include <windows.h>

UINT DpiOfWindow(HWND window);

// The message font at `dpi`; the caller deletes it.
HFONT MessageFontForDpi(UINT dpi);

// A font's average character width and its line height, in pixels: what
// dialog units are made of (a horizontal unit is a quarter of the width, a
// vertical one an eighth of the height).
struct FontMeasure {
    int charWidth = 0;
    int lineHeight = 0;

    int X(int units) const { return MulDiv(units, charWidth, 4); }
    int Y(int units) const { return MulDiv(units, lineHeight, 8); }
};

FontMeasure MeasureFont(HWND window, HFONT font);

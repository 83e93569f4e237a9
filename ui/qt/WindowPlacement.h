// Where a secondary window opens: on screen in full, and the analysis window
// beside the main window rather than over it. Frame rectangles in screen
// coordinates (title bar and borders included).
#pragma once

#include <QRect>
#include <QSize>

namespace ui {

// The frame moved (and shrunk, down to `least`) so that it lies within `room`,
// the screen's available area.
QRect withinScreen(const QRect& frame, const QSize& least, const QRect& room);

// A frame of the wanted size (shrunk down to `least` where the room asks for
// it) beside `mainFrame`, on the side with the more room, level with its top;
// where that side does not hold the least width, up to half the screen wide
// and as far to that side as the screen allows.
QRect besideWindow(const QRect& mainFrame, const QSize& wanted, const QSize& least,
                   const QRect& room);

}  // namespace ui

#include "ui/qt/WindowPlacement.h"

#include <algorithm>

namespace ui {

QRect withinScreen(const QRect& frame, const QSize& least, const QRect& room)
{
    const QSize size(std::max(std::min(frame.width(), room.width()), least.width()),
                     std::max(std::min(frame.height(), room.height()), least.height()));
    // A window larger than the screen keeps its top left corner (title bar) on it.
    const int x = std::max(room.left(), std::min(frame.left(), room.right() + 1 - size.width()));
    const int y = std::max(room.top(), std::min(frame.top(), room.bottom() + 1 - size.height()));
    return {QPoint(x, y), size};
}

QRect besideWindow(const QRect& mainFrame, const QSize& wanted, const QSize& least,
                   const QRect& room)
{
    const int rightRoom = room.right() - mainFrame.right();
    const int leftRoom = mainFrame.left() - room.left();
    const bool right = rightRoom >= leftRoom;
    const int sideRoom = std::max(right ? rightRoom : leftRoom, 0);
    // Where the side cannot hold the least width the window covers part of the
    // main window anyway: then it takes up to half the screen, to be of use.
    const int fitting = sideRoom >= least.width() ? sideRoom : room.width() / 2;
    const int width = std::clamp(std::min(wanted.width(), fitting), least.width(),
                                 std::max(least.width(), std::min(wanted.width(), room.width())));
    const int x = right ? mainFrame.right() + 1 : mainFrame.left() - width;
    return withinScreen(QRect(QPoint(x, mainFrame.top()), QSize(width, wanted.height())), least,
                        room);
}

}  // namespace ui

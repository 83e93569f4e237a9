// A picture box's drawing, kept as a list of primitives in user coordinates so
// that any front end can replay it on every repaint and at any size.
#pragma once

#include <vector>

namespace ui {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// User coordinate system: the box's left edge has x = left, its right edge
// x = right, its top edge y = top and its bottom edge y = bottom.
struct UserScale {
    double left = 0;
    double top = 0;
    double right = 1;
    double bottom = 1;
    // The box's size when the scale was set (0: not known). A replay at
    // another size keeps this aspect, so a circle stays round.
    double boxWidth = 0;
    double boxHeight = 0;
    friend bool operator==(const UserScale&, const UserScale&) = default;
};

struct Primitive {
    enum class Kind { Line, FilledBox };
    Kind kind = Kind::Line;
    float x1 = 0;
    float y1 = 0;
    float x2 = 0;
    float y2 = 0;
    Rgb colour;
    UserScale scale;  // the scale in force when the primitive was drawn
};

struct Drawing {
    UserScale scale;  // the current scale; a fresh box maps 0..1 in both directions
    std::vector<Primitive> items;

    void clear() { items.clear(); }
    void setScale(double left, double top, double right, double bottom, double boxWidth = 0,
                  double boxHeight = 0)
    {
        scale = UserScale{left, top, right, bottom, boxWidth, boxHeight};
    }
    void line(float x1, float y1, float x2, float y2, Rgb colour)
    {
        items.push_back({Primitive::Kind::Line, x1, y1, x2, y2, colour, scale});
    }
    void filledBox(float x1, float y1, float x2, float y2, Rgb colour)
    {
        items.push_back({Primitive::Kind::FilledBox, x1, y1, x2, y2, colour, scale});
    }
};

}  // namespace ui

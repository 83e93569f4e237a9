// The operations that the program's logic calls on the window toolkit. Controls
// and windows are named by their object names ("Text_NP", "Form_KATJO" ...).
// Two implementations: the Qt windows, and a headless one that records
// everything for tests and for the batch front end.
#pragma once

#include <string>
#include <string_view>

#include "ui/Drawing.h"

namespace ui {

class Toolkit {
public:
    virtual ~Toolkit() = default;

    // Text boxes (inputs and outputs): the text as typed.
    virtual std::string text(std::string_view control) const = 0;
    virtual void setText(std::string_view control, std::string_view text) = 0;

    // Check boxes: 0 clear, 1 ticked (any other value counts as clear).
    virtual int value(std::string_view control) const = 0;

    // Option buttons: whether this button of its group is the selected one.
    virtual bool isSelected(std::string_view control) const = 0;
    // Selects the button (clearing the others of its group) or clears it,
    // without firing its click event: the program showing a state, not a user
    // choosing.
    virtual void setSelected(std::string_view control, bool selected) = 0;

    // List boxes.
    virtual void listClear(std::string_view control) = 0;
    virtual void listAdd(std::string_view control, std::string_view line) = 0;

    // Groups of controls.
    virtual void setVisible(std::string_view control, bool visible) = 0;
    virtual bool isVisible(std::string_view control) const = 0;

    // Drive list, directory tree and file list: their path ("/" separated);
    // for the file list also the name of the chosen file.
    virtual std::string path(std::string_view control) const = 0;
    virtual void setPath(std::string_view control, std::string_view path) = 0;
    virtual std::string fileName(std::string_view control) const = 0;

    // Secondary windows, shown without blocking; created on first use and
    // brought to the front when already open.
    virtual void showWindow(std::string_view form) = 0;

    // Modal message box with an OK button, titled "Tavrix-S".
    virtual void message(std::string_view text) = 0;
    // The same message from a secondary window: the box belongs to that
    // window, so that the main window does not come up over it.
    virtual void messageFrom(std::string_view form, std::string_view text)
    {
        static_cast<void>(form);
        message(text);
    }

    // Picture boxes.
    virtual double width(std::string_view picture) const = 0;
    virtual double height(std::string_view picture) const = 0;
    virtual void clear(std::string_view picture) = 0;
    virtual void scale(std::string_view picture, double left, double top, double right,
                       double bottom) = 0;
    virtual void line(std::string_view picture, float x1, float y1, float x2, float y2,
                      Rgb colour) = 0;
    virtual void filledBox(std::string_view picture, float x1, float y1, float x2, float y2,
                           Rgb colour) = 0;
};

}  // namespace ui

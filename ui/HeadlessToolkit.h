// Toolkit without a display: keeps the state of every control, records every
// message box, list line, window shown and drawing primitive. Serves the
// tests and the batch front end.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Toolkit.h"

namespace ui {

class HeadlessToolkit : public Toolkit {
public:
    // Picture sizes, in pixels, that the headless boxes report.
    static constexpr double kPlotWidth = 640;
    static constexpr double kPlotHeight = 300;
    static constexpr double kMatrixSize = 420;

    HeadlessToolkit();

    // Toolkit
    std::string text(std::string_view control) const override;
    void setText(std::string_view control, std::string_view text) override;
    int value(std::string_view control) const override;
    bool isSelected(std::string_view control) const override;
    void setSelected(std::string_view control, bool selected) override;
    void listClear(std::string_view control) override;
    void listAdd(std::string_view control, std::string_view line) override;
    void setVisible(std::string_view control, bool visible) override;
    bool isVisible(std::string_view control) const override;
    std::string path(std::string_view control) const override;
    void setPath(std::string_view control, std::string_view path) override;
    std::string fileName(std::string_view control) const override;
    void showWindow(std::string_view form) override;
    void message(std::string_view text) override;
    double width(std::string_view picture) const override;
    double height(std::string_view picture) const override;
    void clear(std::string_view picture) override;
    void scale(std::string_view picture, double left, double top, double right,
               double bottom) override;
    void line(std::string_view picture, float x1, float y1, float x2, float y2,
              Rgb colour) override;
    void filledBox(std::string_view picture, float x1, float y1, float x2, float y2,
                   Rgb colour) override;

    // What a user does: type into a box, tick a check box, select an option
    // (the others of its group are cleared), pick a file name in a file list.
    void type(std::string_view control, std::string_view text) { setText(control, text); }
    void setValue(std::string_view control, int value);
    void select(std::string_view option);
    void setFileName(std::string_view control, std::string_view name);
    void setPictureSize(std::string_view picture, double width, double height);

    // What was shown.
    const std::vector<std::string>& messages() const { return messages_; }
    void clearMessages() { messages_.clear(); }
    const std::vector<std::string>& list(std::string_view control) const;
    const std::vector<std::string>& windowsShown() const { return windowsShown_; }
    const Drawing& drawing(std::string_view picture) const;

private:
    struct Size {
        double width;
        double height;
    };
    std::map<std::string, std::string, std::less<>> texts_;
    std::map<std::string, int, std::less<>> values_;
    std::map<std::string, bool, std::less<>> selected_;
    std::map<std::string, bool, std::less<>> visible_;
    std::map<std::string, std::string, std::less<>> paths_;
    std::map<std::string, std::string, std::less<>> fileNames_;
    std::map<std::string, std::vector<std::string>, std::less<>> lists_;
    std::map<std::string, Drawing, std::less<>> drawings_;
    std::map<std::string, Size, std::less<>> sizes_;
    std::vector<std::string> messages_;
    std::vector<std::string> windowsShown_;
};

}  // namespace ui

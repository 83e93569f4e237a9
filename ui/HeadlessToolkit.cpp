#include "ui/HeadlessToolkit.h"

#include "ui/Controls.h"

namespace ui {

namespace {
template <class Map, class T>
T lookup(const Map& map, std::string_view key, T fallback)
{
    auto it = map.find(key);
    return it == map.end() ? fallback : it->second;
}
}  // namespace

HeadlessToolkit::HeadlessToolkit()
{
    for (const auto& c : controls()) {
        const std::string name(c.name);
        switch (c.kind) {
        case ControlKind::TextBox:
        case ControlKind::TextOutput:
            texts_[name] = std::string(c.caption);
            break;
        case ControlKind::CheckBox:
            values_[name] = 0;
            break;
        case ControlKind::Option:
            selected_[name] = c.initiallySelected;
            break;
        case ControlKind::Picture:
            sizes_[name] = c.form == kShowMatForm ? Size{kMatrixSize, kMatrixSize}
                                                  : Size{kPlotWidth, kPlotHeight};
            drawings_[name];
            break;
        default:
            break;
        }
        visible_[name] = name != kFileBrowser;
    }
}

std::string HeadlessToolkit::text(std::string_view control) const
{
    return lookup(texts_, control, std::string());
}

void HeadlessToolkit::setText(std::string_view control, std::string_view text)
{
    texts_[std::string(control)] = std::string(text);
}

int HeadlessToolkit::value(std::string_view control) const
{
    return lookup(values_, control, 0);
}

void HeadlessToolkit::setValue(std::string_view control, int value)
{
    values_[std::string(control)] = value;
}

bool HeadlessToolkit::isSelected(std::string_view control) const
{
    return lookup(selected_, control, false);
}

void HeadlessToolkit::select(std::string_view option)
{
    const ControlInfo* info = findControl(option);
    if (info != nullptr) {
        for (const auto& c : controls()) {
            if (c.kind == ControlKind::Option && c.group == info->group)
                selected_[std::string(c.name)] = false;
        }
    }
    selected_[std::string(option)] = true;
}

void HeadlessToolkit::setSelected(std::string_view option, bool selected)
{
    if (selected) {
        select(option);
    } else {
        selected_[std::string(option)] = false;
    }
}

void HeadlessToolkit::listClear(std::string_view control)
{
    lists_[std::string(control)].clear();
}

void HeadlessToolkit::listAdd(std::string_view control, std::string_view line)
{
    lists_[std::string(control)].emplace_back(line);
}

const std::vector<std::string>& HeadlessToolkit::list(std::string_view control) const
{
    static const std::vector<std::string> empty;
    auto it = lists_.find(control);
    return it == lists_.end() ? empty : it->second;
}

void HeadlessToolkit::setVisible(std::string_view control, bool visible)
{
    visible_[std::string(control)] = visible;
}

bool HeadlessToolkit::isVisible(std::string_view control) const
{
    return lookup(visible_, control, true);
}

std::string HeadlessToolkit::path(std::string_view control) const
{
    return lookup(paths_, control, std::string());
}

void HeadlessToolkit::setPath(std::string_view control, std::string_view path)
{
    paths_[std::string(control)] = std::string(path);
}

std::string HeadlessToolkit::fileName(std::string_view control) const
{
    return lookup(fileNames_, control, std::string());
}

void HeadlessToolkit::setFileName(std::string_view control, std::string_view name)
{
    fileNames_[std::string(control)] = std::string(name);
}

void HeadlessToolkit::showWindow(std::string_view form)
{
    windowsShown_.emplace_back(form);
}

void HeadlessToolkit::message(std::string_view text)
{
    messages_.emplace_back(text);
}

double HeadlessToolkit::width(std::string_view picture) const
{
    return lookup(sizes_, picture, Size{kPlotWidth, kPlotHeight}).width;
}

double HeadlessToolkit::height(std::string_view picture) const
{
    return lookup(sizes_, picture, Size{kPlotWidth, kPlotHeight}).height;
}

void HeadlessToolkit::setPictureSize(std::string_view picture, double width, double height)
{
    sizes_[std::string(picture)] = Size{width, height};
}

void HeadlessToolkit::clear(std::string_view picture)
{
    drawings_[std::string(picture)].clear();
}

void HeadlessToolkit::scale(std::string_view picture, double left, double top, double right,
                            double bottom)
{
    drawings_[std::string(picture)].setScale(left, top, right, bottom, width(picture),
                                             height(picture));
}

void HeadlessToolkit::line(std::string_view picture, float x1, float y1, float x2, float y2,
                           Rgb colour)
{
    drawings_[std::string(picture)].line(x1, y1, x2, y2, colour);
}

void HeadlessToolkit::filledBox(std::string_view picture, float x1, float y1, float x2,
                                float y2, Rgb colour)
{
    drawings_[std::string(picture)].filledBox(x1, y1, x2, y2, colour);
}

const Drawing& HeadlessToolkit::drawing(std::string_view picture) const
{
    static const Drawing empty;
    auto it = drawings_.find(picture);
    return it == drawings_.end() ? empty : it->second;
}

}  // namespace ui

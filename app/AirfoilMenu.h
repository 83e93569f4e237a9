// The main window's airfoil menu: a coordinate file of any layout, a NACA
// four- or five-digit section, repanelling of the contour in use and saving
// it in the Selig layout. Each success replaces the contour, NP, NPanel and
// the text of Text_NP as a source does; each refusal leaves them as they were.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Module_Common.h"
#include "geometry/Contour.h"

namespace tavrix {

class Form_TavrixS;

class AirfoilMenu {
public:
    explicit AirfoilMenu(Form_TavrixS& form);

    // Reads a Selig, Lednicer, plain x y or ".arf" file, the layout told from
    // its content. With `repanelTo` the points are redistributed before they
    // take the place of the contour in use, which lets a file of more points
    // than the tables hold be used.
    bool openFile(const std::string& path, std::optional<int> repanelTo = std::nullopt);

    // The NACA section of that designation, with the count in Text_NP.
    bool makeNaca(std::string_view designation, bool openTrailingEdge);

    // Redistributes the contour in use (or a file refused for its number of
    // points, if that came last) to the count given as typed.
    bool repanelCurrent(std::string_view countText);
    bool repanelCurrent(int np);

    // Writes the contour in use in the Selig layout.
    bool saveContour(const std::string& path);

    // The files read, the newest first.
    const std::vector<std::string>& recentFiles() const { return recent_; }
    // The list as an earlier session left it (newest first); repeated and
    // empty entries are dropped and the oldest beyond the menu's length.
    void setRecentFiles(const std::vector<std::string>& files);

private:
    void install(Contour contour, ContourSource source, double gap);
    void remember(const std::string& path);
    bool refuse(const std::string& message);

    Form_TavrixS& form_;
    std::optional<Contour> oversize_;  // the last file, refused for its many points
    std::vector<std::string> recent_;
};

}  // namespace tavrix

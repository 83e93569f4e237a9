#include "app/AirfoilMenu.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/ContourTables.h"
#include "app/Form_TavrixS.h"
#include "app/NumberText.h"
#include "geometry/AirfoilFile.h"
#include "geometry/CoordinateFormats.h"
#include "geometry/NacaSections.h"
#include "geometry/Repanel.h"
#include "output/FileReplace.h"
#include "output/Plots.h"

namespace tavrix {

namespace {

constexpr const char* kPointCountRefusal =
    "Number of panel end points must be a whole number from 2 to 1000";
constexpr std::size_t kRecentFiles = 8;

}  // namespace

AirfoilMenu::AirfoilMenu(Form_TavrixS& form) : form_(form) {}

bool AirfoilMenu::refuse(const std::string& message)
{
    form_.toolkit().message(message);
    form_.showAirfoilInUse();
    return false;
}

void AirfoilMenu::install(Contour contour, ContourSource source, double gap)
{
    Common& c = form_.common();
    ui::Toolkit& ui = form_.toolkit();
    c.NP = contour.size();
    c.NPanel = c.NP - 1;
    for (int i = 1; i <= c.NP; ++i) {
        c.XCoord[static_cast<std::size_t>(i)] = contour.x[static_cast<std::size_t>(i - 1)];
        c.YCoord[static_cast<std::size_t>(i)] = contour.y[static_cast<std::size_t>(i - 1)];
    }
    c.AirfoilSource = source;
    c.AirfoilName = contour.name;
    oversize_.reset();
    ui.setText("Text_NP", generalForm(c.NP, c.DecimalSeparator));
    c.AirfoilReady = true;
    Show_Airfoil(c, ui, c.XCoord, c.YCoord);
    if (gap > 0) {
        // Five decimals, or seven for a gap narrower than that shows.
        const double shown = roundHalfEven(gap, 5) != 0 ? roundHalfEven(gap, 5) : roundHalfEven(gap, 7);
        ui.message("The trailing edge of " + contour.name + " was open, " +
                   generalForm(shown, c.DecimalSeparator) +
                   " chord wide; it has been closed at the mid point of the gap");
    }
    form_.showAirfoilInUse();
}

void AirfoilMenu::remember(const std::string& path)
{
    recent_.erase(std::remove(recent_.begin(), recent_.end(), path), recent_.end());
    recent_.insert(recent_.begin(), path);
    if (recent_.size() > kRecentFiles) recent_.resize(kRecentFiles);
}

void AirfoilMenu::setRecentFiles(const std::vector<std::string>& files)
{
    recent_.clear();
    for (const std::string& path : files) {
        if (path.empty() || std::find(recent_.begin(), recent_.end(), path) != recent_.end())
            continue;
        if (recent_.size() == kRecentFiles) break;
        recent_.push_back(path);
    }
}

bool AirfoilMenu::openFile(const std::string& path, std::optional<int> repanelTo)
{
    Common& c = form_.common();
    if (repanelTo && (*repanelTo < kRepanelMinPoints || *repanelTo > kRepanelMaxPoints))
        return refuse(repanelCountRefusal());
    std::string text;
    bool whole = false;
    if (auto failure = readAirfoilFileStart(path, text, whole))
        return refuse(airfoilFileRefusal(path, *failure));
    const CoordinateFormat format = detectCoordinateFormat(text);
    const std::string fileName = std::filesystem::path(path).filename().string();

    Contour contour;
    double gap = 0;
    std::string rescaled;  // what is said when the points were scaled or moved
    if (format == CoordinateFormat::Arf) {
        auto parsed = parseAirfoilFile(text, whole);
        if (!repanelTo) {
            // The program's own layout is read as it always was, points as they stand.
            const std::string previous = c.AirfoilFilePath;
            c.AirfoilFilePath = path;
            if (!Read_AirfoilFile(c, form_.toolkit())) {
                c.AirfoilFilePath = previous;
                form_.showAirfoilInUse();
                return false;
            }
            oversize_.reset();
            remember(path);
            form_.showAirfoilInUse();
            return true;
        }
        if (auto* reason = std::get_if<std::string>(&parsed))
            return refuse(airfoilFileRefusal(path, *reason));
        const auto& contents = std::get<AirfoilFileContents>(parsed);
        contour.name = contents.name.empty() ? fileName : contents.name;
        contour.x = contents.x;
        contour.y = contents.y;
    } else {
        if (!whole) {
            return refuse(airfoilFileRefusal(
                path, "it is larger than " + std::to_string(kAirfoilFileReadLimit >> 20) + " MB"));
        }
        auto prepared = readCoordinateContour(text, format, fileName, c.DecimalSeparator);
        if (auto* reason = std::get_if<std::string>(&prepared))
            return refuse(airfoilFileRefusal(path, *reason));
        auto& p = std::get<PreparedContour>(prepared);
        contour = std::move(p.contour);
        gap = p.gap;
        if (p.rescaled) {
            auto n = [&](double v) { return generalForm(roundHalfEven(v, 5), c.DecimalSeparator); };
            const char* comma = c.DecimalSeparator == ',' ? "; " : ", ";
            rescaled = "The coordinates of " + contour.name + " had a chord of " + n(p.chord) +
                       " with the leading edge at (" + n(p.leadingEdgeX) + comma +
                       n(p.leadingEdgeY) +
                       "); they have been brought to a unit chord with the leading edge at "
                       "the origin";
        }
    }

    if (repanelTo) {
        auto redone = repanel(contour, *repanelTo, c.Pi);
        if (auto* reason = std::get_if<std::string>(&redone))
            return refuse(airfoilFileRefusal(path, *reason));
        contour = std::get<Contour>(std::move(redone));
    } else if (contour.size() > kTableLast) {
        const std::string message = airfoilFileRefusal(
            path, "it holds " + std::to_string(contour.size()) + " points, more than the " +
                      std::to_string(kTableLast) +
                      " a contour may have; repanel it to fewer points (Repanel...)");
        Contour held = std::move(contour);
        refuse(message);
        oversize_ = std::move(held);
        return false;
    }
    c.AirfoilFilePath = path;
    remember(path);
    install(std::move(contour), repanelTo ? ContourSource::Repanelled : ContourSource::File, gap);
    if (!rescaled.empty()) form_.toolkit().message(rescaled);
    return true;
}

bool AirfoilMenu::makeNaca(std::string_view designation, bool openTrailingEdge)
{
    Common& c = form_.common();
    ui::Toolkit& ui = form_.toolkit();
    auto parsed = parseNacaDesignation(designation);
    if (auto* reason = std::get_if<std::string>(&parsed)) return refuse(*reason);
    const std::string text = ui.text("Text_NP");
    const LeadingNumber n = readLeadingNumber(text);
    if (n.tooLarge) return refuse(numberTooLargeMessage(text));
    if (n.value != std::floor(n.value) || n.value < 2 || n.value > kTableLast)
        return refuse(kPointCountRefusal);
    Contour contour = makeNacaSection(std::get<NacaDesignation>(parsed),
                                      static_cast<int>(n.value), openTrailingEdge, c.Pi);
    const double gap = openTrailingEdge ? closeTrailingEdge(contour) : 0;
    install(std::move(contour), ContourSource::Naca, gap);
    return true;
}

bool AirfoilMenu::repanelCurrent(std::string_view countText)
{
    const LeadingNumber n = readLeadingNumber(countText);
    if (n.tooLarge) return refuse(numberTooLargeMessage(countText));
    if (n.value != std::floor(n.value) || n.value < kRepanelMinPoints ||
        n.value > kRepanelMaxPoints)
        return refuse(repanelCountRefusal());
    return repanelCurrent(static_cast<int>(n.value));
}

bool AirfoilMenu::repanelCurrent(int np)
{
    Common& c = form_.common();
    if (np < kRepanelMinPoints || np > kRepanelMaxPoints) return refuse(repanelCountRefusal());
    if (!oversize_ && !c.AirfoilReady) return refuse("Calculate airfoil coordinates");
    const Contour source = oversize_ ? *oversize_ : contourInUse(c);
    auto redone = repanel(source, np, c.Pi);
    if (auto* reason = std::get_if<std::string>(&redone)) return refuse(*reason);
    install(std::get<Contour>(std::move(redone)), ContourSource::Repanelled, 0);
    return true;
}

bool AirfoilMenu::saveContour(const std::string& path)
{
    const Common& c = form_.common();
    if (!c.AirfoilReady) return refuse("Calculate airfoil coordinates");
    Contour contour = contourInUse(c);
    if (contour.name.empty()) contour.name = "Tavrix-S contour";
    // Written beside and renamed, so that a failed write leaves no half file.
    if (auto failure = replaceFileContents(path, writeSelig(contour))) {
        form_.toolkit().message("Cannot write \"" + path + "\": " + *failure);
        return false;
    }
    return true;
}

}  // namespace tavrix

#include "geometry/AirfoilFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>
#include <utility>

#include "app/NumberText.h"
#include "geometry/CoordinateFormats.h"
#include "output/Plots.h"

namespace tavrix {

std::optional<std::string> readAirfoilFileStart(const std::string& path, std::string& text,
                                                bool& whole)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(fs::path(path), ec);
    if (path.empty()) return std::string("the file does not exist");
    if (path.back() == '/')
        return std::string("the path ends in \"/\", so it names a folder, not a file");
    if (status.type() == fs::file_type::not_found) return std::string("the file does not exist");
    if (ec) return "the file cannot be reached (" + ec.message() + ")";
    if (fs::is_directory(status)) return std::string("it is a folder, not a file");
    if (!fs::is_regular_file(status)) return std::string("it is not an ordinary file");

    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in) return std::string("the file cannot be opened for reading");

    // Read in pieces, so that a short file costs no more than its size.
    constexpr std::size_t kPiece = 64 * 1024;
    text.clear();
    whole = false;
    while (text.size() <= kAirfoilFileReadLimit) {
        const std::size_t old = text.size();
        text.resize(old + kPiece);
        in.read(text.data() + old, static_cast<std::streamsize>(kPiece));
        text.resize(old + static_cast<std::size_t>(in.gcount()));
        if (in.bad()) return std::string("the file could not be read");
        if (in.eof()) {
            whole = text.size() <= kAirfoilFileReadLimit;
            break;
        }
    }
    if (text.size() > kAirfoilFileReadLimit) text.resize(kAirfoilFileReadLimit);
    return std::nullopt;
}

std::variant<Contour, std::string> readAirfoilFileContour(const std::string& path,
                                                          std::string_view shown)
{
    std::string text;
    bool whole = false;
    if (auto failure = readAirfoilFileStart(path, text, whole))
        return airfoilFileRefusal(shown, *failure);
    const std::string fileName = std::filesystem::path(path).filename().string();
    const CoordinateFormat format = detectCoordinateFormat(text);
    if (format == CoordinateFormat::Arf) {
        auto parsed = parseAirfoilFile(text, whole);
        if (auto* reason = std::get_if<std::string>(&parsed))
            return airfoilFileRefusal(shown, *reason);
        auto& contents = std::get<AirfoilFileContents>(parsed);
        const auto n = static_cast<std::size_t>(std::max(contents.count, 0));
        contents.x.resize(std::min(n, contents.x.size()));
        contents.y.resize(std::min(n, contents.y.size()));
        return Contour{contents.name.empty() ? fileName : contents.name, std::move(contents.x),
                       std::move(contents.y)};
    }
    if (!whole)
        return airfoilFileRefusal(
            shown, "it is larger than " + std::to_string(kAirfoilFileReadLimit >> 20) + " MB");
    auto prepared = readCoordinateContour(text, format, fileName);
    if (auto* reason = std::get_if<std::string>(&prepared))
        return airfoilFileRefusal(shown, *reason);
    return std::get<PreparedContour>(std::move(prepared)).contour;
}

bool Read_AirfoilFile(Common& common, ui::Toolkit& ui)
{
    const std::string path = common.AirfoilFilePath;
    std::string text;
    bool whole = false;
    if (auto failure = readAirfoilFileStart(path, text, whole)) {
        ui.message(airfoilFileRefusal(path, *failure));
        return false;
    }
    auto parsed = parseAirfoilFile(text, whole);
    if (auto* reason = std::get_if<std::string>(&parsed)) {
        ui.message(airfoilFileRefusal(path, *reason));
        return false;
    }
    const AirfoilFileContents& contents = std::get<AirfoilFileContents>(parsed);

    common.NP = contents.count;
    common.NPanel = common.NP - 1;
    for (int i = 1; i <= common.NP; ++i) {
        common.XCoord[static_cast<std::size_t>(i)] = contents.x[static_cast<std::size_t>(i - 1)];
        common.YCoord[static_cast<std::size_t>(i)] = contents.y[static_cast<std::size_t>(i - 1)];
    }
    ui.setText("Text_NP", generalForm(common.NP, common.DecimalSeparator));
    common.AirfoilReady = true;
    common.AirfoilSource = ContourSource::File;
    common.AirfoilName = !contents.name.empty()
                             ? contents.name
                             : std::filesystem::path(path).filename().string();
    Show_Airfoil(common, ui, common.XCoord, common.YCoord);
    return true;
}

}  // namespace tavrix

#include "tools/batch/SectionEditRun.h"

#include <array>

#include "app/GeometryEdits.h"
#include "app/NumberText.h"
#include "tools/batch/AirfoilSources.h"
#include "tools/batch/OptionNumbers.h"

namespace tavrix {

const char* const kSectionEditUsage = R"(section edits, applied in the order given (with --repanel) to the contour of the source:
  --flap X:YT:DEG       a plain flap: hinge at x/c X and at the fraction YT of the local
                        thickness (0 lower surface, 1 upper), deflected DEG degrees
                        (positive trailing edge down, -90 to 90); the press then also
                        prints "CH = ", the hinge moment H / (q c^2), positive when it
                        turns the trailing edge down; a sweep adds it to each line and
                        a CH column to --csv
  --scale-thickness F   thickness multiplied by F (> 0), mean line kept
  --scale-camber F      mean line height multiplied by F (0: symmetric section)
  --te-gap W:BLEND      trailing-edge gap W chords over the last BLEND of the chord,
                        then closed at the mid point of the gap as a file's open edge is
)";

namespace {

std::vector<std::string_view> fields(std::string_view text)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = text.find(':', start);
        out.push_back(text.substr(start, colon - start));
        if (colon == std::string_view::npos) break;
        start = colon + 1;
    }
    return out;
}

bool numbers(std::string_view text, std::size_t count)
{
    const auto f = fields(text);
    if (f.size() != count) return false;
    for (std::string_view part : f)
        if (!wholeNumber(part)) return false;
    return true;
}

}  // namespace

bool isSectionEditOption(std::string_view name)
{
    return name == "--flap" || name == "--scale-thickness" || name == "--scale-camber" ||
           name == "--te-gap";
}

std::optional<std::string> sectionEditError(const OrderedOptions& options)
{
    for (const auto& [name, value] : options) {
        if (name == "--flap" && !numbers(value, 3))
            return "--flap needs X:YT:DEG, three numbers (hinge x/c, fraction of the thickness, "
                   "degrees), not \"" + value + "\"";
        if ((name == "--scale-thickness" || name == "--scale-camber") && !numbers(value, 1))
            return name + " needs a number, not \"" + value + "\"";
        if (name == "--te-gap" && !numbers(value, 2))
            return "--te-gap needs W:BLEND, two numbers (gap and blending length in chords), "
                   "not \"" + value + "\"";
    }
    return std::nullopt;
}

bool hasSectionEdits(const OrderedOptions& options)
{
    for (const auto& option : options)
        if (isSectionEditOption(option.first)) return true;
    return false;
}

bool flapGiven(const OrderedOptions& options)
{
    for (const auto& option : options)
        if (option.first == "--flap") return true;
    return false;
}

bool repanelBeforeEdits(const OrderedOptions& options)
{
    for (const auto& option : options) {
        if (option.first == "--repanel") return true;
        if (isSectionEditOption(option.first)) return false;
    }
    return false;
}

bool runSectionEdits(Form_TavrixS& form, const OrderedOptions& options, bool firstRepanelDone)
{
    bool skipRepanel = firstRepanelDone;
    for (const auto& [name, value] : options) {
        const auto f = fields(value);
        bool done = true;
        if (name == "--repanel") {
            if (skipRepanel) {
                skipRepanel = false;
                continue;
            }
            // A repanelled flapped section keeps its hinge.
            const std::optional<FlapHinge> flap = flapInUse(form.common());
            done = runRepanel(form, value);
            if (done && flap) tieFlapToContourInUse(form.common(), *flap);
        } else if (name == "--flap") {
            done = applyFlap(form, f[0], f[1], f[2]);
        } else if (name == "--scale-thickness") {
            done = scaleThicknessAndCamber(form, value, "1");
        } else if (name == "--scale-camber") {
            done = scaleThicknessAndCamber(form, "1", value);
        } else if (name == "--te-gap") {
            done = setTrailingEdgeGapOf(form, f[0], f[1]);
        }
        if (!done) return false;
    }
    return true;
}

void printHingeMoment(Form_TavrixS& form, std::ostream& out)
{
    out << "CH = ";
    if (form.lastPressCompleted()) {
        if (const auto ch = pressHingeMoment(form.common()))
            out << generalForm(roundHalfEven(*ch, 4), form.common().DecimalSeparator);
    }
    out << '\n';
}

}  // namespace tavrix

// Prints the NACA 0012 contour of the program's own generator, NP points in
// the program's order (clockwise from the trailing edge along the lower
// surface), one "x y" pair per line, each number in the shortest form that
// reads back to the same double.
//
//   dump_contour NP        NP from 2 to 1000
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/NumberText.h"
#include "app/Module_Common.h"
#include "geometry/Generators.h"

namespace {

}  // namespace

int main(int argc, char** argv)
{
    int np = 0;
    if (argc == 2) {
        const std::string text = argv[1];
        const auto result = std::from_chars(text.data(), text.data() + text.size(), np);
        if (result.ec != std::errc() || result.ptr != text.data() + text.size()) np = 0;
    }
    if (np < 2 || np > tavrix::kTableLast) {
        std::fprintf(stderr, "usage: dump_contour NP   (NP a whole number from 2 to 1000)\n");
        return 2;
    }
    const tavrix::Contour contour = tavrix::naca0012Contour(np);
    for (std::size_t k = 0; k < contour.x.size(); ++k)
        std::printf("%s %s\n", tavrix::shortestText(contour.x[k]).c_str(),
                    tavrix::shortestText(contour.y[k]).c_str());
    return 0;
}

#include "output/XfoilPolarFile.h"

#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <system_error>
#include <optional>
#include <vector>

namespace tavrix {

namespace {

std::vector<std::string_view> fields(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

std::string_view trimmed(std::string_view s)
{
    const std::size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const std::size_t last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

// The whole field as a finite number, or nothing.
std::optional<double> number(std::string_view field)
{
    double v = 0;
    const char* end = field.data() + field.size();
    const auto r = std::from_chars(field.data(), end, v);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v)) return std::nullopt;
    return v;
}

// The number after "key =" on the line (the fields after the sign).
std::optional<double> valueAfter(std::string_view line, std::string_view key,
                                 std::vector<std::string_view>* rest = nullptr)
{
    std::size_t at = line.find(key);
    if (at == std::string_view::npos) return std::nullopt;
    std::string_view after = line.substr(at + key.size());
    const std::size_t sign = after.find('=');
    if (sign == std::string_view::npos || trimmed(after.substr(0, sign)) != "") return std::nullopt;
    const std::vector<std::string_view> f = fields(after.substr(sign + 1));
    if (f.empty()) return std::nullopt;
    if (rest) rest->assign(f.begin() + 1, f.end());
    return number(f[0]);
}

bool dashes(std::string_view line)
{
    const std::vector<std::string_view> f = fields(line);
    if (f.empty()) return false;
    for (std::string_view field : f)
        if (field.find_first_not_of('-') != std::string_view::npos) return false;
    return true;
}

}  // namespace

Outcome<KeptRun> readXfoilPolar(std::string_view text, std::string_view fileName)
{
    const std::string head = "Cannot read polar file \"" + std::string(fileName) + "\": ";
    const auto refuse = [&](const std::string& why) {
        return Refusal{Refusal::Kind::UnreadableFile, head + why};
    };
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }

    std::string program, airfoil;
    std::optional<double> mach, Re, ncrit;
    std::size_t columnLine = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::vector<std::string_view> f = fields(line);
        if (f.empty()) continue;
        if (f[0] == "alpha") {
            columnLine = i;
            break;
        }
        constexpr std::string_view nameKey = "Calculated polar for:";
        if (const std::size_t at = line.find(nameKey); at != std::string_view::npos) {
            airfoil = trimmed(line.substr(at + nameKey.size()));
        } else if (line.find("Mach =") != std::string_view::npos) {
            mach = valueAfter(line, "Mach");
            // "Re =     3.000 e 6": the mantissa, then the power of ten.
            std::vector<std::string_view> rest;
            if (const std::optional<double> m = valueAfter(line, "Re", &rest)) {
                int power = 0;
                if (rest.size() >= 2 && rest[0] == "e") {
                    const auto r = std::from_chars(rest[1].data(), rest[1].data() + rest[1].size(), power);
                    if (r.ec == std::errc() && r.ptr == rest[1].data() + rest[1].size())
                        Re = *m * std::pow(10.0, power);
                } else {
                    Re = m;
                }
            }
            ncrit = valueAfter(line, "Ncrit");
        } else if (program.empty() && airfoil.empty()) {
            // The first words of the file: the program that wrote it.
            for (std::string_view w : f) program += (program.empty() ? "" : " ") + std::string(w);
        }
    }
    if (airfoil.empty()) return refuse("no line \"Calculated polar for: NAME\"");
    if (!mach || !Re) return refuse("no line with \"Mach =\" and \"Re = ... e 6\" that can be read");
    if (!(*Re >= 0) || !(*mach >= 0 && *mach < 1))
        return refuse("the Reynolds number or the Mach number is out of range");
    if (columnLine == lines.size()) return refuse("no column line \"alpha CL CD CDp CM ...\"");

    const std::vector<std::string_view> names = fields(lines[columnLine]);
    constexpr std::array<std::string_view, 7> wanted = {"alpha", "CL", "CD", "CDp",
                                                        "CM", "Top_Xtr", "Bot_Xtr"};
    std::array<std::size_t, 7> column{};
    for (std::size_t w = 0; w < wanted.size(); ++w) {
        column[w] = names.size();
        for (std::size_t c = 0; c < names.size(); ++c)
            if (names[c] == wanted[w]) column[w] = c;
        if (column[w] == names.size())
            return refuse("the column line has no column " + std::string(wanted[w]));
    }
    if (columnLine + 1 >= lines.size() || !dashes(lines[columnLine + 1]))
        return refuse("no line of dashes under the column line");

    KeptRun run;
    std::array<std::vector<double>*, 7> into = {&run.alpha, &run.CL,     &run.CD,    &run.CDp,
                                                &run.CM,    &run.topXtr, &run.botXtr};
    for (std::size_t i = columnLine + 2; i < lines.size(); ++i) {
        const std::vector<std::string_view> f = fields(lines[i]);
        if (f.empty()) continue;
        const std::string where = "line " + std::to_string(i + 1) + ": ";
        if (f.size() != names.size())
            return refuse(where + std::to_string(f.size()) + " numbers where the column line has " +
                          std::to_string(names.size()) + " (a cut or damaged row)");
        for (std::size_t c = 0; c < f.size(); ++c)
            if (!number(f[c]))
                return refuse(where + "\"" + std::string(f[c]) + "\" is not a finite number");
        for (std::size_t w = 0; w < wanted.size(); ++w) into[w]->push_back(*number(f[column[w]]));
    }
    if (run.rows() == 0) return refuse("no rows under the column line");

    const bool xfoil = program.rfind("XFOIL", 0) == 0;
    RunCase& c = run.runCase;
    c.airfoil = airfoil;
    c.method = xfoil ? "xfoil" : (program.empty() ? "unknown program" : program);
    c.Re = *Re;
    c.Ncrit = *Re > 0 && ncrit && *ncrit > 0 ? *ncrit : 0;
    c.mach = *mach;
    c.model = *Re > 0 ? (xfoil ? "viscous-inviscid interaction (xfoil)" : "viscous") : "inviscid";
    c.origin = "file " + std::filesystem::path(fileName).filename().string() + (program.empty() ? "" : " (" + program + ")");
    // A polar without a Reynolds number has no boundary layer: its CD column is 0.
    if (*Re == 0) {
        run.CD.clear();
        run.topXtr.clear();
        run.botXtr.clear();
    }
    RunCase named = c;
    named.method.clear();
    // The program that wrote the file before the name: its first word.
    const std::string writer =
        xfoil ? "xfoil" : program.empty() ? "file" : program.substr(0, program.find(' '));
    run.name = writer + ": " + defaultRunName(named);
    return run;
}

Outcome<KeptRun> readXfoilPolarFile(const std::filesystem::path& file)
{
    const std::string name = file.string();
    const auto refuse = [&](const std::string& why) {
        return Refusal{Refusal::Kind::UnreadableFile,
                       "Cannot read polar file \"" + name + "\": " + why};
    };
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return refuse("no such file");
    const auto size = std::filesystem::file_size(file, error);
    if (error) return refuse(error.message());
    if (size > 16u * 1024 * 1024) return refuse("too large for a polar");
    std::ifstream in(file, std::ios::binary);
    if (!in) return refuse("it cannot be opened");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return refuse("it cannot be read to the end");
    return readXfoilPolar(text, name);
}

}  // namespace tavrix

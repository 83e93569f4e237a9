// Test support: a fresh program session in a temporary working directory,
// driven through the headless toolkit as a user would drive the window.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "app/Form_TavrixS.h"
#include "app/Module_Common.h"
#include "ui/HeadlessToolkit.h"

namespace tavrix::testing {

// A directory under the system's temporary folder, removed again at the end.
class TempDir {
public:
    TempDir()
    {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("tavrix-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string readFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Program start-up in a temporary directory.
struct Session {
    TempDir dir;
    ui::HeadlessToolkit tk;
    Common c;
    Form_TavrixS form{c, tk};

    explicit Session(char decimalSeparator = '.')
    {
        c.DecimalSeparator = decimalSeparator;
        c.WorkDir = dir.path();
        form.Form_Load();
    }

    // Select a source option as a user does: the option, then its handler.
    void chooseCircle(const std::string& points = "51")
    {
        tk.type("Text_NP", points);
        tk.select("Option_CIRCLE");
        form.Option_CIRCLE_Click();
    }
    void chooseNaca(const std::string& points = "51")
    {
        tk.type("Text_NP", points);
        tk.select("Option_N0012");
        form.Option_N0012_Click();
    }
    void chooseMethod(const std::string& option) { tk.select(option); }
    void press() { form.Command_Calculate_Click(); }

    std::string report() const { return readFile(c.WorkDir / kReportFile); }
    std::string columns() const { return readFile(c.WorkDir / kColumnFile); }
};

}  // namespace tavrix::testing

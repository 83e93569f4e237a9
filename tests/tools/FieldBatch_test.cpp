// tavrixs-batch with --field, --field-box and --field-png: the flow round the
// section after a press.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sys/wait.h>
#include <sstream>
#include <string>
#include <vector>

#include "support/Batch.h"

namespace tavrix {
namespace {

using testing::batch;
using testing::readFile;
using testing::TempDir;

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> f;
    for (std::size_t start = 0, comma = 0; comma != std::string::npos; start = comma + 1) {
        comma = line.find(',', start);
        f.push_back(line.substr(start, comma - start));
    }
    return f;
}

TEST(FieldBatch, writesTheGridAfterThePressAndLeavesThePressAsItWas)
{
    TempDir plain, withField;
    const std::vector<std::string> press = {"--points", "61", "--alpha", "4", "--method", "vortex"};
    std::vector<std::string> args = press;
    const std::string csv = (withField.path() / "f.csv").string();
    args.insert(args.end(), {"--field", csv, "--field-box", "-1:2:-1:1:31:21"});
    const testing::BatchResult a = batch(press, plain), b = batch(args, withField);
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    // The press's lines and files are those of a run without the field.
    EXPECT_EQ(b.out.substr(0, a.out.size()), a.out);
    EXPECT_EQ(readFile(plain.path() / "TavrixS.xls"), readFile(withField.path() / "TavrixS.xls"));
    EXPECT_NE(b.out.find("note: The field is the incompressible potential flow"), std::string::npos);

    std::istringstream in(readFile(csv));
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line, "x,y,u,v,Cp");
    int rows = 0, inside = 0;
    while (std::getline(in, line)) {
        ++rows;
        EXPECT_EQ(line.find("nan"), std::string::npos);
        const std::vector<std::string> f = fields(line);
        ASSERT_EQ(f.size(), 5u) << line;
        const double x = std::stod(f[0]), y = std::stod(f[1]);
        if (f[2].empty()) {
            // Only nodes on or inside the section are left empty.
            ++inside;
            EXPECT_TRUE(f[3].empty() && f[4].empty());
            EXPECT_TRUE(x >= 0 && x <= 1 && std::fabs(y) < 0.07) << line;
            continue;
        }
        const double u = std::stod(f[2]), v = std::stod(f[3]), cp = std::stod(f[4]);
        EXPECT_DOUBLE_EQ(cp, 1 - (u * u + v * v));
        // The corners are a chord from the section: near the free stream.
        if (std::fabs(x - 0.5) > 1.4 && std::fabs(y) > 0.9) {
            EXPECT_NEAR(u, std::cos(4 * M_PI / 180), 0.06) << line;
            EXPECT_NEAR(v, std::sin(4 * M_PI / 180), 0.06) << line;
        }
    }
    EXPECT_EQ(rows, 31 * 21);
    EXPECT_GT(inside, 0);
    EXPECT_NE(b.out.find("field: 651 nodes, " + std::to_string(inside) + " inside the section"),
              std::string::npos);
}

TEST(FieldBatch, refusesWhatItCannotDo)
{
    TempDir dir;
    const std::string f = (dir.path() / "f.csv").string();
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--sweep", "0:4:2", "--field", f},
             {"--field", f, "--field-box", "0:1:0:1:10"},
             {"--field", f, "--field-box", "1:0:0:1:10:10"},
             {"--field", f, "--field-box", "0:1:0:1:1:10"},
             {"--field", f, "--field-box", "0:1:0:1:10.5:10"},
             {"--field-box", "0:1:0:1:10:10"},
             {"--field-png", (dir.path() / "f.jpg").string()}}) {
        const testing::BatchResult r = batch(args, dir);
        EXPECT_EQ(r.status, 2) << args.front() << " " << args.back();
        EXPECT_FALSE(std::filesystem::exists(f));
    }
    // A refused press writes no field.
    const testing::BatchResult r = batch({"--mach", "1.2", "--field", f}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(f));
}

#if TAVRIX_BATCH_PICTURES
TEST(FieldBatch, drawsThePicture)
{
    // The program beside the tests, in a process of its own: its picture
    // module brings the window toolkit's fonts, which live until it ends.
    TempDir dir;
    const std::filesystem::path program =
        std::filesystem::read_symlink("/proc/self/exe").parent_path() / "tavrixs-batch";
    const std::string command =
        "cd '" + dir.path().string() + "' && ASAN_OPTIONS=detect_leaks=0 '" + program.string() +
        "' --naca 2412 --points 81 --alpha 5 --field-png field.png > output.txt 2>&1";
    const int wait = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(wait));
    EXPECT_EQ(WEXITSTATUS(wait), 0) << readFile(dir.path() / "output.txt");
    EXPECT_EQ(readFile(dir.path() / "field.png").rfind("\x89PNG\r\n\x1a\n", 0), 0u);
}
#endif

}  // namespace
}  // namespace tavrix

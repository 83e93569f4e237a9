#include <gtest/gtest.h>

#include <string>

#include "output/ResultFiles.h"
#include "tests/solvers/SolverTestSupport.h"

namespace tavrix {
namespace {

struct SolverReports : ::testing::Test {
    SolverReports() { common.WorkDir = dir.path(); }
    std::string report() const { return testing::readFile(dir.path() / kReportFile); }

    testing::ScratchDir dir;
    Common common;
    ui::HeadlessToolkit ui;
};

TEST_F(SolverReports, coefficientMatricesAreWrittenRowByRowAndEachCallAppends)
{
    common.AN.redim(3);
    common.AN(1, 1) = 0.5;
    common.AN(1, 2) = 1.25;
    common.AN(1, 3) = 0.502;
    common.AN(2, 1) = 0.12346;
    common.AN(2, 2) = 0;
    common.AN(2, 3) = -2;
    common.AN(3, 3) = 99;  // outside the system of two unknowns
    common.AT.redim(3);    // dimensioned, never filled
    WriteCoeffMatrix(common, ui, 2);
    const std::string expected =
        "\r\n"
        " Matrix for induced normal velocities\r\n"
        "\r\n"
        "  0.50    1.250    0.5020  \r\n"
        "  0.1235    0.0    -2.0  \r\n"
        "\r\n"
        " Matrix for induced tangential velocities\r\n"
        "\r\n"
        "  0.0    0.0    0.0  \r\n"
        "  0.0    0.0    0.0  \r\n";
    EXPECT_EQ(report(), expected);

    // Each call appends its section, in the decimal separator in force.
    common.AN.redim(2);
    common.AN(1, 1) = 123.45678;
    common.AN(1, 2) = -0.00001;
    common.DecimalSeparator = ',';
    WriteCoeffMatrix(common, ui, 1);
    WriteCoeffMatrix(common, ui, 1);
    const std::string section =
        "\r\n Matrix for induced normal velocities\r\n\r\n"
        "  123,4568    -0,0  \r\n"
        "\r\n Matrix for induced tangential velocities\r\n\r\n"
        "  0,0    0,0  \r\n";
    EXPECT_EQ(report(), expected + section + section);
}

TEST_F(SolverReports, singularitiesListOneRowPerEndPoint)
{
    common.NP = 3;
    common.Strength[1] = 0.5;
    common.Strength[2] = 1.25;
    common.Strength[3] = -0.123456;
    common.Strength[4] = 7;  // a fourth unknown is not listed
    WriteSingularities(common, ui);
    EXPECT_EQ(report(),
              "\r\nSingularity Strengths\r\n\r\n"
              "1  0.50\r\n"
              "2  1.250\r\n"
              "3  -0.12346\r\n");
}

}  // namespace
}  // namespace tavrix

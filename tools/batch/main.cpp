#include <iostream>
#include <string>
#include <vector>

#include "tools/batch/BatchRun.h"

int main(int argc, char* argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return tavrix::runBatch(args, std::cout, std::cerr);
}

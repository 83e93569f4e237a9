#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "tools/batch/BatchRun.h"

int main(int argc, char* argv[])
{
    // A file-size limit (ulimit -f) then fails the write, which is reported
    // and gives exit status 3, instead of killing the run.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    return tavrix::runBatch(args, std::cout, std::cerr);
}

// Test support: one run of the batch front end in a temporary working
// directory, with what it printed and its exit status.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "support/Session.h"
#include "tools/batch/BatchRun.h"

namespace tavrix::testing {

struct BatchResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline BatchResult batch(std::vector<std::string> args, const TempDir& dir)
{
    args.push_back("--dir=" + dir.path().string());
    std::ostringstream out, err;
    BatchResult r;
    r.status = runBatch(args, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

}  // namespace tavrix::testing

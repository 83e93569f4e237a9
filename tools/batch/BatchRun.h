// The headless front end: one start-up, one airfoil source selected as a
// person selects it, one press of "Calculate velocities and show".
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tavrix {

// Runs the command line (without the program name). Returns the exit status:
// 0 the press completed, 1 a message refused the source or the press, or a
// zero pivot ended it, 2 the command line was not understood.
int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tavrix

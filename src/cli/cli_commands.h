// varnex-cli: the dialog's commands driven from the command line, for batch work.
#pragma once

#include <ostream>

namespace varnex {

// Exit status: 0 done, 1 an input was refused, 2 the command line is wrong.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace varnex

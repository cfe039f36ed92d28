// varnex-cli run in this process, its streams caught: the command line library as the tests
// drive it.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"

namespace varnex {

struct CLI_RUN {
    int status;
    std::string out, err;
};

inline CLI_RUN RunInProcess(std::vector<std::string> args) {
    args.insert(args.begin(), "varnex-cli");
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err, OriginalTexts(),
                        {"fr", "en"});
    return {status, out.str(), err.str()};
}

}  // namespace varnex

#include <iostream>

#include "cli/cli_commands.h"

#ifdef _WIN32
#include <ostream>
#include <string>
#include <vector>

#include "cli/console_output.h"

int main() {
    // The narrow argv of the C runtime is in the ANSI code page: the wide command line instead.
    std::vector<std::string> arguments = Utf8Arguments();
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    CConsoleOutput outBuffer(stdout);
    CConsoleOutput errBuffer(stderr);
    std::ostream out(&outBuffer);
    std::ostream err(&errBuffer);
    int status = varnex::RunCli(static_cast<int>(arguments.size()), argv.data(), out, err);
    out.flush();
    err.flush();
    return status;
}
#else
int main(int argc, char** argv) { return varnex::RunCli(argc, argv, std::cout, std::cerr); }
#endif

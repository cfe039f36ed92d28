#include <iostream>

#include "cli/cli_commands.h"

int main(int argc, char** argv) { return varnex::RunCli(argc, argv, std::cout, std::cerr); }

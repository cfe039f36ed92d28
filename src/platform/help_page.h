// Where the help page is found, whether Varnex runs from its build folder, from an unpacked zip
// or installed by a package and started from a desktop menu.
#pragma once

#include <string>

// The full path of the file called name in the first of: the current folder, the program's
// folder, the installed share folder beside the program's (<prefix>/share/varnex for
// <prefix>/bin). Empty when none of them holds a regular file of that name; a folder that cannot
// be read counts as not holding it.
std::string FindHelpPage(const std::string& name, const std::string& programPath);

// The full path of the running program in UTF-8; empty when the system does not tell it.
std::string RunningProgramPath();

// The system's own words for an error number (an errno value) in a language, for the reasons
// Varnex has no words of its own for.
#pragma once

#include <string>

// On Linux the C library's text read through a locale of that language (fr_FR.UTF-8 for "fr"),
// English when the machine lacks it, never the process's locale. On Windows, whose C runtime
// speaks English only, the system's message table in that language for the error Windows gives
// in that case; empty when there is none, or when the table has only English for another language.
std::string SystemMessage(int errorNumber, const std::string& language);

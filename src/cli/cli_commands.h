// varnex-cli: the dialog's commands driven from the command line, for batch work.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/text_catalog.h"

namespace varnex {

// Exit status: 0 done, 1 an input was refused, 2 the command line is wrong. Speaks the language
// of texts; --lang, which chose it, must name one of languages.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           const CTextCatalog& texts, const std::vector<std::string>& languages);

}  // namespace varnex

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "i18n/language_choice.h"
#include "i18n/wx_text_catalog.h"

#ifdef _WIN32
#include <ostream>

#include "cli/console_output.h"
#endif

namespace {
// The language from --lang, VARNEX_LANG or the user's settings, then the command.
int RunInTheUsersLanguage(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    using namespace varnex;
    CWxTextCatalog texts(CatalogFolders(ProgramFolder()));
    std::vector<std::string> languages = texts.Languages();
    // An unreadable catalog leaves the originals: the command still runs.
    texts.SetLanguage(ChooseLanguage(LanguageOption(argc, argv), VarnexLangVariable(),
                                     UserLanguageSettings(), languages));
    return RunCli(argc, argv, out, err, texts, languages);
}
}  // namespace

#ifdef _WIN32
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
    int status = RunInTheUsersLanguage(static_cast<int>(arguments.size()), argv.data(), out, err);
    out.flush();
    err.flush();
    return status;
}
#else
int main(int argc, char** argv) { return RunInTheUsersLanguage(argc, argv, std::cout, std::cerr); }
#endif

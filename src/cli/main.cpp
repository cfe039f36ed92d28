#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "i18n/catalog_folders.h"
#include "i18n/language_choice.h"

#ifdef _WIN32
#include <ostream>

#include "cli/console_output.h"
#include "i18n/wx_text_catalog.h"
#else
#include "i18n/gettext_text_catalog.h"
#endif

namespace {
#ifdef _WIN32
using CCliTextCatalog = varnex::CWxTextCatalog;
#else
// The C library reads the catalogs itself: no library to load and relocate at every start.
using CCliTextCatalog = varnex::CGettextTextCatalog;
#endif

// The language from --lang, VARNEX_LANG or the user's settings, then the command.
int RunInTheUsersLanguage(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    using namespace varnex;
    std::vector<std::string> folders = CatalogFolders(ProgramFolder());
    std::optional<std::string> option = LanguageOption(argc, argv);
    // Only a --lang needs the list of languages (RunCli checks it against them); otherwise a
    // catalog is looked for only when a setting names its language, and French looks for none.
    std::vector<std::string> languages;
    if (option) languages = AvailableLanguages(folders);
    std::string language =
        ChooseLanguage(option, VarnexLangVariable(), UserLanguageSettings(),
                       [&folders](const std::string& code) { return IsAvailable(folders, code); });
    CCliTextCatalog texts(folders);
    // An unreadable catalog leaves the originals: the command still runs.
    texts.SetLanguage(language);
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

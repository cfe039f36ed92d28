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

// The language from --lang, VARNEX_LANG or the user's settings, then the command. French, the
// usual choice, looks at no catalog: the catalogs' folders are found only when a setting names
// another language, and listed only for a --lang to check (RunCli checks it against them).
int RunInTheUsersLanguage(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    using namespace varnex;
    std::optional<std::vector<std::string>> folders;
    auto catalogFolders = [&folders]() -> const std::vector<std::string>& {
        if (!folders) folders = CatalogFolders(ProgramFolder());
        return *folders;
    };
    std::optional<std::string> option = LanguageOption(argc, argv);
    std::vector<std::string> languages;
    if (option) languages = AvailableLanguages(catalogFolders());
    std::string language = ChooseLanguage(
        option, VarnexLangVariable(), UserLanguageSettings(), [&](const std::string& code) {
            return code == ORIGINAL_LANGUAGE || !CatalogFolder(catalogFolders(), code).empty();
        });
    if (language == ORIGINAL_LANGUAGE) {
        return RunCli(argc, argv, out, err, OriginalTexts(), languages);
    }
    CCliTextCatalog texts(catalogFolders());
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

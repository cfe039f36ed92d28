#include <iostream>

#include "cli/cli_commands.h"
#include "i18n/language_choice.h"
#include "i18n/wx_text_catalog.h"

int main(int argc, char** argv) {
    using namespace varnex;
    CWxTextCatalog texts(CatalogFolders(ProgramFolder()));
    std::vector<std::string> languages = texts.Languages();
    // An unreadable catalog leaves the originals: the command still runs.
    texts.SetLanguage(ChooseLanguage(LanguageOption(argc, argv), VarnexLangVariable(),
                                     UserLanguageSettings(), languages));
    return RunCli(argc, argv, std::cout, std::cerr, texts, languages);
}

#include "gui/varnex_app.h"

#include <utility>
#include <vector>

#include "gui/varnex_window.h"
#include "i18n/language_choice.h"

namespace varnex {

bool CVarnexApp::OnInit() {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(argv[i].utf8_string());
    std::vector<const char*> pointers;
    for (const std::string& arg : args) pointers.push_back(arg.c_str());
    CWxTextCatalog catalogs(CatalogFolders(ProgramFolder()));
    m_choices = CRememberedChoices(OpenUserSettings());
    m_language = ChooseLanguage(LanguageOption(static_cast<int>(pointers.size()), pointers.data()),
                                VarnexLangVariable(), m_choices.Language(), UserLanguageSettings(),
                                catalogs.Languages());
    return true;
}

int CVarnexApp::OnRun() {
    CVarnexWindow window(nullptr, std::move(m_choices));
    window.SetLanguage(m_language);
    SetTopWindow(&window);
    // Shown without a modal run: under GTK a modal window would keep the preview window, opened
    // beside it, from taking clicks. Ending the dialog hides it, which ends the program.
    window.Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
        event.Skip();
        if (!event.IsShown()) ExitMainLoop();
    });
    window.Show();
    return wxApp::OnRun();
}

}  // namespace varnex

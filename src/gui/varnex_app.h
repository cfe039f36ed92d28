// The application: shows the main window and ends when it ends.
#pragma once

#include <wx/app.h>

#include <string>

#include "gui/remembered_choices.h"

namespace varnex {

class CVarnexApp : public wxApp {
public:
    // Chooses the window's language (--lang, VARNEX_LANG, the one remembered, the system's); of
    // the command line only --lang fr|en is read.
    bool OnInit() override;
    // The main window's run is the whole program.
    int OnRun() override;

private:
    std::string m_language;
    CRememberedChoices m_choices;  // the window's, once it runs
};

wxDECLARE_APP(CVarnexApp);

}  // namespace varnex

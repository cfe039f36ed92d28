// The application: shows the main window and ends when it ends.
#pragma once

#include <wx/app.h>

namespace varnex {

class CVarnexApp : public wxApp {
public:
    // Nothing to set up; no command line is read.
    bool OnInit() override;
    // The main window's run is the whole program.
    int OnRun() override;
};

wxDECLARE_APP(CVarnexApp);

}  // namespace varnex

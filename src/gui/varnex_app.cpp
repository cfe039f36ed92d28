#include "gui/varnex_app.h"

#include "gui/varnex_window.h"

namespace varnex {

bool CVarnexApp::OnInit() { return true; }

int CVarnexApp::OnRun() {
    CVarnexWindow window;
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

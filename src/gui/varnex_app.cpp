#include "gui/varnex_app.h"

#include "gui/varnex_window.h"

namespace varnex {

bool CVarnexApp::OnInit() { return true; }

int CVarnexApp::OnRun() {
    CVarnexWindow window;
    SetTopWindow(&window);
    window.ShowModal();
    return 0;
}

}  // namespace varnex

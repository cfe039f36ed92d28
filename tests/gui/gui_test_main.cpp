// The window's tests run inside a wx application that is started but runs no main loop: each test
// creates its windows, drives them by events and lets pending work run with Yield.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

class CTestApp : public wxApp {
public:
    // The screenshot is written as PNG.
    bool OnInit() override {
        wxInitAllImageHandlers();
        return true;
    }
};

wxIMPLEMENT_APP_NO_MAIN(CTestApp);

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!wxEntryStart(argc, argv)) {
        fprintf(stderr, "varnex_gui_tests: no X display (run under xvfb-run)\n");
        return 1;
    }
    if (!wxTheApp->CallOnInit()) return 1;
    int status = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return status;
}

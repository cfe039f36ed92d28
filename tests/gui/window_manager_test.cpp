// The window and its preview under a window manager (openbox), as a user sees them: which window
// covers which, and where they stand, are read from the X server. The other tests run without a
// window manager, where nothing would keep one window above another.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/process.h>
#include <wx/utils.h>

#include <filesystem>

#include "gui/preview_window.h"
#include "gui/window_layout.h"
#include "gui/wx_text.h"
#include "scripted_window.h"
#include "test_support.h"
#include "x_screen.h"

namespace varnex {

namespace fs = std::filesystem;

namespace {
// A window manager answers from another process: its work is waited for, a bounded while.
bool WaitFor(const std::function<bool()>& done) {
    for (int round = 0; round < 300; ++round) {
        wxTheApp->Yield(true);
        if (done()) return true;
        wxMilliSleep(10);
    }
    return done();
}

std::string Describe(const wxRect& r) {
    return std::to_string(r.width) + "x" + std::to_string(r.height) + "+" + std::to_string(r.x) +
           "+" + std::to_string(r.y);
}
}  // namespace

class WindowManager : public testing::Test {
protected:
    static void SetUpTestSuite() {
        CXScreen x;
        if (x.HasWindowManager()) return;
        s_openbox = wxExecute("openbox --sm-disable", wxEXEC_ASYNC);
        if (s_openbox > 0) WaitFor([&x] { return x.HasWindowManager(); });
    }
    static void TearDownTestSuite() {
        if (s_openbox > 0) wxProcess::Kill(static_cast<int>(s_openbox), wxSIGTERM);
        s_openbox = 0;
    }
    void SetUp() override {
        if (!m_x.HasWindowManager()) {
            GTEST_SKIP() << "no window manager could be started (is openbox installed?): the "
                            "windows' stacking is not tested";
        }
    }

    // Once the window manager has framed it and the program has heard where.
    void Settle(wxTopLevelWindow& window) {
        std::string title = FromWx(window.GetTitle());
        ASSERT_TRUE(WaitFor([&] { return m_x.FrameOf(title) != 0; })) << title << " never mapped";
        WaitFor([&] {
            return m_x.ClientRect(title).GetPosition() == window.ClientToScreen(wxPoint(0, 0));
        });
    }

    // Both panels and the Lecture button lie on the screen, under no other window, and the
    // preview's frame stands clear of the main window's where the screen has room for both.
    void ExpectPreviewInSight(CVarnexWindow& window) {
        CPreviewWindow* preview = window.Preview();
        ASSERT_NE(preview, nullptr);
        Settle(*preview);
        std::string title = FromWx(preview->GetTitle());
        unsigned long frame = m_x.FrameOf(title);
        wxRect client = m_x.ClientRect(title);
        wxRect screen = m_x.RootRect();
        for (wxWindow* part : {static_cast<wxWindow*>(preview->Canvas()),
                               static_cast<wxWindow*>(preview->PlayButton())}) {
            wxRect seen(client.GetPosition() + preview->ScreenToClient(part->GetScreenPosition()),
                        part->GetSize());
            EXPECT_TRUE(client.Contains(seen)) << Describe(seen) << " in " << Describe(client);
            EXPECT_TRUE(screen.Contains(seen)) << Describe(seen) << " off the screen";
            for (const wxRect& hidden : m_x.Covered(frame, seen)) {
                ADD_FAILURE() << Describe(hidden) << " of " << Describe(seen) << " covered";
            }
        }
        wxRect mainFrame, previewFrame;
        for (const CXScreen::TOP_WINDOW& top : m_x.Stacking()) {
            if (top.id == m_x.FrameOf(FromWx(window.GetTitle()))) mainFrame = top.rect;
            if (top.id == frame) previewFrame = top.rect;
        }
        // On a screen too small for both side by side or one above the other, the preview stands
        // over the main window.
        wxSize least = preview->GetMinClientSize() + previewFrame.GetSize() - client.GetSize();
        if (mainFrame.width + least.x < screen.width || mainFrame.height + least.y < screen.height) {
            EXPECT_FALSE(mainFrame.Intersects(previewFrame))
                << "main " << Describe(mainFrame) << ", preview " << Describe(previewFrame);
        }
        if (mainFrame.width <= screen.width && mainFrame.height <= screen.height) {
            EXPECT_TRUE(screen.Contains(mainFrame)) << "main " << Describe(mainFrame);
        }
    }

    // The main window's and the preview's frames, as the screen shows them.
    void SavePicture(CVarnexWindow& window, const std::string& png) {
        wxRect both;
        unsigned long main = m_x.FrameOf(FromWx(window.GetTitle()));
        unsigned long preview = m_x.FrameOf(FromWx(window.Preview()->GetTitle()));
        for (const CXScreen::TOP_WINDOW& top : m_x.Stacking()) {
            if (top.id == main || top.id == preview) both.Union(top.rect);
        }
        both.Intersect(m_x.RootRect());
        EXPECT_TRUE(m_x.Grab(both).SaveFile(wxString(png), wxBITMAP_TYPE_PNG)) << png;
    }

    CXScreen m_x;
    static long s_openbox;
};

long WindowManager::s_openbox = 0;

// Opened beside the window, then after a 72-node model widens the window, after another program's
// window covered it and Alt+P was pressed again, and after the main window was moved over it.
TEST_F(WindowManager, PreviewStaysInSightBesideTheWindow) {
    CTempDir folder;
    CopySamples(folder.Root());
    WriteFile(folder.Path("biped72_ref.smd"), Biped72(folder.Path("knight_ref.smd")));
    CScriptedWindow window;
    window.Centre();
    ShowAndDraw(window);
    Settle(window);
    LoadThreeSamples(window, folder.Root());
    ASSERT_TRUE(window.messages.empty()) << window.messages.front();

    window.PressAltP();
    {
        SCOPED_TRACE("after Alt+P");
        ExpectPreviewInSight(window);
    }
    SavePicture(window, "varnex-workbench.png");

    window.Answer(folder.Path("biped72_ref.smd"));
    window.Press(IDC_REF_MODEL);
    window.Answer(folder.Path("runner_ref.smd"));
    window.Press(IDC_REF_ANIM);
    ASSERT_EQ(window.ShownRows(), 72);
    Settle(window);
    {
        SCOPED_TRACE("after the window widened");
        ExpectPreviewInSight(window);
    }
    SavePicture(window, "varnex-workbench-72.png");

    unsigned long previewFrame = m_x.FrameOf(FromWx(window.Preview()->GetTitle()));
    wxRect previewRect = window.Preview()->GetScreenRect();
    unsigned long other = m_x.OpenWindow(previewRect);
    ASSERT_TRUE(WaitFor([&] { return !m_x.Covered(previewFrame, previewRect).empty(); }))
        << "another program's window should cover the preview";
    window.PressAltP();
    WaitFor([&] { return m_x.Covered(previewFrame, previewRect).empty(); });
    {
        SCOPED_TRACE("after Alt+P again");
        ExpectPreviewInSight(window);
    }
    m_x.CloseWindow(other);

    // The main window dragged over the preview stays under it; Alt+P puts the preview beside it.
    window.Move(previewRect.GetPosition() - wxPoint(40, 0));
    ASSERT_TRUE(WaitFor([&] {
        return window.GetScreenRect().Intersects(window.Preview()->GetScreenRect());
    }));
    Settle(window);
    EXPECT_TRUE(m_x.Covered(previewFrame, window.Preview()->GetScreenRect()).empty())
        << "the main window covers the preview";
    window.PressAltP();
    {
        SCOPED_TRACE("after the main window was moved over it and Alt+P was pressed");
        ExpectPreviewInSight(window);
    }
    window.Preview()->Destroy();
}


// Neither maximised nor shrunk by the window manager: the layout has one size, at 60 rows and
// with the extra column alike.
TEST_F(WindowManager, MainWindowKeepsTheSizeOfItsLayout) {
    CTempDir folder;
    fs::copy_file(SamplePath("knight_ref.smd"), folder.Root() / "knight_ref.smd");
    WriteFile(folder.Path("biped72_ref.smd"), Biped72(folder.Path("knight_ref.smd")));
    CShownWindow window;
    Settle(window);
    std::string title = FromWx(window.GetTitle());
    for (const char* model : {"knight_ref.smd", "biped72_ref.smd"}) {
        SCOPED_TRACE(model);
        window.Answer(folder.Path(model));
        window.Press(IDC_REF_MODEL);
        window.Answer(folder.Path(model));
        window.Press(IDC_REF_ANIM);
        ASSERT_TRUE(window.messages.empty()) << window.messages.front();
        wxSize laidOut = window.GetClientSize();
        ASSERT_TRUE(WaitFor([&] { return m_x.ClientRect(title).GetSize() == laidOut; }))
            << Describe(m_x.ClientRect(title));
        EXPECT_EQ(m_x.MinSize(title), laidOut);
        EXPECT_EQ(m_x.MaxSize(title), laidOut);
        window.Maximize();
        WaitFor([&] { return m_x.ClientRect(title).GetSize() != laidOut; });
        EXPECT_EQ(m_x.ClientRect(title).GetSize(), laidOut) << "maximised";
    }
}

}  // namespace varnex

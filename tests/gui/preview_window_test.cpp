// The preview window opened as the user opens it, on the samples: both figures drawn, the slider
// moving the frame, a grid value left after typing redrawing the result alone.
#include <gtest/gtest.h>
#include <wx/image.h>

#include <filesystem>

#include "gui/preview_window.h"
#include "gui/window_layout.h"
#include "gui/wx_text.h"
#include "preview/svg_preview.h"
#include "scripted_window.h"
#include "test_support.h"

namespace varnex {

namespace {
// Pixels of colour in the columns [from, to) of image.
int CountColour(const wxImage& image, int from, int to, const char* colour) {
    wxColour c(colour);
    int count = 0;
    for (int y = 0; y < image.GetHeight(); ++y) {
        for (int x = from; x < to; ++x) {
            count += image.GetRed(x, y) == c.Red() && image.GetGreen(x, y) == c.Green() &&
                     image.GetBlue(x, y) == c.Blue();
        }
    }
    return count;
}

bool SameColumns(const wxImage& a, const wxImage& b, int from, int to) {
    for (int y = 0; y < a.GetHeight(); ++y) {
        for (int x = from; x < to; ++x) {
            if (a.GetRed(x, y) != b.GetRed(x, y) || a.GetGreen(x, y) != b.GetGreen(x, y) ||
                a.GetBlue(x, y) != b.GetBlue(x, y)) {
                return false;
            }
        }
    }
    return true;
}
}  // namespace

TEST(PreviewWindow, DrawsBothFiguresFollowsTheSliderAndRedrawsTheResultWhenTheGridChanges) {
    CTempDir folder;
    for (const char* name : {"knight_ref.smd", "runner_ref.smd", "runner_walk.smd"}) {
        std::filesystem::copy_file(SamplePath(name), folder.Root() / name);
    }
    CScriptedWindow window;
    ShowAndDraw(window);
    window.Answer(folder.Path("knight_ref.smd"));
    window.Press(IDC_REF_MODEL);
    window.Answer(folder.Path("runner_ref.smd"));
    window.Press(IDC_REF_ANIM);
    window.Answer(folder.Path("runner_walk.smd"));
    window.Press(IDC_ANIM);

    wxKeyEvent altP(wxEVT_CHAR_HOOK);
    altP.m_keyCode = 'P';
    altP.m_altDown = true;
    altP.SetEventObject(&window);
    window.ProcessWindowEvent(altP);
    CPreviewWindow* preview = window.Preview();
    ASSERT_NE(preview, nullptr);
    ShowAndDraw(*preview);
    EXPECT_EQ(FromWx(preview->StatusLine()->GetLabelText()), "frame 0 / 29");

    const wxSize size(600, 360);
    const int half = size.GetWidth() / 2;
    wxImage first = preview->Canvas()->Render(size).ConvertToImage();
    for (const char* colour : {PREVIEW_LEFT_COLOUR, PREVIEW_RIGHT_COLOUR, PREVIEW_MIDDLE_COLOUR}) {
        EXPECT_GT(CountColour(first, 0, half, colour), 50) << "source: " << colour;
        EXPECT_GT(CountColour(first, half, size.GetWidth(), colour), 50) << "result: " << colour;
    }

    wxSlider* slider = preview->Slider();
    slider->SetValue(10);
    wxCommandEvent moved(wxEVT_SLIDER, slider->GetId());
    moved.SetInt(10);
    moved.SetEventObject(slider);
    slider->ProcessWindowEvent(moved);
    EXPECT_EQ(preview->Frame(), 10);
    EXPECT_EQ(FromWx(preview->StatusLine()->GetLabelText()), "frame 10 / 29");
    wxImage tenth = preview->Canvas()->Render(size).ConvertToImage();
    EXPECT_FALSE(SameColumns(first, tenth, 0, half));
    EXPECT_FALSE(SameColumns(first, tenth, half, size.GetWidth()));

    // Row 3 (the left thigh) left unpaired: the model's thigh keeps its rest line, and the
    // source's thigh, which drives no row any more, turns grey.
    wxTextCtrl* box = window.NodeEdit(3);
    CScriptedWindow::Type(box, "0");
    wxFocusEvent left(wxEVT_KILL_FOCUS, box->GetId());
    left.SetEventObject(box);
    box->ProcessWindowEvent(left);
    wxImage edited = preview->Canvas()->Render(size).ConvertToImage();
    EXPECT_FALSE(SameColumns(tenth, edited, half, size.GetWidth())) << "the result follows";
    EXPECT_EQ(CountColour(edited, 0, half, PREVIEW_RIGHT_COLOUR),
              CountColour(tenth, 0, half, PREVIEW_RIGHT_COLOUR)) << "the source moves as before";
    EXPECT_GT(CountColour(edited, 0, half, PREVIEW_UNPAIRED_COLOUR),
              CountColour(tenth, 0, half, PREVIEW_UNPAIRED_COLOUR) + 10);
    EXPECT_EQ(window.Dialog().Grid().Nodes()[3], "2") << "the dialog's grid is not taken";

    preview->SetPlaying(true);
    EXPECT_TRUE(preview->Playing());
    preview->SetPlaying(false);
    ShowAndDraw(*preview);
    EXPECT_TRUE(SaveScreenshot(*preview, "varnex-preview.png"));
    preview->Destroy();
}

}  // namespace varnex

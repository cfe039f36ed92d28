// The preview window opened as the user opens it, on the samples: both figures drawn, the slider
// moving the frame, a grid value left after typing redrawing the result alone.
#include <gtest/gtest.h>
#include <wx/image.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <numbers>

#include "gui/preview_window.h"
#include "gui/varnex_window.h"
#include "gui/window_layout.h"
#include "gui/wx_text.h"
#include "preview/svg_preview.h"
#include "sample_skeletons.h"
#include "scripted_window.h"
#include "session/retarget_session.h"
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

// The commonest length of the runs of pixels of colour along the rows of image above bottom: the
// width of a line that stands more upright than not.
int CommonestRun(const wxImage& image, const char* colour, int bottom) {
    wxColour c(colour);
    std::map<int, int> runs;
    for (int y = 0; y < bottom; ++y) {
        int run = 0;
        for (int x = 0; x <= image.GetWidth(); ++x) {
            bool same = x < image.GetWidth() && image.GetRed(x, y) == c.Red() &&
                        image.GetGreen(x, y) == c.Green() && image.GetBlue(x, y) == c.Blue();
            if (same) {
                ++run;
            } else if (run > 0) {
                ++runs[run];
                run = 0;
            }
        }
    }
    auto commonest = std::max_element(runs.begin(), runs.end(),
                                       [](auto& a, auto& b) { return a.second < b.second; });
    return commonest == runs.end() ? 0 : commonest->first;
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

// The samples loaded into the shown window, then Alt+P; the preview closed at the end.
class CPreviewFixture : public ::testing::Test {
protected:
    void SetUp() override {
        CopySamples(folder.Root());
        LoadThreeSamples(window, folder.Root());
        window.PressAltP();
        preview = window.Preview();
        ASSERT_NE(preview, nullptr);
        ShowAndDraw(*preview);
    }
    void TearDown() override {
        if (preview != nullptr) preview->Destroy();
    }
    CTempDir folder;
    CShownWindow window;
    CPreviewWindow* preview = nullptr;
};
using PreviewWindow = CPreviewFixture;
using PreviewView = CPreviewFixture;
using PreviewFollows = CPreviewFixture;

void SendMouse(wxWindow& canvas, wxEventType type, wxPoint at, bool right, bool shift = false) {
    wxMouseEvent event(type);
    event.m_x = at.x;
    event.m_y = at.y;
    event.m_leftDown = !right && type != wxEVT_LEFT_UP;
    event.m_rightDown = right && type != wxEVT_RIGHT_UP;
    event.m_shiftDown = shift;
    event.SetEventObject(&canvas);
    canvas.ProcessWindowEvent(event);
}

std::vector<SCENE_BONE> BonesOf(CPreviewCanvas& canvas) {
    canvas.Render(canvas.GetClientSize());
    return canvas.LastDrawing().bones;
}

long UnpairedBones(CPreviewCanvas& canvas) {
    return std::ranges::count(BonesOf(canvas), BONE_COLOUR::UNPAIRED, &SCENE_BONE::colour);
}

// The walk cut to its first frame, or with frame 5's first bone line made unreadable.
std::string CutWalk(bool spoiled) {
    std::string walk = ReadFile(SamplePath("runner_walk.smd"));
    if (!spoiled) return walk.substr(0, walk.find("time 1\r\n")) + "end\r\n";
    std::size_t line = walk.find("\r\n", walk.find("time 5\r\n")) + 2;
    return walk.replace(line, walk.find("\r\n", line) - line, "  0 one two three 0 0 0");
}

void LeaveBox(wxTextCtrl* box) {
    wxFocusEvent left(wxEVT_KILL_FOCUS, box->GetId());
    left.SetEventObject(box);
    box->ProcessWindowEvent(left);
}


std::string StatusOf(const CPreviewWindow& preview) {
    return FromWx(preview.StatusLine()->GetLabelText());
}

// The status line's frame, without the warnings after it.
std::string FrameOf(const CPreviewWindow& preview) {
    std::string status = StatusOf(preview);
    return status.substr(0, status.find(" ; "));
}
}  // namespace

TEST_F(PreviewWindow, DrawsBothFiguresFollowsTheSliderAndRedrawsTheResultWhenTheGridChanges) {
    EXPECT_EQ(FrameOf(*preview), "frame 0 / 29");
    // The knight's thighs hang from the spine, the runner's from the pelvis: measured over every
    // frame, not only the reference's first as the pairing does.
    const std::string thighs = " ; avertissement : chaînes qui s'écartent de plus de 20° de celles de la source : ligne 3 Bip01 L Thigh (30.8° à la frame 8), ligne 7 Bip01 R Thigh (30.8° à la frame 23) ; ces lignes suivent les rotations de la source : essayez « Orientations du monde » dans le menu du bouton droit";
    EXPECT_EQ(StatusOf(*preview).substr(12, thighs.size()), thighs) << StatusOf(*preview);

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
    EXPECT_EQ(FrameOf(*preview), "frame 10 / 29");
    wxImage tenth = preview->Canvas()->Render(size).ConvertToImage();
    EXPECT_FALSE(SameColumns(first, tenth, 0, half));
    EXPECT_FALSE(SameColumns(first, tenth, half, size.GetWidth()));

    // Row 3 (the left thigh) left unpaired: the model's thigh keeps its rest line, and the
    // source's thigh, which drives no row any more, turns grey.
    CScriptedWindow::Type(window.NodeEdit(3), "0");
    LeaveBox(window.NodeEdit(3));
    wxImage edited = preview->Canvas()->Render(size).ConvertToImage();
    EXPECT_FALSE(SameColumns(tenth, edited, half, size.GetWidth())) << "the result follows";
    EXPECT_EQ(CountColour(edited, 0, half, PREVIEW_RIGHT_COLOUR),
              CountColour(tenth, 0, half, PREVIEW_RIGHT_COLOUR)) << "the source moves as before";
    EXPECT_GT(CountColour(edited, 0, half, PREVIEW_UNPAIRED_COLOUR),
              CountColour(tenth, 0, half, PREVIEW_UNPAIRED_COLOUR) + 10);
    EXPECT_EQ(window.Dialog().Grid().Nodes()[3], "2") << "the dialog's grid is not taken";
    EXPECT_EQ(StatusOf(*preview).find("ligne 3 "), std::string::npos) << "nor measured";

    preview->SetPlaying(true);
    EXPECT_TRUE(preview->Playing());
    preview->SetPlaying(false);
    ShowAndDraw(*preview);
    EXPECT_TRUE(SaveScreenshot(*preview, "varnex-preview.png"));
}

// The point under the pointer stays there through the wheel's zoom; a drag with the right button,
// or with Shift, moves both figures by the drag; "de face" brings back the first view.
TEST_F(PreviewView, ZoomsAboutThePointerPansByDragAndTheViewButtonsUndoBoth) {
    CPreviewCanvas& canvas = *preview->Canvas();
    const std::vector<SCENE_BONE> first = BonesOf(canvas);
    ASSERT_FALSE(first.empty());
    // The source's head: the highest joint.
    std::size_t head = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (first[i].y2 < first[head].y2 && first[i].x2 < canvas.GetClientSize().x / 2) head = i;
    }
    wxPoint pointer(static_cast<int>(first[head].x2), static_cast<int>(first[head].y2));
    for (int notch = 0; notch < 4; ++notch) {
        wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
        wheel.m_x = pointer.x;
        wheel.m_y = pointer.y;
        wheel.m_wheelRotation = 120;
        wheel.m_wheelDelta = 120;
        canvas.ProcessWindowEvent(wheel);
    }
    std::vector<SCENE_BONE> zoomed = BonesOf(canvas);
    ASSERT_EQ(zoomed.size(), first.size());
    // The pointer stands on a whole pixel, less than one from the head: four notches (1.75 times)
    // take the head less than two from it.
    EXPECT_NEAR(zoomed[head].x2, pointer.x, 2.0);
    EXPECT_NEAR(zoomed[head].y2, pointer.y, 2.0);
    EXPECT_NEAR(std::hypot(zoomed[head].x2 - zoomed[head].x1, zoomed[head].y2 - zoomed[head].y1),
                1.5 * std::hypot(first[head].x2 - first[head].x1, first[head].y2 - first[head].y1),
                0.5 * std::hypot(first[head].x2 - first[head].x1, first[head].y2 - first[head].y1));

    for (bool right : {true, false}) {
        SCOPED_TRACE(right ? "right button" : "Shift");
        std::vector<SCENE_BONE> before = BonesOf(canvas);
        SendMouse(canvas, right ? wxEVT_RIGHT_DOWN : wxEVT_LEFT_DOWN, {100, 100}, right, !right);
        SendMouse(canvas, wxEVT_MOTION, {130, 80}, right, !right);
        SendMouse(canvas, right ? wxEVT_RIGHT_UP : wxEVT_LEFT_UP, {130, 80}, right, !right);
        std::vector<SCENE_BONE> moved = BonesOf(canvas);
        ASSERT_EQ(moved.size(), before.size());
        for (std::size_t i = 0; i < moved.size(); ++i) {
            EXPECT_NEAR(moved[i].x1 - before[i].x1, 30.0, 1e-6);
            EXPECT_NEAR(moved[i].y1 - before[i].y1, -20.0, 1e-6);
        }
    }

    wxCommandEvent click(wxEVT_BUTTON, preview->FrontButton()->GetId());
    click.SetEventObject(preview->FrontButton());
    preview->FrontButton()->ProcessWindowEvent(click);
    std::vector<SCENE_BONE> front = BonesOf(canvas);
    ASSERT_EQ(front.size(), first.size());
    for (std::size_t i = 0; i < front.size(); ++i) {
        EXPECT_DOUBLE_EQ(front[i].x2, first[i].x2);
        EXPECT_DOUBLE_EQ(front[i].y2, first[i].y2);
    }
}

// At 100 % and 200 % the bones are drawn with lines several pixels wide; the legend names each
// colour, in every language, below the figures and inside the smallest canvas.
TEST_F(PreviewView, LinesAndLegendReadableAtEitherScaleAndInEveryLanguage) {
    CPreviewCanvas& canvas = *preview->Canvas();
    for (double scale : {1.0, 2.0}) {
        wxImage image = canvas.Render(canvas.GetClientSize(), scale).ConvertToImage();
        EXPECT_EQ(image.GetWidth(), static_cast<int>(canvas.GetClientSize().x * scale));
        int ground = static_cast<int>(canvas.LastDrawing().groundY * scale);
        EXPECT_GE(CommonestRun(image, PREVIEW_MIDDLE_COLOUR, ground), static_cast<int>(3 * scale))
            << "at scale " << scale;
    }
    for (const std::string& language : window.Languages()) {
        ASSERT_TRUE(window.SetLanguage(language));
        wxSize least = canvas.GetMinSize();
        canvas.Render(least);
        const std::vector<wxRect2DDouble>& entries = canvas.LegendEntries();
        ASSERT_EQ(entries.size(), 5u);
        double ground = canvas.LastDrawing().groundY;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const wxRect2DDouble& r = entries[i];
            EXPECT_TRUE(r.m_x >= 0 && r.GetRight() <= least.x && r.m_y > ground &&
                        r.GetBottom() <= least.y)
                << language << " entry " << i;
            for (std::size_t j = i + 1; j < entries.size(); ++j) {
                EXPECT_FALSE(r.Intersects(entries[j])) << language << " entries " << i << ", " << j;
            }
        }
    }
}

// Frame by frame, the feet the check finds planted in steps on the spot are marked on both
// figures, on the joint that ends a bone of the foot's colour, and no other foot is.
TEST_F(PreviewView, MarksTheFeetTheCheckFindsPlanted) {
    WriteFile(folder.Path("steps.smd"), StepsOnTheSpotSmd());
    window.Answer(folder.Path("steps.smd"));
    window.Press(IDC_ANIM);
    ASSERT_EQ(FrameOf(*preview), "frame 0 / 29");
    CRetargetSession session;
    session.LoadModel(folder.Path("knight_ref.smd"));
    session.LoadReference(folder.Path("runner_ref.smd"));
    std::vector<SESSION_NOTE> notes;
    std::vector<char> planted[2] = {std::vector<char>(30, 0), std::vector<char>(30, 0)};
    for (const FOOT_CONTACT& c : session.Check(folder.Path("steps.smd"), notes).feet.contacts) {
        std::fill_n(planted[c.side == FOOT_SIDE::LEFT ? 0 : 1].begin() + c.first,
                    c.last - c.first + 1, 1);
    }
    // The left foot planted in frames 15 to 29, the right one in 0 to 15.
    EXPECT_EQ(std::ranges::count(planted[0], 1), 15);
    EXPECT_EQ(std::ranges::count(planted[1], 1), 16);
    CPreviewCanvas& canvas = *preview->Canvas();
    const double half = canvas.GetClientSize().x / 2.0;
    for (int frame = 0; frame < 30; ++frame) {
        preview->ShowFrame(frame);
        std::vector<SCENE_BONE> bones = BonesOf(canvas);
        for (int s = 0; s < 2; ++s) {
            BONE_COLOUR colour = s == 0 ? BONE_COLOUR::LEFT : BONE_COLOUR::RIGHT;
            int figures[2] = {0, 0};
            for (const SCENE_MARK& m : canvas.LastDrawing().marks) {
                if (m.colour != colour) continue;
                ++figures[m.x < half ? 0 : 1];
                EXPECT_TRUE(std::ranges::any_of(bones,
                                                [&](const SCENE_BONE& b) {
                                                    return b.colour == colour && b.x2 == m.x &&
                                                           b.y2 == m.y;
                                                }))
                    << "frame " << frame;
            }
            int expected = planted[s][static_cast<std::size_t>(frame)];
            EXPECT_EQ(figures[0], expected) << "source, side " << s << ", frame " << frame;
            EXPECT_EQ(figures[1], expected) << "result, side " << s << ", frame " << frame;
        }
    }
}

// An open preview reads again after each command that changes what it shows, and only then: a
// new animation, a refused one then a good one, a .con file, an option, another model (which
// waits for its reference animation) and a box of its extra rows left after typing.
TEST_F(PreviewFollows, EveryLoadOptionAndEditOfTheMainWindow) {
    CPreviewCanvas& canvas = *preview->Canvas();
    WriteFile(folder.Path("still.smd"), CutWalk(false));
    WriteFile(folder.Path("spoiled.smd"), CutWalk(true));

    window.Answer(folder.Path("still.smd"));
    window.Press(IDC_ANIM);
    EXPECT_EQ(FrameOf(*preview), "frame 0 / 0");
    window.Answer(folder.Path("spoiled.smd"));
    window.Press(IDC_ANIM);
    // Refused by the load, or by the preview reading it.
    EXPECT_TRUE(!window.messages.empty() ||
                StatusOf(*preview).find("spoiled.smd") != std::string::npos)
        << StatusOf(*preview);
    window.Answer(folder.Path("runner_walk.smd"));
    window.Press(IDC_ANIM);
    EXPECT_EQ(FrameOf(*preview), "frame 0 / 29");

    // A cancelled load reads nothing again: the frame shown stays.
    preview->ShowFrame(7);
    window.Cancel();
    window.Press(IDC_ANIM);
    EXPECT_EQ(FrameOf(*preview), "frame 7 / 29");

    const std::vector<SCENE_BONE> scaled = BonesOf(canvas);
    window.Choose(IDM_ROOT_FROM_LEGS);
    ASSERT_TRUE(window.Dialog().RootFromLegs());
    std::vector<SCENE_BONE> legsBones = BonesOf(canvas);
    ASSERT_EQ(legsBones.size(), scaled.size());
    double moved = 0.0;
    for (std::size_t i = 0; i < scaled.size(); ++i) {
        moved = std::max(moved, std::abs(legsBones[i].y1 - scaled[i].y1));
    }
    // The runner's legs' ratio is within a few per cent of row 0's factor: a small move, but one.
    EXPECT_GT(moved, 0.01) << "the root follows the legs";
    window.Choose(IDM_ROOT_FROM_LEGS);

    // The world method turns the knight's thighs some 30° off the default method's, and the feet
    // on the ground move the legs again: the result drawn follows each entry.
    for (int entry : {IDM_WORLD_METHOD, IDM_FEET_CONTACT}) {
        window.Choose(entry);
        std::vector<SCENE_BONE> other = BonesOf(canvas);
        ASSERT_EQ(other.size(), scaled.size());
        double most = 0.0;
        for (std::size_t i = 0; i < scaled.size(); ++i) {
            most = std::max({most, std::abs(other[i].x2 - scaled[i].x2),
                             std::abs(other[i].y2 - scaled[i].y2)});
        }
        EXPECT_GT(most, 1.0) << "entry " << entry;
        window.Choose(entry);
    }
    ASSERT_FALSE(window.Dialog().WorldMethod() || window.Dialog().FeetContact());

    // Row 3 (the left thigh) unpaired in a .con file, typed back on the screen and not left.
    long unpaired = UnpairedBones(canvas);
    CScriptedWindow::Type(window.NodeEdit(3), "0");
    window.Answer(folder.Path("grid.con"));
    window.Press(IDC_SAVE_CON);
    CScriptedWindow::Type(window.NodeEdit(3), "2");
    window.Answer(folder.Path("grid.con"));
    window.Press(IDC_LOAD_CON);
    EXPECT_GT(UnpairedBones(canvas), unpaired);

    WriteFile(folder.Path("biped72.smd"), Biped72(folder.Path("knight_ref.smd")));
    window.Answer(folder.Path("biped72.smd"));
    window.Press(IDC_REF_MODEL);
    EXPECT_TRUE(BonesOf(canvas).empty()) << "the bone scales were the knight's";
    EXPECT_EQ(StatusOf(*preview), "Ouvrez les deux SMD de référence d'abord");
    window.Answer(folder.Path("runner_ref.smd"));
    window.Press(IDC_REF_ANIM);
    unpaired = UnpairedBones(canvas);
    ASSERT_GT(window.ShownRows(), 68);
    CScriptedWindow::Type(window.NodeEdit(68), "0");  // the right thigh
    LeaveBox(window.NodeEdit(68));
    EXPECT_GT(UnpairedBones(canvas), unpaired);
}

}  // namespace varnex

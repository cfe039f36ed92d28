#include "preview/svg_preview.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "cli/cli_in_process.h"
#include "motion/biped_rig.h"
#include "motion/fixed_text.h"
#include "sample_animation.h"
#include "sample_skeletons.h"
#include "session/retarget_session.h"
#include "test_support.h"

namespace varnex {

namespace {
namespace fs = std::filesystem;

struct RGB {
    int r = 0, g = 0, b = 0;
};

RGB ColourValue(const char* hex) {
    auto part = [&](int i) { return std::stoi(std::string(hex + 1 + 2 * i, 2), nullptr, 16); };
    return {part(0), part(1), part(2)};
}

class CImage {
public:
    // Draws svg with rsvg-convert and reads the PNG back.
    explicit CImage(const std::string& svg) {
        fs::path folder =
            fs::temp_directory_path() / ("varnex-preview-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        std::ofstream(folder / "preview.svg", std::ios::binary) << svg;
        std::string command = std::string(RSVG_CONVERT) + " -o '" +
                              (folder / "preview.png").string() + "' '" +
                              (folder / "preview.svg").string() + "'";
        bool drawn = std::system(command.c_str()) == 0;
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (drawn && png_image_begin_read_from_file(&image, (folder / "preview.png").c_str())) {
            image.format = PNG_FORMAT_RGB;
            m_pixels.resize(PNG_IMAGE_SIZE(image));
            if (png_image_finish_read(&image, nullptr, m_pixels.data(), 0, nullptr)) {
                m_width = static_cast<int>(image.width);
                m_height = static_cast<int>(image.height);
            }
        }
        fs::remove_all(folder);
        EXPECT_GT(m_width, 0) << command << " drew nothing readable (tools/setup.sh installs it)";
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    RGB At(int x, int y) const {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height) return {255, 255, 255};
        const unsigned char* p = &m_pixels[(static_cast<std::size_t>(y) * m_width + x) * 3];
        return {p[0], p[1], p[2]};
    }
    // A pixel close to the colour within `reach` pixels of (x, y): lines are anti-aliased.
    bool HasNear(double x, double y, RGB colour, int reach = 2) const {
        for (int dy = -reach; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                if (Close(At(static_cast<int>(x) + dx, static_cast<int>(y) + dy), colour))
                    return true;
            }
        }
        return false;
    }
    // Whether other differs from this image within `reach` pixels of (x, y).
    bool DiffersNear(const CImage& other, double x, double y, int reach) const {
        for (int dy = -reach; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                RGB a = At(static_cast<int>(x) + dx, static_cast<int>(y) + dy);
                RGB b = other.At(static_cast<int>(x) + dx, static_cast<int>(y) + dy);
                if (a.r != b.r || a.g != b.g || a.b != b.b) return true;
            }
        }
        return false;
    }
    static bool Close(RGB a, RGB b) {
        return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) < 60;
    }

private:
    std::vector<unsigned char> m_pixels;
    int m_width = 0, m_height = 0;
};

// The runner's walk and its retarget onto the knight, with the given frames shown.
struct PREVIEWED {
    SAMPLE_ANIMATION model = ReadSample("knight_ref.smd");
    SAMPLE_ANIMATION ref = ReadSample("runner_ref.smd");
    SAMPLE_ANIMATION anim = ReadSample("runner_walk.smd");
    std::vector<DECODED_ROW> rows = DecodeRows(PairByClass(model, ref));
    CPreviewFigure source{anim.nodes, CBipedRig(anim.nodes), ref.frames[0],
                          DrivingSourceNodes(rows, model.nodes.size(), anim.nodes.size())};
    CPreviewFigure result{model.nodes, CBipedRig(model.nodes), model.frames[0],
                          PairedRows(rows, model.nodes.size(), anim.nodes.size())};
    std::vector<FRAME_POSES> results;

    explicit PREVIEWED(const std::vector<int>& frames) { Show(frames); }
    // Another animation on the runner's skeleton.
    PREVIEWED(const std::vector<int>& frames, SAMPLE_ANIMATION animation)
        : anim(std::move(animation)) {
        Show(frames);
    }
    void Show(const std::vector<int>& frames) {
        CFrameRetarget retarget(model.frames[0], static_cast<int>(model.nodes.size()), rows);
        for (int f : frames) {
            results.emplace_back();
            retarget.Apply(anim.frames[static_cast<std::size_t>(f)], results.back());
            source.AddFrame(anim.frames[static_cast<std::size_t>(f)]);
            result.AddFrame(results.back());
        }
    }
    const CPreviewFigure& Figure(int f) const { return f == 0 ? source : result; }
    const std::vector<SKELETON_NODE>& Nodes(int f) const {
        return f == 0 ? anim.nodes : model.nodes;
    }
};

int NodeOfClass(const std::vector<SKELETON_NODE>& nodes, int boneClass) {
    return CBipedRig(nodes).First(boneClass);
}

// The feet's bone classes ("L Foot", "R Foot"), left then right.
constexpr int FOOT_CLASSES[2] = {49, 53};
}  // namespace

// A sheet of two frames drawn by a real renderer: in each of the 2 x 4 panels the calves are
// drawn in their side's colour at the middle of where their joints project, the spine in the middle
// line's (Spine1), the knight's unpaired sword in grey; seen from the front the figure's left is on
// the viewer's right.
TEST(SvgPreview, SheetIsDrawnWhereTheJointsProject) {
    const std::vector<int> frames = {0, 15};
    PREVIEWED p(frames);
    PREVIEW_OPTIONS options;
    options.animate = false;
    options.frameNumbers = frames;
    PREVIEW_LAYOUT layout = PlanPreview(p.source, p.result, options);
    CImage image(PreviewSvg(p.source, p.result, options));
    ASSERT_EQ(image.Width(), static_cast<int>(layout.width));
    ASSERT_EQ(image.Height(), static_cast<int>(layout.height));

    struct BONE_COLOUR {
        int boneClass;
        const char* colour;
    };
    const BONE_COLOUR BONES[] = {{48, PREVIEW_LEFT_COLOUR},  // calf ("L Calf", "L Leg1")
                                 {52, PREVIEW_RIGHT_COLOUR},
                                 {3, PREVIEW_MIDDLE_COLOUR}};  // Spine1
    for (int row = 0; row < 2; ++row) {
        for (int f = 0; f < 2; ++f) {
            const CPreviewFigure& figure = p.Figure(f);
            auto middle = [&](PREVIEW_VIEW view, int node) {
                SCREEN_POINT a = ProjectJoint(
                    layout, f, view, row, figure.Joint(row, figure.Parent(node)), figure.Ground());
                SCREEN_POINT b =
                    ProjectJoint(layout, f, view, row, figure.Joint(row, node), figure.Ground());
                return SCREEN_POINT{(a.x + b.x) / 2, (a.y + b.y) / 2};
            };
            for (PREVIEW_VIEW view : {PREVIEW_VIEW::FRONT, PREVIEW_VIEW::SIDE}) {
                for (const BONE_COLOUR& bone : BONES) {
                    // Seen from the side the legs cover each other: only the middle line is sure.
                    if (view == PREVIEW_VIEW::SIDE && bone.boneClass != 3) continue;
                    SCREEN_POINT m = middle(view, NodeOfClass(p.Nodes(f), bone.boneClass));
                    EXPECT_TRUE(image.HasNear(m.x, m.y, ColourValue(bone.colour)))
                        << "row " << row << " figure " << f << " class " << bone.boneClass;
                }
            }
            SCREEN_POINT left = middle(PREVIEW_VIEW::FRONT, NodeOfClass(p.Nodes(f), 48));
            SCREEN_POINT right = middle(PREVIEW_VIEW::FRONT, NodeOfClass(p.Nodes(f), 52));
            EXPECT_GT(left.x, right.x);
        }
    }
    SCREEN_POINT sword =
        ProjectJoint(layout, 1, PREVIEW_VIEW::FRONT, 0, p.result.Joint(0, p.model.nodes.size() - 1),
                     p.result.Ground());
    EXPECT_TRUE(image.HasNear(sword.x, sword.y, ColourValue(PREVIEW_UNPAIRED_COLOUR)));
}

// In a loop every bone end runs through the frames in order, one frame each 1/fps seconds.
TEST(SvgPreview, LoopAnimatesBoneEndsThroughEveryFrame) {
    std::vector<int> frames(30);
    for (int i = 0; i < 30; ++i) frames[static_cast<std::size_t>(i)] = i;
    PREVIEWED p(frames);
    PREVIEW_OPTIONS options;
    options.fps = 15;
    PREVIEW_LAYOUT layout = PlanPreview(p.source, p.result, options);
    std::string svg = PreviewSvg(p.source, p.result, options);
    int foot = NodeOfClass(p.model.nodes, 49);
    std::string values;
    for (std::size_t f = 0; f < frames.size(); ++f) {
        if (f > 0) values += ';';
        AppendFixed(values,
                    ProjectJoint(layout, 1, PREVIEW_VIEW::SIDE, 0, p.result.Joint(f, foot),
                                 p.result.Ground())
                        .x,
                    1);
    }
    EXPECT_NE(svg.find("<animate attributeName=\"x2\" dur=\"2.000s\" calcMode=\"discrete\" "
                       "repeatCount=\"indefinite\" values=\"" +
                       values + "\"/>"),
              std::string::npos);
}

// The planted feet of steps on the spot as the check reports them, marked frame by frame on both
// figures in both views: on a sheet a dot on the foot joint of each row whose frame the check
// finds planted, which a renderer draws there, and no other; in a loop one dot a foot and view,
// shown in those frames only.
TEST(SvgPreview, MarksTheFeetTheCheckFindsPlanted) {
    CTempDir folder;
    const std::string walk = folder.Path("steps.smd");
    WriteFile(walk, StepsOnTheSpotSmd());
    CRetargetSession session;
    session.LoadModel(SamplePath("knight_ref.smd"));
    session.LoadReference(SamplePath("runner_ref.smd"));
    std::vector<SESSION_NOTE> notes;
    const std::vector<FOOT_CONTACT> checked = session.Check(walk, notes).feet.contacts;
    std::vector<int> frames(30);
    for (int i = 0; i < 30; ++i) frames[static_cast<std::size_t>(i)] = i;
    // Each foot planted in some frames and lifted in others.
    std::string planted[2] = {std::string(30, '0'), std::string(30, '0')};
    for (const FOOT_CONTACT& c : checked) {
        std::string& side = planted[c.side == FOOT_SIDE::LEFT ? 0 : 1];
        side.replace(static_cast<std::size_t>(c.first),
                     static_cast<std::size_t>(c.last - c.first + 1),
                     static_cast<std::size_t>(c.last - c.first + 1), '1');
    }
    for (int s = 0; s < 2; ++s) {
        EXPECT_NE(planted[s].find('1'), std::string::npos) << planted[s];
        EXPECT_NE(planted[s].find('0'), std::string::npos) << planted[s];
    }

    PREVIEWED p(frames, ReadAnimationPoses(walk));
    PREVIEW_OPTIONS options;
    options.frameNumbers = frames;
    options.animate = false;
    PREVIEW_LAYOUT layout = PlanPreview(p.source, p.result, options);
    CImage bare(PreviewSvg(p.source, p.result, options));
    // The sheet as varnex-cli writes it, finding the contacts as it reads the frames.
    std::string list = "0";
    for (int i = 1; i < 30; ++i) list += "," + std::to_string(i);
    ASSERT_EQ(RunInProcess({"preview", "--model", SamplePath("knight_ref.smd"), "--ref-anim",
                            SamplePath("runner_ref.smd"), "--frames", list, "-o",
                            folder.Path("sheet.svg"), walk})
                  .status,
              0);
    const std::string sheet = ReadFile(folder.Path("sheet.svg"));
    options.contacts = checked;
    EXPECT_EQ(sheet, PreviewSvg(p.source, p.result, options));
    CImage marked(sheet);
    std::size_t marks = 0;
    for (int row = 0; row < 30; ++row) {
        for (int s = 0; s < 2; ++s) {
            const bool down = planted[s][static_cast<std::size_t>(row)] == '1';
            for (int f = 0; f < 2; ++f) {
                for (PREVIEW_VIEW view : {PREVIEW_VIEW::FRONT, PREVIEW_VIEW::SIDE}) {
                    int foot = NodeOfClass(p.Nodes(f), FOOT_CLASSES[s]);
                    SCREEN_POINT at =
                        ProjectJoint(layout, f, view, row, p.Figure(f).Joint(row, foot),
                                     p.Figure(f).Ground());
                    std::string mark = "<circle cx=\"";
                    AppendFixed(mark, at.x, 1);
                    mark += "\" cy=\"";
                    AppendFixed(mark, at.y, 1);
                    mark += "\" r=\"4.0\" fill=\"";
                    mark += s == 0 ? PREVIEW_LEFT_COLOUR : PREVIEW_RIGHT_COLOUR;
                    const std::string where = "row " + std::to_string(row) + " figure " +
                                              std::to_string(f) + " side " + std::to_string(s);
                    EXPECT_EQ(sheet.find(mark + "\"/>") != std::string::npos, down) << where;
                    // Seen from the side the feet cover each other.
                    if (view == PREVIEW_VIEW::FRONT) {
                        EXPECT_EQ(marked.DiffersNear(bare, at.x, at.y, 3), down) << where;
                    }
                    marks += down;
                }
            }
        }
    }
    std::size_t circles = 0;
    for (std::size_t at = sheet.find("<circle"); at != std::string::npos;
         at = sheet.find("<circle", at + 1)) {
        ++circles;
    }
    EXPECT_EQ(circles, marks);

    options.animate = true;
    const std::string loop = PreviewSvg(p.source, p.result, options);
    // An attribute's value in an element's text, after `from`.
    auto attribute = [](const std::string& element, const std::string& name, std::size_t from = 0) {
        std::size_t at = element.find(name + "=\"", from);
        if (at == std::string::npos) return std::string();
        at += name.size() + 2;
        return element.substr(at, element.find('"', at) - at);
    };
    int loopMarks[2] = {0, 0};
    for (std::size_t at = loop.find("<circle"); at != std::string::npos;
         at = loop.find("<circle", at + 1)) {
        const std::string element = loop.substr(at, loop.find('\n', at) - at);
        int s = attribute(element, "fill") == PREVIEW_LEFT_COLOUR ? 0 : 1;
        std::string expected;
        for (char c : planted[s]) {
            expected +=
                std::string(expected.empty() ? "" : ";") + (c == '1' ? "visible" : "hidden");
        }
        EXPECT_EQ(attribute(element, "visibility"), planted[s][0] == '1' ? "visible" : "hidden");
        EXPECT_EQ(attribute(element, "values", element.find("\"visibility\"")), expected)
            << "side " << s;
        ++loopMarks[s];
    }
    EXPECT_EQ(loopMarks[0], 4);
    EXPECT_EQ(loopMarks[1], 4);

}

}  // namespace varnex

#include "preview/svg_preview.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "motion/biped_rig.h"
#include "motion/fixed_text.h"
#include "sample_animation.h"

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
    std::vector<RETARGET_ROW> rows = PairByClass(model, ref);
    CPreviewFigure source{anim.nodes, ref.frames[0],
                          DrivingSourceNodes(rows, model.nodes.size(), anim.nodes.size())};
    CPreviewFigure result{model.nodes, model.frames[0],
                          PairedRows(rows, model.nodes.size(), anim.nodes.size())};
    std::vector<FRAME_POSES> results;

    explicit PREVIEWED(const std::vector<int>& frames) {
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

}  // namespace varnex

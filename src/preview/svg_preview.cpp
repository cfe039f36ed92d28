#include "preview/svg_preview.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "motion/feet_stage.h"
#include "motion/fixed_text.h"
#include "motion/motion_setup.h"
#include "motion/motion_texts.h"

namespace varnex {

namespace {
constexpr double PANEL_WIDTH = 240.0;
constexpr double PANEL_HEIGHT = 360.0;
constexpr double MARGIN = 14.0;
constexpr double LABEL_HEIGHT = 18.0;
constexpr int PIXEL_DECIMALS = 1;
constexpr PREVIEW_VIEW VIEWS[2] = {PREVIEW_VIEW::FRONT, PREVIEW_VIEW::SIDE};

double Across(const VEC3& joint, PREVIEW_VIEW view) {
    return view == PREVIEW_VIEW::FRONT ? joint.y : joint.x;
}

constexpr FOOT_SIDE FEET[2] = {FOOT_SIDE::LEFT, FOOT_SIDE::RIGHT};

const char* ColourOf(FOOT_SIDE side) {
    return side == FOOT_SIDE::LEFT ? PREVIEW_LEFT_COLOUR : PREVIEW_RIGHT_COLOUR;
}

const char* ColourOf(const CPreviewFigure& figure, std::size_t node) {
    if (!figure.Paired(node)) return PREVIEW_UNPAIRED_COLOUR;
    switch (figure.Side(node)) {
        case BODY_SIDE::LEFT:
            return PREVIEW_LEFT_COLOUR;
        case BODY_SIDE::RIGHT:
            return PREVIEW_RIGHT_COLOUR;
        case BODY_SIDE::MIDDLE:
            break;
    }
    return PREVIEW_MIDDLE_COLOUR;
}

// Grey bones first, then the middle line, then the limbs, so that colours stay on top.
int DrawingPass(const CPreviewFigure& figure, std::size_t node) {
    if (!figure.Paired(node)) return 0;
    return figure.Side(node) == BODY_SIDE::MIDDLE ? 1 : 2;
}

// A joint that is no finite number (a source frame holding "1e999") is drawn at 0 rather than
// making the document unreadable.
void AppendPixel(std::string& out, double value) {
    AppendFixed(out, std::isfinite(value) ? value : 0.0, PIXEL_DECIMALS);
}

class CSvgWriter {
public:
    CSvgWriter(const CPreviewFigure& source, const CPreviewFigure& result,
               const PREVIEW_OPTIONS& options)
        : m_figures{&source, &result},
          m_options(options),
          m_layout(PlanPreview(source, result, options)) {}

    std::string Write() {
        m_out.reserve(1 << 16);
        m_out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        m_out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"";
        AppendPixel(m_out, m_layout.width);
        m_out += "\" height=\"";
        AppendPixel(m_out, m_layout.height);
        m_out += "\" viewBox=\"0 0 ";
        AppendPixel(m_out, m_layout.width);
        m_out += ' ';
        AppendPixel(m_out, m_layout.height);
        m_out += "\">\n<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
        WriteFrameOfPanels();
        m_out += "<g stroke-width=\"2\" stroke-linecap=\"round\">\n";
        for (int row = 0; row < m_layout.rows; ++row) {
            for (int figure = 0; figure < 2; ++figure) {
                for (PREVIEW_VIEW view : VIEWS) WriteBones(figure, view, row);
            }
        }
        m_out += "</g>\n";
        WriteMarks();
        m_out += "</svg>\n";
        return std::move(m_out);
    }

private:
    double PanelLeft(int figure, PREVIEW_VIEW view) const {
        return (figure * 2 + (view == PREVIEW_VIEW::SIDE ? 1 : 0)) * m_layout.panelWidth;
    }

    // Labels, ground lines and the rule between source and result.
    void WriteFrameOfPanels() {
        m_out += "<g font-family=\"sans-serif\" font-size=\"12\" fill=\"#404040\">\n";
        for (int row = 0; row < m_layout.rows; ++row) {
            for (int figure = 0; figure < 2; ++figure) {
                for (PREVIEW_VIEW view : VIEWS) {
                    const CTextCatalog& texts = *m_options.texts;
                    std::string label = figure == 0 ? PreviewSourceLabel(texts)
                                                    : PreviewResultLabel(texts);
                    label += ", ";
                    label += view == PREVIEW_VIEW::FRONT ? PreviewFrontLabel(texts)
                                                         : PreviewSideLabel(texts);
                    if (!m_options.animate && figure == 0 && view == PREVIEW_VIEW::FRONT &&
                        static_cast<std::size_t>(row) < m_options.frameNumbers.size()) {
                        label = texts.Tr(
                            "{0} : {1}",
                            {PreviewFrameLabel(m_options.frameNumbers[row], texts), label});
                    }
                    m_out += "<text x=\"";
                    AppendPixel(m_out, PanelLeft(figure, view) + MARGIN / 2);
                    m_out += "\" y=\"";
                    AppendPixel(m_out, row * m_layout.panelHeight + LABEL_HEIGHT - 4);
                    m_out += "\">" + label + "</text>\n";
                }
            }
        }
        m_out += "</g>\n<g stroke=\"#909090\" stroke-width=\"1\">\n";
        for (int row = 0; row < m_layout.rows; ++row) {
            double y = row * m_layout.panelHeight + m_layout.groundY;
            for (int panel = 0; panel < 4; ++panel) {
                Line(panel * m_layout.panelWidth + MARGIN / 2, y,
                     (panel + 1) * m_layout.panelWidth - MARGIN / 2, y);
            }
        }
        Line(2 * m_layout.panelWidth, 0, 2 * m_layout.panelWidth, m_layout.height);
        m_out += "</g>\n";
    }

    void Line(double x1, double y1, double x2, double y2) {
        m_out += "<line x1=\"";
        AppendPixel(m_out, x1);
        m_out += "\" y1=\"";
        AppendPixel(m_out, y1);
        m_out += "\" x2=\"";
        AppendPixel(m_out, x2);
        m_out += "\" y2=\"";
        AppendPixel(m_out, y2);
        m_out += "\"/>\n";
    }

    void WriteBones(int figureIndex, PREVIEW_VIEW view, int row) {
        const CPreviewFigure& figure = *m_figures[figureIndex];
        std::size_t needed = m_options.animate ? 1 : static_cast<std::size_t>(row) + 1;
        if (figure.FrameCount() < needed) return;
        for (int pass = 0; pass < 3; ++pass) {
            for (std::size_t node = 0; node < figure.NodeCount(); ++node) {
                int parent = figure.Parent(node);
                if (parent < 0 || DrawingPass(figure, node) != pass) continue;
                WriteBone(figureIndex, view, row, node, static_cast<std::size_t>(parent));
            }
        }
    }

    SCREEN_POINT At(int figureIndex, PREVIEW_VIEW view, int row, std::size_t frame,
                    std::size_t node) const {
        const CPreviewFigure& figure = *m_figures[figureIndex];
        return ProjectJoint(m_layout, figureIndex, view, row, figure.Joint(frame, node),
                            figure.Ground());
    }

    void WriteBone(int figureIndex, PREVIEW_VIEW view, int row, std::size_t node,
                   std::size_t parent) {
        const CPreviewFigure& figure = *m_figures[figureIndex];
        // A sheet row shows its own frame; a loop starts from frame 0.
        std::size_t shown = m_options.animate ? 0 : static_cast<std::size_t>(row);
        SCREEN_POINT a = At(figureIndex, view, row, shown, parent);
        SCREEN_POINT b = At(figureIndex, view, row, shown, node);
        m_out += "<line x1=\"";
        AppendPixel(m_out, a.x);
        m_out += "\" y1=\"";
        AppendPixel(m_out, a.y);
        m_out += "\" x2=\"";
        AppendPixel(m_out, b.x);
        m_out += "\" y2=\"";
        AppendPixel(m_out, b.y);
        m_out += "\" stroke=\"";
        m_out += ColourOf(figure, node);
        if (!m_options.animate || figure.FrameCount() < 2) {
            m_out += "\"/>\n";
            return;
        }
        m_out += "\">";
        const char* names[4] = {"x1", "y1", "x2", "y2"};
        for (int k = 0; k < 4; ++k) {
            Animate(names[k], figure.FrameCount(), [&](std::size_t f, std::string& values) {
                SCREEN_POINT p = At(figureIndex, view, row, f, k < 2 ? parent : node);
                AppendPixel(values, k % 2 == 0 ? p.x : p.y);
            });
        }
        m_out += "</line>\n";
    }

    // An <animate> of the attribute through value's text of each of frames, one each 1/fps
    // seconds; none when every frame has the first one's.
    template <class VALUE>
    void Animate(const char* name, std::size_t frames, VALUE value) {
        m_values.clear();
        bool moves = false;
        std::size_t firstEnd = 0;
        for (std::size_t f = 0; f < frames; ++f) {
            std::size_t start = m_values.size();
            if (f > 0) m_values += ';';
            value(f, m_values);
            if (f == 0) {
                firstEnd = m_values.size();
            } else if (!moves) {
                moves = m_values.compare(start + 1, std::string::npos, m_values, 0, firstEnd) != 0;
            }
        }
        if (!moves) return;
        m_out += "<animate attributeName=\"";
        m_out += name;
        m_out += "\" dur=\"";
        double fps = m_options.fps > 0.0 ? m_options.fps : PREVIEW_OPTIONS().fps;
        AppendFixed(m_out, static_cast<double>(frames) / fps, 3);
        m_out += "s\" calcMode=\"discrete\" repeatCount=\"indefinite\" values=\"";
        m_out += m_values;
        m_out += "\"/>";
    }

    // Whether the source plants the foot of side in the frame shown `shown`-th.
    bool Planted(FOOT_SIDE side, std::size_t shown) const {
        int frame = shown < m_options.frameNumbers.size() ? m_options.frameNumbers[shown]
                                                          : static_cast<int>(shown);
        return FootPlanted(m_options.contacts, side, frame);
    }

    // The planted feet's marks over the bones, in a group that names them; no group without one.
    void WriteMarks() {
        const std::size_t start = m_out.size();
        m_out += "<g stroke=\"#ffffff\" stroke-width=\"1\">\n<title>";
        m_out += PlantedFootLabel(*m_options.texts);
        m_out += "</title>\n";
        const std::size_t head = m_out.size();
        for (int row = 0; row < m_layout.rows; ++row) {
            for (int figure = 0; figure < 2; ++figure) {
                for (PREVIEW_VIEW view : VIEWS) {
                    for (FOOT_SIDE side : FEET) WriteMark(figure, view, row, side);
                }
            }
        }
        if (m_out.size() == head) {
            m_out.resize(start);
            return;
        }
        m_out += "</g>\n";
    }

    // A sheet row's mark when its frame plants the foot; a loop's mark follows the foot through
    // every frame and shows in those that plant it.
    void WriteMark(int figureIndex, PREVIEW_VIEW view, int row, FOOT_SIDE side) {
        const CPreviewFigure& figure = *m_figures[figureIndex];
        if (figure.Foot(side) < 0) return;
        const auto foot = static_cast<std::size_t>(figure.Foot(side));
        const std::size_t frames = figure.FrameCount();
        std::size_t shown = m_options.animate ? 0 : static_cast<std::size_t>(row);
        if (shown >= frames) return;
        bool ever = !m_options.animate && Planted(side, shown);
        for (std::size_t f = 0; m_options.animate && f < frames && !ever; ++f) {
            ever = Planted(side, f);
        }
        if (!ever) return;
        SCREEN_POINT p = At(figureIndex, view, row, shown, foot);
        m_out += "<circle cx=\"";
        AppendPixel(m_out, p.x);
        m_out += "\" cy=\"";
        AppendPixel(m_out, p.y);
        m_out += "\" r=\"";
        AppendPixel(m_out, PREVIEW_MARK_RADIUS);
        m_out += "\" fill=\"";
        m_out += ColourOf(side);
        if (!m_options.animate) {
            m_out += "\"/>\n";
            return;
        }
        m_out += "\" visibility=\"";
        m_out += Planted(side, 0) ? "visible" : "hidden";
        if (frames < 2) {
            m_out += "\"/>\n";
            return;
        }
        m_out += "\">";
        for (int k = 0; k < 2; ++k) {
            Animate(k == 0 ? "cx" : "cy", frames, [&](std::size_t f, std::string& values) {
                SCREEN_POINT q = At(figureIndex, view, row, f, foot);
                AppendPixel(values, k == 0 ? q.x : q.y);
            });
        }
        Animate("visibility", frames, [&](std::size_t f, std::string& values) {
            values += Planted(side, f) ? "visible" : "hidden";
        });
        m_out += "</circle>\n";
    }

    const CPreviewFigure* m_figures[2];
    const PREVIEW_OPTIONS& m_options;
    PREVIEW_LAYOUT m_layout;
    std::string m_out;
    std::string m_values;
};
}  // namespace

CPreviewFigure::CPreviewFigure(const std::vector<SKELETON_NODE>& nodes, const CBipedRig& rig,
                               std::span<const POSE> rest, std::vector<bool> paired)
    : m_skeleton(nodes),
      m_parents(m_skeleton.Parents()),
      m_sides(rig.Sides(m_parents)),
      m_paired(std::move(paired)) {
    m_feet[0] = rig.Leg(BODY_SIDE::LEFT).foot;
    m_feet[1] = rig.Leg(BODY_SIDE::RIGHT).foot;
    m_skeleton.Solve(rest, m_frameJoints);
    if (!m_frameJoints.empty()) {
        m_ground = m_frameJoints.front().z;
        for (const VEC3& j : m_frameJoints) m_ground = std::min(m_ground, j.z);
    }
}

void CPreviewFigure::AddFrame(std::span<const POSE> frame) {
    m_skeleton.Solve(frame, m_frameJoints);
    m_joints.insert(m_joints.end(), m_frameJoints.begin(), m_frameJoints.end());
    ++m_frames;
}

bool FootPlanted(std::span<const FOOT_CONTACT> contacts, FOOT_SIDE side, int frame) {
    return std::any_of(contacts.begin(), contacts.end(), [&](const FOOT_CONTACT& c) {
        return c.side == side && c.first <= frame && frame <= c.last;
    });
}

std::string PlantedFootLabel(const CTextCatalog& texts) { return texts.Tr("pied posé"); }

std::vector<bool> PairedRows(std::span<const DECODED_ROW> rows, std::size_t modelNodeCount,
                             std::size_t sourceNodeCount) {
    std::vector<bool> paired(modelNodeCount, false);
    for (std::size_t row = 0; row < modelNodeCount; ++row) {
        int line = RowAt(rows, row).source;
        paired[row] = line != REST_LINE && static_cast<std::size_t>(line) < sourceNodeCount;
    }
    return paired;
}

std::vector<bool> DrivingSourceNodes(std::span<const DECODED_ROW> rows, std::size_t modelNodeCount,
                                     std::size_t sourceNodeCount) {
    std::vector<bool> driving(sourceNodeCount, false);
    for (std::size_t row = 0; row < modelNodeCount; ++row) {
        int line = RowAt(rows, row).source;
        if (line != REST_LINE && static_cast<std::size_t>(line) < sourceNodeCount) {
            driving[static_cast<std::size_t>(line)] = true;
        }
    }
    return driving;
}

PREVIEW_LAYOUT PlanPreview(const CPreviewFigure& source, const CPreviewFigure& result,
                           const PREVIEW_OPTIONS& options) {
    PREVIEW_LAYOUT layout;
    layout.panelWidth = PANEL_WIDTH;
    layout.panelHeight = PANEL_HEIGHT;
    const CPreviewFigure* figures[2] = {&source, &result};
    std::size_t sheetRows = std::max(source.FrameCount(), result.FrameCount());
    layout.rows = options.animate || sheetRows == 0 ? 1 : static_cast<int>(sheetRows);
    layout.width = 4 * PANEL_WIDTH;
    layout.height = layout.rows * PANEL_HEIGHT;

    // Heights above each figure's own ground, and the spread across each panel, over every frame.
    double above = 0.0, below = 0.0, widest = 0.0;
    for (int f = 0; f < 2; ++f) {
        const CPreviewFigure& figure = *figures[f];
        for (int v = 0; v < 2; ++v) {
            double low = std::numeric_limits<double>::infinity(), high = -low;
            for (std::size_t frame = 0; frame < figure.FrameCount(); ++frame) {
                for (std::size_t node = 0; node < figure.NodeCount(); ++node) {
                    const VEC3& j = figure.Joint(frame, node);
                    double across = Across(j, VIEWS[v]);
                    if (!std::isfinite(across) || !std::isfinite(j.z)) continue;
                    low = std::min(low, across);
                    high = std::max(high, across);
                    above = std::max(above, j.z - figure.Ground());
                    below = std::min(below, j.z - figure.Ground());
                }
            }
            if (low <= high) {
                layout.centre[f][v] = (low + high) / 2.0;
                widest = std::max(widest, high - low);
            }
        }
    }
    double drawWidth = PANEL_WIDTH - 2 * MARGIN;
    double drawHeight = PANEL_HEIGHT - 2 * MARGIN - LABEL_HEIGHT;
    // A figure of no size still gets a finite scale.
    layout.scale =
        std::min(drawWidth / std::max(widest, 1e-6), drawHeight / std::max(above - below, 1e-6));
    layout.groundY = LABEL_HEIGHT + MARGIN + above * layout.scale;
    return layout;
}

SCREEN_POINT ProjectJoint(const PREVIEW_LAYOUT& layout, int figure, PREVIEW_VIEW view, int row,
                          const VEC3& joint, double ground) {
    int v = view == PREVIEW_VIEW::FRONT ? 0 : 1;
    double left = (figure * 2 + v) * layout.panelWidth;
    SCREEN_POINT p;
    p.x = left + layout.panelWidth / 2 +
          (Across(joint, view) - layout.centre[figure][v]) * layout.scale;
    p.y = row * layout.panelHeight + layout.groundY - (joint.z - ground) * layout.scale;
    return p;
}

std::string PreviewSvg(const CPreviewFigure& source, const CPreviewFigure& result,
                       const PREVIEW_OPTIONS& options) {
    return CSvgWriter(source, result, options).Write();
}

}  // namespace varnex

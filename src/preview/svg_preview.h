// The preview as one SVG file: the source animation on its skeleton beside the result on the
// model's, each seen from the front and from the side at one scale, playing in a loop in a web
// browser (SMIL) or laid out as a still sheet of frames.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "motion/biped_rig.h"
#include "motion/foot_contact.h"
#include "motion/forward_kinematics.h"
#include "motion/frame_retarget.h"
#include "motion/motion_types.h"
#include "platform/text_catalog.h"

namespace varnex {

struct MOTION_SETUP;

// One skeleton and the world joints of the frames to show.
class CPreviewFigure {
public:
    // paired[n] false draws node n's bone grey (a short or empty list counts as all paired). The
    // ground is the height of the rest pose's lowest joint. rig: the nodes' own.
    CPreviewFigure(const std::vector<SKELETON_NODE>& nodes, const CBipedRig& rig,
                   std::span<const POSE> rest, std::vector<bool> paired);

    // Solves the frame and keeps its joints.
    void AddFrame(std::span<const POSE> frame);

    std::size_t NodeCount() const { return m_parents.size(); }
    std::size_t FrameCount() const { return m_frames; }
    const VEC3& Joint(std::size_t frame, std::size_t node) const {
        return m_joints[frame * NodeCount() + node];
    }
    int Parent(std::size_t node) const { return m_parents[node]; }
    BODY_SIDE Side(std::size_t node) const { return m_sides[node]; }
    bool Paired(std::size_t node) const { return node >= m_paired.size() || m_paired[node]; }
    double Ground() const { return m_ground; }
    // The foot joint of that side as the check finds it, -1 when the skeleton has none.
    int Foot(FOOT_SIDE side) const { return m_feet[side == FOOT_SIDE::LEFT ? 0 : 1]; }

private:
    CForwardKinematics m_skeleton;
    std::vector<int> m_parents;
    std::vector<BODY_SIDE> m_sides;
    std::vector<bool> m_paired;
    int m_feet[2] = {-1, -1};
    double m_ground = 0.0;
    std::vector<VEC3> m_joints;  // frame after frame
    std::vector<VEC3> m_frameJoints;
    std::size_t m_frames = 0;
};

// Which model nodes (grid rows) read a source line, and which source nodes some row reads.
std::vector<bool> PairedRows(std::span<const DECODED_ROW> rows, std::size_t modelNodeCount,
                             std::size_t sourceNodeCount);
std::vector<bool> DrivingSourceNodes(std::span<const DECODED_ROW> rows, std::size_t modelNodeCount,
                                     std::size_t sourceNodeCount);

struct PREVIEW_OPTIONS {
    bool animate = true;  // every frame in a loop; else a sheet, one row of panels per frame
    double fps = 30.0;    // frames per second of the loop; 0 or less takes 30
    std::vector<int> frameNumbers;  // the animation's number of each frame shown, for the labels
    const CTextCatalog* texts = &OriginalTexts();  // the labels' language
    // The source's contacts, frames counted as frameNumbers counts them (the frame shown when it
    // has none): in a shown frame inside one, that foot's joint is marked on both figures.
    std::vector<FOOT_CONTACT> contacts;
};

// Whether one of contacts holds the foot of that side in frame (counted from 0).
bool FootPlanted(std::span<const FOOT_CONTACT> contacts, FOOT_SIDE side, int frame);

// What the mark of a planted foot means, in the language of texts.
std::string PlantedFootLabel(const CTextCatalog& texts);

// Front: seen from +X, where biped models face, so Y runs across (the figure's left on the
// viewer's right). Side: seen from the figure's right, X across. Z up in both.
enum class PREVIEW_VIEW { FRONT, SIDE };

// Where everything goes: four panels per row (source front, source side, result front, result
// side), one row, or one per frame on a sheet.
struct PREVIEW_LAYOUT {
    double panelWidth = 0.0, panelHeight = 0.0;
    int rows = 1;
    double width = 0.0, height = 0.0;
    double scale = 1.0;        // pixels per unit, the same in every panel
    double groundY = 0.0;      // the ground line's height within a panel
    double centre[2][2] = {};  // [figure][view]: the model coordinate drawn at a panel's middle
};
PREVIEW_LAYOUT PlanPreview(const CPreviewFigure& source, const CPreviewFigure& result,
                           const PREVIEW_OPTIONS& options);

struct SCREEN_POINT {
    double x = 0.0, y = 0.0;
};
// Where a joint of figure 0 (source) or 1 (result) is drawn in the panel of `view` on row `row`.
SCREEN_POINT ProjectJoint(const PREVIEW_LAYOUT& layout, int figure, PREVIEW_VIEW view, int row,
                          const VEC3& joint, double ground);

// The stroke colours of the bones.
constexpr const char* PREVIEW_LEFT_COLOUR = "#1f5fd6";
constexpr const char* PREVIEW_RIGHT_COLOUR = "#d6401f";
constexpr const char* PREVIEW_MIDDLE_COLOUR = "#202020";
constexpr const char* PREVIEW_UNPAIRED_COLOUR = "#a8a8a8";
// A planted foot's mark: a dot of its side's colour ringed in white, so that it stands out from
// the bones of that colour that end on it.
constexpr double PREVIEW_MARK_RADIUS = 4.0;

// The whole SVG document. Both figures are meant to hold the same frames: a loop plays each
// figure's frames over its own length, and a sheet row that a figure lacks stays empty.
std::string PreviewSvg(const CPreviewFigure& source, const CPreviewFigure& result,
                       const PREVIEW_OPTIONS& options);

}  // namespace varnex

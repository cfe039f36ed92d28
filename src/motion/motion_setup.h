// What retargeting in memory needs, made from the loaded SMD files and the build's rows: the two
// skeletons with their rest poses, the rows, the legs' ratio and, on request, the root rule that
// follows the legs.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "motion/biped_rig.h"
#include "motion/feet_stage.h"
#include "motion/frame_retarget.h"
#include "motion/legs_ratio.h"
#include "motion/motion_check.h"
#include "motion/motion_types.h"
#include "motion/motion_warning.h"
#include "motion/smd_poses.h"
#include "motion/world_method.h"
#include "pairing/animation_nodes.h"
#include "platform/file_access.h"
#include "smd_input/smd_reader.h"

namespace varnex {

// How row 0's position follows the source root: scaled by its bone scale (the default), or
// displaced from the model's rest by the legs' ratio.
enum class ROOT_MODE { SCALE, LEGS };

struct MOTION_SETUP {
    std::string modelSource;               // for messages
    // Each node list comes with its rig (SetModelNodes, SetRefNodes).
    std::vector<SKELETON_NODE> modelNodes;
    CBipedRig modelRig;
    FRAME_POSES modelRest;                 // the model's first frame
    std::vector<SKELETON_NODE> refNodes;   // the reference animation's node list
    CBipedRig refRig;
    FRAME_POSES refRest;                   // its first frame
    std::vector<DECODED_ROW> rows;
    LEGS_RATIO legs;
    std::optional<ROOT_FROM_LEGS> rootFromLegs;  // with ROOT_MODE::LEGS
    // How CAnimationRetarget makes its frames; the world method's row 0 follows the legs, by
    // rootFromLegs when given, else by WorldRootRule.
    RETARGET_METHOD method = RETARGET_METHOD::LOCAL;
    // CONTACT passes every frame through CFeetStage (with rootFromLegs set).
    FEET_MODE feet = FEET_MODE::NONE;

    // A node list and its rig together: each skeleton is classified once, here, and every stage
    // takes the rig from the setup.
    void SetModelNodes(std::vector<SKELETON_NODE> nodes);
    void SetRefNodes(std::vector<SKELETON_NODE> nodes);
    // The rig of an animation's own node list: the reference's when it is the same list, else
    // classified now.
    CBipedRig RigOf(const std::vector<SKELETON_NODE>& nodes) const;
};

// Everything from the two loaded files (read with their first frames). Throws CVarnexError naming
// the file and line of a first-frame line that cannot be read, and with ROOT_MODE::LEGS as
// RootRuleFromLegs does.
MOTION_SETUP MakeMotionSetup(const SMD_HEAD& model, const SMD_HEAD& refAnim,
                             std::vector<DECODED_ROW> rows, ROOT_MODE rootMotion);

// The legs' ratio of the two loaded files; not known when a first-frame line cannot be read, so
// that a warning never stops a command that would run without it.
LEGS_RATIO LoadedLegsRatio(const SMD_HEAD& model, const SMD_HEAD& refAnim);

// The root rule for row 0 reading line rowZeroNodes names. Throws CVarnexError: NO_LEGS_RATIO
// naming the file whose skeleton lacks a leg, NO_REST_LINE when a first frame lacks the root's
// line, or the first-frame line that cannot be read.
ROOT_FROM_LEGS RootRuleFromLegs(const SMD_HEAD& model, const SMD_HEAD& refAnim, int rowZeroNodes);

// What BUILD SMD says once it has written the animation: row 0's factor against the legs' ratio
// (not when the root follows the legs), then the root height range it wrote, then the rows its
// offsets tore (BUILD_JOB::boneTears).
std::vector<MOTION_WARNING> BuildWarnings(const LEGS_RATIO& legs, double rowZeroFactor,
                                          ROOT_MODE rootMotion, const CRootHeightRange& heights,
                                          const CBoneTears& tears);

// What the pairing says of its rows: torn-bone and chain-angle on the reference animation
// retargeted onto the model, its first frame alone (the check's measures). None when that frame
// cannot be retargeted: a warning never stops a command.
std::vector<MOTION_WARNING> PairingWarnings(const MOTION_SETUP& setup);

// What CMotionCheck measures an animation with: the setup's model, rows and legs, the source's
// frames standing on sourceNodes (CAnimationRetarget::RowSourceNodes()) with its rig, the
// reference animation's first frame as their rest.
MOTION_CHECK_INPUT CheckInput(const MOTION_SETUP& setup,
                              const std::vector<SKELETON_NODE>& sourceNodes,
                              const CBipedRig& sourceRig, bool rootFromLegs);

// torn-bone and chain-angle over an animation, and the source's contacts, as the check measures
// them: for the preview, fed with every frame the retarget gives (CAnimationRetarget::Next(true)),
// drawn or not.
class CBoneWarnings {
public:
    // sourceNodes: the skeleton the frames added stand on (CAnimationRetarget::RowSourceNodes()),
    // sourceRig its rig (RowSourceRig()).
    CBoneWarnings(const MOTION_SETUP& setup, const std::vector<SKELETON_NODE>& sourceNodes,
                  const CBipedRig& sourceRig);
    ~CBoneWarnings();
    void AddFrame(std::span<const POSE> source, std::span<const POSE> result);
    std::vector<MOTION_WARNING> Warnings() const;
    // The source's contacts over the frames added, as the check finds them.
    std::vector<FOOT_CONTACT> SourceContacts() const;

private:
    std::unique_ptr<CMotionCheck> m_check;
};

// Marks the warnings' advice for a retarget by method and feet: the world method for torn bones
// and chains off on the local method, the feet on the ground where they are not.
void AdviseFor(RETARGET_METHOD method, FEET_MODE feet, std::vector<MOTION_WARNING>& warnings);

// Every frame of an animation held in memory (a front end's preview), in the reference
// animation's node order, retargeted as CAnimationRetarget retargets a file: the setup's method,
// then the feet stage with FEET_MODE::CONTACT. A result per frame, in order, up to the first
// frame that cannot be retargeted (one CFrameRetarget::Apply refuses).
std::vector<std::vector<POSE>> RetargetFrames(const MOTION_SETUP& setup,
                                              const std::vector<FRAME_POSES>& frames);

// An animation's frames held in memory for a front end's preview: read through its own node
// list as CAnimationRetarget reads them, each frame in the reference animation's node order (its
// RowSource()), on the skeleton RowSourceNodes() gives. Throws CVarnexError naming the file and
// line as that reading does.
ANIMATION_POSES ReadRowSourcePoses(const MOTION_SETUP& setup, const std::string& animPath);

// The setup's method planned once: the local retarget or the world one. Throws CRowError for a
// rest line of the model the method cannot use.
class CMethodRetarget {
public:
    explicit CMethodRetarget(const MOTION_SETUP& setup);
    // Throws CRowError as the method's Apply does.
    void Apply(std::span<const POSE> source, std::vector<POSE>& result);
    // Null with the local method.
    const CWorldRetarget* World() const { return m_world.get(); }

private:
    std::unique_ptr<CFrameRetarget> m_local;
    std::unique_ptr<CWorldRetarget> m_world;
};

// An animation file retargeted in memory, frame by frame, with the engine's arithmetic: the
// source frame on the animation's own skeleton and its result on the model's.
class CAnimationRetarget {
public:
    // Opens the animation and reads its head. Throws CVarnexError naming the file: one that
    // cannot be read, has no "skeleton" line or lacks a node the rows read, or a row that needs a
    // rest line the model lacks.
    CAnimationRetarget(const MOTION_SETUP& setup, const std::string& animPath);
    ~CAnimationRetarget();
    CAnimationRetarget(const CAnimationRetarget&) = delete;
    CAnimationRetarget& operator=(const CAnimationRetarget&) = delete;

    // The skeleton RowSource() stands on, and its rig: the animation's own when its node list
    // is the reference animation's (its parents may differ, as Convert CS Bipede's output's do),
    // else the reference animation's, whose order the rows read (the check, the previews).
    const std::vector<SKELETON_NODE>& RowSourceNodes() const {
        return m_nodes.sameList ? m_sourceNodes : m_setup.refNodes;
    }
    const CBipedRig& RowSourceRig() const {
        return m_nodes.sameList ? m_sourceRig : m_setup.refRig;
    }
    // Its node list matched to the reference animation's: the nodes it has that are never read.
    const std::vector<std::string>& UnusedNodes() const { return m_nodes.unused; }

    // Goes to the next frame; when wanted, reads it and retargets it into Source() and Result().
    // False at the animation's "end". Throws CVarnexError naming the file and line as BUILD SMD
    // would refuse the frame, or as CAnimationFrameReader refuses a line. With the feet stage
    // every frame is retargeted, wanted or not, and the file is read a few frames ahead (a
    // refusal then comes before the frames just before it are given); the constructor has read
    // the whole animation once for its contacts.
    bool Next(bool wanted);
    // Next(true) in two steps, for a caller that retargets frames elsewhere (on other threads):
    // reads the next frame into Source() and RowSource() (false at "end"), then, when called,
    // retargets it into Result(), throwing as Next does. Not with the feet stage.
    bool ReadNext();
    void Retarget();
    // Reads the frames that follow from reader instead: a part of the animation cut where a
    // frame starts, as the segmented build hands one to a worker, its lines counted by reader.
    // Unless lastPart, the reader's end closes the part's last frame. Not with the feet stage.
    void ReadFrom(CLineReader& reader, bool lastPart);
    // The animation's "end" has been read.
    bool Ended() const { return m_frames->SawEnd(); }
    // The frame last given, counted from 0.
    int FrameIndex() const {
        return m_feet ? m_given.index : m_ahead ? m_aheadGiven - 1 : m_frames->Frames() - 1;
    }
    int FramesRead() const {
        return m_feet ? m_given.index + 1 : m_ahead ? m_aheadGiven : m_frames->Frames();
    }
    const FRAME_POSES& Source() const { return Given() ? m_given.source : m_source; }
    // The same frame in the reference animation's node order, the one the rows' NODES name.
    const FRAME_POSES& RowSource() const {
        if (Given()) return m_given.rowSource;
        return m_nodes.sameList ? m_source : m_byReference;
    }
    const std::vector<POSE>& Result() const { return Given() ? m_given.result : m_result; }
    // From now on Next's frames are read and retargeted on a thread of their own, a few frames
    // ahead of the caller (or of the feet stage), who takes them in their order: the same frames,
    // every one retargeted, and a refusal where the caller comes to it. For a caller that may take
    // a second thread; only Next, FrameIndex, FramesRead and the frame's accessors may be called
    // after it.
    void ReadAhead();
    // From now on ReadNext and Next also read each line's rotation text, and with the feet stage
    // keep each frame's result as the method made it.
    void KeepTexts() { m_keepTexts = true; }
    // The rotation texts of the frame last read, or with the feet stage last given, in
    // RowSource()'s order (with KeepTexts).
    const CFrameTexts& RowTexts() const {
        if (Given()) return m_given.texts;
        return m_nodes.sameList ? m_texts : m_textsByReference;
    }
    // The frame's result as the method made it, before the feet stage (with KeepTexts): Result()
    // without the stage.
    const std::vector<POSE>& MethodResult() const { return Given() ? m_given.method : m_result; }
    // The frame's "time" line as BUILD SMD writes it, and its line number.
    const std::string& TimeText() const {
        return Given() ? m_given.timeText : m_frames->TimeText();
    }
    int TimeLineNumber() const { return Given() ? m_given.timeLine : m_frames->TimeLineNumber(); }
    // The feet stage's source contacts and ground, null without the stage.
    const SOURCE_CONTACTS* FeetContacts() const { return m_feet ? &m_feet->Contacts() : nullptr; }
    // The world method's retarget, null with the local method: other threads apply it to frames
    // ReadNext gave, each with its own work.
    const CWorldRetarget* WorldRetarget() const { return m_method->World(); }

    // The source's feet over the whole animation, from the lines of the feet and their ancestors
    // alone (the rest of each line is keyed, not read); a fault ends the reading quietly, as the
    // full read that follows names it. Throws as the constructor does.
    static FEET_SOURCE ReadSourceFeet(const MOTION_SETUP& setup, const std::string& animPath);

private:
    // The frame given is m_given: the feet stage's, or the reading thread's.
    bool Given() const { return m_feet || m_ahead; }
    // Throws CVarnexError when the frame last read lacks a node the rows read.
    void RequireNodesRead() const;
    // The feet stage's first pass over the animation.
    void StartFeet(const std::string& animPath);
    bool NextThroughFeet();
    // The next frame read and retargeted into frame, for the feet stage or the reading thread;
    // false at "end".
    bool ReadGivenFrame(FEET_FRAME& frame);
    struct READ_AHEAD;
    // The frame the reading thread gave next; false at "end".
    bool TakeAhead(FEET_FRAME& frame);

    const MOTION_SETUP& m_setup;
    CFile m_file;
    std::unique_ptr<CLineReader> m_reader;
    std::unique_ptr<CAnimationFrameReader> m_frames;
    // The animation's own node list, or the reference's when it has none.
    std::vector<SKELETON_NODE> m_sourceNodes;
    CBipedRig m_sourceRig;  // found once (MOTION_SETUP::RigOf), with the reference's node list
    ANIMATION_NODES m_nodes;
    std::vector<int> m_sourcesRead;
    std::optional<CMethodRetarget> m_method;
    FRAME_POSES m_source;
    FRAME_POSES m_byReference;  // the frame in the reference animation's order, when they differ
    std::vector<POSE> m_result;
    bool m_keepTexts = false;
    CFrameTexts m_texts, m_textsByReference;
    std::unique_ptr<CFeetStage> m_feet;  // with FEET_MODE::CONTACT
    FEET_FRAME m_given, m_spare;
    bool m_readAll = false;
    int m_aheadGiven = 0;  // frames the reading thread gave, without the feet stage
    std::unique_ptr<READ_AHEAD> m_ahead;  // last: its thread stops before the rest goes
};

}  // namespace varnex

// SMD text turned into the motion code's values: node lists, first frames and the frames of an
// animation, read by the same rules as BUILD SMD.
#pragma once

#include <string>
#include <vector>

#include "motion/motion_types.h"
#include "smd_input/frame_keys.h"
#include "smd_input/smd_reader.h"

namespace varnex {

// The node list as the motion code takes it: names and parents, in the order the lines stand.
std::vector<SKELETON_NODE> SkeletonOf(const std::vector<SMD_NODE>& nodes);

// A rest pose's lines in order, each checked as a frame line of an animation: positions by the
// atof rule, as BUILD SMD reads them, rotations that must be numbers, as BUILD SMD requires.
// Throws CVarnexError (source, line) for fewer than seven fields or a field that is no number.
FRAME_POSES PosesOfRest(const REST_POSE& rest, const std::string& source);

// The frames of an animation, one at a time, from a reader just past "skeleton" (as
// ReadAnimationHead leaves it). Lines before the first "time" line are dropped, as BUILD SMD
// drops them.
class CAnimationFrameReader {
public:
    // keys: the node list the frame lines are keyed by.
    CAnimationFrameReader(CLineReader& reader, const std::vector<SMD_NODE>& keys)
        : m_reader(reader), m_keys(keys) {}
    // Reads the next frame: pose n for the line of the node at place n of the list (a node
    // without a line reads as zeros; Keys() tells), or only past the lines when poses is null.
    // False once "end" is read. Throws CVarnexError naming the file and line: a node number that
    // names no node or one that already has its line, a line of a frame read into poses that
    // ParseNumberFields refuses, a "time" line without a number, a file without "end". With texts, also
    // each line's rotation text, by the same place.
    bool Next(FRAME_POSES* poses, CFrameTexts* texts = nullptr);
    // From now on reads the poses of the lines at these places only: the other lines are keyed
    // (Keys() tells of them as before) but their values are neither read nor checked, and read as
    // zeros. For a first look at a few nodes, before a full read refuses what it must.
    void ReadOnly(std::vector<char> places) { m_only = std::move(places); }
    // From now on the reader's end closes the frames instead of being refused for its missing
    // "end": the reader holds a part of the animation cut where a frame starts.
    void StopAtCut() { m_cut = true; }
    // The animation's "end" has been read.
    bool SawEnd() const { return m_ended; }
    // Which nodes the frame last given has lines for.
    const CFrameKeys& Keys() const { return m_keys; }
    // Frames given so far.
    int Frames() const { return m_frames; }
    // Of the frame last given: its "time" line as BUILD SMD quotes it, that line's number, and the
    // line number of pose n (read into poses).
    const std::string& TimeText() const { return m_timeText; }
    int TimeLineNumber() const { return m_timeLine; }
    int LineNumberOf(std::size_t pose) const {
        return pose < m_lineNumbers.size() ? m_lineNumbers[pose] : m_timeLine;
    }

private:
    // A line not in the usual form: its pose, and with texts its rotation text at place.
    POSE GeneralLine(std::string_view line, std::size_t place, CFrameTexts* texts);

    CLineReader& m_reader;
    CFrameKeys m_keys;
    bool m_inFrame = false;
    bool m_ended = false;
    bool m_cut = false;
    int m_frames = 0;
    std::string m_timeText, m_nextTimeText;
    int m_timeLine = 0, m_nextTimeLine = 0;
    std::vector<int> m_lineNumbers;
    std::vector<char> m_only;  // empty: every line read
    std::string m_rotation;
};

// A whole animation in memory: its node list and the poses of every frame.
struct ANIMATION_POSES {
    std::vector<SKELETON_NODE> nodes;
    std::vector<FRAME_POSES> frames;
};
// Reads the animation at path; throws CVarnexError as ReadAnimationHead and
// CAnimationFrameReader do.
ANIMATION_POSES ReadAnimationPoses(const std::string& path);

}  // namespace varnex

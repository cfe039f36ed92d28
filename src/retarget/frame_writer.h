// The frames of a build: what the rows read of each frame, and the frame's lines composed into
// blocks for the output.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "motion/motion_warning.h"
#include "platform/file_access.h"
#include "retarget/build_smd.h"
#include "retarget/node_line.h"
#include "smd_input/frame_keys.h"
#include "smd_input/smd_reader.h"

namespace varnex {

// Holds what the rows read of one frame at a time and writes in blocks of about 64 KB.
class CFrameWriter {
public:
    // Plans every row; throws CVarnexError when a row needs a rest line the model lacks.
    CFrameWriter(const BUILD_JOB& job, const COMPOSE_CONTEXT& context);
    CFrameWriter(const CFrameWriter&) = delete;
    CFrameWriter& operator=(const CFrameWriter&) = delete;

    // Where the next bytes go, and the range fed with row 0's heights (none: not fed).
    void SetOutput(COutputSink& out) { m_out = &out; }
    void SetRootHeights(CRootHeightRange* heights) { m_rootHeights = heights; }
    void SetBoneTears(CBoneTears* tears) { m_tears = tears; }
    // Forgets the open frame and the bytes not yet written, as after a refusal.
    void Reset() {
        m_inFrame = false;
        m_used = 0;
    }

    // A "time" line opens a frame; throws CVarnexError when it has no frame number.
    void Start(std::string_view timeLine, const std::string& source, int lineNumber);
    // Reads a line of the frame in place, once, at the place of the node its number names: the
    // usual form by the fast route, any other kept whole for the general route. Throws
    // CVarnexError for a node number that names no node or one that already has its line, and
    // for a line no row reads whose fields are not numbers; problems of a line a row reads are
    // found when the row reads it, as rows come in order. Lines before the first frame are
    // dropped.
    void Add(std::string_view line, int lineNumber);
    // Writes the open frame, if any: its "time" line and a line per row. Throws CVarnexError
    // naming the line a row cannot read, or the frame when it lacks a node a row reads.
    void Finish();
    void Append(std::string_view bytes);
    void Flush();

private:
    void AddRootHeight(std::size_t place);
    void PlanTear(std::size_t plan, const BUILD_JOB& job);
    void WatchTear(std::size_t plan, const POSITION& p) {
        const TEAR_PLAN& t = m_tearPlans[plan];
        double dx = p.x - t.x, dy = p.y - t.y, dz = p.z - t.z;
        double d2 = dx * dx + dy * dy + dz * dz;
        if (d2 > t.limit2) AddTear(plan, d2);
    }
    void AddTear(std::size_t plan, double distance2);
    [[noreturn]] void RefuseMissingNode(const ROW_PLAN& plan, std::size_t place);

    // What the rows read of one line of the frame.
    struct SOURCE_SLOT {
        bool usual = false;
        double x = 0.0, y = 0.0, z = 0.0;
        std::size_t rotationSize = 0;
        char rotation[USUAL_ROTATION_ROOM] = {};
        FRAME_LINE line;  // the line as read, when it is not usual
    };

    const COMPOSE_CONTEXT& m_context;
    COutputSink* m_out = nullptr;
    bool m_general;
    CRootHeightRange* m_rootHeights;
    CBoneTears* m_tears;
    // Per plan: the model's rest offset and the square of the distance that tears it; a row that
    // is not watched (row 0, a rest row, no readable rest line) has an infinite limit.
    struct TEAR_PLAN {
        double x = 0.0, y = 0.0, z = 0.0;
        double limit2 = 0.0;
        double restLength = 0.0;
    };
    std::vector<TEAR_PLAN> m_tearPlans;
    const std::vector<SMD_NODE>* m_modelNodes;
    const ANIMATION_NODES& m_nodes;
    CFrameKeys m_keys;
    std::vector<ROW_PLAN> m_plans;
    std::vector<std::size_t> m_placeOf;  // per plan: the place of the node it reads
    std::vector<char> m_read;            // the node at place n is read by a row
    std::vector<SOURCE_SLOT> m_slots;    // per place read; reused from frame to frame
    std::size_t m_linesNeeded = 0;       // lines in order that hold every node read
    std::size_t m_size = 0;              // lines of the frame so far
    const std::vector<FRAME_LINE> m_noLines;
    FRAME_VIEW m_frame;
    bool m_inFrame = false;
    std::string m_text;  // a line by the general route
    PADDED_TEXT m_lineEnd;
    bool m_fastLineEnd = false;       // the line end fits m_lineEnd
    std::unique_ptr<char[]> m_block;  // BLOCK_BYTES, and room for the line that crosses it
    std::size_t m_used = 0;
};

// Reads lines from anim into frames up to the animation's "end" (written, with the line end,
// and true) or the reader's end (false; when sourceEnds, the refusal of the missing "end"
// instead). The first non-blank byte of a line decides what it is.
bool ReadFrames(CLineReader& anim, CFrameWriter& frames, std::string_view lineEnd,
                bool sourceEnds);

// True when the line is a frame's "time" line as ReadFrames tells them apart.
bool StartsFrame(std::string_view line);

// Writes the model's header lines, each with the line end.
void WriteModelHeader(const BUILD_JOB& job, COutputSink& out);

// What every line of the build shares, for the animation read by anim.
COMPOSE_CONTEXT ComposeContextOf(const BUILD_JOB& job, const std::string& animSource);

}  // namespace varnex

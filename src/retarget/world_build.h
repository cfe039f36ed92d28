// BUILD SMD by the world method: frames read into typed poses, solved one by one, and written as
// composed lines.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "motion/motion_types.h"
#include "platform/file_access.h"
#include "retarget/build_smd.h"
#include "retarget/node_line.h"
#include "smd_input/usual_number.h"
#include "smd_input/smd_reader.h"

namespace varnex {

// Frames from typed poses: each frame's "time" line, then a line per pose, row by row: the node
// number as BUILD SMD writes it (right-aligned in three columns), then the position and the
// angles in BUILD SMD's number form for composed values, single spaces between them. Composed in
// a block that goes to the output about 64 KB at a time. A row's node number and position are written once and their text copied while they
// stay the same (the world method writes every row's rest offset but row 0's).
class CPoseLines {
public:
    explicit CPoseLines(std::string_view lineEnd);
    ~CPoseLines();
    CPoseLines(const CPoseLines&) = delete;
    CPoseLines& operator=(const CPoseLines&) = delete;

    void AppendFrame(COutputSink& out, std::string_view timeText, std::span<const POSE> poses);
    void Append(COutputSink& out, std::string_view bytes);
    // Forgets the bytes not yet written, as after a refusal.
    void Clear() { m_used = 0; }
    void Flush(COutputSink& out);

private:
    struct ROW {
        bool known = false;
        POSE position;
        bool fits = false;  // the text fits head
        std::size_t size = 0;
        char head[64] = {};  // the text, copied whole into the block
        std::string text;
    };
    // Bytes composed before they go to the output in one write, and room kept past them.
    static constexpr std::size_t BLOCK_BYTES = 1 << 16;
    static constexpr std::size_t BLOCK_SLACK = 1024;
    // Room a line takes at most in the block by WriteFastLine.
    static constexpr std::size_t LINE_ROOM =
        sizeof ROW::head + 3 * (USUAL_DECIMAL_TEXT_BYTES + 1) + sizeof PADDED_TEXT::bytes;

    // The line put together in the block; false, having written nothing that counts, for a rare
    // angle or a line end or head too long for the fixed copies.
    bool WriteFastLine(const ROW& row, const POSE& pose);

    std::string_view m_lineEnd;
    PADDED_TEXT m_paddedLineEnd;
    bool m_fastLineEnd = false;
    std::vector<ROW> m_rows;
    std::unique_ptr<char[]> m_block;
    std::size_t m_used = 0;
};

// The whole command by the world method: the model's header, then every frame of the animation
// at animPath retargeted by CWorldRetarget onto job.model's skeleton from refAnim's (the
// reference animation: node list and first frame) with job.rows, then "end"; written to
// outputPath through a temporary file renamed over it only when complete. Uses job.model,
// job.rows, job.lineEnd, job.threads and job.segmentBytes (the animation cut into segments of
// whole frames, each read, solved and written by one worker, as the default method's build does;
// the bytes are the same for any number) and, when set, feeds job.rootHeights with row 0's
// heights; the rest of the job is the local build's. Gives the animation's nodes that no row
// reads. Throws CVarnexError as CAnimationRetarget does, naming the file and line; outputPath is
// then untouched. The caller has checked that outputPath names no input.
std::vector<std::string> RetargetAnimationFileByWorld(const BUILD_JOB& job, const SMD_HEAD& refAnim,
                                                      const std::string& animPath,
                                                      const std::string& outputPath);

}  // namespace varnex

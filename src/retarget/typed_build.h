// BUILD SMD by the typed route for any retarget in memory: the frames CAnimationRetarget gives
// (either method, through the feet stage when asked) written as lines: the local method's with
// the texts it copies, the world method's composed.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "motion/motion_setup.h"
#include "retarget/build_smd.h"

namespace varnex {

// Frames by the local method on typed poses, as BUILD SMD writes them: each frame's "time" line,
// then row by row the rest line's text, or the position the method made (result, by row) and the
// rotation text of the source line the row reads. A row's node number and position are written
// once and their text copied while the position stays the same.
class CLocalFrameLines {
public:
    // plans: PlanRow of every row, in order.
    CLocalFrameLines(std::vector<ROW_PLAN> plans, std::string_view lineEnd);
    // With method, the rows as the method made them before a stage changed result: a position
    // or a rotation whose three values are no longer bitwise the method's is written composed
    // instead of by its text (a position of a source row is composed either way).
    void Append(std::string& out, std::string_view timeText, std::span<const POSE> result,
                const CFrameTexts& source, std::span<const POSE> method = {});

private:
    struct HEAD {
        bool known = false;
        POSE position;  // its x, y and z, the text's
        std::string text;
    };
    std::vector<ROW_PLAN> m_plans;
    std::string m_lineEnd;
    std::vector<HEAD> m_heads;  // by plan
};

// The model's header (job.model), every frame of the animation at animPath retargeted by setup,
// its rows written with job.lineEnd, then "end"; written to outputPath through a temporary file
// renamed over it only when complete. The local method writes the source's rotation texts and
// the rest lines' (CLocalFrameLines): without a stage the bytes BUILD SMD's byte route writes,
// through the feet stage the same bytes for every row the stage leaves as the method made it.
// The world method composes every value (CPoseLines). Feeds job.rootHeights, when set,
// with row 0's heights. Gives the animation's nodes that no row reads. Throws CVarnexError as
// CAnimationRetarget does; outputPath is then untouched. The caller has checked that outputPath
// names no input.
std::vector<std::string> RetargetAnimationFileTyped(const BUILD_JOB& job, const MOTION_SETUP& setup,
                                                    const std::string& animPath,
                                                    const std::string& outputPath);

}  // namespace varnex

#include "motion/world_build.h"

#include <algorithm>

#include "motion/motion_setup.h"
#include "platform/file_access.h"
#include "smd_input/decimal_text.h"

namespace varnex {

namespace {
// What the output holds before it is handed on, as the local build's blocks.
constexpr std::size_t BLOCK_BYTES = 64 << 10;
}  // namespace

void AppendPoseLine(std::string& out, int row, const POSE& pose, std::string_view lineEnd) {
    std::string number = std::to_string(row);
    out += ' ';
    if (number.size() < 2) out += ' ';
    out += number;
    for (double value : {pose.x, pose.y, pose.z, pose.rx, pose.ry, pose.rz}) {
        out += ' ';
        AppendDecimalText(out, value);
    }
    out.append(lineEnd);
}

void AppendPoseFrame(std::string& out, std::string_view timeText, std::span<const POSE> poses,
                     std::string_view lineEnd) {
    out.append(timeText);
    out.append(lineEnd);
    for (std::size_t row = 0; row < poses.size(); ++row) {
        AppendPoseLine(out, static_cast<int>(row), poses[row], lineEnd);
    }
}

std::vector<std::string> RetargetAnimationFileByWorld(const BUILD_JOB& job, const SMD_HEAD& refAnim,
                                                      const std::string& animPath,
                                                      const std::string& outputPath) {
    MOTION_SETUP setup = MakeMotionSetup(*job.model, refAnim, job.rows, ROOT_MODE::SCALE);
    setup.method = RETARGET_METHOD::WORLD;
    CAnimationRetarget frames(setup, animPath);
    CAtomicOutput output(outputPath);
    std::string text;
    for (const std::string& line : job.model->headerLines) {
        text += line;
        text += job.lineEnd;
    }
    while (frames.Next(true)) {
        // As the local build, a line per row of the job.
        std::span<const POSE> poses(frames.Result());
        AppendPoseFrame(text, frames.TimeText(), poses.first(std::min(poses.size(), job.rows.size())),
                        job.lineEnd);
        if (job.rootHeights != nullptr && !frames.Result().empty()) {
            int line = RowSourceLine(0, job.rows.empty() ? 0 : job.rows[0].nodes);
            job.rootHeights->Add(frames.RowSource()[static_cast<std::size_t>(line)].z,
                                 frames.Result()[0].z);
        }
        if (text.size() >= BLOCK_BYTES) {
            output.Write(text);
            text.clear();
        }
    }
    text += "end";
    text += job.lineEnd;
    output.Write(text);
    output.Commit();
    return frames.UnusedNodes();
}

}  // namespace varnex

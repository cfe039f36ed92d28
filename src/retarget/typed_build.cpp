#include "retarget/typed_build.h"

#include <algorithm>
#include <span>

#include "retarget/world_build.h"
#include "platform/file_access.h"

namespace varnex {

namespace {
// Bytes gathered before a write.
constexpr std::size_t WRITE_BLOCK = 64 << 10;
}  // namespace

std::vector<std::string> RetargetAnimationFileTyped(const BUILD_JOB& job, const MOTION_SETUP& setup,
                                                    const std::string& animPath,
                                                    const std::string& outputPath) {
    CAnimationRetarget frames(setup, animPath);
    CAtomicOutput output(outputPath);
    std::string text;
    for (const std::string& line : job.model->headerLines) {
        text += line;
        text += job.lineEnd;
    }
    const std::size_t rows = job.rows.size();
    const auto rowZeroLine =
        static_cast<std::size_t>(RowSourceLine(0, job.rows.empty() ? 0 : job.rows[0].nodes));
    while (frames.Next(true)) {
        std::span<const POSE> poses(frames.Result());
        AppendPoseFrame(text, frames.TimeText(), poses.first(std::min(poses.size(), rows)),
                        job.lineEnd);
        if (job.rootHeights != nullptr && !poses.empty() &&
            rowZeroLine < frames.RowSource().size()) {
            job.rootHeights->Add(frames.RowSource()[rowZeroLine].z, poses[0].z);
        }
        if (text.size() >= WRITE_BLOCK) {
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

#include "retarget/typed_build.h"

#include <algorithm>
#include <span>

#include "retarget/frame_writer.h"
#include "retarget/world_build.h"
#include "platform/file_access.h"

namespace varnex {

namespace {
// Bytes gathered before a write.
constexpr std::size_t WRITE_BLOCK = 64 << 10;
}  // namespace

void AppendLocalFrame(std::string& out, std::string_view timeText, std::span<const ROW_PLAN> plans,
                      std::span<const POSE> result, const CFrameTexts& source,
                      std::string_view lineEnd) {
    out.append(timeText);
    out.append(lineEnd);
    for (const ROW_PLAN& plan : plans) {
        if (plan.source == REST_LINE) {
            out += plan.restText;
            continue;
        }
        const POSE& p = result[static_cast<std::size_t>(plan.row)];
        AppendUsualNodeLine(plan, POSITION{p.x, p.y, p.z},
                            source.Rotation(static_cast<std::size_t>(plan.source)), lineEnd, out);
    }
}

std::vector<std::string> RetargetAnimationFileTyped(const BUILD_JOB& job, const MOTION_SETUP& setup,
                                                    const std::string& animPath,
                                                    const std::string& outputPath) {
    CAnimationRetarget frames(setup, animPath);
    const bool texts = setup.method == RETARGET_METHOD::LOCAL && setup.feet == FEET_MODE::NONE;
    std::vector<ROW_PLAN> plans;
    if (texts) {
        frames.KeepTexts();
        COMPOSE_CONTEXT context = ComposeContextOf(job, animPath);
        context.rootFromLegs = setup.rootFromLegs ? &*setup.rootFromLegs : nullptr;
        for (std::size_t r = 0; r < job.rows.size(); ++r) {
            plans.push_back(PlanRow(static_cast<int>(r), job.rows[r], context));
        }
    }
    CAtomicOutput output(outputPath);
    std::string text;
    for (const std::string& line : job.model->headerLines) {
        text += line;
        text += job.lineEnd;
    }
    output.Write(text);
    text.clear();
    // Composed lines go through the world build's block writer, which writes them alike.
    CPoseLines lines(job.lineEnd);
    const std::size_t rows = job.rows.size();
    const auto rowZeroLine = static_cast<std::size_t>(job.rows.empty() ? 0 : job.rows[0].source);
    while (frames.Next(true)) {
        std::span<const POSE> poses(frames.Result());
        if (texts) {
            AppendLocalFrame(text, frames.TimeText(), plans, poses, frames.RowTexts(), job.lineEnd);
        } else {
            lines.AppendFrame(output, frames.TimeText(), poses.first(std::min(poses.size(), rows)));
        }
        if (job.rootHeights != nullptr && !poses.empty() &&
            rowZeroLine < frames.RowSource().size()) {
            job.rootHeights->Add(frames.RowSource()[rowZeroLine].z, poses[0].z);
        }
        if (text.size() >= WRITE_BLOCK) {
            output.Write(text);
            text.clear();
        }
    }
    if (texts) {
        text += "end";
        text += job.lineEnd;
        output.Write(text);
    } else {
        lines.Append(output, "end");
        lines.Append(output, job.lineEnd);
        lines.Flush(output);
    }
    output.Commit();
    return frames.UnusedNodes();
}

}  // namespace varnex

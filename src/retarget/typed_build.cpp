#include "retarget/typed_build.h"

#include <algorithm>
#include <optional>
#include <span>

#include "retarget/frame_writer.h"
#include "retarget/world_build.h"
#include "platform/file_access.h"
#include "smd_input/decimal_text.h"

namespace varnex {

namespace {
// Bytes gathered before a write.
constexpr std::size_t WRITE_BLOCK = 64 << 10;

// " a b c" for three composed values.
void AppendThree(std::string& out, double a, double b, double c) {
    for (double value : {a, b, c}) {
        out += ' ';
        AppendDecimalText(out, value);
    }
}

// A rest row a stage changed: the rest line's node number, then its position and its rotation
// texts where their values are still the rest's, composed values where they are not.
void AppendChangedRestLine(const ROW_PLAN& plan, const POSE& p, bool samePosition,
                           bool sameRotation, std::string_view lineEnd, std::string& out) {
    // The rest text is the node number, then six fields with a space before each.
    std::string_view line(plan.restText);
    line.remove_suffix(lineEnd.size());
    std::size_t rotation = line.size(), position = line.size();
    for (int spaces = 0; spaces < 6; ++spaces) {
        position = line.rfind(' ', position - 1);
        if (spaces == 2) rotation = position;
    }
    out.append(line.substr(0, position));
    if (samePosition) {
        out.append(line.substr(position, rotation - position));
    } else {
        AppendThree(out, p.x, p.y, p.z);
    }
    if (sameRotation) {
        out.append(line.substr(rotation));
    } else {
        AppendThree(out, p.rx, p.ry, p.rz);
    }
    out.append(lineEnd);
}
}  // namespace

CLocalFrameLines::CLocalFrameLines(std::vector<ROW_PLAN> plans, std::string_view lineEnd)
    : m_plans(std::move(plans)), m_lineEnd(lineEnd), m_heads(m_plans.size()) {}

void CLocalFrameLines::Append(std::string& out, std::string_view timeText,
                              std::span<const POSE> result, const CFrameTexts& source,
                              std::span<const POSE> method) {
    out.append(timeText);
    out.append(m_lineEnd);
    for (std::size_t n = 0; n < m_plans.size(); ++n) {
        const ROW_PLAN& plan = m_plans[n];
        const auto row = static_cast<std::size_t>(plan.row);
        const POSE& p = result[row];
        bool samePosition = true, sameRotation = true;
        if (row < method.size()) {
            const POSE& m = method[row];
            samePosition = SamePosition(p, m);
            sameRotation = SameRotation(p, m);
        }
        if (plan.source == REST_LINE) {
            if (samePosition && sameRotation) {
                out += plan.restText;
            } else {
                AppendChangedRestLine(plan, p, samePosition, sameRotation, m_lineEnd, out);
            }
            continue;
        }
        // The prefix and the position, each followed by a space, as AppendUsualNodeLine writes
        // them; most rows keep their position from frame to frame.
        HEAD& head = m_heads[n];
        if (!head.known || !SamePosition(head.position, p)) {
            head.text.clear();
            AppendUsualNodeLine(plan, POSITION{p.x, p.y, p.z}, {}, {}, head.text);
            head.position = p;
            head.known = true;
        }
        out += head.text;
        if (sameRotation) {
            out.append(source.Rotation(static_cast<std::size_t>(plan.source)));
        } else {
            // A rotation the stage turned, composed as the position (the head ends in a space).
            out.pop_back();
            AppendThree(out, p.rx, p.ry, p.rz);
        }
        out.append(m_lineEnd);
    }
}

std::vector<std::string> RetargetAnimationFileTyped(const BUILD_JOB& job, const MOTION_SETUP& setup,
                                                    const std::string& animPath,
                                                    const std::string& outputPath) {
    CAnimationRetarget frames(setup, animPath);
    // The local method writes the texts it copies, through the feet stage too for what the
    // stage leaves as the method made it.
    const bool texts = setup.method == RETARGET_METHOD::LOCAL;
    const bool staged = setup.feet != FEET_MODE::NONE;
    std::optional<CLocalFrameLines> local;
    if (texts) {
        std::vector<ROW_PLAN> plans;
        frames.KeepTexts();
        COMPOSE_CONTEXT context = ComposeContextOf(job, animPath);
        context.rootFromLegs = setup.rootFromLegs ? &*setup.rootFromLegs : nullptr;
        for (std::size_t r = 0; r < job.rows.size(); ++r) {
            plans.push_back(PlanRow(job.rows[r], context));
        }
        local.emplace(std::move(plans), job.lineEnd);
    }
    // The stage takes every frame in turn: with threads to spare, the next are read meanwhile.
    if (staged && job.threads > 1) frames.ReadAhead();
    CAtomicOutput output(outputPath);
    std::string text;
    for (const std::string& line : job.model->headerLines) {
        text += line;
        text += job.lineEnd;
    }
    output.Write(text);
    text.clear();
    // The world method's lines go through its build's block writer, which writes them alike.
    CPoseLines lines(job.lineEnd);
    const std::size_t rows = job.rows.size();
    const auto rowZeroLine = static_cast<std::size_t>(job.rows.empty() ? 0 : job.rows[0].source);
    while (frames.Next(true)) {
        std::span<const POSE> poses(frames.Result());
        if (texts) {
            local->Append(text, frames.TimeText(), poses, frames.RowTexts(),
                          staged ? std::span<const POSE>(frames.MethodResult())
                                 : std::span<const POSE>());
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

#include "retarget/world_build.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <cmath>
#include <exception>
#include <optional>
#include <thread>

#include "motion/fixed_text.h"
#include "motion/motion_setup.h"
#include "platform/file_access.h"
#include "platform/varnex_error.h"
#include "smd_input/decimal_text.h"
#include "smd_input/usual_number.h"

namespace varnex {

namespace {
// Appends " v" for each value in BUILD SMD's number form, through one buffer appended once.
void AppendValues(std::string& out, std::span<const double> values) {
    char line[6 * (USUAL_DECIMAL_TEXT_BYTES + 1)];
    char* p = line;
    for (double value : values) {
        *p++ = ' ';
        char* end = WriteUsualDecimalText(p, value);
        if (end == nullptr) {
            // A rare value: the general writer, after what the buffer holds so far.
            out.append(line, static_cast<std::size_t>(p - line));
            AppendDecimalTextByDigits(out, value);
            p = line;
            continue;
        }
        p = end;
    }
    out.append(line, static_cast<std::size_t>(p - line));
}

// The node number right-aligned in three columns, then the position.
void AppendRowAndPosition(std::string& out, int row, const POSE& pose) {
    char digits[12];
    char head[16];
    char* p = head;
    int count = 0;
    unsigned n = static_cast<unsigned>(row < 0 ? 0 : row);
    do {
        digits[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0 && count < 11);
    *p++ = ' ';
    if (count < 2) *p++ = ' ';
    while (count > 0) *p++ = digits[--count];
    out.append(head, static_cast<std::size_t>(p - head));
    const double position[3] = {pose.x, pose.y, pose.z};
    AppendValues(out, position);
}

void AppendAngles(std::string& out, const POSE& pose) {
    const double angles[3] = {pose.rx, pose.ry, pose.rz};
    AppendValues(out, angles);
}

bool SamePosition(const POSE& a, const POSE& b) {
    // Bit for bit: -0 and 0 are written apart.
    return std::bit_cast<std::uint64_t>(a.x) == std::bit_cast<std::uint64_t>(b.x) &&
           std::bit_cast<std::uint64_t>(a.y) == std::bit_cast<std::uint64_t>(b.y) &&
           std::bit_cast<std::uint64_t>(a.z) == std::bit_cast<std::uint64_t>(b.z);
}

// A frame's lines as AppendPoseFrame writes them. The world method writes every row's rest
// offset but row 0's, so a row's node number and position are written once and their text
// copied while they stay the same.
class CPoseLines {
public:
    void AppendFrame(std::string& out, std::string_view timeText, std::span<const POSE> poses,
                     std::string_view lineEnd) {
        out.append(timeText);
        out.append(lineEnd);
        if (m_rows.size() < poses.size()) m_rows.resize(poses.size());
        for (std::size_t r = 0; r < poses.size(); ++r) {
            ROW& row = m_rows[r];
            const POSE& pose = poses[r];
            if (!row.known || !SamePosition(row.position, pose)) {
                row.head.clear();
                AppendRowAndPosition(row.head, static_cast<int>(r), pose);
                row.position = pose;
                row.known = true;
            }
            if (!AppendFastLine(out, row.head, pose, lineEnd)) {
                out.append(row.head);
                AppendAngles(out, pose);
                out.append(lineEnd);
            }
        }
    }

private:
    // The line put together in one buffer and appended once; false, having appended nothing,
    // for a rare angle or a line too long for it.
    static bool AppendFastLine(std::string& out, const std::string& head, const POSE& pose,
                               std::string_view lineEnd) {
        char line[128];
        if (head.size() + 3 * (USUAL_DECIMAL_TEXT_BYTES + 1) + lineEnd.size() > sizeof line) {
            return false;
        }
        std::memcpy(line, head.data(), head.size());
        char* p = line + head.size();
        for (double value : {pose.rx, pose.ry, pose.rz}) {
            *p++ = ' ';
            p = WriteUsualDecimalText(p, value);
            if (p == nullptr) return false;
        }
        std::memcpy(p, lineEnd.data(), lineEnd.size());
        out.append(line, static_cast<std::size_t>(p - line) + lineEnd.size());
        return true;
    }

    struct ROW {
        bool known = false;
        POSE position;
        std::string head;
    };
    std::vector<ROW> m_rows;
};
}  // namespace

void AppendPoseLine(std::string& out, int row, const POSE& pose, std::string_view lineEnd) {
    AppendRowAndPosition(out, row, pose);
    AppendAngles(out, pose);
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

namespace {
// Frames a worker solves at a time.
constexpr std::size_t FRAMES_PER_BATCH = 128;

// A run of frames read on the calling thread, solved and written as text by a worker.
struct FRAME_BATCH {
    std::size_t count = 0;
    std::vector<FRAME_POSES> sources;  // in the reference animation's order
    std::vector<std::string> times;
    std::vector<int> timeLines;
    std::string text;
    std::optional<CRowError> problem;  // the first frame the solve refused
    std::size_t problemFrame = 0;
    CRootHeightRange heights;
    WORLD_WORK work;
    std::vector<POSE> result;
    CPoseLines lines;
};

struct BATCH_OUTPUT {
    std::size_t rows = 0;  // lines written per frame
    std::string_view lineEnd;
    int rowZeroLine = 0;
    bool heights = false;
};

void SolveBatch(const CWorldRetarget& world, const BATCH_OUTPUT& o, FRAME_BATCH& b) {
    b.text.clear();
    b.heights = CRootHeightRange();
    b.problem.reset();
    for (std::size_t i = 0; i < b.count; ++i) {
        try {
            world.Apply(b.sources[i], b.result, b.work);
        } catch (const CRowError& e) {
            b.problem = e;
            b.problemFrame = i;
            return;
        }
        std::span<const POSE> poses(b.result);
        b.lines.AppendFrame(b.text, b.times[i], poses.first(std::min(poses.size(), o.rows)),
                            o.lineEnd);
        if (o.heights && !b.result.empty()) {
            b.heights.Add(b.sources[i][static_cast<std::size_t>(o.rowZeroLine)].z, b.result[0].z);
        }
    }
}

bool AllFinite(const FRAME_POSES& frame) {
    for (const POSE& p : frame) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z) ||
            !std::isfinite(p.rx) || !std::isfinite(p.ry) || !std::isfinite(p.rz)) {
            return false;
        }
    }
    return true;
}

// Fills the batches with the next frames; false once the animation's "end" is read. A frame the
// solve would refuse (too short, or a value that is no finite number) is retargeted here, so
// that its refusal names the file and line as the single-thread build does.
bool ReadBatches(CAnimationRetarget& frames, std::vector<FRAME_BATCH>& batches) {
    const std::size_t linesRead = static_cast<std::size_t>(frames.WorldRetarget()->LinesRead());
    for (FRAME_BATCH& b : batches) b.count = 0;
    for (FRAME_BATCH& b : batches) {
        while (b.count < FRAMES_PER_BATCH) {
            if (!frames.ReadNext()) return false;
            const FRAME_POSES& source = frames.RowSource();
            if (source.size() < linesRead || !AllFinite(source)) frames.Retarget();
            if (b.sources.size() <= b.count) {
                b.sources.emplace_back();
                b.times.emplace_back();
                b.timeLines.emplace_back();
            }
            b.sources[b.count] = source;
            b.times[b.count] = frames.TimeText();
            b.timeLines[b.count] = frames.TimeLineNumber();
            ++b.count;
        }
    }
    return true;
}

// Writes the solved batches in order; throws for a frame whose solve failed.
void WriteBatches(std::vector<FRAME_BATCH>& batches, const std::string& animSource,
                  COutputSink& output, CRootHeightRange* heights) {
    for (FRAME_BATCH& b : batches) {
        if (b.count == 0) return;  // the animation ended before it: its text is an older batch's
        if (b.problem) {
            const std::size_t line = static_cast<std::size_t>(std::max(0, b.problem->FrameLine()));
            const POSE& p = b.sources[b.problemFrame][line];
            throw CVarnexError(ERROR_KIND::POSITION_NOT_FINITE, animSource,
                               b.timeLines[b.problemFrame],
                               {FixedText(p.x, 6), FixedText(p.y, 6), FixedText(p.z, 6),
                                std::to_string(b.problem->Row())});
        }
        output.Write(b.text);
        if (heights != nullptr) heights->Merge(b.heights);
    }
}

// Reads batches while the workers solve the ones read before.
void WriteInThreads(CAnimationRetarget& frames, const BATCH_OUTPUT& o, int threads,
                    const std::string& animSource, COutputSink& output, CRootHeightRange* heights) {
    const CWorldRetarget& world = *frames.WorldRetarget();
    std::vector<FRAME_BATCH> current(static_cast<std::size_t>(threads)), next(current.size());
    bool more = ReadBatches(frames, current);
    for (;;) {
        std::exception_ptr readFailure;
        bool moreNext = false;
        {
            std::vector<std::jthread> workers;
            for (FRAME_BATCH& b : current) {
                if (b.count > 0)
                    workers.emplace_back([&world, &o, &b] { SolveBatch(world, o, b); });
            }
            try {
                if (more) moreNext = ReadBatches(frames, next);
            } catch (...) {
                readFailure = std::current_exception();  // after the frames before it
            }
        }
        WriteBatches(current, animSource, output, heights);
        if (readFailure) std::rethrow_exception(readFailure);
        if (!more) return;
        std::swap(current, next);
        more = moreNext;
    }
}
}  // namespace

std::vector<std::string> RetargetAnimationFileByWorld(const BUILD_JOB& job, const SMD_HEAD& refAnim,
                                                      const std::string& animPath,
                                                      const std::string& outputPath) {
    MOTION_SETUP setup = MakeMotionSetup(*job.model, refAnim, job.rows, ROOT_MODE::SCALE);
    setup.method = RETARGET_METHOD::WORLD;
    CAnimationRetarget frames(setup, animPath);
    CAtomicOutput output(outputPath);
    std::string header;
    for (const std::string& line : job.model->headerLines) {
        header += line;
        header += job.lineEnd;
    }
    output.Write(header);
    BATCH_OUTPUT o;
    o.rows = job.rows.size();
    o.lineEnd = job.lineEnd;
    o.rowZeroLine = SourceLineOf(0, job.rows.empty() ? 0 : job.rows[0].nodes);
    o.heights = job.rootHeights != nullptr;
    WriteInThreads(frames, o, std::max(1, job.threads), animPath, output, job.rootHeights);
    output.Write("end" + job.lineEnd);
    output.Commit();
    return frames.UnusedNodes();
}

}  // namespace varnex

#include "retarget/world_build.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <cmath>
#include <memory>

#include "motion/fixed_text.h"
#include "motion/motion_setup.h"
#include "platform/file_access.h"
#include "platform/varnex_error.h"
#include "retarget/frame_writer.h"
#include "retarget/segmented_build.h"
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

}  // namespace

CPoseLines::CPoseLines(std::string_view lineEnd)
    : m_lineEnd(lineEnd), m_block(new char[BLOCK_BYTES + BLOCK_SLACK]) {
    m_fastLineEnd = MakePaddedText(lineEnd, m_paddedLineEnd);
}

CPoseLines::~CPoseLines() = default;

void CPoseLines::AppendFrame(COutputSink& out, std::string_view timeText,
                             std::span<const POSE> poses) {
    Append(out, timeText);
    Append(out, m_lineEnd);
    if (m_rows.size() < poses.size()) m_rows.resize(poses.size());
    for (std::size_t r = 0; r < poses.size(); ++r) {
        ROW& row = m_rows[r];
        const POSE& pose = poses[r];
        if (!row.known || !SamePosition(row.position, pose)) {
            std::string head;
            AppendRowAndPosition(head, static_cast<int>(r), pose);
            row.fits = head.size() <= sizeof row.head;
            row.size = head.size();
            std::memcpy(row.head, head.data(), row.fits ? head.size() : 0);
            row.text = std::move(head);
            row.position = pose;
            row.known = true;
        }
        if (m_used + LINE_ROOM > BLOCK_BYTES + BLOCK_SLACK) Flush(out);
        if (!WriteFastLine(row, pose)) {
            std::string line = row.text;
            AppendAngles(line, pose);
            line.append(m_lineEnd);
            Append(out, line);
        }
        if (m_used >= BLOCK_BYTES) Flush(out);
    }
}

void CPoseLines::Append(COutputSink& out, std::string_view bytes) {
    if (m_used + bytes.size() > BLOCK_BYTES + BLOCK_SLACK) {
        Flush(out);
        if (bytes.size() > BLOCK_BYTES) return out.Write(bytes);
    }
    std::memcpy(m_block.get() + m_used, bytes.data(), bytes.size());
    m_used += bytes.size();
}

void CPoseLines::Flush(COutputSink& out) {
    if (m_used == 0) return;
    out.Write(std::string_view(m_block.get(), m_used));
    m_used = 0;
}

bool CPoseLines::WriteFastLine(const ROW& row, const POSE& pose) {
    if (!row.fits || !m_fastLineEnd) return false;
    char* start = m_block.get() + m_used;
    std::memcpy(start, row.head, sizeof row.head);
    char* p = start + row.size;
    for (double value : {pose.rx, pose.ry, pose.rz}) {
        *p++ = ' ';
        p = WriteUsualDecimalText(p, value);
        if (p == nullptr) return false;
    }
    std::memcpy(p, m_paddedLineEnd.bytes, sizeof m_paddedLineEnd.bytes);
    m_used = static_cast<std::size_t>(p - m_block.get()) + m_paddedLineEnd.size;
    return true;
}

namespace {
bool AllFinite(const FRAME_POSES& frame) {
    for (const POSE& p : frame) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z) ||
            !std::isfinite(p.rx) || !std::isfinite(p.ry) || !std::isfinite(p.rz)) {
            return false;
        }
    }
    return true;
}

// A worker's frames by the world method: each read, solved and written in turn, with its own
// reading of the animation and its own work.
class CWorldBuilder : public CSegmentBuilder {
public:
    CWorldBuilder(const MOTION_SETUP& setup, const std::string& animPath, const BUILD_JOB& job)
        : m_frames(setup, animPath),
          m_rows(job.rows.size()),
          m_lineEnd(job.lineEnd),
          m_rowZeroLine(static_cast<std::size_t>(job.rows.empty() ? 0 : job.rows[0].source)),
          m_lines(job.lineEnd) {}

    const std::vector<std::string>& UnusedNodes() const { return m_frames.UnusedNodes(); }

    bool Build(CLineReader& reader, COutputSink& out, CRootHeightRange* heights, CBoneTears*,
               bool sourceEnds) override {
        m_frames.ReadFrom(reader, sourceEnds);
        m_lines.Clear();
        const CWorldRetarget& world = *m_frames.WorldRetarget();
        const std::size_t linesRead = static_cast<std::size_t>(world.LinesRead());
        // Frames are solved two at a time where the processor can (ApplyPair): the first is held
        // while the next is read. Each is still refused, by its own lines, as it is read.
        bool holding = false;
        while (m_frames.ReadNext()) {
            const FRAME_POSES& source = m_frames.RowSource();
            // A frame the solve would refuse (too short, or a value that is no finite number)
            // is refused by the retarget, which names its line.
            if (source.size() < linesRead || !AllFinite(source)) m_frames.Retarget();
            if (!holding) {
                m_held.assign(source.begin(), source.end());
                m_heldTimeText = m_frames.TimeText();
                m_heldTimeLine = m_frames.TimeLineNumber();
                holding = true;
                continue;
            }
            holding = false;
            if (world.ApplyPair(m_held, source, m_heldResult, m_result, m_pairWork)) {
                Write(out, heights, m_heldTimeText, m_held, m_heldResult);
                Write(out, heights, m_frames.TimeText(), source, m_result);
                continue;
            }
            Solve(reader, m_held, m_heldTimeLine);
            Write(out, heights, m_heldTimeText, m_held, m_result);
            Solve(reader, source, m_frames.TimeLineNumber());
            Write(out, heights, m_frames.TimeText(), source, m_result);
        }
        if (holding) {
            Solve(reader, m_held, m_heldTimeLine);
            Write(out, heights, m_heldTimeText, m_held, m_result);
        }
        const bool ended = m_frames.Ended();
        if (ended) {
            m_lines.Append(out, "end");
            m_lines.Append(out, m_lineEnd);
        }
        m_lines.Flush(out);
        return ended;
    }

private:
    // The frame by the one-frame solve into m_result; a row it cannot make is refused with the
    // frame's "time" line.
    void Solve(const CLineReader& reader, const FRAME_POSES& source, int timeLine) {
        try {
            m_frames.WorldRetarget()->Apply(source, m_result, m_work);
        } catch (const CRowError& e) {
            const POSE& p = source[static_cast<std::size_t>(std::max(0, e.FrameLine()))];
            throw CVarnexError(ERROR_KIND::POSITION_NOT_FINITE, reader.SourceName(), timeLine,
                               {FixedText(p.x, 6), FixedText(p.y, 6), FixedText(p.z, 6),
                                std::to_string(e.Row())});
        }
    }

    void Write(COutputSink& out, CRootHeightRange* heights, std::string_view timeText,
               const FRAME_POSES& source, const std::vector<POSE>& result) {
        std::span<const POSE> poses(result);
        m_lines.AppendFrame(out, timeText, poses.first(std::min(poses.size(), m_rows)));
        if (heights != nullptr && !result.empty()) {
            heights->Add(source[m_rowZeroLine].z, result[0].z);
        }
    }

    CAnimationRetarget m_frames;
    std::size_t m_rows;  // lines written per frame
    const std::string& m_lineEnd;
    std::size_t m_rowZeroLine;
    WORLD_WORK m_work;
    WORLD_PAIR_WORK m_pairWork;
    std::vector<POSE> m_result;
    FRAME_POSES m_held;  // the first frame of a pair, its "time" line's text and number
    std::string m_heldTimeText;
    int m_heldTimeLine = 0;
    std::vector<POSE> m_heldResult;
    CPoseLines m_lines;
};
}  // namespace

std::vector<std::string> RetargetAnimationFileByWorld(const BUILD_JOB& job, const SMD_HEAD& refAnim,
                                                      const std::string& animPath,
                                                      const std::string& outputPath) {
    MOTION_SETUP setup = MakeMotionSetup(*job.model, refAnim, job.rows, ROOT_MODE::SCALE);
    setup.method = RETARGET_METHOD::WORLD;
    // The first worker's, made before anything is written: the animation's and the rows'
    // refusals come first.
    auto first = std::make_unique<CWorldBuilder>(setup, animPath, job);
    const std::vector<std::string> unused = first->UnusedNodes();
    CFile file;
    file.OpenForReading(animPath);
    CLineReader anim(file);
    ReadAnimationHead(anim);
    CAtomicOutput output(outputPath);
    BUILD_JOB world = job;
    world.boneTears = nullptr;  // every offset is the model's own
    if (world.threads > 1) {
        WriteSegmentedFrames(world, anim, output, [&]() -> std::unique_ptr<CSegmentBuilder> {
            if (first) return std::move(first);
            return std::make_unique<CWorldBuilder>(setup, animPath, job);
        });
    } else {
        WriteModelHeader(world, output);
        first->Build(anim, output, world.rootHeights, nullptr, true);
    }
    output.Commit();
    return unused;
}

}  // namespace varnex

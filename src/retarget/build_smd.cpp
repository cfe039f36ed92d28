#include "retarget/build_smd.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/varnex_error.h"
#include "smd_input/number_text.h"

namespace varnex {

namespace {
// Bytes composed before they go to the output in one write.
constexpr std::size_t BLOCK_BYTES = 1 << 16;
// Room kept past BLOCK_BYTES for the line that crosses it.
constexpr std::size_t BLOCK_SLACK = 1024;
// Lines a row may read that are told apart from the others; past it (a NODES value in the tens
// of thousands) every line is read, so a huge value costs no memory before the frame is short.
constexpr std::size_t MAX_TRACKED_LINES = 1 << 16;

class CFrameWriter {
public:
    CFrameWriter(const BUILD_JOB& job, const COMPOSE_CONTEXT& context, COutputSink& out)
        : m_context(context),
          m_out(out),
          m_general(job.generalRouteOnly),
          m_rootHeights(job.rootHeights),
          m_block(new char[BLOCK_BYTES + BLOCK_SLACK]) {
        for (std::size_t i = 0; i < job.rows.size(); ++i) {
            m_plans.push_back(PlanRow(static_cast<int>(i), job.rows[i], context));
            const ROW_PLAN& plan = m_plans.back();
            if (plan.source == REST_LINE) continue;
            std::size_t n = static_cast<std::size_t>(plan.source);
            m_kept = std::max(m_kept, n + 1);
            if (n < MAX_TRACKED_LINES) {
                if (m_read.size() <= n) m_read.resize(n + 1, 0);
                m_read[n] = 1;
            }
            // A row whose factors could overflow needs the texts of its positions for the message.
            if (!plan.finiteForUsual) m_general = true;
        }
        m_frame.lines = &m_noLines;
        m_fastLineEnd = MakePaddedText(context.lineEnd, m_lineEnd);
    }

    void Start(std::string_view timeLine, const std::string& source, int lineNumber) {
        m_frame.timeText = TimeLineText(timeLine, source, lineNumber);
        m_frame.timeLineNumber = lineNumber;
        m_size = 0;
        m_inFrame = true;
    }

    // Reads a line of the frame in place, once: the usual form by the fast route, any other
    // kept whole for the general route. Problems are found when a row reads the line, as rows
    // come in order.
    void Add(std::string_view line, int lineNumber) {
        if (!m_inFrame) return;  // lines between "skeleton" and the first frame are dropped
        // Only the lines a row reads are kept, so even a huge frame takes little memory.
        if (m_size < m_kept && (m_size >= m_read.size() ? m_size >= MAX_TRACKED_LINES
                                                       : m_read[m_size] != 0)) {
            if (m_size >= m_slots.size()) m_slots.resize(m_size + 1);
            SOURCE_SLOT& slot = m_slots[m_size];
            USUAL_FRAME_LINE usual;
            slot.usual = !m_general && ReadUsualFrameLine(line, usual);
            if (slot.usual) {
                slot.x = usual.x;
                slot.y = usual.y;
                slot.z = usual.z;
                slot.rotationSize = usual.rotation.size();
                // The line is followed by READABLE_PAST_LINE readable bytes: one fixed-size copy.
                static_assert(USUAL_ROTATION_ROOM <= READABLE_PAST_LINE);
                std::memcpy(slot.rotation, usual.rotation.data(), USUAL_ROTATION_ROOM);
            } else {
                slot.line.text.assign(line);
                slot.line.lineNumber = lineNumber;
            }
        }
        ++m_size;
    }

    void Finish() {
        if (!m_inFrame) return;
        m_inFrame = false;
        Append(m_frame.timeText);
        Append(m_context.lineEnd);
        m_frame.size = m_size;
        for (const ROW_PLAN& plan : m_plans) {
            if (plan.source == REST_LINE) {
                Append(plan.restText);
                continue;
            }
            std::size_t n = static_cast<std::size_t>(plan.source);
            if (n >= m_size) {
                ComposePlannedLine(plan, m_frame, m_context, m_text);  // refuses the short frame
            }
            const SOURCE_SLOT& slot = m_slots[n];
            m_text.clear();
            if (!slot.usual) {
                ComposeFromSourceLine(plan, slot.line, m_context, m_text);
                Append(m_text);
                continue;
            }
            USUAL_FRAME_LINE usual{slot.x, slot.y, slot.z,
                                   std::string_view(slot.rotation, slot.rotationSize)};
            if (m_fastLineEnd) {
                if (m_used + USUAL_NODE_LINE_ROOM > BLOCK_BYTES + BLOCK_SLACK) Flush();
                char* end = WriteUsualNodeLine(plan, usual, m_lineEnd, m_block.get() + m_used);
                if (end != nullptr) {
                    m_used = static_cast<std::size_t>(end - m_block.get());
                    if (m_used >= BLOCK_BYTES) Flush();
                    continue;
                }
            }
            AppendUsualNodeLine(plan, usual, m_context.lineEnd, m_text);
            Append(m_text);
        }
        if (m_rootHeights != nullptr && !m_plans.empty()) AddRootHeight(m_plans.front());
    }

    // Row 0's height as read and as written, for the build's root check: the line has just been
    // written, so it reads.
    void AddRootHeight(const ROW_PLAN& plan) {
        const SOURCE_SLOT& slot = m_slots[static_cast<std::size_t>(plan.source)];
        double x = slot.x, y = slot.y, z = slot.z;
        if (!slot.usual) {
            FRAME_FIELDS f = ParseFrameFields(slot.line.text, m_context.animSource, slot.line.lineNumber);
            x = TextToDouble(f.x);
            y = TextToDouble(f.y);
            z = TextToDouble(f.z);
        }
        m_rootHeights->Add(z, CorrectedPosition(plan, x, y, z).z);
    }

    void Append(std::string_view bytes) {
        if (m_used + bytes.size() > BLOCK_BYTES + BLOCK_SLACK) {
            Flush();
            if (bytes.size() > BLOCK_BYTES) {
                m_out.Write(bytes);
                return;
            }
        }
        std::memcpy(m_block.get() + m_used, bytes.data(), bytes.size());
        m_used += bytes.size();
        if (m_used >= BLOCK_BYTES) Flush();
    }

    void Flush() {
        if (m_used == 0) return;
        m_out.Write(std::string_view(m_block.get(), m_used));
        m_used = 0;
    }

private:
    // What the rows read of one line of the frame.
    struct SOURCE_SLOT {
        bool usual = false;
        double x = 0.0, y = 0.0, z = 0.0;
        std::size_t rotationSize = 0;
        char rotation[USUAL_ROTATION_ROOM] = {};
        FRAME_LINE line;  // the line as read, when it is not usual
    };

    const COMPOSE_CONTEXT& m_context;
    COutputSink& m_out;
    bool m_general;
    CRootHeightRange* m_rootHeights;
    std::vector<ROW_PLAN> m_plans;
    std::vector<char> m_read;          // line n is read by a row
    std::vector<SOURCE_SLOT> m_slots;  // reused from frame to frame
    std::size_t m_size = 0;   // lines of the frame so far
    std::size_t m_kept = 0;   // lines 0 to m_kept - 1 are the ones the rows read
    const std::vector<FRAME_LINE> m_noLines;
    FRAME_VIEW m_frame;
    bool m_inFrame = false;
    std::string m_text;  // a line by the general route
    PADDED_TEXT m_lineEnd;
    bool m_fastLineEnd = false;        // the line end fits m_lineEnd
    std::unique_ptr<char[]> m_block;   // BLOCK_BYTES, and room for the line that crosses it
    std::size_t m_used = 0;
};
}  // namespace

std::vector<NODE_ROW> BuildRows(const GRID& grid, const std::vector<double>& boneScale,
                                int rowCount) {
    std::vector<NODE_ROW> rows;
    for (int i = 0; i < rowCount && static_cast<std::size_t>(i) < grid.size(); ++i) {
        std::size_t r = static_cast<std::size_t>(i);
        rows.push_back(NODE_ROW{grid[r].nodes, grid[r].correction,
                                r < boneScale.size() ? boneScale[r] : 0.0});
    }
    return rows;
}

void WriteRetargetedAnimation(const BUILD_JOB& job, CLineReader& anim, COutputSink& out) {
    COMPOSE_CONTEXT context;
    context.animSource = anim.SourceName();
    context.modelSource = job.model->source;
    context.refLines = &job.model->frame0Lines;
    context.lineEnd = job.lineEnd;
    context.rootFromLegs = job.rootFromLegs;
    std::string header;
    for (const std::string& line : job.model->headerLines) {
        header += line;
        header += job.lineEnd;
    }
    out.Write(header);

    CFrameWriter frames(job, context, out);
    std::string_view line;
    while (anim.Next(line)) {
        // The first non-blank byte decides: node lines start with a digit, keywords with their
        // first letter, so most lines never meet a keyword test.
        std::size_t i = 0;
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i == line.size()) continue;
        char first = line[i];
        if (first == 'e' && IsKeywordLine(line, "end")) {
            frames.Finish();
            frames.Append("end");
            frames.Append(job.lineEnd);
            frames.Flush();
            return;
        }
        if (first == 't' && IsTimeLine(line)) {
            frames.Finish();
            frames.Start(line, anim.SourceName(), anim.LineNumber());
        } else {
            frames.Add(line, anim.LineNumber());
        }
    }
    frames.Finish();  // a malformed last frame says more than the missing "end"
    frames.Flush();
    throw MissingEnd(anim);
}

void RetargetAnimation(const BUILD_JOB& job, CLineReader& anim, const std::string& outputPath) {
    CAtomicOutput output(outputPath);
    WriteRetargetedAnimation(job, anim, output);
    output.Commit();
}

void RetargetAnimationFile(const BUILD_JOB& job, const std::string& animPath,
                           const std::string& outputPath) {
    CAtomicOutput output(outputPath);
    CFile file;
    file.OpenForReading(animPath);
    CLineReader anim(file);
    // The head is read again, so a file changed since SMD Animation is still read right.
    ReadAnimationHead(anim);
    WriteRetargetedAnimation(job, anim, output);
    file.Close();
    output.Commit();
}

std::string DefaultOutputName(const std::string& refModelPath, const std::string& animPath) {
    std::string anim = FileNameOf(animPath);
    std::string model = FileNameOf(refModelPath);
    model = model.size() > 4 ? model.substr(0, model.size() - 4) : std::string();
    std::size_t underscore = model.find('_');
    if (underscore != std::string::npos) model.erase(underscore + 1);
    return model + anim;
}

}  // namespace varnex

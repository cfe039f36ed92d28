#include "retarget/build_smd.h"

#include "platform/varnex_error.h"

namespace varnex {

namespace {
class CFrameWriter {
public:
    CFrameWriter(const BUILD_JOB& job, const COMPOSE_CONTEXT& context, COutputSink& out)
        : m_context(context), m_out(out), m_rootHeights(job.rootHeights) {
        m_text.reserve(1 << 14);
        for (std::size_t i = 0; i < job.rows.size(); ++i) {
            m_plans.push_back(PlanRow(static_cast<int>(i), job.rows[i], context));
            int n = m_plans.back().source;
            if (n != REST_LINE && static_cast<std::size_t>(n) + 1 > m_kept) {
                m_kept = static_cast<std::size_t>(n) + 1;
            }
        }
    }

    void Start(std::string_view timeLine, const std::string& source, int lineNumber) {
        m_frame.timeText = TimeLineText(timeLine, source, lineNumber);
        m_frame.timeLineNumber = lineNumber;
        m_size = 0;
        m_inFrame = true;
    }

    void Add(std::string_view line, int lineNumber) {
        if (!m_inFrame) return;  // lines between "skeleton" and the first frame are dropped
        // Only the lines a row reads are kept, so even a huge frame takes little memory.
        if (m_size < m_kept) {
            if (m_size == m_lines.size()) m_lines.emplace_back();
            FRAME_LINE& slot = m_lines[m_size];
            slot.text.assign(line);
            slot.lineNumber = lineNumber;
        }
        ++m_size;
    }

    void Finish() {
        if (!m_inFrame) return;
        m_text.clear();
        m_text += m_frame.timeText;
        m_text += m_context.lineEnd;
        m_frame.lines = &m_lines;
        m_frame.size = m_size;
        ROOT_HEIGHT root;
        for (std::size_t i = 0; i < m_plans.size(); ++i) {
            ROOT_HEIGHT* height = i == 0 && m_rootHeights != nullptr ? &root : nullptr;
            ComposePlannedLine(m_plans[i], m_frame, m_context, m_text, height);
        }
        if (m_rootHeights != nullptr && !m_plans.empty()) m_rootHeights->Add(root.read, root.written);
        m_out.Write(m_text);
        m_inFrame = false;
    }

private:
    const COMPOSE_CONTEXT& m_context;
    COutputSink& m_out;
    CRootHeightRange* m_rootHeights;
    std::vector<ROW_PLAN> m_plans;
    std::vector<FRAME_LINE> m_lines;  // reused from frame to frame
    std::size_t m_size = 0;   // lines of the frame so far
    std::size_t m_kept = 0;   // lines 0 to m_kept - 1 are the ones the rows read
    FRAME_VIEW m_frame;
    bool m_inFrame = false;
    std::string m_text;
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
        // Most lines are a frame's node lines: a digit first settles it without the keyword tests.
        if (!line.empty() && line.front() >= '0' && line.front() <= '9') {
            frames.Add(line, anim.LineNumber());
            continue;
        }
        if (IsBlankLine(line)) continue;
        if (IsKeywordLine(line, "end")) {
            frames.Finish();
            out.Write("end" + job.lineEnd);
            return;
        }
        if (IsTimeLine(line)) {
            frames.Finish();
            frames.Start(line, anim.SourceName(), anim.LineNumber());
        } else {
            frames.Add(line, anim.LineNumber());
        }
    }
    frames.Finish();  // a malformed last frame says more than the missing "end"
    throw MissingEnd(anim);
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

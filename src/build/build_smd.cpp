#include "build/build_smd.h"

#include "platform/varnex_error.h"

namespace {
class CFrameWriter {
public:
    CFrameWriter(const BUILD_JOB& job, COutputSink& out) : m_job(job), m_out(out) {
        m_text.reserve(1 << 14);
        for (std::size_t i = 0; i < job.rows.size(); ++i) {
            m_plans.push_back(PlanRow(static_cast<int>(i), job.rows[i], job.context));
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
        m_text += m_job.context.lineEnd;
        m_frame.lines = &m_lines;
        m_frame.size = m_size;
        for (const ROW_PLAN& plan : m_plans) ComposePlannedLine(plan, m_frame, m_job.context, m_text);
        m_out.Write(m_text);
        m_inFrame = false;
    }

private:
    const BUILD_JOB& m_job;
    COutputSink& m_out;
    std::vector<ROW_PLAN> m_plans;
    std::vector<FRAME_LINE> m_lines;  // reused from frame to frame
    std::size_t m_size = 0;   // lines of the frame so far
    std::size_t m_kept = 0;   // lines 0 to m_kept - 1 are the ones the rows read
    FRAME_VIEW m_frame;
    bool m_inFrame = false;
    std::string m_text;
};
}  // namespace

std::string TimeLineText(std::string_view line, const std::string& source, int lineNumber) {
    std::string_view fields[2];
    if (SplitFields(line, fields, 2) < 2) {
        throw CVarnexError(source, lineNumber, "ligne « time » sans numéro de frame");
    }
    return "time " + std::string(fields[1]);
}

void WriteRetargetedAnimation(const BUILD_JOB& job, CLineReader& anim, COutputSink& out) {
    std::string header;
    for (const std::string& line : job.header) {
        header += line;
        header += job.context.lineEnd;
    }
    out.Write(header);

    CFrameWriter frames(job, out);
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
            out.Write("end" + job.context.lineEnd);
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

CVarnexError MissingEnd(const CLineReader& reader) {
    // A file cut short would otherwise give an output cut short, and say nothing.
    return CVarnexError(reader.SourceName(), reader.LineNumber(),
                        "le fichier se termine sans la ligne « end » qui ferme les frames : "
                        "est-il tronqué ?");
}

std::string DefaultOutputName(const std::string& refModelPath, const std::string& animPath) {
    std::string anim = FileNameOf(animPath);
    std::string model = FileNameOf(refModelPath);
    model = model.size() > 4 ? model.substr(0, model.size() - 4) : std::string();
    std::size_t underscore = model.find('_');
    if (underscore != std::string::npos) model.erase(underscore + 1);
    return model + anim;
}

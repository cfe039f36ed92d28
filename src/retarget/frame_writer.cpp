#include "retarget/frame_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>


#include "platform/varnex_error.h"
#include "smd_input/number_text.h"

namespace varnex {

namespace {
// Bytes composed before they go to the output in one write.
constexpr std::size_t BLOCK_BYTES = 1 << 16;
// Room kept past BLOCK_BYTES for the line that crosses it.
constexpr std::size_t BLOCK_SLACK = 1024;
}  // namespace

CFrameWriter::CFrameWriter(const BUILD_JOB& job, const COMPOSE_CONTEXT& context)
    : m_context(context),
      m_general(job.generalRouteOnly),
      m_rootHeights(job.rootHeights),
      m_tears(job.boneTears),
      m_modelNodes(&job.model->nodes),
      m_nodes(*job.animNodes),
      m_keys(job.animNodes->keys),
      m_block(new char[BLOCK_BYTES + BLOCK_SLACK]) {
    m_read.assign(m_keys.NodeCount(), 0);
    std::size_t slots = 0;
    for (std::size_t i = 0; i < job.rows.size(); ++i) {
        m_plans.push_back(PlanRow(job.rows[i], context));
        const ROW_PLAN& plan = m_plans.back();
        PlanTear(i, job);
        std::size_t place = plan.source == REST_LINE ? 0 : m_nodes.PlaceOf(plan.source);
        m_placeOf.push_back(place);
        if (plan.source == REST_LINE) continue;
        // A node beyond the list never has a line: the first frame refuses the row.
        if (place < m_read.size()) {
            m_read[place] = 1;
            slots = std::max(slots, place + 1);
        }
        m_linesNeeded = std::max(m_linesNeeded, place == ANIMATION_NODES::NOT_IN_ANIMATION
                                                    ? place
                                                    : place + 1);
        // A row whose factors could overflow needs the texts of its positions for the message.
        if (!plan.finiteForUsual) m_general = true;
    }
    m_slots.resize(slots);
    m_frame.lines = &m_noLines;
    m_fastLineEnd = MakePaddedText(context.lineEnd, m_lineEnd);
}

void CFrameWriter::Start(std::string_view timeLine, const std::string& source, int lineNumber) {
    m_frame.timeText = TimeLineText(timeLine, source, lineNumber);
    m_frame.timeLineNumber = lineNumber;
    m_size = 0;
    m_keys.StartFrame();
    m_inFrame = true;
}

void CFrameWriter::Add(std::string_view line, int lineNumber) {
    if (!m_inFrame) return;
    // Every line is read once in the usual form, which also gives its node number.
    USUAL_FRAME_LINE usual;
    bool isUsual = ReadUsualFrameLine(line, usual);
    std::size_t place = m_keys.Place(isUsual ? usual.node : -1, line, m_context.animSource,
                                     lineNumber, m_frame.timeText);
    ++m_size;
    if (m_read[place] == 0) {
        // Not written, but a line the model compiler reads all the same.
        if (!isUsual) ParseNumberFields(line, m_context.animSource, lineNumber);
        return;
    }
    // Only the lines a row reads are kept, so even a huge frame takes little memory.
    SOURCE_SLOT& slot = m_slots[place];
    slot.usual = !m_general && isUsual;
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

void CFrameWriter::RefuseMissingNode(const ROW_PLAN& plan, std::size_t place) {
    // Lines in order that stop short: the frame is short of lines, as a file cut there is.
    if (m_nodes.sameList && m_keys.InOrder() && place >= m_keys.Lines()) {
        ComposePlannedLine(plan, m_frame, m_context, m_text);
    }
    bool listed = place < m_keys.NodeCount();
    throw CVarnexError(ERROR_KIND::NODE_MISSING_IN_FRAME, m_context.animSource,
                       m_frame.timeLineNumber,
                       {m_frame.timeText,
                        std::to_string(listed ? m_keys.NumberAt(place) : plan.source),
                        listed ? m_nodes.keys[place].name : std::string(),
                        std::to_string(plan.row)});
}

void CFrameWriter::Finish() {
    if (!m_inFrame) return;
    m_inFrame = false;
    Append(m_frame.timeText);
    Append(m_context.lineEnd);
    m_frame.size = m_size;
    // Lines 0, 1, 2... in order as far as the last node read: every row finds its line.
    bool complete = m_keys.InOrder() && m_keys.Lines() >= m_linesNeeded;
    for (std::size_t i = 0; i < m_plans.size(); ++i) {
        const ROW_PLAN& plan = m_plans[i];
        if (plan.source == REST_LINE) {
            Append(plan.restText);
            continue;
        }
        std::size_t place = m_placeOf[i];
        if (!complete && !m_keys.Has(place)) RefuseMissingNode(plan, place);
        const SOURCE_SLOT& slot = m_slots[place];
        m_text.clear();
        if (!slot.usual) {
            POSITION p = ComposeFromSourceLine(plan, slot.line, m_context, m_text);
            if (m_tears != nullptr) WatchTear(i, p);
            Append(m_text);
            continue;
        }
        // The position is made once, for the line and for the torn-bone watch.
        const POSITION p = CorrectedPosition(plan, slot.x, slot.y, slot.z);
        const std::string_view rotation(slot.rotation, slot.rotationSize);
        if (m_tears != nullptr) WatchTear(i, p);
        if (m_fastLineEnd) {
            if (m_used + USUAL_NODE_LINE_ROOM > BLOCK_BYTES + BLOCK_SLACK) Flush();
            char* end = WriteUsualNodeLine(plan, p, rotation, m_lineEnd, m_block.get() + m_used);
            if (end != nullptr) {
                m_used = static_cast<std::size_t>(end - m_block.get());
                if (m_used >= BLOCK_BYTES) Flush();
                continue;
            }
        }
        AppendUsualNodeLine(plan, p, rotation, m_context.lineEnd, m_text);
        Append(m_text);
    }
    if (m_rootHeights != nullptr && !m_plans.empty()) AddRootHeight(m_placeOf.front());
}

void CFrameWriter::PlanTear(std::size_t plan, const BUILD_JOB& job) {
    TEAR_PLAN& t = m_tearPlans.emplace_back();
    t.limit2 = std::numeric_limits<double>::infinity();
    const ROW_PLAN& row = m_plans[plan];
    const std::vector<REST_POSE_LINE>& rest = job.model->rest.lines;
    if (row.row == 0 || row.source == REST_LINE || plan >= rest.size()) return;
    // A rest line the build never needed is never refused here: it is only not watched.
    const REST_POSE_LINE& r = rest[plan];
    if (!r.complete) return;
    for (int n = 1; n <= 3; ++n) {
        if (!IsDecimalNumber(r.Field(n))) return;
    }
    t.x = r.values[0];
    t.y = r.values[1];
    t.z = r.values[2];
    t.restLength = std::sqrt(t.x * t.x + t.y * t.y + t.z * t.z);
    if (std::isfinite(t.restLength)) t.limit2 = TornLimitSquared(t.restLength);
}

void CFrameWriter::AddTear(std::size_t plan, double distance2) {
    const ROW_PLAN& row = m_plans[plan];
    std::size_t n = static_cast<std::size_t>(row.row);
    static const std::string NO_NAME;
    m_tears->Add(row.row, n < m_modelNodes->size() ? (*m_modelNodes)[n].name : NO_NAME,
                 std::sqrt(distance2), m_tearPlans[plan].restLength);
}

// Row 0's height as read and as written, for the build's root check: the line has just been
// written, so it reads.
void CFrameWriter::AddRootHeight(std::size_t place) {
    const ROW_PLAN& plan = m_plans.front();
    const SOURCE_SLOT& slot = m_slots[place];
    double x = slot.x, y = slot.y, z = slot.z;
    if (!slot.usual) {
        FRAME_FIELDS f =
            ParseFrameFields(slot.line.text, m_context.animSource, slot.line.lineNumber);
        x = TextToDouble(f.x);
        y = TextToDouble(f.y);
        z = TextToDouble(f.z);
    }
    m_rootHeights->Add(z, CorrectedPosition(plan, x, y, z).z);
}

void CFrameWriter::Append(std::string_view bytes) {
    if (m_used + bytes.size() > BLOCK_BYTES + BLOCK_SLACK) {
        Flush();
        if (bytes.size() > BLOCK_BYTES) {
            m_out->Write(bytes);
            return;
        }
    }
    std::memcpy(m_block.get() + m_used, bytes.data(), bytes.size());
    m_used += bytes.size();
    if (m_used >= BLOCK_BYTES) Flush();
}

void CFrameWriter::Flush() {
    if (m_used == 0) return;
    m_out->Write(std::string_view(m_block.get(), m_used));
    m_used = 0;
}

bool StartsFrame(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    return i < line.size() && line[i] == 't' && IsTimeLine(line);
}

bool ReadFrames(CLineReader& anim, CFrameWriter& frames, std::string_view lineEnd,
                bool sourceEnds) {
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
            frames.Append(lineEnd);
            frames.Flush();
            return true;
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
    if (sourceEnds) throw MissingEnd(anim);
    return false;
}

void WriteModelHeader(const BUILD_JOB& job, COutputSink& out) {
    std::string header;
    for (const std::string& line : job.model->headerLines) {
        header += line;
        header += job.lineEnd;
    }
    out.Write(header);
}

COMPOSE_CONTEXT ComposeContextOf(const BUILD_JOB& job, const std::string& animSource) {
    COMPOSE_CONTEXT context;
    context.animSource = animSource;
    context.modelSource = job.model->source;
    context.rest = &job.model->rest;
    context.lineEnd = job.lineEnd;
    context.rootFromLegs = job.rootFromLegs;
    return context;
}

}  // namespace varnex

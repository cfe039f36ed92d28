#include "motion/smd_poses.h"

#include <cstring>

#include "smd_input/number_text.h"

namespace varnex {

std::vector<SKELETON_NODE> SkeletonOf(const std::vector<SMD_NODE>& nodes) {
    std::vector<SKELETON_NODE> skeleton;
    skeleton.reserve(nodes.size());
    for (const SMD_NODE& node : nodes) skeleton.push_back({node.name, node.parent});
    return skeleton;
}

namespace {
POSE PoseOfFields(const FRAME_FIELDS& f) {
    return {TextToDouble(f.x),  TextToDouble(f.y),  TextToDouble(f.z),
            TextToDouble(f.rx), TextToDouble(f.ry), TextToDouble(f.rz)};
}
}  // namespace

FRAME_POSES PosesOfRest(const REST_POSE& rest, const std::string& source) {
    FRAME_POSES poses;
    poses.reserve(rest.lines.size());
    for (const REST_POSE_LINE& line : rest.lines) {
        line.RequireNumbers(source);
        const std::array<double, 6>& v = line.values;
        poses.push_back(POSE{v[0], v[1], v[2], v[3], v[4], v[5]});
    }
    return poses;
}

POSE CAnimationFrameReader::GeneralLine(std::string_view line, std::size_t place,
                                        CFrameTexts* texts) {
    FRAME_FIELDS f = ParseNumberFields(line, m_reader.SourceName(), m_reader.LineNumber());
    if (texts != nullptr) {
        m_rotation.assign(f.rx);
        m_rotation += ' ';
        m_rotation.append(f.ry);
        m_rotation += ' ';
        m_rotation.append(f.rz);
        texts->Set(place, m_rotation);
    }
    return PoseOfFields(f);
}

bool CAnimationFrameReader::Next(FRAME_POSES* poses, CFrameTexts* texts) {
    if (m_ended) return false;
    if (poses != nullptr) poses->clear();
    if (texts != nullptr) texts->Clear();
    m_lineNumbers.clear();
    if (m_inFrame) {
        m_timeText.swap(m_nextTimeText);
        m_timeLine = m_nextTimeLine;
        m_keys.StartFrame();
    }
    std::string_view line;
    while (m_reader.Next(line)) {
        // The first non-blank byte decides, as BUILD SMD reads frames: node lines start with a
        // digit, keywords with their first letter.
        std::size_t first = 0;
        while (first < line.size() && IsBlank(line[first])) ++first;
        if (first == line.size()) continue;
        const char lead = line[first];
        if (lead < '0' || lead > '9') {
            if (lead == 'e' && IsKeywordLine(line, "end")) {
                m_ended = true;
                if (m_inFrame) ++m_frames;
                return m_inFrame;
            }
            if (lead == 't' && IsTimeLine(line)) {
                std::string text = TimeLineText(line, m_reader.SourceName(), m_reader.LineNumber());
                if (m_inFrame) {
                    m_nextTimeText = std::move(text);
                    m_nextTimeLine = m_reader.LineNumber();
                    ++m_frames;
                    return true;  // the next call reads the frame this line starts
                }
                m_timeText = std::move(text);
                m_timeLine = m_reader.LineNumber();
                m_inFrame = true;
                m_keys.StartFrame();
                continue;
            }
        }
        if (!m_inFrame) continue;
        if (poses == nullptr) {
            m_keys.Place(line, m_reader.SourceName(), m_reader.LineNumber(), m_timeText);
            continue;
        }
        // The usual form gives the node number and the pose in one pass.
        USUAL_FRAME_LINE usual;
        double rotation[3];
        std::size_t place;
        bool isUsual;
        if (m_only.empty()) {
            isUsual = ReadUsualFrameLine(line, usual, rotation);
            place = m_keys.Place(isUsual ? usual.node : -1, line, m_reader.SourceName(),
                                 m_reader.LineNumber(), m_timeText);
        } else {
            place = m_keys.Place(line, m_reader.SourceName(), m_reader.LineNumber(), m_timeText);
            if (place >= m_only.size() || !m_only[place]) continue;
            isUsual = ReadUsualFrameLine(line, usual, rotation);
        }
        POSE pose = isUsual ? POSE{usual.x, usual.y, usual.z, rotation[0], rotation[1], rotation[2]}
                            : GeneralLine(line, place, texts);
        if (texts != nullptr && isUsual) texts->Set(place, usual.rotation);
        if (place == poses->size()) {
            poses->push_back(pose);
            m_lineNumbers.push_back(m_reader.LineNumber());
            continue;
        }
        if (place > poses->size()) {
            poses->resize(place + 1);
            m_lineNumbers.resize(place + 1, m_timeLine);
        }
        (*poses)[place] = pose;
        m_lineNumbers[place] = m_reader.LineNumber();
    }
    if (!m_cut) throw MissingEnd(m_reader);
    bool given = m_inFrame;
    m_inFrame = false;
    if (given) ++m_frames;
    return given;
}

ANIMATION_POSES ReadAnimationPoses(const std::string& path) {
    CFile file;
    file.OpenForReading(path);
    CLineReader reader(file);
    ANIMATION_POSES animation;
    SMD_HEAD head = ReadAnimationHead(reader);
    animation.nodes = SkeletonOf(head.nodes);
    CAnimationFrameReader frames(reader, head.nodes);
    FRAME_POSES poses;
    while (frames.Next(&poses)) animation.frames.push_back(poses);
    return animation;
}

}  // namespace varnex

#include "motion/motion_setup.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "motion/biped_rig.h"
#include "motion/fixed_text.h"
#include "motion/motion_check.h"
#include "motion/smd_poses.h"
#include "platform/varnex_error.h"

namespace varnex {

namespace {
LEGS_RATIO LegsRatioOf(const MOTION_SETUP& s) {
    return MeasureLegsRatio(s.modelNodes, s.modelRig, s.modelRest, s.refNodes, s.refRig,
                            s.refRest);
}

MOTION_SETUP ReadSkeletons(const SMD_HEAD& model, const SMD_HEAD& refAnim) {
    MOTION_SETUP s;
    s.modelSource = model.source;
    s.SetModelNodes(SkeletonOf(model.nodes));
    s.modelRest = PosesOfRest(model.rest, model.source);
    s.SetRefNodes(SkeletonOf(refAnim.nodes));
    s.refRest = PosesOfRest(refAnim.rest, refAnim.source);
    s.legs = LegsRatioOf(s);
    return s;
}

ROOT_FROM_LEGS RuleOf(const MOTION_SETUP& s, const SMD_HEAD& model, const SMD_HEAD& refAnim,
                      int rowZeroNodes) {
    if (!s.legs.known) {
        MOTION_WARNING why = NoLegsRatioWarning(s.legs);
        throw CVarnexError(ERROR_KIND::NO_LEGS_RATIO,
                           why.modelHasLegs ? refAnim.source : model.source, 0,
                           {why.modelHasLegs ? "1" : "0", why.sourceHasLegs ? "1" : "0"});
    }
    ROOT_FROM_LEGS rule;
    if (!MakeRootFromLegs(s.legs.ratio, s.refRest, s.modelRest, rowZeroNodes, rule)) {
        if (s.modelRest.empty()) throw CVarnexError(ERROR_KIND::NO_REST_LINE, model.source, 0, {"0", "0"});
        throw CVarnexError(ERROR_KIND::FRAME0_NO_LINE_FOR_ROW, refAnim.source, refAnim.frame0TimeLine,
                           {"0", std::to_string(rowZeroNodes), refAnim.frame0Time,
                            std::to_string(refAnim.rest.lines.size()),
                            std::to_string(DecodeRow(0, RETARGET_ROW{rowZeroNodes}).source)});
    }
    return rule;
}
}  // namespace

void MOTION_SETUP::SetModelNodes(std::vector<SKELETON_NODE> nodes) {
    modelNodes = std::move(nodes);
    modelRig = CBipedRig(modelNodes);
}

void MOTION_SETUP::SetRefNodes(std::vector<SKELETON_NODE> nodes) {
    refNodes = std::move(nodes);
    refRig = CBipedRig(refNodes);
}

CBipedRig MOTION_SETUP::RigOf(const std::vector<SKELETON_NODE>& nodes) const {
    return nodes == refNodes ? refRig : CBipedRig(nodes);
}

MOTION_SETUP MakeMotionSetup(const SMD_HEAD& model, const SMD_HEAD& refAnim,
                             std::vector<DECODED_ROW> rows, ROOT_MODE rootMotion) {
    MOTION_SETUP s = ReadSkeletons(model, refAnim);
    s.rows = std::move(rows);
    if (rootMotion == ROOT_MODE::LEGS) {
        s.rootFromLegs = RuleOf(s, model, refAnim, s.rows.empty() ? 0 : s.rows[0].nodes);
    }
    return s;
}

LEGS_RATIO LoadedLegsRatio(const SMD_HEAD& model, const SMD_HEAD& refAnim) {
    try {
        return ReadSkeletons(model, refAnim).legs;
    } catch (const CVarnexError&) {
        return LEGS_RATIO();
    }
}

ROOT_FROM_LEGS RootRuleFromLegs(const SMD_HEAD& model, const SMD_HEAD& refAnim, int rowZeroNodes) {
    return RuleOf(ReadSkeletons(model, refAnim), model, refAnim, rowZeroNodes);
}

std::vector<MOTION_WARNING> BuildWarnings(const LEGS_RATIO& legs, double rowZeroFactor,
                                          ROOT_MODE rootMotion, const CRootHeightRange& heights,
                                          const CBoneTears& tears) {
    std::vector<MOTION_WARNING> warnings;
    if (rootMotion == ROOT_MODE::SCALE) {
        if (auto w = RootFactorWarning(rowZeroFactor, legs)) warnings.push_back(*w);
    }
    if (auto w = heights.Warning(legs)) warnings.push_back(*w);
    if (auto w = tears.Warning()) warnings.push_back(*w);
    return warnings;
}

std::vector<MOTION_WARNING> PairingWarnings(const MOTION_SETUP& setup) {
    std::vector<POSE> result;
    try {
        CMethodRetarget(setup).Apply(setup.refRest, result);
    } catch (const CVarnexError&) {
        return {};
    }
    CBoneWarnings bones(setup, setup.refNodes, setup.refRig);
    bones.AddFrame(setup.refRest, result);
    return bones.Warnings();
}

void AdviseFor(RETARGET_METHOD method, FEET_MODE feet, std::vector<MOTION_WARNING>& warnings) {
    for (MOTION_WARNING& w : warnings) {
        w.methodAdvice = method == RETARGET_METHOD::LOCAL;
        w.contactAdvice = feet == FEET_MODE::NONE;
    }
}

MOTION_CHECK_INPUT CheckInput(const MOTION_SETUP& setup,
                              const std::vector<SKELETON_NODE>& sourceNodes,
                              const CBipedRig& sourceRig, bool rootFromLegs) {
    MOTION_CHECK_INPUT input;
    input.sourceNodes = sourceNodes;
    input.sourceRig = sourceRig;
    input.sourceRest = setup.refRest;
    input.modelNodes = setup.modelNodes;
    input.modelRig = setup.modelRig;
    input.modelRest = setup.modelRest;
    input.rows = setup.rows;
    input.legs = setup.legs;
    input.rootFromLegs = rootFromLegs;
    return input;
}

CBoneWarnings::CBoneWarnings(const MOTION_SETUP& setup,
                             const std::vector<SKELETON_NODE>& sourceNodes,
                             const CBipedRig& sourceRig)
    : m_check(std::make_unique<CMotionCheck>(
          CheckInput(setup, sourceNodes, sourceRig, setup.rootFromLegs.has_value()))) {}

CBoneWarnings::~CBoneWarnings() = default;

void CBoneWarnings::AddFrame(std::span<const POSE> source, std::span<const POSE> result) {
    m_check->AddFrame(source, result);
}

std::vector<FOOT_CONTACT> CBoneWarnings::SourceContacts() const {
    return m_check->Report().feet.contacts;
}

std::vector<MOTION_WARNING> CBoneWarnings::Warnings() const {
    std::vector<MOTION_WARNING> warnings;
    for (MOTION_WARNING& w : m_check->Report().warnings) {
        if (w.code == WARNING_CODE::TORN_BONE || w.code == WARNING_CODE::CHAIN_ANGLE) {
            warnings.push_back(std::move(w));
        }
    }
    return warnings;
}

namespace {
const ROOT_FROM_LEGS* RuleOrNone(const MOTION_SETUP& setup) {
    return setup.rootFromLegs ? &*setup.rootFromLegs : nullptr;
}

// The world method's root rule. A reference first frame without row 0's line (which the pairing
// refuses before any retarget) leaves the source's rest root at the origin.
ROOT_FROM_LEGS WorldRuleOf(const MOTION_SETUP& setup) {
    if (setup.rootFromLegs) return *setup.rootFromLegs;
    DECODED_ROW rowZero = RowAt(setup.rows, 0);
    ROOT_FROM_LEGS rule;
    if (!WorldRootRule(setup.legs, setup.refRest, setup.modelRest, rowZero, rule)) {
        rule.legsRatio = setup.legs.known ? setup.legs.ratio : rowZero.boneScale;
        if (!setup.modelRest.empty()) {
            const POSE& m = setup.modelRest[0];
            rule.modelRest = {m.x, m.y, m.z};
        }
    }
    return rule;
}
}  // namespace

CMethodRetarget::CMethodRetarget(const MOTION_SETUP& setup) {
    if (setup.method == RETARGET_METHOD::WORLD) {
        m_world = std::make_unique<CWorldRetarget>(setup.modelNodes, setup.modelRest,
                                                   setup.refNodes, setup.refRest, setup.rows,
                                                   WorldRuleOf(setup));
    } else {
        m_local = std::make_unique<CFrameRetarget>(
            setup.modelRest, static_cast<int>(setup.modelNodes.size()), setup.rows,
            RuleOrNone(setup));
    }
}

void CMethodRetarget::Apply(std::span<const POSE> source, std::vector<POSE>& result) {
    if (m_world) {
        m_world->Apply(source, result);
    } else {
        m_local->Apply(source, result);
    }
}

ANIMATION_POSES ReadRowSourcePoses(const MOTION_SETUP& setup, const std::string& animPath) {
    // Read only: no row is planned, so that a row the model cannot follow still leaves the
    // source to be drawn; the animation was refused on load if it lacks a node the grid reads.
    MOTION_SETUP plain = setup;
    plain.rows.clear();
    plain.method = RETARGET_METHOD::LOCAL;
    plain.feet = FEET_MODE::NONE;
    plain.rootFromLegs.reset();
    CAnimationRetarget run(plain, animPath);
    ANIMATION_POSES animation;
    animation.nodes = run.RowSourceNodes();
    while (run.ReadNext()) animation.frames.push_back(run.RowSource());
    return animation;
}

CAnimationRetarget::CAnimationRetarget(const MOTION_SETUP& setup, const std::string& animPath)
    : m_setup(setup) {
    try {
        m_method.emplace(setup);
    } catch (const CRowError& e) {
        throw CVarnexError(e.Kind(), setup.modelSource, 0, e.Values());  // a model's rest line
    }
    m_file.OpenForReading(animPath);
    m_reader = std::make_unique<CLineReader>(m_file);
    SMD_HEAD head = ReadAnimationHead(*m_reader);
    m_sourceNodes = SkeletonOf(head.nodes);
    if (m_sourceNodes.empty()) m_sourceNodes = setup.refNodes;
    std::vector<SMD_NODE> refNodes;
    for (std::size_t i = 0; i < setup.refNodes.size(); ++i) {
        refNodes.push_back(SMD_NODE{static_cast<int>(i), setup.refNodes[i].name,
                                    setup.refNodes[i].parent, std::string(), 0});
    }
    m_sourcesRead = SourcesRead(setup.rows);
    m_nodes = MapAnimationNodes(refNodes, head.nodes, m_sourcesRead, animPath);
    if (m_nodes.sameList) m_sourceRig = setup.RigOf(m_sourceNodes);  // else the reference's serves
    m_frames = std::make_unique<CAnimationFrameReader>(*m_reader, m_nodes.keys);
    if (setup.feet == FEET_MODE::CONTACT) StartFeet(animPath);
}

void CAnimationRetarget::StartFeet(const std::string& animPath) {
    m_feet = std::make_unique<CFeetStage>(m_setup.modelNodes, m_setup.modelRig, m_setup.modelRest,
                                          m_setup.refNodes, m_setup.refRig, WorldRuleOf(m_setup),
                                          ReadSourceFeet(m_setup, animPath));
}

FEET_SOURCE CAnimationRetarget::ReadSourceFeet(const MOTION_SETUP& setup,
                                               const std::string& animPath) {
    MOTION_SETUP plain = setup;
    plain.feet = FEET_MODE::NONE;
    CAnimationRetarget first(plain, animPath);
    CSourceFeet feet(setup.refNodes, setup.refRig);
    // Only the lines of the feet and their ancestors are read now; the second pass reads and
    // checks every line, and refuses the file as it would have without the feet.
    std::vector<char> wanted;
    for (int n : feet.NodesRead()) {
        std::size_t place = first.m_nodes.PlaceOf(n);
        if (place >= first.m_nodes.keys.size()) continue;
        if (place >= wanted.size()) wanted.resize(place + 1, 0);
        wanted[place] = 1;
    }
    if (!wanted.empty()) first.m_frames->ReadOnly(std::move(wanted));
    try {
        while (first.ReadNext()) feet.Add(first.RowSource());
    } catch (const CVarnexError&) {
        // The second pass comes to the same fault, or an earlier one, and names it.
    }
    return feet.Feet();
}

bool CAnimationRetarget::ReadGivenFrame(FEET_FRAME& frame) {
    if (!ReadNext()) return false;
    Retarget();
    frame.source = m_source;
    frame.rowSource = m_nodes.sameList ? m_source : m_byReference;
    frame.result = m_result;
    if (m_keepTexts) {
        frame.method = m_result;
        // The next read refills what the frame leaves here.
        std::swap(frame.texts, m_nodes.sameList ? m_texts : m_textsByReference);
    }
    frame.timeText = m_frames->TimeText();
    frame.timeLine = m_frames->TimeLineNumber();
    return true;
}

bool CAnimationRetarget::NextThroughFeet() {
    while (!m_feet->Ready()) {
        if (m_readAll || !(m_ahead ? TakeAhead(m_spare) : ReadGivenFrame(m_spare))) {
            m_readAll = true;
            m_feet->Finish();
            break;
        }
        m_feet->Push(m_spare);
    }
    if (!m_feet->Pop(m_spare)) return false;
    std::swap(m_given, m_spare);
    return true;
}

// Frames read and retargeted ahead by a thread of their own, handed over in order a batch at a
// time (a handover wakes a thread: one a frame would cost more than it saves); the reading's
// refusal travels after the frames read before it.
struct CAnimationRetarget::READ_AHEAD {
    struct BATCH {
        std::vector<FEET_FRAME> frames;
        bool ended = false;  // the animation's "end", or the refusal, follows the frames
        std::exception_ptr error;
    };
    static constexpr std::size_t BATCH_FRAMES = 16;
    // Enough to keep the stage busy while the next are read; few, for memory.
    static constexpr std::size_t MOST_READY = 2;

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<BATCH> ready;
    bool stop = false;  // the retarget is going away
    bool done = false;  // the thread has handed over its last batch
    std::thread thread;
    // The stage's side alone: the batch it takes frames from, and the next of them.
    BATCH taking;
    std::size_t next = 0;
};

void CAnimationRetarget::ReadAhead() {
    if (m_ahead || m_readAll) return;
    m_ahead = std::make_unique<READ_AHEAD>();
    READ_AHEAD& ahead = *m_ahead;
    ahead.thread = std::thread([this, &ahead] {
        for (bool more = true; more;) {
            READ_AHEAD::BATCH batch;
            batch.frames.reserve(READ_AHEAD::BATCH_FRAMES);
            while (batch.frames.size() < READ_AHEAD::BATCH_FRAMES) {
                FEET_FRAME frame;
                try {
                    if (!ReadGivenFrame(frame)) {
                        batch.ended = true;
                        break;
                    }
                } catch (...) {
                    batch.error = std::current_exception();
                    batch.ended = true;
                    break;
                }
                batch.frames.push_back(std::move(frame));
            }
            more = !batch.ended;
            std::unique_lock<std::mutex> lock(ahead.mutex);
            ahead.changed.wait(lock, [&ahead] {
                return ahead.stop || ahead.ready.size() < READ_AHEAD::MOST_READY;
            });
            if (ahead.stop) break;
            ahead.ready.push_back(std::move(batch));
            lock.unlock();
            ahead.changed.notify_all();
        }
        std::lock_guard<std::mutex> lock(ahead.mutex);
        ahead.done = true;
        ahead.changed.notify_all();
    });
}

bool CAnimationRetarget::TakeAhead(FEET_FRAME& frame) {
    READ_AHEAD& ahead = *m_ahead;
    while (ahead.next == ahead.taking.frames.size()) {
        if (ahead.taking.error) {
            std::exception_ptr error = ahead.taking.error;
            ahead.taking.error = nullptr;
            std::rethrow_exception(error);
        }
        if (ahead.taking.ended) return false;
        std::unique_lock<std::mutex> lock(ahead.mutex);
        ahead.changed.wait(lock, [&ahead] { return !ahead.ready.empty() || ahead.done; });
        if (ahead.ready.empty()) return false;
        ahead.taking = std::move(ahead.ready.front());
        ahead.ready.pop_front();
        ahead.next = 0;
        lock.unlock();
        ahead.changed.notify_all();
    }
    std::swap(frame, ahead.taking.frames[ahead.next++]);
    return true;
}

CAnimationRetarget::~CAnimationRetarget() {
    if (!m_ahead) return;
    {
        std::lock_guard<std::mutex> lock(m_ahead->mutex);
        m_ahead->stop = true;
    }
    m_ahead->changed.notify_all();
    m_ahead->thread.join();
}

void CAnimationRetarget::RequireNodesRead() const {
    const CFrameKeys& keys = m_frames->Keys();
    for (int source : m_sourcesRead) {
        std::size_t place = m_nodes.PlaceOf(source);
        if (keys.Has(place)) continue;
        // Lines in order that stop short: the retarget names the row and the line, as the build.
        if (m_nodes.sameList && keys.InOrder() && place >= keys.Lines()) continue;
        int row = 0;
        while (static_cast<std::size_t>(row) < m_setup.rows.size() &&
               m_setup.rows[static_cast<std::size_t>(row)].source != source) {
            ++row;
        }
        bool listed = place < keys.NodeCount();
        throw CVarnexError(ERROR_KIND::NODE_MISSING_IN_FRAME, m_reader->SourceName(),
                           m_frames->TimeLineNumber(),
                           {m_frames->TimeText(),
                            std::to_string(listed ? keys.NumberAt(place) : source),
                            listed ? m_nodes.keys[place].name : std::string(),
                            std::to_string(row)});
    }
}

bool CAnimationRetarget::Next(bool wanted) {
    if (m_feet) return NextThroughFeet();
    if (m_ahead) {
        if (m_readAll || !TakeAhead(m_given)) {
            m_readAll = true;
            return false;
        }
        m_given.index = m_aheadGiven++;
        return true;
    }
    if (!wanted) return m_frames->Next(nullptr);
    if (!ReadNext()) return false;
    Retarget();
    return true;
}

bool CAnimationRetarget::ReadNext() {
    if (!m_frames->Next(&m_source, m_keepTexts ? &m_texts : nullptr)) return false;
    RequireNodesRead();
    if (!m_nodes.sameList && m_keepTexts) {
        m_texts.MoveReordered(m_nodes.placeOfSource, m_textsByReference);
    }
    if (!m_nodes.sameList) {
        // The rows name the reference animation's nodes: its order, from the animation's own.
        m_byReference.assign(m_nodes.placeOfSource.size(), POSE{});
        for (std::size_t r = 0; r < m_nodes.placeOfSource.size(); ++r) {
            std::size_t place = m_nodes.placeOfSource[r];
            if (place < m_source.size()) m_byReference[r] = m_source[place];
        }
    }
    if (m_method->World() != nullptr) {
        // A node without a line in the frame stands as in the reference animation's first frame:
        // read as zeros, it would fold the source's joints below it onto its parent's.
        FRAME_POSES& rows = m_nodes.sameList ? m_source : m_byReference;
        const CFrameKeys& keys = m_frames->Keys();
        for (std::size_t r = 0; r < rows.size() && r < m_setup.refRest.size(); ++r) {
            if (!keys.Has(m_nodes.sameList ? r : m_nodes.placeOfSource[r])) {
                rows[r] = m_setup.refRest[r];
            }
        }
    }
    return true;
}

void CAnimationRetarget::ReadFrom(CLineReader& reader, bool lastPart) {
    m_frames = std::make_unique<CAnimationFrameReader>(reader, m_nodes.keys);
    if (!lastPart) m_frames->StopAtCut();
}

void CAnimationRetarget::Retarget() {
    const FRAME_POSES* source = m_nodes.sameList ? &m_source : &m_byReference;
    try {
        m_method->Apply(*source, m_result);
    } catch (const CRowError& e) {
        if (e.Kind() == ERROR_KIND::FRAME_TOO_SHORT_FOR_ROW) {
            throw CVarnexError(e.Kind(), m_reader->SourceName(), m_frames->TimeLineNumber(),
                               {m_frames->TimeText(), e.Value(1), e.Value(2), e.Value(3),
                                std::to_string(m_source.size())});
        }
        std::size_t place = m_nodes.PlaceOf(e.FrameLine());
        const POSE& p = m_source[place];
        throw CVarnexError(ERROR_KIND::POSITION_NOT_FINITE, m_reader->SourceName(),
                           m_frames->LineNumberOf(place),
                           {FixedText(p.x, 6), FixedText(p.y, 6), FixedText(p.z, 6),
                            std::to_string(e.Row())});
    }
}

std::vector<std::vector<POSE>> RetargetFrames(const MOTION_SETUP& setup,
                                              const std::vector<FRAME_POSES>& frames) {
    std::vector<std::vector<POSE>> results;
    std::optional<CMethodRetarget> method;
    try {
        method.emplace(setup);
    } catch (const CVarnexError&) {
        return results;
    }
    std::unique_ptr<CFeetStage> stage;
    if (setup.feet == FEET_MODE::CONTACT) {
        CSourceFeet feet(setup.refNodes, setup.refRig);
        for (const FRAME_POSES& frame : frames) feet.Add(frame);
        stage = std::make_unique<CFeetStage>(setup.modelNodes, setup.modelRig, setup.modelRest,
                                             setup.refNodes, setup.refRig, WorldRuleOf(setup),
                                             feet.Feet());
    }
    FEET_FRAME in, out;
    auto take = [&] {
        while (stage->Ready() && stage->Pop(out)) results.push_back(out.result);
    };
    for (const FRAME_POSES& frame : frames) {
        std::vector<POSE> result;
        try {
            method->Apply(frame, result);
        } catch (const CVarnexError&) {
            break;
        }
        if (!stage) {
            results.push_back(std::move(result));
            continue;
        }
        in.rowSource = frame;
        in.result = std::move(result);
        stage->Push(in);
        take();
    }
    if (stage) {
        stage->Finish();
        take();
    }
    return results;
}

}  // namespace varnex

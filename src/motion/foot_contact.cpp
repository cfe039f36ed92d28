#include "motion/foot_contact.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "pairing/bone_classifier.h"

namespace varnex {

namespace {

VEC3 Minus(const VEC3& a, const VEC3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(const VEC3& a, const VEC3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(const VEC3& v) { return std::sqrt(Dot(v, v)); }
double Horizontal(const VEC3& a, const VEC3& b) { return std::hypot(a.x - b.x, a.y - b.y); }

double Degrees(const VEC3& a, const VEC3& b) {
    VEC3 c = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    return std::atan2(Length(c), Dot(a, b)) * (180.0 / std::numbers::pi);
}

// Nearest rank: the smallest value with at least `percent` of the values at or below it.
double Percentile(std::vector<double> values, double percent) {
    std::sort(values.begin(), values.end());
    auto rank =
        static_cast<std::size_t>(std::ceil(percent / 100.0 * static_cast<double>(values.size())));
    return values[rank > 0 ? rank - 1 : 0];
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::size_t half = values.size() / 2;
    return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2.0;
}

// The runs of planted frames of one foot, CONTACT_FRAMES long or more. The first frame's
// horizontal motion is taken towards the second, having no frame before it.
std::vector<std::pair<int, int>> Contacts(const std::vector<VEC3>& feet, double ground) {
    std::vector<std::pair<int, int>> runs;
    const int frames = static_cast<int>(feet.size());
    int start = -1;
    for (int i = 0; i <= frames; ++i) {
        bool planted = false;
        if (i < frames) {
            const VEC3& foot = feet[static_cast<std::size_t>(i)];
            int other = i > 0 ? i - 1 : std::min(1, frames - 1);
            planted = std::abs(foot.z - ground) <= CONTACT_REACH &&
                      Horizontal(foot, feet[static_cast<std::size_t>(other)]) < CONTACT_DRIFT;
        }
        if (planted && start < 0) start = i;
        if (!planted && start >= 0) {
            if (i - start >= CONTACT_FRAMES) runs.emplace_back(start, i - 1);
            start = -1;
        }
    }
    return runs;
}

// The lowest of the given feet in frame i.
double LowestFoot(const std::vector<const std::vector<VEC3>*>& feet, std::size_t i) {
    double lowest = (*feet.front())[i].z;
    for (const std::vector<VEC3>* foot : feet) lowest = std::min(lowest, (*foot)[i].z);
    return lowest;
}

// The knee's bend: the knee joint less its projection on the hip-ankle line, and the angle
// between thigh and shin. False for a leg folded onto itself, whose bend has no direction.
bool KneeBend(const VEC3& hip, const VEC3& knee, const VEC3& ankle, VEC3& bend, double& degrees) {
    VEC3 line = Minus(ankle, hip);
    double lineLength2 = Dot(line, line);
    if (!(lineLength2 > 0.0)) return false;
    VEC3 toKnee = Minus(knee, hip);
    double t = Dot(toKnee, line) / lineLength2;
    bend = {toKnee.x - t * line.x, toKnee.y - t * line.y, toKnee.z - t * line.z};
    degrees = Degrees(toKnee, Minus(ankle, knee));
    return Length(bend) > 0.0;
}
}  // namespace

SOURCE_CONTACTS FindSourceContacts(const std::vector<VEC3>& leftFeet,
                                   const std::vector<VEC3>& rightFeet) {
    SOURCE_CONTACTS r;
    std::vector<const std::vector<VEC3>*> feet;
    for (const std::vector<VEC3>* f : {&leftFeet, &rightFeet}) {
        if (!f->empty()) feet.push_back(f);
    }
    if (feet.empty()) return r;
    const std::size_t frames = feet.front()->size();
    auto find = [&](double ground, std::vector<char>& inContact) {
        std::vector<FOOT_CONTACT> contacts;
        inContact.assign(frames, 0);
        for (FOOT_SIDE side : {FOOT_SIDE::LEFT, FOOT_SIDE::RIGHT}) {
            const std::vector<VEC3>& f = side == FOOT_SIDE::LEFT ? leftFeet : rightFeet;
            if (f.empty()) continue;
            for (auto [first, last] : Contacts(f, ground)) {
                FOOT_CONTACT c;
                c.side = side;
                c.first = first;
                c.last = last;
                contacts.push_back(c);
                std::fill(inContact.begin() + first, inContact.begin() + last + 1, 1);
            }
        }
        return contacts;
    };
    // The ground and the contacts depend on each other: a first ground over every frame finds the
    // contacts, the ground over those frames finds them again, and that ground is kept. An
    // animation almost wholly in the air (a fall, a long jump) puts the first ground above the
    // feet that land: its lowest foot then finds them.
    std::vector<double> lowest(frames);
    for (std::size_t i = 0; i < frames; ++i) lowest[i] = LowestFoot(feet, i);
    double ground = Percentile(lowest, GROUND_PERCENTILE);
    std::vector<char> inContact;
    r.contacts = find(ground, inContact);
    if (r.contacts.empty()) {
        r.contacts = find(*std::min_element(lowest.begin(), lowest.end()), inContact);
    }
    if (!r.contacts.empty()) {
        std::vector<double> planted;
        for (std::size_t i = 0; i < lowest.size(); ++i) {
            if (inContact[i]) planted.push_back(lowest[i]);
        }
        ground = Percentile(planted, GROUND_PERCENTILE);
        r.contacts = find(ground, inContact);
    }
    std::stable_sort(
        r.contacts.begin(), r.contacts.end(),
        [](const FOOT_CONTACT& x, const FOOT_CONTACT& y) { return x.first < y.first; });
    r.ground = ground;
    return r;
}

CFeetCheck::CFeetCheck(const CBipedRig& sourceRig, const CBipedRig& modelRig,
                       const std::vector<VEC3>& modelRest, const LEGS_RATIO& legs)
    : m_legs(legs) {
    auto legOf = [](const CBipedRig& rig, BODY_SIDE side) {
        LEG_NODES leg = rig.Leg(side);
        return LEG{leg.thigh, leg.calf, leg.foot};
    };
    m_sides[0].side = FOOT_SIDE::LEFT;
    m_sides[0].source = legOf(sourceRig, BODY_SIDE::LEFT);
    m_sides[0].model = legOf(modelRig, BODY_SIDE::LEFT);
    m_sides[1].side = FOOT_SIDE::RIGHT;
    m_sides[1].source = legOf(sourceRig, BODY_SIDE::RIGHT);
    m_sides[1].model = legOf(modelRig, BODY_SIDE::RIGHT);
    for (const SIDE& s : m_sides) {
        if (s.model.foot < 0 || static_cast<std::size_t>(s.model.foot) >= modelRest.size()) {
            continue;
        }
        double z = modelRest[static_cast<std::size_t>(s.model.foot)].z;
        m_modelGround = m_modelGround ? std::min(*m_modelGround, z) : z;
    }
    // A skeleton without a pelvis is measured at node 0, the root in the files exporters write.
    m_sourcePelvis = std::max(0, sourceRig.Pelvis());
    m_modelPelvis = std::max(0, modelRig.Pelvis());
}

void CFeetCheck::AddFrame(const std::vector<VEC3>& source, const std::vector<VEC3>& result) {
    for (SIDE& s : m_sides) {
        if (s.source.foot >= 0) {
            s.sourceFeet.push_back(source[static_cast<std::size_t>(s.source.foot)]);
        }
        if (s.model.foot >= 0) {
            s.resultFeet.push_back(result[static_cast<std::size_t>(s.model.foot)]);
        }
    }
    if (!source.empty() && !result.empty()) {
        m_sourcePelvisPoints.push_back(source[static_cast<std::size_t>(m_sourcePelvis)]);
        m_resultPelvisPoints.push_back(result[static_cast<std::size_t>(m_modelPelvis)]);
    }
    if (KneeFlips(source, result)) ++m_kneeFlips;
    ++m_frames;
}

bool CFeetCheck::KneeFlips(const std::vector<VEC3>& source, const std::vector<VEC3>& result) const {
    for (const SIDE& s : m_sides) {
        const LEG &a = s.source, &b = s.model;
        if (a.thigh < 0 || a.calf < 0 || a.foot < 0 || b.thigh < 0 || b.calf < 0 || b.foot < 0) {
            continue;
        }
        VEC3 sourceBend, resultBend;
        double sourceDegrees = 0.0, resultDegrees = 0.0;
        auto at = [](const std::vector<VEC3>& joints, int n) {
            return joints[static_cast<std::size_t>(n)];
        };
        if (!KneeBend(at(source, a.thigh), at(source, a.calf), at(source, a.foot), sourceBend,
                      sourceDegrees) ||
            !KneeBend(at(result, b.thigh), at(result, b.calf), at(result, b.foot), resultBend,
                      resultDegrees)) {
            continue;
        }
        if (sourceDegrees > KNEE_BENT_DEGREES && resultDegrees > KNEE_BENT_DEGREES &&
            Degrees(sourceBend, resultBend) > KNEE_FLIP_DEGREES) {
            return true;
        }
    }
    return false;
}

FEET_REPORT CFeetCheck::Report() const {
    FEET_REPORT r;
    r.resultGround = m_modelGround;
    r.kneeFlips = m_kneeFlips;
    for (const SIDE& s : m_sides) {
        const LEG &a = s.source, &b = s.model;
        r.kneesCompared = r.kneesCompared || (a.thigh >= 0 && a.calf >= 0 && a.foot >= 0 &&
                                              b.thigh >= 0 && b.calf >= 0 && b.foot >= 0);
    }
    SOURCE_CONTACTS found = FindSourceContacts(m_sides[0].sourceFeet, m_sides[1].sourceFeet);
    if (!found.ground) return r;
    const double ground = *found.ground;
    r.sourceGround = ground;
    r.contacts = std::move(found.contacts);
    for (FOOT_CONTACT& c : r.contacts) {
        const SIDE& s = m_sides[c.side == FOOT_SIDE::LEFT ? 0 : 1];
        if (s.model.foot < 0) continue;
        const VEC3& start = s.resultFeet[static_cast<std::size_t>(c.first)];
        double slide = 0.0;
        for (int i = c.first; i <= c.last; ++i) {
            slide = std::max(slide, Horizontal(s.resultFeet[static_cast<std::size_t>(i)], start));
        }
        c.slide = slide;
    }
    if (m_sourcePelvisPoints.size() == static_cast<std::size_t>(m_frames)) {
        double source = 0.0, result = 0.0;
        for (std::size_t a = 0; a < r.contacts.size(); ++a) {
            // A contact from the first frame may have landed before it: no cycle starts there.
            if (r.contacts[a].first == 0) continue;
            std::size_t b = a + 1;
            while (b < r.contacts.size() && r.contacts[b].side != r.contacts[a].side) ++b;
            if (b == r.contacts.size()) continue;
            auto from = static_cast<std::size_t>(r.contacts[a].first);
            auto to = static_cast<std::size_t>(r.contacts[b].first);
            source += Horizontal(m_sourcePelvisPoints[to], m_sourcePelvisPoints[from]);
            result += Horizontal(m_resultPelvisPoints[to], m_resultPelvisPoints[from]);
            ++r.cycles;
        }
        if (r.cycles > 0) {
            r.sourceCycleTravel = source / r.cycles;
            r.resultCycleTravel = result / r.cycles;
        }
    }
    for (const FOOT_CONTACT& c : r.contacts) {
        if (!c.slide) continue;
        r.maxSlide = r.maxSlide ? std::max(*r.maxSlide, *c.slide) : *c.slide;
        if (*c.slide > SLIDE_LIMIT) ++r.slides;
    }

    if (!m_legs.known || !m_modelGround) return r;
    const double k = m_legs.ratio;
    std::vector<double> errors;
    for (const SIDE& s : m_sides) {
        if (s.source.foot < 0 || s.model.foot < 0) continue;
        for (std::size_t i = 0; i < s.sourceFeet.size(); ++i) {
            double resultHeight = s.resultFeet[i].z - *m_modelGround;
            double sourceHeight = s.sourceFeet[i].z - ground;
            errors.push_back(std::abs(resultHeight - k * sourceHeight));
        }
    }
    if (!errors.empty()) {
        r.maxError = *std::max_element(errors.begin(), errors.end());
        r.medianError = Median(std::move(errors));
    }
    if (!m_sourcePelvisPoints.empty()) {
        std::vector<double> result, scaled;
        double gap = 0.0;
        for (std::size_t i = 0; i < m_sourcePelvisPoints.size(); ++i) {
            result.push_back(m_resultPelvisPoints[i].z - *m_modelGround);
            scaled.push_back(k * (m_sourcePelvisPoints[i].z - ground));
            gap = std::max(gap, std::abs(result.back() - scaled.back()));
        }
        r.pelvisHeight = Median(std::move(result));
        r.scaledSourcePelvisHeight = Median(std::move(scaled));
        r.maxPelvisGap = gap;
    }
    return r;
}

}  // namespace varnex

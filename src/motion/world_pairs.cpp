// The world method on two frames at once, in the processor's double lanes: every value of each
// lane is computed by the one-frame solve's expressions, so each frame comes out to the last bit
// as alone. Rare branches (a quarter turn of Y, an angle past 64, chains that fit several
// directions) go back to the one-frame code, lane by lane.
#include "motion/world_method.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace varnex {

#ifdef VARNEX_DOUBLE_LANES
namespace {
using D2 = DOUBLE_LANES;

D2 Both(double v) { return _mm_set1_pd(v); }
D2 Lanes(double first, double second) { return _mm_set_pd(second, first); }
double First(D2 v) { return _mm_cvtsd_f64(v); }
double Second(D2 v) { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }
double LaneOf(D2 v, int lane) { return lane == 0 ? First(v) : Second(v); }
// Per lane: where mask is set, a; elsewhere b.
D2 Pick(D2 mask, D2 a, D2 b) { return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b)); }
// Both lanes of a comparison set.
bool All(D2 mask) { return _mm_movemask_pd(mask) == 3; }
bool Any(D2 mask) { return _mm_movemask_pd(mask) != 0; }
const D2 SIGN = _mm_set1_pd(-0.0);
D2 Negated(D2 v) { return _mm_xor_pd(v, SIGN); }
D2 Magnitude(D2 v) { return _mm_andnot_pd(SIGN, v); }
D2 Root(D2 v) { return _mm_sqrt_pd(v); }

MAT3 LaneOf(const MAT3_LANES& r, int lane) {
    MAT3 m;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) m.m[i][j] = LaneOf(r.m[i][j], lane);
    }
    return m;
}
VEC3 LaneOf(const VEC3_LANES& v, int lane) {
    return {LaneOf(v.x, lane), LaneOf(v.y, lane), LaneOf(v.z, lane)};
}
MAT3_LANES Lanes(const MAT3& first, const MAT3& second) {
    MAT3_LANES r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) r.m[i][j] = Lanes(first.m[i][j], second.m[i][j]);
    }
    return r;
}
MAT3_LANES Both(const MAT3& m) { return Lanes(m, m); }

// The one-frame arithmetic, lane by lane, each expression in the same order.
MAT3_LANES Multiply(const MAT3_LANES& a, const MAT3_LANES& b) {
    MAT3_LANES p;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            p.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
        }
    }
    return p;
}
MAT3_LANES MultiplyTransposed(const MAT3_LANES& a, const MAT3_LANES& b) {
    MAT3_LANES p;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            p.m[i][j] = a.m[0][i] * b.m[0][j] + a.m[1][i] * b.m[1][j] + a.m[2][i] * b.m[2][j];
        }
    }
    return p;
}
VEC3_LANES Turned(const MAT3_LANES& r, const VEC3_LANES& v) {
    const auto& m = r.m;
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
            m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

void KernelSinCos(D2 x, D2& s, D2& c) {
    const D2 z = x * x;
    const D2 rs =
        Both(8.33333333332248946124e-03) +
        z * (Both(-1.98412698298579493134e-04) +
             z * (Both(2.75573137070700676789e-06) +
                  z * (Both(-2.50507602534068634195e-08) + z * Both(1.58969099521155010221e-10))));
    s = x + z * x * (Both(-1.66666666666666324348e-01) + z * rs);
    const D2 rc =
        z * (Both(4.16666666666666019037e-02) +
             z * (Both(-1.38888888888741095749e-03) +
                  z * (Both(2.48015872894767294178e-05) +
                       z * (Both(-2.75573143513906633035e-07) +
                            z * (Both(2.08757232129817482790e-09) +
                                 z * Both(-1.13596475577881948265e-11))))));
    const D2 half = Both(0.5) * z, w = Both(1.0) - half;
    c = w + (((Both(1.0) - w) - half) + z * rc);
}

// SinCos of each lane. Within a quarter turn of 0 the one-frame code takes the kernel alone; the
// reduction below then has n = +0 and takes off nothing, so one route serves every lane up to 64.
void SinCos(D2 x, D2& s, D2& c) {
    if (!All(_mm_cmple_pd(Magnitude(x), Both(64.0)))) {
        double s0, c0, s1, c1;
        varnex::SinCos(First(x), s0, c0);
        varnex::SinCos(Second(x), s1, c1);
        s = Lanes(s0, s1);
        c = Lanes(c0, c1);
        return;
    }
    if (All(_mm_cmple_pd(Magnitude(x), Both(0.78539816339744830962)))) {
        KernelSinCos(x, s, c);
        return;
    }
    constexpr double HALF_PI_HIGH = 1.57079632673412561417e+00;
    constexpr double HALF_PI_LOW = 6.07710050650619224932e-11;
    constexpr double TWO_OVER_PI = 6.36619772367581382433e-01;
    // Rounded to the nearest integer, ties to even, as nearbyint: exact below 2^51.
    const D2 ROUNDER = Both(6755399441055744.0);
    const D2 n = (x * Both(TWO_OVER_PI) + ROUNDER) - ROUNDER;
    D2 ks, kc;
    KernelSinCos((x - n * Both(HALF_PI_HIGH)) - n * Both(HALF_PI_LOW), ks, kc);
    // The quarter n & 3, each lane's 32-bit integer spread over its 64 bits.
    const __m128i q = _mm_shuffle_epi32(_mm_cvtpd_epi32(n), _MM_SHUFFLE(1, 1, 0, 0));
    auto bit = [](__m128i v, int b) {
        const __m128i mask = _mm_set1_epi32(b);
        return _mm_castsi128_pd(_mm_cmpeq_epi32(_mm_and_si128(v, mask), mask));
    };
    const D2 swap = bit(q, 1);
    const D2 negateSine = bit(q, 2);
    const D2 negateCosine = bit(_mm_add_epi32(q, _mm_set1_epi32(1)), 2);
    s = _mm_xor_pd(Pick(swap, kc, ks), _mm_and_pd(negateSine, SIGN));
    c = _mm_xor_pd(Pick(swap, ks, kc), _mm_and_pd(negateCosine, SIGN));
}

MAT3_LANES RotationOf(D2 rx, D2 ry, D2 rz) {
    D2 sx, cx, sy, cy, sz, cz;
    SinCos(rx, sx, cx);
    SinCos(ry, sy, cy);
    SinCos(rz, sz, cz);
    MAT3_LANES r;
    r.m[0][0] = cz * cy;
    r.m[1][0] = sz * cy;
    r.m[2][0] = Negated(sy);
    r.m[0][1] = cz * sy * sx - sz * cx;
    r.m[1][1] = sz * sy * sx + cz * cx;
    r.m[2][1] = cy * sx;
    r.m[0][2] = cz * sy * cx + sz * sx;
    r.m[1][2] = sz * sy * cx - cz * sx;
    r.m[2][2] = cy * cx;
    return r;
}

// The one-frame Atan2 on both lanes; false where a lane needs one of its rare branches (a zero,
// no finite number, a quotient past 2^66).
bool Atan2(D2 y, D2 x, D2& angle) {
    // A zero, an infinity or no number in either lane, or a quotient past 2^66, leaves t out of
    // (0, 2^66) or no number at all.
    const D2 t = Magnitude(y / x);
    if (!All(_mm_and_pd(_mm_cmpgt_pd(t, _mm_setzero_pd()),
                        _mm_cmplt_pd(t, Both(7.378697629483821e19))))) {
        return false;
    }
    // Each lane's step to its nearest point as (p t - q) / (p + q t): with the factors of 0 and
    // 1 of the table, exactly the one-frame code's expressions.
    struct POINT {
        double p, q, hi, lo;
    };
    static constexpr POINT POINTS[5] = {
        {1.0, 0.0, 0.0, 0.0},
        {2.0, 1.0, 4.63647609000806093515e-01, 2.26987774529616870924e-17},
        {1.0, 1.0, 7.85398163397448278999e-01, 3.06161699786838301793e-17},
        {1.0, 1.5, 9.82793723247329054082e-01, 1.39033110312309984516e-17},
        {0.0, 1.0, 1.57079632679489655800e+00, 6.12323399573676603587e-17}};
    const D2 below0 = _mm_cmplt_pd(t, Both(0.4375));
    // Each lane counts the points it has passed: a set mask is -1 as an integer.
    __m128i passed = _mm_setzero_si128();
    for (double limit : {0.4375, 0.6875, 1.1875, 2.4375}) {
        passed = _mm_sub_epi64(passed, _mm_castpd_si128(_mm_cmpge_pd(t, Both(limit))));
    }
    const POINT& a = POINTS[_mm_cvtsi128_si64(passed)];
    const POINT& b = POINTS[_mm_cvtsi128_si64(_mm_unpackhi_epi64(passed, passed))];
    const D2 p = Lanes(a.p, b.p), q = Lanes(a.q, b.q);
    const D2 hi = Lanes(a.hi, b.hi), lo = Lanes(a.lo, b.lo);
    const D2 v = (p * t - q) / (p + q * t);
    static constexpr double T[11] = {
        3.33333333333329318027e-01,  -1.99999999998764832476e-01, 1.42857142725034663711e-01,
        -1.11111104054623557880e-01, 9.09088713343650656196e-02,  -7.69187620504482999495e-02,
        6.66107313738753120669e-02,  -5.83357013379057348645e-02, 4.97687799461593236017e-02,
        -3.65315727442169155270e-02, 1.62858201153657823623e-02};
    const D2 z = v * v, w = z * z;
    const D2 s1 =
        z * (Both(T[0]) +
             w * (Both(T[2]) + w * (Both(T[4]) + w * (Both(T[6]) + w * (Both(T[8]) + w * Both(T[10]))))));
    const D2 s2 =
        w * (Both(T[1]) + w * (Both(T[3]) + w * (Both(T[5]) + w * (Both(T[7]) + w * Both(T[9])))));
    const D2 atan = Pick(below0, v - v * (s1 + s2), hi - ((v * (s1 + s2) - lo) - v));
    const D2 PI_LANES = Both(std::numbers::pi);
    const D2 PI_LOW = Both(1.2246467991473531772e-16);
    const D2 yNegative = _mm_cmplt_pd(y, _mm_setzero_pd());
    const D2 right = Pick(yNegative, Negated(atan), atan);
    const D2 left = Pick(yNegative, (atan - PI_LOW) - PI_LANES, PI_LANES - (atan - PI_LOW));
    angle = Pick(_mm_cmpgt_pd(x, _mm_setzero_pd()), right, left);
    return true;
}

// WrapAngle on both lanes where one is out of [-pi, pi); false beyond three half turns.
bool WrapOut(D2 a, D2 above, D2 below, D2& wrapped) {
    const D2 PI_LANES = Both(std::numbers::pi);
    const D2 TWO_PI = Both(2.0 * std::numbers::pi);
    const D2 THREE_PI = Both(3.0 * std::numbers::pi);
    const D2 inRange = _mm_andnot_pd(_mm_or_pd(above, below), _mm_cmpeq_pd(a, a));
    const D2 turnAbove = _mm_and_pd(above, _mm_cmplt_pd(a, THREE_PI));
    const D2 turnBelow = _mm_and_pd(below, _mm_cmpge_pd(a, Negated(THREE_PI)));
    if (!All(_mm_or_pd(inRange, _mm_or_pd(turnAbove, turnBelow)))) return false;
    D2 w = Pick(turnAbove, a - TWO_PI, Pick(turnBelow, a + TWO_PI, a));
    w = Pick(_mm_cmpge_pd(w, PI_LANES), w - TWO_PI, w);
    w = Pick(_mm_cmplt_pd(w, Negated(PI_LANES)), w + TWO_PI, w);
    wrapped = w;
    return true;
}

// WrapAngle on both lanes; false for an angle beyond three half turns.
inline bool Wrap(D2 a, D2& wrapped) {
    const D2 PI_LANES = Both(std::numbers::pi);
    const D2 above = _mm_cmpge_pd(a, PI_LANES);
    const D2 below = _mm_cmplt_pd(a, Negated(PI_LANES));
    if (!Any(_mm_or_pd(above, below))) {
        wrapped = a;
        return true;
    }
    return WrapOut(a, above, below, wrapped);
}

// AnglesOf on both lanes; false where a lane needs a rare branch (near Y = +-pi/2, the rare
// arc tangents or wraps): AnglesOf then makes that row, lane by lane.
bool AnglesOf(const MAT3_LANES& r, const VEC3_LANES& reference, VEC3_LANES& angles) {
    const auto& m = r.m;
    constexpr double GIMBAL = 1e-10;
    const D2 cosY = Root(m[0][0] * m[0][0] + m[1][0] * m[1][0]);
    if (Any(_mm_cmple_pd(cosY, Both(GIMBAL)))) return false;
    D2 x, y, z;
    if (!Atan2(m[2][1], m[2][2], x)) return false;
    const D2 h = Root(m[2][1] * m[2][1] + m[2][2] * m[2][2]);
    const D2 sx = m[2][1] / h, cx = m[2][2] / h;
    if (!Atan2(Negated(m[2][0]), m[2][1] * sx + m[2][2] * cx, y)) return false;
    if (!Atan2(sx * m[0][2] - cx * m[0][1], cx * m[1][1] - sx * m[1][2], z)) return false;
    const D2 PI_LANES = Both(std::numbers::pi);
    const VEC3_LANES first{x, y, z};
    const VEC3_LANES second{x + PI_LANES, PI_LANES - y, z + PI_LANES};
    auto distance = [&reference](const VEC3_LANES& a, D2& d) {
        D2 dx, dy, dz;
        if (!Wrap(a.x - reference.x, dx) || !Wrap(a.y - reference.y, dy) ||
            !Wrap(a.z - reference.z, dz)) {
            return false;
        }
        d = dx * dx + dy * dy + dz * dz;
        return true;
    };
    D2 d1, d2;
    if (!distance(second, d2) || !distance(first, d1)) return false;
    const D2 takeSecond = _mm_cmplt_pd(d2, d1);
    return Wrap(Pick(takeSecond, second.x, first.x), angles.x) &&
           Wrap(Pick(takeSecond, second.y, first.y), angles.y) &&
           Wrap(Pick(takeSecond, second.z, first.z), angles.z);
}

// SwingMatrix on both lanes; false where a lane points nearly opposite.
bool SwingMatrix(const VEC3_LANES& a, const VEC3_LANES& b, MAT3_LANES& r) {
    const D2 c = a.x * b.x + a.y * b.y + a.z * b.z;
    const D2 one = Both(1.0);
    if (!All(_mm_cmpgt_pd(one + c, Both(1e-12)))) return false;
    const VEC3_LANES v{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    const D2 k = one / (one + c);
    const D2 kx = k * v.x, ky = k * v.y, kz = k * v.z;
    r.m[0][0] = c + kx * v.x;
    r.m[0][1] = kx * v.y - v.z;
    r.m[0][2] = kx * v.z + v.y;
    r.m[1][0] = kx * v.y + v.z;
    r.m[1][1] = c + ky * v.y;
    r.m[1][2] = ky * v.z - v.x;
    r.m[2][0] = kx * v.z - v.y;
    r.m[2][1] = ky * v.z + v.x;
    r.m[2][2] = c + kz * v.z;
    return true;
}
}  // namespace

void CWorldRetarget::SolveSourcePair(std::span<const POSE> first, std::span<const POSE> second,
                                     WORLD_PAIR_WORK& work) const {
    const std::size_t count = m_sourceParent.size();
    work.sourceWorld.resize(count);
    work.sourceJoint.resize(count);
    static const POSE ZERO_POSE;
    for (int node : m_sourceOrder) {
        const std::size_t n = static_cast<std::size_t>(node);
        const POSE& rest = n < m_sourceRest.size() ? m_sourceRest[n] : ZERO_POSE;
        const POSE& a = n < first.size() ? first[n] : rest;
        const POSE& b = n < second.size() ? second[n] : rest;
        MAT3_LANES own = RotationOf(Lanes(a.rx, b.rx), Lanes(a.ry, b.ry), Lanes(a.rz, b.rz));
        VEC3_LANES offset{Lanes(a.x, b.x), Lanes(a.y, b.y), Lanes(a.z, b.z)};
        int parent = m_sourceParent[n];
        if (parent < 0) {
            work.sourceWorld[n] = own;
            work.sourceJoint[n] = offset;
            continue;
        }
        const MAT3_LANES& w = work.sourceWorld[static_cast<std::size_t>(parent)];
        VEC3_LANES turned = Turned(w, offset);
        const VEC3_LANES& base = work.sourceJoint[static_cast<std::size_t>(parent)];
        work.sourceJoint[n] = {base.x + turned.x, base.y + turned.y, base.z + turned.z};
        work.sourceWorld[n] = Multiply(w, own);
    }
}

MAT3_LANES CWorldRetarget::TargetRotationPair(const PLAN& plan, const WORLD_PAIR_WORK& work) const {
    const std::size_t partner = static_cast<std::size_t>(plan.rule.source);
    const MAT3_LANES& partnerWorld = work.sourceWorld[partner];
    if (plan.chains.empty()) return partnerWorld;
    if (plan.chains.size() == 1) {
        const CHAIN& chain = plan.chains.front();
        const VEC3_LANES& from = work.sourceJoint[partner];
        const VEC3_LANES& to = work.sourceJoint[static_cast<std::size_t>(chain.partner)];
        const VEC3_LANES u{to.x - from.x, to.y - from.y, to.z - from.z};
        const D2 length = Root(u.x * u.x + u.y * u.y + u.z * u.z);
        if (All(_mm_cmpge_pd(length, Both(SHORTEST_SEGMENT)))) {
            const D2 inverse = Both(1.0) / length;
            const VEC3_LANES rest{Both(chain.rest.x), Both(chain.rest.y), Both(chain.rest.z)};
            MAT3_LANES swing;
            if (SwingMatrix(Turned(partnerWorld, rest),
                            VEC3_LANES{u.x * inverse, u.y * inverse, u.z * inverse}, swing)) {
                return Multiply(swing, partnerWorld);
            }
        }
    }
    // Several chains, or a rare case: the one-frame solve, lane by lane.
    MAT3 lane[2];
    CHAIN_ENDS room;
    const std::span<VEC3> ends = room.For(plan);
    for (int k = 0; k < 2; ++k) {
        for (std::size_t c = 0; c < ends.size(); ++c) {
            ends[c] = LaneOf(work.sourceJoint[static_cast<std::size_t>(plan.chains[c].partner)], k);
        }
        lane[k] = TargetRotation(plan, LaneOf(partnerWorld, k), LaneOf(work.sourceJoint[partner], k),
                                 ends);
    }
    return Lanes(lane[0], lane[1]);
}

bool CWorldRetarget::ApplyPair(std::span<const POSE> first, std::span<const POSE> second,
                               std::vector<POSE>& firstResult, std::vector<POSE>& secondResult,
                               WORLD_PAIR_WORK& work) const {
    const std::size_t needed = static_cast<std::size_t>(m_linesRead);
    if (first.size() < needed || second.size() < needed) return false;
    firstResult.resize(m_plans.size());
    secondResult.resize(m_plans.size());
    SolveSourcePair(first, second, work);
    work.modelWorld.resize(m_plans.size());
    static const MAT3_LANES IDENTITY = Both(MAT3{});
    for (int row : m_order) {
        const std::size_t r = static_cast<std::size_t>(row);
        const PLAN& plan = m_plans[r];
        const MAT3_LANES& parentWorld =
            plan.parent < 0 ? IDENTITY : work.modelWorld[static_cast<std::size_t>(plan.parent)];
        if (plan.rule.source == REST_LINE) {
            firstResult[r] = plan.rest;
            secondResult[r] = plan.rest;
            if (plan.hasChildren) work.modelWorld[r] = Multiply(parentWorld, Both(plan.restMatrix));
            continue;
        }
        const MAT3_LANES target = TargetRotationPair(plan, work);
        MAT3_LANES local = MultiplyTransposed(parentWorld, target);
        double solvedWeight = plan.rule.blend ? 1.0 - plan.rule.correction : plan.rule.correction;
        if (solvedWeight != 1.0) {
            MAT3 lane[2];
            for (int k = 0; k < 2; ++k) {
                lane[k] = MatrixOf(Slerp(plan.restRotation, QuatOf(LaneOf(local, k)), solvedWeight));
            }
            local = Lanes(lane[0], lane[1]);
            if (plan.hasChildren) work.modelWorld[r] = Multiply(parentWorld, local);
        } else if (plan.hasChildren) {
            work.modelWorld[r] = target;
        }
        const std::size_t line = static_cast<std::size_t>(plan.rule.source);
        const POSE& a = first[line];
        const POSE& b = second[line];
        VEC3_LANES angles;
        SMD_ANGLES made[2];
        if (AnglesOf(local, VEC3_LANES{Lanes(a.rx, b.rx), Lanes(a.ry, b.ry), Lanes(a.rz, b.rz)},
                     angles)) {
            made[0] = {First(angles.x), First(angles.y), First(angles.z)};
            made[1] = {Second(angles.x), Second(angles.y), Second(angles.z)};
        } else {
            made[0] = AnglesOf(LaneOf(local, 0), SMD_ANGLES{a.rx, a.ry, a.rz});
            made[1] = AnglesOf(LaneOf(local, 1), SMD_ANGLES{b.rx, b.ry, b.rz});
        }
        for (int k = 0; k < 2; ++k) {
            const POSE& from = k == 0 ? a : b;
            POSE& out = (k == 0 ? firstResult : secondResult)[r];
            out = {plan.rest.x, plan.rest.y, plan.rest.z, made[k].x, made[k].y, made[k].z};
            if (row == 0) {
                VEC3 p = CorrectedPosition(plan.rule, from.x, from.y, from.z);
                out.x = p.x;
                out.y = p.y;
                out.z = p.z;
            }
        }
    }
    for (std::size_t row = 0; row < m_plans.size(); ++row) {
        if (!IsFinitePose(firstResult[row]) || !IsFinitePose(secondResult[row])) return false;
    }
    return true;
}
#else
bool CWorldRetarget::ApplyPair(std::span<const POSE>, std::span<const POSE>, std::vector<POSE>&,
                               std::vector<POSE>&, WORLD_PAIR_WORK&) const {
    return false;
}
#endif

}  // namespace varnex

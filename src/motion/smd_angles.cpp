#include "motion/smd_angles.h"

#include <cmath>
#include <numbers>

namespace varnex {

namespace {
constexpr double PI = std::numbers::pi;
constexpr double TWO_PI = 2.0 * std::numbers::pi;
// Below this |cos Y| only X - Z (or X + Z) is known: taking X from the reference then moves the
// rotation by at most this much.
constexpr double GIMBAL = 1e-10;

double Dot(const VEC3& a, const VEC3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
VEC3 Cross(const VEC3& a, const VEC3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// atan of x >= 0 by the classic algorithm of the freely distributable math library (within an
// ulp): four points whose atan is held in two parts, an odd polynomial about them. Plain double
// arithmetic, so that every machine writes the same angles, and about a third of the library's
// time, which the world method's three angles a row feel.
double AtanOfNonNegative(double x) {
    static constexpr double HI[4] = {4.63647609000806093515e-01, 7.85398163397448278999e-01,
                                     9.82793723247329054082e-01, 1.57079632679489655800e+00};
    static constexpr double LO[4] = {2.26987774529616870924e-17, 3.06161699786838301793e-17,
                                     1.39033110312309984516e-17, 6.12323399573676603587e-17};
    static constexpr double T[11] = {
        3.33333333333329318027e-01,  -1.99999999998764832476e-01, 1.42857142725034663711e-01,
        -1.11111104054623557880e-01, 9.09088713343650656196e-02,  -7.69187620504482999495e-02,
        6.66107313738753120669e-02,  -5.83357013379057348645e-02, 4.97687799461593236017e-02,
        -3.65315727442169155270e-02, 1.62858201153657823623e-02};
    int id;
    if (x < 0.4375) {
        id = -1;
    } else if (x < 0.6875) {
        id = 0;
        x = (2.0 * x - 1.0) / (2.0 + x);
    } else if (x < 1.1875) {
        id = 1;
        x = (x - 1.0) / (x + 1.0);
    } else if (x < 2.4375) {
        id = 2;
        x = (x - 1.5) / (1.0 + 1.5 * x);
    } else if (x < 7.378697629483821e19) {  // 2^66
        id = 3;
        x = -1.0 / x;
    } else {
        return HI[3] + LO[3];
    }
    const double z = x * x, w = z * z;
    const double s1 = z * (T[0] + w * (T[2] + w * (T[4] + w * (T[6] + w * (T[8] + w * T[10])))));
    const double s2 = w * (T[1] + w * (T[3] + w * (T[5] + w * (T[7] + w * T[9]))));
    if (id < 0) return x - x * (s1 + s2);
    return HI[id] - ((x * (s1 + s2) - LO[id]) - x);
}

// atan2 from AtanOfNonNegative, signs and zeros as the library gives them.
double Atan2(double y, double x) {
    constexpr double PI_LOW = 1.2246467991473531772e-16;  // pi less its double
    if (!std::isfinite(x) || !std::isfinite(y)) return std::atan2(y, x);
    if (y == 0.0) return std::signbit(x) ? (std::signbit(y) ? -PI : PI) : y;
    if (x == 0.0) return y < 0.0 ? -0.5 * PI : 0.5 * PI;
    const double z = AtanOfNonNegative(std::fabs(y / x));
    if (x > 0.0) return y < 0.0 ? -z : z;
    return y < 0.0 ? (z - PI_LOW) - PI : PI - (z - PI_LOW);
}

QUAT Normalized(QUAT q) {
    double n = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
    return {q.w / n, q.x / n, q.y / n, q.z / n};
}

// Y and Z once X is chosen, by sin X and cos X: exact for the X of either set, and for any X at
// Y = +-pi/2.
SMD_ANGLES WithX(const MAT3& r, double x, double sx, double cx) {
    const auto& m = r.m;
    SMD_ANGLES a;
    a.x = x;
    a.y = Atan2(-m[2][0], m[2][1] * sx + m[2][2] * cx);
    a.z = Atan2(sx * m[0][2] - cx * m[0][1], cx * m[1][1] - sx * m[1][2]);
    return a;
}

// WrapAngle, its usual case without a call.
inline double Wrap(double a) { return a >= -PI && a < PI ? a : WrapAngle(a); }

double Distance(const SMD_ANGLES& a, const SMD_ANGLES& ref) {
    double dx = Wrap(a.x - ref.x), dy = Wrap(a.y - ref.y), dz = Wrap(a.z - ref.z);
    return dx * dx + dy * dy + dz * dz;
}

SMD_ANGLES Wrapped(const SMD_ANGLES& a) { return {Wrap(a.x), Wrap(a.y), Wrap(a.z)}; }
}  // namespace

MAT3 RotationOfAngles(const SMD_ANGLES& a) {
    POSE p;
    p.rx = a.x;
    p.ry = a.y;
    p.rz = a.z;
    return RotationOf(p);
}

QUAT QuatOf(const MAT3& r) {
    const auto& m = r.m;
    double trace = m[0][0] + m[1][1] + m[2][2];
    QUAT q;
    // The largest of w, x, y, z is taken from the diagonal, the others divided by it.
    if (trace > 0.0) {
        double s = std::sqrt(trace + 1.0) * 2.0;
        q = {0.25 * s, (m[2][1] - m[1][2]) / s, (m[0][2] - m[2][0]) / s, (m[1][0] - m[0][1]) / s};
    } else if (m[0][0] > m[1][1] && m[0][0] > m[2][2]) {
        double s = std::sqrt(1.0 + m[0][0] - m[1][1] - m[2][2]) * 2.0;
        q = {(m[2][1] - m[1][2]) / s, 0.25 * s, (m[0][1] + m[1][0]) / s, (m[0][2] + m[2][0]) / s};
    } else if (m[1][1] > m[2][2]) {
        double s = std::sqrt(1.0 + m[1][1] - m[0][0] - m[2][2]) * 2.0;
        q = {(m[0][2] - m[2][0]) / s, (m[0][1] + m[1][0]) / s, 0.25 * s, (m[1][2] + m[2][1]) / s};
    } else {
        double s = std::sqrt(1.0 + m[2][2] - m[0][0] - m[1][1]) * 2.0;
        q = {(m[1][0] - m[0][1]) / s, (m[0][2] + m[2][0]) / s, (m[1][2] + m[2][1]) / s, 0.25 * s};
    }
    return Normalized(q);
}

MAT3 MatrixOf(const QUAT& q) {
    double w = q.w, x = q.x, y = q.y, z = q.z;
    MAT3 r;
    r.m[0][0] = 1.0 - 2.0 * (y * y + z * z);
    r.m[0][1] = 2.0 * (x * y - w * z);
    r.m[0][2] = 2.0 * (x * z + w * y);
    r.m[1][0] = 2.0 * (x * y + w * z);
    r.m[1][1] = 1.0 - 2.0 * (x * x + z * z);
    r.m[1][2] = 2.0 * (y * z - w * x);
    r.m[2][0] = 2.0 * (x * z - w * y);
    r.m[2][1] = 2.0 * (y * z + w * x);
    r.m[2][2] = 1.0 - 2.0 * (x * x + y * y);
    return r;
}

QUAT Multiply(const QUAT& a, const QUAT& b) {
    return {a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z,
            a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w};
}

QUAT Slerp(const QUAT& a, const QUAT& b0, double t) {
    QUAT b = b0;
    double dot = a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z;
    if (dot < 0.0) {  // q and -q are one rotation: take the shorter way
        b = {-b.w, -b.x, -b.y, -b.z};
        dot = -dot;
    }
    double wa = 1.0 - t, wb = t;
    if (dot < 0.9999999) {
        double theta = std::acos(dot);
        double s = std::sin(theta);
        wa = std::sin((1.0 - t) * theta) / s;
        wb = std::sin(t * theta) / s;
    }
    return Normalized(
        {wa * a.w + wb * b.w, wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z});
}

QUAT SwingBetween(const VEC3& a, const VEC3& b) {
    double lengths = std::sqrt(Dot(a, a) * Dot(b, b));
    double w = lengths + Dot(a, b);
    if (w <= 1e-12 * lengths) {
        // Opposite: half a turn about the axis square to a that is farthest from a's largest part.
        VEC3 axis = std::fabs(a.x) < std::fabs(a.y)
                        ? (std::fabs(a.x) < std::fabs(a.z) ? VEC3{1, 0, 0} : VEC3{0, 0, 1})
                        : (std::fabs(a.y) < std::fabs(a.z) ? VEC3{0, 1, 0} : VEC3{0, 0, 1});
        VEC3 c = Cross(a, axis);
        return Normalized({0.0, c.x, c.y, c.z});
    }
    VEC3 c = Cross(a, b);
    return Normalized({w, c.x, c.y, c.z});
}

double WrapAngle(double a) {
    // Nearly every angle is within a turn or two of the range: no division needed.
    if (a >= -PI && a < PI) return a;
    double w;
    if (a >= PI && a < 3.0 * PI) {
        w = a - TWO_PI;
    } else if (a < -PI && a >= -3.0 * PI) {
        w = a + TWO_PI;
    } else {
        w = a - TWO_PI * std::floor((a + PI) / TWO_PI);
    }
    if (w >= PI) w -= TWO_PI;
    if (w < -PI) w += TWO_PI;
    return w;
}

SMD_ANGLES AnglesOf(const MAT3& r, const SMD_ANGLES& reference) {
    const auto& m = r.m;
    double cosY = std::sqrt(m[0][0] * m[0][0] + m[1][0] * m[1][0]);
    if (cosY <= GIMBAL) {
        // Y = +pi/2 turns with X - Z, Y = -pi/2 with X + Z: X is the reference's, then both move
        // by half the gap that is left on Z.
        SMD_ANGLES a = WithX(r, reference.x, std::sin(reference.x), std::cos(reference.x));
        double gap = WrapAngle(a.z - reference.z);
        double t = m[2][0] < 0.0 ? -0.5 * gap : 0.5 * gap;
        a.x += t;
        a.z += m[2][0] < 0.0 ? t : -t;
        return Wrapped(a);
    }
    double x = Atan2(m[2][1], m[2][2]);
    // sin X and cos X straight from the column that gave X: |cos Y| is well above 0 here.
    double h = std::sqrt(m[2][1] * m[2][1] + m[2][2] * m[2][2]);
    SMD_ANGLES first = WithX(r, x, m[2][1] / h, m[2][2] / h);
    SMD_ANGLES second{x + PI, PI - first.y, first.z + PI};  // the same rotation
    return Wrapped(Distance(second, reference) < Distance(first, reference) ? second : first);
}

}  // namespace varnex

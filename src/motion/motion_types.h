// The plain values the motion code works on: node lists, poses, frames and points in space.
#pragma once

#include <bit>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace varnex {

// A node of a skeleton's node list; parent is a node number, -1 for a root.
struct SKELETON_NODE {
    std::string name;
    int parent = -1;
    bool operator==(const SKELETON_NODE&) const = default;
};

// The six values of a skeleton line: the position relative to the parent node and the rotation,
// three angles in radians about X, then Y, then Z.
struct POSE {
    double x = 0.0, y = 0.0, z = 0.0;
    double rx = 0.0, ry = 0.0, rz = 0.0;
};

// Bit for bit: -0 and 0 tell apart, as their texts do.
inline bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}
inline bool SamePosition(const POSE& a, const POSE& b) {
    return SameBits(a.x, b.x) && SameBits(a.y, b.y) && SameBits(a.z, b.z);
}
inline bool SameRotation(const POSE& a, const POSE& b) {
    return SameBits(a.rx, b.rx) && SameBits(a.ry, b.ry) && SameBits(a.rz, b.rz);
}

// A frame: pose n is the frame's node line n, the lines taken in the order they stand.
using FRAME_POSES = std::vector<POSE>;

// The texts a frame's lines were read from: line n's rotation, its three fields as the file wrote
// them with single spaces between them, which the local method writes back unchanged.
class CFrameTexts {
public:
    void Clear() {
        m_bytes.clear();
        m_spans.clear();
    }
    void Set(std::size_t line, std::string_view rotation) {
        if (line >= m_spans.size()) m_spans.resize(line + 1, {0, 0});
        m_spans[line] = {m_bytes.size(), rotation.size()};
        m_bytes.append(rotation);
    }
    // Empty for a line the frame lacks.
    std::string_view Rotation(std::size_t line) const {
        if (line >= m_spans.size()) return {};
        return std::string_view(m_bytes).substr(m_spans[line].first, m_spans[line].second);
    }
    // The same texts into out with line n standing where order[n] stood; the bytes move there,
    // leaving these texts to be cleared.
    void MoveReordered(std::span<const std::size_t> order, CFrameTexts& out) {
        out.m_bytes.swap(m_bytes);
        out.m_spans.assign(order.size(), {0, 0});
        for (std::size_t n = 0; n < order.size(); ++n) {
            if (order[n] < m_spans.size()) out.m_spans[n] = m_spans[order[n]];
        }
    }

private:
    std::string m_bytes;
    std::vector<std::pair<std::size_t, std::size_t>> m_spans;  // offset and size in m_bytes
};

// A point or a direction in the model's space, Z up.
struct VEC3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

}  // namespace varnex

// The plain values the motion code works on: node lists, poses, frames and points in space.
#pragma once

#include <string>
#include <vector>

namespace varnex {

// A node of a skeleton's node list; parent is a node number, -1 for a root.
struct SKELETON_NODE {
    std::string name;
    int parent = -1;
};

// The six values of a skeleton line: the position relative to the parent node and the rotation,
// three angles in radians about X, then Y, then Z.
struct POSE {
    double x = 0.0, y = 0.0, z = 0.0;
    double rx = 0.0, ry = 0.0, rz = 0.0;
};

// A frame: pose n is the frame's node line n, the lines taken in the order they stand.
using FRAME_POSES = std::vector<POSE>;

// A point or a direction in the model's space, Z up.
struct VEC3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

}  // namespace varnex

// Our own biped skeletons and their SMD text: the sample files of samples/ and the large files of
// the benchmark. Standard library only, so the generator builds with one compiler line.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// What a node is, for the walk cycle: the motion of a node follows its role and its side, so one
// cycle drives both biped namings and any node order.
enum class SAMPLE_ROLE {
    ROOT,
    PELVIS,
    SPINE,
    SPINE1,
    NECK,
    HEAD,
    CLAVICLE,
    UPPER_ARM,
    FOREARM,
    HAND,
    FINGER,
    THIGH,
    CALF,
    FOOT,
    TOE,
    PROP,  // no biped bone: a weapon, a cape, a tail
};

// Six values of a skeleton line: the offset from the parent and the rotation in radians.
struct SAMPLE_POSE {
    double x = 0, y = 0, z = 0, rx = 0, ry = 0, rz = 0;
};

struct SAMPLE_NODE {
    std::string name;
    int parent = -1;
    SAMPLE_ROLE role = SAMPLE_ROLE::PROP;
    int side = 0;      // +1 left, -1 right, 0 on the middle line
    int detail = 0;    // finger number and joint (10 * finger + joint), else 0
    SAMPLE_POSE rest;  // the line of frame 0
};

struct SAMPLE_SKELETON {
    std::vector<SAMPLE_NODE> nodes;  // parents before children
};

// The target of the samples: 23 nodes named "Bip01 L Thigh" and so on, thighs hung from the
// spine, and a "Sword" in the right hand.
SAMPLE_SKELETON KnightSkeleton();
// The source of the samples: 22 nodes named "Bip01 L Leg" and so on, thighs hung from the pelvis,
// legs listed before the spine and the arms, bones 0.8 to 1.3 times the knight's.
SAMPLE_SKELETON RunnerSkeleton();
// The benchmark's 60-node target and source: the two skeletons above with three-joint fingers on
// both hands and extra nodes that are no biped bone.
SAMPLE_SKELETON BenchModelSkeleton();
SAMPLE_SKELETON BenchRefSkeleton();

// The pose of every node in frame `frame` of a walk cycle of `cycleFrames` frames: positions are
// the rest offsets except the root's, which walks forward; rotations swing around the rest ones.
std::vector<SAMPLE_POSE> WalkFrame(const SAMPLE_SKELETON& skeleton, int frame, int cycleFrames);

// Where a frame puts the root and each foot, against the rest pose: shifts along X (forward) and
// Z (up). The legs stay in their plane, so a foot keeps its rest Y.
struct SAMPLE_STANCE {
    double rootX = 0, rootZ = 0;
    double leftX = 0, leftZ = 0;
    double rightX = 0, rightZ = 0;
};
// The rest pose with the root shifted and each leg's thigh, calf and foot turned about Y so that
// the ankle (the foot node's joint) lands on its shifted place, knee forward, the foot kept level;
// a place out of reach leaves the leg stretched towards it. The legs and their parents must have
// no rest rotation, and the root, the pelvis and the spine keep theirs.
std::vector<SAMPLE_POSE> StanceFrame(const SAMPLE_SKELETON& skeleton, const SAMPLE_STANCE& stance);
// Thirty frames of steps on the spot on the runner, knees bent, as an SMD animation: each foot
// lifts 10 units in turn, so the check finds the right foot planted in frames 0-15 and the left
// in 15-29 (the sample walk plants no foot by its measure).
std::string StepsOnTheSpotSmd();
// Thirty frames of steps on the spot on the runner, knees bent, as an SMD animation: each foot
// lifts 10 units in turn, so the check finds the right foot planted in frames 0-15 and the left
// in 15-29 (the sample walk plants no foot by its measure).
std::string StepsOnTheSpotSmd();
// Scales the rest offset of every node of a role, then lifts the root so that the left toe
// touches the ground again.
void ScaleRole(SAMPLE_SKELETON& skeleton, SAMPLE_ROLE role, double factor);

// Text pieces, every line ending in CR LF. A number is written as printf("%.6f") writes it once
// rounded to a millionth, and a value that rounds to zero is written "0.000000", never with a
// minus sign.
void AppendFixed6(std::string& out, double value);
// "version 1", "nodes", one line per node, "end", "skeleton".
std::string SmdHeader(const SAMPLE_SKELETON& skeleton);
// "time N" and one line per node, in node order.
void AppendFrame(std::string& out, int time, const std::vector<SAMPLE_POSE>& poses);
// A "triangles" block on the knight's sword, closed by "end"; needs a node named "Sword".
std::string KnightTriangles(const SAMPLE_SKELETON& knight);

// Writes text to path through a temporary file renamed over it, so a failed run leaves no
// half-written file. Throws std::runtime_error naming the file.
void WriteTextFile(const std::string& path, const std::string& text);

// The three sample files in folder: knight_ref.smd, runner_ref.smd, runner_walk.smd (30 frames).
void WriteSampleFiles(const std::string& folder);

// The benchmark files in folder: bench_model.smd, bench_ref.smd and bench_anim.smd, a walk of
// `frames` frames on the reference skeleton written frame by frame. Gives the animation's size in
// bytes.
long long WriteBenchFiles(const std::string& folder, int frames);

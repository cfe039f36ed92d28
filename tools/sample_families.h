// Skeletons of other families' shapes, built from the samples' knight: spines of 1 to 4
// segments, thighs hung from the pelvis or the spine, an extra neck, digitigrade legs, roots at
// the hips or on the ground, pelvis offsets from a hundredth of a unit to ten units. Standard
// library only, as sample_skeletons.
#pragma once

#include <string>
#include <vector>

#include "sample_skeletons.h"

struct FAMILY_SHAPE {
    int spineSegments = 2;        // 1 to 4: "Spine", then "Spine1"... up to the neck
    bool thighsFromSpine = true;  // else from the pelvis
    bool extraNeck = false;       // "Neck1" between the neck and the head
    bool horseLink = false;       // "L HorseLink" and "R HorseLink" between calf and foot
    bool rootAtHips = true;       // else the root stands on the ground below the pelvis
    double pelvisOffset = 1.2;    // the pelvis above the root, with the root at the hips
};

// Nodes named "Bip01 ..." as the knight's, parents before children; the toes touch the ground
// (Z 0) in the rest pose.
SAMPLE_SKELETON FamilySkeleton(const FAMILY_SHAPE& shape);

// The samples' walk of `frames` frames (a cycle of 30) with a bow: the spine turns forward by
// `bowDegrees` in all, shared out over its segments, most at mid-cycle; the hips' sway is carried
// a twentieth of a unit by the pelvis's own offset, as exporters that move the pelvis write it.
// With `crouchedFirst`, frame 0 is a crouch with the hips 10 units lower and the feet where they
// stand at rest (not for digitigrade legs).
std::vector<std::vector<SAMPLE_POSE>> FamilyAnimation(const SAMPLE_SKELETON& skeleton, int frames,
                                                      double bowDegrees, bool crouchedFirst);

// The SMD text of the skeleton with those frames, lines ending in CR LF.
std::string FamilySmd(const SAMPLE_SKELETON& skeleton,
                      const std::vector<std::vector<SAMPLE_POSE>>& frames);
// The reference file of the family: its rest pose alone.
std::string FamilyReferenceSmd(const SAMPLE_SKELETON& skeleton);

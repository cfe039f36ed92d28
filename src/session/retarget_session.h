// One retarget session: the model and the reference animation loaded once, their pairing, the
// grid as typed, and the commands every front end runs on them (build, check, preview set-up,
// Convert CS Bipede). The command line, the window and a whole .qc set all go through it, so a
// load or a build means the same thing wherever it is asked for; what a front end adds is how it
// asks and how it tells.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "motion/motion_check.h"
#include "motion/motion_setup.h"
#include "motion/motion_warning.h"
#include "pairing/bone_classifier.h"
#include "pairing/skeleton_pairing.h"
#include "qc/qc_set.h"
#include "session/grid_texts.h"
#include "smd_input/smd_reader.h"

namespace varnex {

// Something a command that ran through has to tell; each front end words it its own way.
enum class SESSION_NOTE_KIND {
    OVER_COMPILER_LIMIT,  // count: the model's nodes
    BEYOND_NODES,         // rows: left unpaired, their partner being beyond what NODES names
    ROWS_LEFT_OUT,        // count: records of the .con file beyond the grid's gridRows rows
    UNUSED_NODES,         // names: the animation's nodes no row reads
    WARNING,              // warning
};
struct SESSION_NOTE {
    SESSION_NOTE_KIND kind = SESSION_NOTE_KIND::WARNING;
    std::string file;
    int count = 0;
    int gridRows = 0;
    std::vector<int> rows;
    std::vector<std::string> names;
    MOTION_WARNING warning;
};

struct SESSION_OPTIONS {
    bool pairSameNames = false;  // the next reference animation also pairs by same names
    ROOT_MODE rootMotion = ROOT_MODE::SCALE;
    // LOCAL copies each rotation and scales each position by its bone scale; WORLD points each
    // bone as the source's on the model's own lengths, its root following the legs.
    RETARGET_METHOD method = RETARGET_METHOD::LOCAL;
    std::string lineEnd = "\r\n";
    int threads = 1;  // worker threads of a long build
    // CONTACT holds the feet on the ground (CFeetStage) by either method, the root following the
    // legs; the output is then written by the typed route.
    FEET_MODE feet = FEET_MODE::NONE;
};

// A model read but not yet taken, so that a front end can ask before a model change discards
// the grid.
struct PENDING_MODEL {
    std::string path;
    SMD_HEAD head;
    bool otherSkeleton = false;  // another node list than the grid's rows were made for
};

struct REFERENCE_LOADED {
    int pairedRows = 0;  // rows whose partner the pairing found (NODES 0 counts on row 0 only)
    std::vector<SESSION_NOTE> notes;
};

struct BUILD_RESULT {
    std::vector<SESSION_NOTE> notes;  // unused nodes, then the build's warnings
};

class CRetargetSession {
public:
    SESSION_OPTIONS& Options() { return m_options; }
    const SESSION_OPTIONS& Options() const { return m_options; }

    // SMD Ref Modele in two steps. Throws CVarnexError naming the file and line.
    PENDING_MODEL ReadModel(const std::string& path) const;
    // Takes the model: another skeleton starts from a fresh grid and waits for its own reference
    // animation; the same one keeps the grid and its edits. The grid has a row per node, at
    // least DEFAULT_GRID_ROWS.
    std::vector<SESSION_NOTE> TakeModel(PENDING_MODEL model);
    // Both steps at once.
    std::vector<SESSION_NOTE> LoadModel(const std::string& path);

    // SMD Ref Animation: reads it and pairs its nodes with the model's into the grid (rows
    // without a partner keep their texts), then the bone scales. Throws CVarnexError naming the
    // file and line, changing nothing.
    REFERENCE_LOADED LoadReference(const std::string& path);

    // A conversion file's rows into the grid, as far as the grid has rows.
    std::vector<SESSION_NOTE> LoadCon(const std::string& path);

    // What the pairing says: row 0's bone scale against the legs' ratio (when the root follows
    // its bone scale), then torn bones and chains at an angle on the reference animation's first
    // frame.
    std::vector<MOTION_WARNING> PairingWarnings() const;
    // What a preview measured over every frame of file (torn bones, chains at an angle), as
    // notes with the advice of the session's method and feet.
    std::vector<SESSION_NOTE> WatchNotes(const std::string& file,
                                         std::vector<MOTION_WARNING> warnings) const;

    // SMD Animation: reads the whole animation against its own node list, so that a malformed
    // frame is refused now, with its line, rather than by a later build; gives its frame count.
    int ReadAnimation(const std::string& animPath) const;

    // Convert CS Bipede: writes the animation's copy whose thighs hang from the spine and gives
    // its path; later builds take the thighs it found.
    std::string ConvertBiped(const std::string& animPath);

    // BUILD SMD: the animation on the model's skeleton, written whole to outputPath or not at
    // all; an output that names an input is refused. The rows are the grid's.
    BUILD_RESULT Build(const std::string& animPath, const std::string& outputPath) const;
    // A whole .qc set on the grid: request names the source and target .qc, the folder, and how
    // to go on and to show progress; the session adds the model, its line ends and the inputs
    // never to overwrite, and builds each animation as Build does. words turns a build's notes
    // into the set's lines.
    QC_SET_RESULT BuildSet(QC_SET_REQUEST request,
                           const std::function<std::string(const SESSION_NOTE&)>& words) const;
    // The motion check of one animation, retargeted in memory.
    MOTION_REPORT Check(const std::string& animPath, std::vector<SESSION_NOTE>& notes) const;
    // What retargeting in memory needs, with the rows of the grid given (the window's screen).
    MOTION_SETUP MotionSetup(const CGridTexts& grid) const;
    MOTION_SETUP MotionSetup() const { return MotionSetup(m_grid); }

    bool ModelLoaded() const { return m_modelLoaded; }
    bool ReferenceLoaded() const { return m_referenceLoaded; }
    const std::string& ModelPath() const { return m_modelPath; }
    const std::string& ReferencePath() const { return m_referencePath; }
    const SMD_HEAD& Model() const { return m_model; }
    const SMD_HEAD& Reference() const { return m_reference; }
    int NodeCount() const { return static_cast<int>(m_model.nodes.size()); }
    CGridTexts& Grid() { return m_grid; }
    const CGridTexts& Grid() const { return m_grid; }
    // One per grid row; 0 before a pairing.
    const std::vector<double>& BoneScales() const { return m_boneScale; }
    const LEGS_RATIO& Legs() const { return m_legs; }
    // The world method tells left toes and numbered necks apart and gives no source node to two
    // rows of one chain; the local method pairs as it always has.
    PAIRING_RULES PairingRules() const;

private:
    std::vector<DECODED_ROW> RowsOf(const CGridTexts& grid) const;
    // How row 0 moves: the world method's root always follows the legs.
    ROOT_MODE RootMode() const;
    // A warning's advice to try the world method or the feet on the ground, only where they are
    // not already in use.
    void AdviseMethod(std::vector<MOTION_WARNING>& warnings) const;

    SESSION_OPTIONS m_options;
    CGridTexts m_grid;
    std::string m_modelPath;
    std::string m_referencePath;
    SMD_HEAD m_model;      // header, node list, rest frame
    SMD_HEAD m_reference;  // node list, first frame
    bool m_modelLoaded = false;
    bool m_referenceLoaded = false;
    BIPED_MARKS m_marks;
    std::vector<double> m_boneScale = std::vector<double>(DEFAULT_GRID_ROWS, 0.0);
    LEGS_RATIO m_legs;  // for the root warnings; not known when a first frame cannot be read
};

// Names and parents in order: the skeleton a grid's rows were made for.
bool SameNodeList(const std::vector<SMD_NODE>& a, const std::vector<SMD_NODE>& b);

}  // namespace varnex

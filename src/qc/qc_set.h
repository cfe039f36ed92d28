// A whole animation set from a .qc: every SMD that its sequences name built once onto the model,
// and a .qc for the model that names the built files, written into one folder all or nothing.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "platform/text_catalog.h"
#include "platform/varnex_error.h"
#include "qc/qc_reader.h"
#include "smd_input/smd_reader.h"

namespace varnex {

// The model compiler's limits that the checks hold the set against.
constexpr int QC_MAX_BONES = 128;           // it refuses this many bones
constexpr int QC_MAX_NAME = 31;             // node and sequence names (32 bytes with the end)
constexpr int QC_MAX_EVENT_TEXT = 63;       // an event's options (64 bytes)
constexpr int QC_MAX_SEQUENCES = 256;
constexpr int QC_MAX_FRAME = 511;           // frame numbers 0 to 511
constexpr int QC_MAX_PATH = 63;             // a file name as written (64 bytes)

// What the build of one animation tells the set. Left without nodes and times, the set reads
// them from the file written.
struct BUILT_ANIMATION {
    // The node list of the file written, checked against the model's parents; empty: not checked.
    std::vector<SMD_NODE> nodes;
    // Its "time" numbers: the lowest, the highest, and how many lie outside 0 to QC_MAX_FRAME.
    bool hasTimes = false;
    int firstTime = 0;
    int lastTime = 0;
    int timesOutside = 0;
    // The front end's own notes on it (motion warnings...), listed with the set's warnings.
    std::vector<std::string> notes;
};

// Reads the node list and the "time" numbers of an SMD animation. Throws CVarnexError naming
// the file.
BUILT_ANIMATION ScanSmdAnimation(const std::string& path);
// The SMD has a "triangles" block (a reference mesh). Throws CVarnexError naming the file.
bool SmdHasTriangles(const std::string& path);

// Builds the animation at sourceSmdPath onto the model and writes targetSmdPath, whole or not at
// all (its folder exists); throws CVarnexError to refuse it.
using BUILD_ONE_ANIMATION = std::function<BUILT_ANIMATION(const std::string& sourceSmdPath,
                                                          const std::string& targetSmdPath)>;
// Called before each animation: done from 1 to count, the built file's name as the .qc writes it.
using QC_SET_PROGRESS = std::function<void(int done, int count, const std::string& name)>;

struct QC_SET_REQUEST {
    std::string sourceQc;
    std::string targetQc;  // empty: none, the .qc gets a minimal head
    std::string modelSmd;
    std::string outDir;
    bool keepGoing = false;  // write what could be built, without the refused sequences
    std::string lineEnd = "\r\n";
    std::vector<std::string> otherInputs;  // the reference animation...: never overwritten
    QC_SET_PROGRESS progress;               // may be empty
    const std::atomic<bool>* cancel = nullptr;  // set: the run stops and leaves nothing
    const CTextCatalog* texts = nullptr;    // the .qc's comments; null: the French originals
};

// A source sequence as the messages name it.
struct QC_SEQUENCE_PLACE {
    std::string name;
    std::string file;
    int line = 0;
};

// An animation not built, and the sequences left out for it.
struct QC_REFUSAL {
    std::string smdPath;  // the source SMD (the path tried when none was found)
    std::vector<QC_SEQUENCE_PLACE> sequences;
    CVarnexError error;
};

enum class QC_SET_WARNING_CODE {
    MODEL_WITHOUT_TRIANGLES,  // {model}: the compiler keeps only the bones vertices use
    TOO_MANY_NODES,           // {model, nodes}
    NODE_NAME_TOO_LONG,       // {node}
    SEQUENCE_NAME_TOO_LONG,   // {sequence}
    EVENT_TEXT_TOO_LONG,      // {sequence, text}
    TOO_MANY_SEQUENCES,       // {sequences}
    TIME_OUTSIDE_RANGE,       // {smd, how many, lowest, highest}
    FRAME_RANGE_ABOVE_LIMIT,  // {sequence, end}
    FRAME_RANGE_OUTSIDE_TIMES,  // {sequence, start, end, smd, lowest time, highest time}
    TOO_MANY_SMDS,            // {sequence, smds}
    PATH_TOO_LONG,            // {path as written}
    PARENT_DISAGREES,         // {smd, node, its parent there, its parent in the model}
    PLAYER_NODES_MISSING,     // {names missing, one per line}
    SOURCE_OPTION_COPIED,     // {sequence, option}: origin, rotate, scale measured on the source
};
// "model-without-triangles", "too-many-nodes", ...: the same in every language.
const char* QcSetWarningCodeText(QC_SET_WARNING_CODE code);

struct QC_SET_WARNING {
    QC_SET_WARNING_CODE code = QC_SET_WARNING_CODE::TOO_MANY_NODES;
    std::string file;  // where it is: the source .qc, the model, a built SMD
    int line = 0;
    std::vector<std::string> values;
};

struct QC_SET_RESULT {
    bool written = false;    // false: nothing the run wrote is left (refusals, or cancelled)
    bool cancelled = false;
    std::string qcPath;      // <outDir>/<model>.qc
    int sequences = 0;       // sequences of the source
    int sequencesWritten = 0;
    std::vector<std::string> files;  // every file written, the .qc last
    std::vector<QC_REFUSAL> refusals;
    std::vector<QC_WARNING> readWarnings;  // reading the source and the target .qc
    std::vector<QC_SET_WARNING> warnings;
    std::vector<std::string> notes;        // the builds' own, as they gave them
};

// Reads the source .qc (and the target's), builds each SMD its sequences name once through
// build into a staging folder inside outDir, checks the set, writes the .qc, then moves every
// file into place, replacing the set's own files of an earlier run and nothing else. With a
// refusal and without keepGoing, or when cancelled, it leaves nothing. Throws CVarnexError,
// changing nothing, for a malformed .qc, an unreadable model, an output that would replace an
// input, or a folder that cannot be written.
QC_SET_RESULT BuildQcSet(const QC_SET_REQUEST& request, const BUILD_ONE_ANIMATION& build);

// The names of the built SMDs, without ".smd", relative to the output folder, for the names as
// the sequences write them (relative to $cd, each file once): '\' made '/', ".", ".." and drive
// parts dropped, bytes outside printable ASCII and those file names refuse made '_', under
// QC_MAX_PATH + 1 characters, names equal ignoring case numbered "_2", "_3"...
std::vector<std::string> BuiltSmdNames(const std::vector<std::string>& written);

}  // namespace varnex

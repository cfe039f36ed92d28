// Reading a model compiler script (.qc) token by token as the model compiler (studiomdl) reads
// it: every command in order, each $sequence parsed into its SMD files and options, every other
// command kept as its text; $include read in place.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "qc/qc_paths.h"

namespace varnex {

// The model compiler's limits.
constexpr int QC_MAX_BLENDS = 16;          // SMD files of one sequence (more are read as written)
constexpr int QC_MAX_INCLUDE_DEPTH = 6;    // $include inside $include inside ...
constexpr int QC_DEFAULT_FRAME_END = 511;  // a sequence without "frame" ends there

// The motion flags as the compiler numbers them (motion options, blend types).
enum QC_MOTION_FLAG : int {
    QC_X = 0x1,
    QC_Y = 0x2,
    QC_Z = 0x4,
    QC_XR = 0x8,
    QC_YR = 0x10,
    QC_ZR = 0x20,
    QC_LX = 0x40,
    QC_LY = 0x80,
    QC_LZ = 0x100,
    QC_AX = 0x200,
    QC_AY = 0x400,
    QC_AZ = 0x800,
    QC_AXR = 0x1000,
    QC_AYR = 0x2000,
    QC_AZR = 0x4000,
};
// The flag a word names ("X", "lx", "AZR", any case), or 0.
int QcMotionFlag(std::string_view word);
// The activity a word names: a known ACT_ name (any case) or ACT_<number>; 0 when it names none.
int QcActivityCode(std::string_view word);

enum class QC_OPTION_KIND {
    FPS,
    LOOP,
    FRAME,
    ORIGIN,
    ROTATE,
    SCALE,
    EVENT,
    PIVOT,
    BLEND,
    NODE,
    TRANSITION,
    RTRANSITION,
    MOTION,
    ACTIVITY,
    DEFORM,
};

// An option of a $sequence as written: its word and the tokens it takes.
struct QC_OPTION {
    QC_OPTION_KIND kind = QC_OPTION_KIND::LOOP;
    std::string word;                 // "fps", "LOOP", "ACT_IDLE", "x", ...
    std::vector<std::string> values;  // fps: 1, frame: 2, event: 2 or 3, activity: its weight, ...
    int line = 0;
};

struct QC_SMD_NAME {
    std::string name;              // as written: "run", "hd\\walk.smd"
    bool byAnimationWord = false;  // written "animation <name>"
    int line = 0;
};

struct QC_EVENT {
    int number = 0;
    int frame = 0;
    bool hasText = false;
    std::string text;
    int line = 0;
};

struct QC_SEQUENCE {
    std::string name;
    std::string file;  // the source holding it
    int line = 0;
    bool braced = false;
    std::vector<QC_SMD_NAME> smds;   // in order: blends
    std::vector<QC_OPTION> options;  // in order, every option
    // The values the compiler takes from the options (the last one of a kind wins).
    double fps = 30.0;
    bool loop = false;
    bool hasFrameRange = false;
    int frameStart = 0;
    int frameEnd = QC_DEFAULT_FRAME_END;
    int motionFlags = 0;  // QC_MOTION_FLAG of the motion options
    int activity = 0;     // 0: none
    std::string activityName;
    int activityWeight = 0;
    std::vector<QC_EVENT> events;
};

enum class QC_ENTRY_KIND {
    TEXT,      // lines the compiler skips: blank lines, comments, /* */ text, lines without a $
    COMMAND,   // any other command, kept as written
    SEQUENCE,  // a $sequence: sequences[sequence]
    INCLUDE,   // an $include: the included file's entries follow it
};

// One part of the script, in order; every line of every file read lies in exactly one entry.
struct QC_ENTRY {
    QC_ENTRY_KIND kind = QC_ENTRY_KIND::TEXT;
    std::string file;
    int line = 0;  // its first line
    int lastLine = 0;
    std::string text;                    // its lines as written, without the last line end
    std::string command;                 // "$cd", "$body", ...; empty for TEXT
    std::vector<std::string> arguments;  // the tokens after the command
    int sequence = -1;                   // SEQUENCE: index in sequences
    std::string includedPath;            // INCLUDE: the file read
};

// A path written in the script and the path it names.
struct QC_PATH {
    std::string written;
    std::string path;
    std::string file;
    int line = 0;
};

enum class QC_WARNING_CODE {
    SEQUENCE_IN_BLOCK_COMMENT,  // {sequence, line of "/*"}: the compiler reads it all the same
    CD_NOT_FOUND,               // {$cd as written, folder used}
    NO_CD,                      // {folder used}
    COMMENT_STOPS_COMPILER,     // {sequence}: "//" or "#" where the compiler wants a token or none
    BYTE_OUTSIDE_QUOTES,        // {token}: a byte above 127 ends a token outside quotes
    COMMAND_CASE,               // {as written, the command}: commands are case-sensitive
};

struct QC_WARNING {
    QC_WARNING_CODE code = QC_WARNING_CODE::NO_CD;
    std::string file;
    int line = 0;
    std::vector<std::string> values;
};

struct QC_SCRIPT {
    std::string source;  // the .qc read
    std::string folder;  // its folder, where relative paths start
    std::vector<QC_ENTRY> entries;
    std::vector<QC_SEQUENCE> sequences;
    bool hasCd = false;
    QC_PATH cd;  // path: the folder where the SMDs are (the .qc's when $cd is absent
                 // or names no folder)
    std::vector<QC_PATH> cdTextures;
    std::vector<QC_PATH> includes;
    std::vector<QC_WARNING> warnings;
};

// Reads the script held in bytes, named source (its folder is where relative paths start and
// includes and $cd are looked for in files). Throws CVarnexError naming the file and line of
// malformed input: a quote or brace not closed, a "}" without "{", a $sequence without a name or
// a file, an option without its values, two $cd, an include that cannot be read, that includes
// a file being read or that goes deeper than QC_MAX_INCLUDE_DEPTH.
QC_SCRIPT ReadQc(std::string_view bytes, const std::string& source, const CQcFileSystem& files);
// The same from the file at path, its includes read from the disk.
QC_SCRIPT ReadQcFile(const std::string& path);

}  // namespace varnex

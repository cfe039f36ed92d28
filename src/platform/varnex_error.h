// The one error type of Varnex: what went wrong (a kind), the file, the line, and the values the
// message needs. The words are composed by the front ends (app/error_text.h), so the engine
// speaks no language.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {

enum class ERROR_KIND {
    // Files. SystemError() holds the system's error number where one is quoted.
    READ_FOLDER,          // a folder where a file is to be read
    OPEN_FAILED,          // errno
    SEEK_FAILED,          // errno
    FILE_NOT_OPEN,
    READ_FAILED,          // errno
    WRITE_FOLDER,         // a folder where a file is to be written
    CREATE_FAILED,        // errno
    OUTPUT_CLOSED,
    WRITE_FAILED,         // errno
    REPLACE_FAILED,       // errno
    OUTPUT_IS_INPUT,      // the output would replace an input
    CONVERTED_IS_REFERENCE,  // Convert CS Bipede's output would replace a reference file
    // SMD text.
    LINE_TOO_LONG,
    INCOMPLETE_FRAME_LINE,  // {fields found}
    NO_NODES_LINE,
    NODES_NOT_CLOSED,
    EMPTY_NODE_LIST,
    NO_SKELETON_LINE,
    NO_FRAME0,
    TIME_WITHOUT_NUMBER,
    MISSING_END,
    NOT_A_NUMBER,           // {value as printable text}
    // Frame lines keyed by node number, and animations read through their own node list.
    NODE_NUMBER_NOT_A_NUMBER,  // {first field as printable text}
    NODE_NOT_IN_LIST,          // {time text, node number, nodes in the list}
    NODE_REPEATED_IN_FRAME,    // {time text, node number}
    NODE_MISSING_IN_FRAME,     // {time text, node number, node name, grid row}
    ANIMATION_LACKS_NODES,     // {how many, the names one per line}
    // First frames and bone scales.
    FRAME0_NO_LINE_FOR_NODE,   // {node, time text, lines, ordinal}
    FRAME0_NO_LINE_FOR_ROW,    // {row, NODES, time text, lines, ordinal}
    FRAME0_NO_LINE_FOR_SPINE,  // {node, time text, lines, ordinal}
    LENGTH_NOT_FINITE,         // {x, y, z}
    SCALE_NOT_FINITE,          // {row}
    // The grid and the build.
    CORRECTION_NOT_FINITE,     // {row, text}
    NO_REST_LINE,              // {lines, node}
    FRAME_TOO_SHORT_FOR_ROW,   // {time text, row, NODES, line, lines}
    POSITION_NOT_FINITE,       // {x, y, z, row}
    // Retargeting in memory: check, preview, root motion from the legs.
    NO_LEGS_RATIO,             // {"1" when the model has a leg else "0", the same for the source}
    FRAME_NOT_IN_ANIMATION,    // {frame asked for, frames the animation has}
    // Conversion files.
    CON_TOO_SHORT,             // {bytes}
    CON_CORRECTION_NOT_FINITE, // {row}
    // Convert CS Bipede.
    BIPED_NODE_MISSING,        // {bone class}
    SPINE_NOT_IN_FRAME0,       // {time text, node}
    NOT_THE_REFERENCE_SKELETON,  // {node, bone class, name found or empty when absent}
    THIGHS_ALREADY_ON_SPINE,
    THIGH_VALUE_NOT_FINITE,
    // Model compiler scripts (.qc).
    QC_QUOTE_NOT_CLOSED,
    QC_BRACE_NOT_CLOSED,       // {command, line of "{", line of the next command or empty at the end}
    QC_BRACE_NOT_OPEN,
    QC_SEQUENCE_WITHOUT_NAME,
    QC_SEQUENCE_WITHOUT_FILE,  // {sequence}
    QC_OPTION_WITHOUT_VALUE,   // {sequence, option, values it takes}
    QC_PATH_MISSING,           // {command}
    QC_TWO_CD,                 // {line of the first}
    QC_INCLUDE_UNREADABLE,     // {path as written, path tried}; errno
    QC_INCLUDE_CYCLE,          // {path as written}
    QC_INCLUDE_TOO_DEEP,       // {path as written, depth allowed}
};

class CVarnexError : public std::runtime_error {
public:
    // line 0: about the whole file; an empty file: about no file.
    CVarnexError(ERROR_KIND kind, std::string file, int line, std::vector<std::string> values = {},
                 int systemError = 0);

    ERROR_KIND Kind() const { return m_kind; }
    const std::string& File() const { return m_file; }
    int Line() const { return m_line; }
    const std::vector<std::string>& Values() const { return m_values; }
    // The value at index, or an empty text when there is none.
    const std::string& Value(std::size_t index) const;
    int SystemError() const { return m_systemError; }

private:
    ERROR_KIND m_kind;
    std::string m_file;
    int m_line;
    std::vector<std::string> m_values;
    int m_systemError;
};

// A value from a file as a message may quote it: bytes outside printable ASCII as \xNN.
std::string PrintableText(std::string_view text);

}  // namespace varnex

// The model's .qc of a set: the target's own commands (or a minimal head), one $cd ".", and every
// sequence of the source with its options, naming the built SMDs.
#pragma once

#include <string>
#include <vector>

#include "platform/text_catalog.h"
#include "qc/qc_reader.h"
#include "qc/qc_set.h"

namespace varnex {

struct QC_SET_QC {
    const QC_SCRIPT* source = nullptr;
    const QC_SCRIPT* target = nullptr;  // null: the minimal head
    std::string modelSmd;
    std::string outDir;  // where the .qc is written: every path is made relative to it
    std::string modelName;  // the .qc's name without ".qc": the minimal head's $modelname
    // For each source sequence, the built names of its SMDs (relative to outDir, without
    // ".smd"); empty: the sequence is refused and left out.
    std::vector<std::vector<std::string>> smdNames;
    std::vector<std::string> refusedWhy;  // for each source sequence left out: the SMD refused
    std::string lineEnd = "\r\n";
    const CTextCatalog* texts = nullptr;
};

struct QC_SET_QC_TEXT {
    std::string text;
    std::vector<std::string> meshNames;  // the reference meshes as written, for the length check
    std::vector<QC_SET_WARNING> warnings;  // SOURCE_OPTION_COPIED
};

// The text of the model's .qc.
QC_SET_QC_TEXT WriteSetQc(const QC_SET_QC& in);

// The reference meshes that the target's $body and $bodygroup name, as found from its $cd.
std::vector<std::string> TargetMeshPaths(const QC_SCRIPT& target);

// path written relative to folder with '/' (both taken from the current folder when relative);
// path itself when no relative path leads there (another drive).
std::string RelativeQcPath(const std::string& path, const std::string& folder);

}  // namespace varnex

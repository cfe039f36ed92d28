// What every fuzz target shares: the samples read once per process, the engine's commands run on
// bytes in memory, and the checks that turn a wrong answer (not only a crash) into a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "session/grid_texts.h"
#include "retarget/build_smd.h"
#include "smd_input/smd_reader.h"

namespace varnex {

// The three samples of samples/, read and loaded once.
struct FUZZ_SAMPLES {
    std::string modelBytes;
    std::string refAnimBytes;
    SMD_HEAD model;   // "knight_ref.smd"
    SMD_HEAD refAnim;  // "runner_ref.smd"
};
const FUZZ_SAMPLES& Samples();

// What SMD Ref Animation leaves: the grid the pairing fills and the rows of a build from it.
struct FUZZ_SETUP {
    int rowCount = 0;
    CGridTexts grid;
    BIPED_MARKS marks;
    std::vector<double> boneScale;
    std::vector<SMD_NODE> refNodes;  // the reference animation's, which animations are matched to
};
// Pairs model with refAnim and computes the bone scales; throws CVarnexError as the command would.
FUZZ_SETUP PairAndScale(const SMD_HEAD& model, const SMD_HEAD& refAnim);
// BUILD SMD of the animation bytes (named source) into memory; throws CVarnexError.
std::string Build(const SMD_HEAD& model, const FUZZ_SETUP& setup, std::string_view anim,
                  const std::string& source, const std::string& lineEnd = "\r\n",
                  int threads = 1, std::size_t segmentBytes = 0);

// Runs command; true when it ran through. A refusal must be a CVarnexError naming one of files;
// anything else thrown is a finding.
bool RanThrough(const char* command, std::initializer_list<std::string> files,
                const std::function<void()>& body);

// Prints the failed check and aborts.
[[noreturn]] void FuzzFailure(const std::string& what);

}  // namespace varnex

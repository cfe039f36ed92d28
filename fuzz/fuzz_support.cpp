#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "app/error_text.h"
#include "pairing/bone_scale.h"
#include "pairing/skeleton_pairing.h"
#include "test_support.h"

namespace varnex {

void FuzzFailure(const std::string& what) {
    std::fprintf(stderr, "\n*** varnex fuzz check failed: %s\n", what.c_str());
    std::abort();
}

const FUZZ_SAMPLES& Samples() {
    static const FUZZ_SAMPLES samples = [] {
        FUZZ_SAMPLES s;
        s.modelBytes = ReadFile(SamplePath("knight_ref.smd"));
        s.refAnimBytes = ReadFile(SamplePath("runner_ref.smd"));
        CMemorySource model(s.modelBytes, "knight_ref.smd");
        CMemorySource ref(s.refAnimBytes, "runner_ref.smd");
        try {
            s.model = ReadModel(model);
            s.refAnim = ReadReferenceAnimation(ref);
        } catch (const CVarnexError& e) {
            FuzzFailure("the samples no longer load: " + ErrorText(e));
        }
        return s;
    }();
    return samples;
}

FUZZ_SETUP PairAndScale(const SMD_HEAD& model, const SMD_HEAD& refAnim) {
    FUZZ_SETUP setup;
    int count = static_cast<int>(model.nodes.size());
    setup.rowCount = count > DEFAULT_GRID_ROWS ? DEFAULT_GRID_ROWS : count;
    PAIRING pairing = PairSkeletons(model.nodes, setup.rowCount, refAnim.nodes, BIPED_MARKS{});
    setup.grid.SetPartners(pairing.partner);
    setup.marks = pairing.marks;
    setup.boneScale =
        ComputeBoneScales(model, refAnim, setup.grid.Values(), setup.rowCount, setup.marks).factor;
    setup.refNodes = refAnim.nodes;
    return setup;
}

std::string Build(const SMD_HEAD& model, const FUZZ_SETUP& setup, std::string_view anim,
                  const std::string& source, const std::string& lineEnd, int threads,
                  std::size_t segmentBytes) {
    setup.grid.RequireFiniteCorrections(setup.rowCount);
    BUILD_JOB job;
    job.model = &model;
    job.rows = BuildRows(setup.grid.Values(), setup.boneScale, setup.rowCount);
    job.lineEnd = lineEnd;
    job.threads = threads;
    if (segmentBytes != 0) job.segmentBytes = segmentBytes;
    CMemorySource bytes(anim, source);
    CLineReader reader(bytes);
    SMD_HEAD head = ReadAnimationHead(reader);
    ANIMATION_NODES nodes =
        MapAnimationNodes(setup.refNodes, head.nodes, SourcesRead(job.rows), source);
    job.animNodes = &nodes;
    CStringSink out;
    WriteRetargetedAnimation(job, reader, out);
    return out.Text();
}

bool RanThrough(const char* command, std::initializer_list<std::string> files,
                const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const CVarnexError& e) {
        for (const std::string& file : files) {
            if (e.File() == file) return false;
        }
        FuzzFailure(std::string(command) + ": the refusal names no input: " + ErrorText(e));
    } catch (const std::exception& e) {
        FuzzFailure(std::string(command) + ": " + e.what());
    }
}

}  // namespace varnex

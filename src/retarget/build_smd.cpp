#include "retarget/build_smd.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>

#include "platform/varnex_error.h"
#include "retarget/frame_writer.h"
#include "retarget/segmented_build.h"

namespace varnex {


std::vector<DECODED_ROW> BuildRows(const GRID& grid, const std::vector<double>& boneScale,
                                   int rowCount) {
    std::vector<DECODED_ROW> rows;
    for (int i = 0; i < rowCount && static_cast<std::size_t>(i) < grid.size(); ++i) {
        std::size_t r = static_cast<std::size_t>(i);
        rows.push_back(DecodeRow(i, RETARGET_ROW{grid[r].nodes, grid[r].correction,
                                                 r < boneScale.size() ? boneScale[r] : 0.0}));
    }
    return rows;
}

int BuildThreads() {
    unsigned processors = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(processors, 1u, 4u));
}

void WriteRetargetedAnimation(const BUILD_JOB& job, CLineReader& anim, COutputSink& out) {
    // An animation that one worker would build alone is built here, with no thread started.
    std::int64_t size = anim.Source().SizeHint();
    bool oneSegment = size >= 0 && size - anim.NextOffset() <=
                                       static_cast<std::int64_t>(job.segmentBytes);
    if (job.threads > 1 && !oneSegment) return WriteSegmentedAnimation(job, anim, out);
    COMPOSE_CONTEXT context = ComposeContextOf(job, anim.SourceName());
    WriteModelHeader(job, out);
    CFrameWriter frames(job, context);
    frames.SetOutput(out);
    ReadFrames(anim, frames, job.lineEnd, true);
}

void RetargetAnimation(const BUILD_JOB& job, CLineReader& anim, const std::string& outputPath) {
    CAtomicOutput output(outputPath);
    WriteRetargetedAnimation(job, anim, output);
    output.Commit();
}

ANIMATION_NODES RetargetAnimationFile(const BUILD_JOB& job, const std::vector<SMD_NODE>& refNodes,
                                      const std::string& animPath, const std::string& outputPath) {
    CFile file;
    file.OpenForReading(animPath);
    CLineReader anim(file);
    // The head is read again, so a file changed since SMD Animation is still read right.
    SMD_HEAD head = ReadAnimationHead(anim);
    ANIMATION_NODES nodes = MapAnimationNodes(refNodes, head.nodes, SourcesRead(job.rows), animPath);
    BUILD_JOB keyed = job;
    keyed.animNodes = &nodes;
    CAtomicOutput output(outputPath);
    WriteRetargetedAnimation(keyed, anim, output);
    file.Close();
    output.Commit();
    return nodes;
}

std::string DefaultOutputName(const std::string& refModelPath, const std::string& animPath) {
    std::string anim = FileNameOf(animPath);
    std::string model = FileNameOf(refModelPath);
    model = model.size() > 4 ? model.substr(0, model.size() - 4) : std::string();
    std::size_t underscore = model.find('_');
    if (underscore != std::string::npos) model.erase(underscore + 1);
    return model + anim;
}

}  // namespace varnex

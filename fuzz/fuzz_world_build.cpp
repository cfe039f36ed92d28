// BUILD SMD by the world method with an arbitrary animation against the sample model and
// reference, through the session as the front ends run it: on one thread and on two workers it
// must write the same bytes or refuse alike, and anything it writes must hold only finite numbers.
#include <cmath>
#include <cstdlib>

#include "app/error_text.h"
#include "fuzz_support.h"
#include "session/retarget_session.h"
#include "test_support.h"

using namespace varnex;

namespace {
struct WORLD_FUZZ {
    CTempDir dir;
    CRetargetSession session;
    WORLD_FUZZ() {
        session.Options().method = RETARGET_METHOD::WORLD;
        session.LoadModel(SamplePath("knight_ref.smd"));
        session.LoadReference(SamplePath("runner_ref.smd"));
    }
};

// The build's bytes, or its refusal's words with a mark in front.
std::string BuildOnce(WORLD_FUZZ& f, int threads) {
    f.session.Options().threads = threads;
    std::string out = f.dir.Path("out.smd");
    try {
        f.session.Build(f.dir.Path("walk.smd"), out);
    } catch (const CVarnexError& e) {
        if (e.File() != f.dir.Path("walk.smd") && !e.File().empty()) {
            FuzzFailure("a refusal naming another file: " + ErrorText(e));
        }
        return "refused: " + ErrorText(e);
    }
    std::string bytes = ReadFile(out);
    std::filesystem::remove(out);
    return bytes;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static WORLD_FUZZ f;
    WriteFile(f.dir.Path("walk.smd"), std::string(reinterpret_cast<const char*>(data), size));
    std::string one = BuildOnce(f, 1);
    std::string two = BuildOnce(f, 2);
    if (one != two) FuzzFailure("two workers and one thread differ");
    if (one.rfind("refused: ", 0) != 0) {
        for (const char* word : {"nan", "inf"}) {
            if (one.find(word, one.find("skeleton")) != std::string::npos) {
                FuzzFailure(std::string("wrote ") + word);
            }
        }
    }
    return 0;
}

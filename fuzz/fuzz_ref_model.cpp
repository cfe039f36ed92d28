// SMD Ref Modele on arbitrary bytes, then the pairing with the sample reference animation, then a
// build whose animation is that one-frame reference: the build copies the model's header and
// reads its rest lines.
#include "fuzz_support.h"

using namespace varnex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const FUZZ_SAMPLES& samples = Samples();
    SMD_HEAD model;
    FUZZ_SETUP setup;
    if (!RanThrough("SMD Ref Modele", {"model.smd"}, [&] {
            CMemorySource source(bytes, "model.smd");
            model = ReadModel(source);
        })) {
        return 0;
    }
    if (!RanThrough("SMD Ref Animation", {"model.smd", "runner_ref.smd"},
                    [&] { setup = PairAndScale(model, samples.refAnim); })) {
        return 0;
    }
    RanThrough("BUILD SMD", {"model.smd", "runner_ref.smd"}, [&] {
        std::string out = Build(model, setup, samples.refAnimBytes, "runner_ref.smd");
        if (out.rfind(model.headerLines.front(), 0) != 0) FuzzFailure("the model's header is not first");
    });
    return 0;
}

// SMD Ref Animation on arbitrary bytes against the sample model: the pairing and the bone
// scales; then the same bytes as the animation to copy, built.
#include "fuzz_support.h"

using namespace varnex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const FUZZ_SAMPLES& samples = Samples();
    FUZZ_SETUP setup;
    if (RanThrough("SMD Ref Animation", {"ref.smd"}, [&] {
            CMemorySource source(bytes, "ref.smd");
            setup = PairAndScale(samples.model, ReadReferenceAnimation(source));
        })) {
        RanThrough("BUILD SMD", {"ref.smd", "knight_ref.smd"},
                   [&] { Build(samples.model, setup, bytes, "ref.smd"); });
    }
    return 0;
}

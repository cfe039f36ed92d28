// Convert CS Bipede on an arbitrary animation, with the sample reference; when it runs through,
// BUILD SMD of the converted text.
#include "biped/biped_conversion.h"
#include "fuzz_support.h"

using namespace varnex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const FUZZ_SAMPLES& samples = Samples();
    static const FUZZ_SETUP paired = PairAndScale(samples.model, samples.refAnim);
    bool thighNamedLeg = paired.marks.thighNamedLeg;
    static const BIPED_NODES nodes = FindBipedNodes(samples.refAnim, thighNamedLeg);
    std::string converted;
    if (RanThrough("Convert CS Bipede", {"walk.smd"}, [&] {
            CMemorySource source(bytes, "walk.smd");
            CLineReader reader(source);
            CStringSink out;
            WriteConvertedAnimation(nodes, reader, out, "\r\n");
            converted = out.Text();
        })) {
        RanThrough("BUILD SMD", {"walkNew.smd", "knight_ref.smd"},
                   [&] { Build(samples.model, paired, converted, "walkNew.smd"); });
    }
    return 0;
}

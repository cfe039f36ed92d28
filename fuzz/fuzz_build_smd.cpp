// BUILD SMD with an arbitrary animation against the sample model and reference: once with the
// grid the pairing fills, once with blended rows, a row kept at rest and LF line ends. The two
// builds must agree on what they refuse, and the first gives the same bytes or the same refusal
// when it is cut into small segments for two workers.
#include "app/error_text.h"
#include "fuzz_support.h"

using namespace varnex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const FUZZ_SAMPLES& samples = Samples();
    static const FUZZ_SETUP paired = PairAndScale(samples.model, samples.refAnim);
    static const FUZZ_SETUP blended = [] {
        FUZZ_SETUP s = paired;
        s.grid.Nodes()[1] = "101";  // row 1 blends source line 1 with the model's rest line
        s.grid.Corrections()[1] = "0.25";
        s.grid.Nodes()[3] = "0";  // row 3 keeps the model's rest line
        s.grid.Corrections()[4] = "-1.5";
        return s;
    }();
    std::string crlf;
    bool built = RanThrough("BUILD SMD", {"walk.smd", "knight_ref.smd"},
                            [&] { crlf = Build(samples.model, paired, bytes, "walk.smd"); });
    std::string lf;
    bool builtLf = RanThrough("BUILD SMD (LF)", {"walk.smd", "knight_ref.smd"},
                              [&] { lf = Build(samples.model, blended, bytes, "walk.smd", "\n"); });
    try {
        std::string segmented = Build(samples.model, paired, bytes, "walk.smd", "\r\n", 2, 64);
        if (!built || segmented != crlf) FuzzFailure("two workers wrote what one thread did not");
    } catch (const CVarnexError& e) {
        if (built) FuzzFailure("two workers refused what one thread built: " + ErrorText(e));
        try {
            Build(samples.model, paired, bytes, "walk.smd");
        } catch (const CVarnexError& one) {
            if (ErrorText(one) != ErrorText(e)) {
                FuzzFailure("two workers refused otherwise: " + ErrorText(e) + " / " + ErrorText(one));
            }
        }
    }
    if (built && crlf.find("\r\n") == std::string::npos) FuzzFailure("no CR LF in a CR LF build");
    if (builtLf && lf.find('\r') != std::string::npos) FuzzFailure("a CR in an LF build");
    return 0;
}

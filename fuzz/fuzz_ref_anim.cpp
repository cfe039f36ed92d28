// SMD Ref Animation on arbitrary bytes against the sample model: the pairing and the bone
// scales; then the same bytes as the animation to copy, built.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzFolder& folder = CFuzzFolder::Get();
    folder.Clear();
    std::string ref = folder.WriteInput("ref.smd", data, size);
    CFuzzSession session;
    if (session.LoadRefModel(folder.Model()) && session.LoadRefAnim(ref) && session.LoadAnim(ref)) {
        session.BuildSmd(folder.Path("out.smd"));
    }
    return 0;
}

// SMD Ref Modele on arbitrary bytes, then the pairing with the sample reference animation, then a
// build whose animation is that one-frame reference: the build copies the model's header and
// reads its rest lines.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzFolder& folder = CFuzzFolder::Get();
    folder.Clear();
    std::string model = folder.WriteInput("model.smd", data, size);
    CFuzzSession session;
    if (session.LoadRefModel(model) && session.LoadRefAnim(folder.RefAnim()) &&
        session.LoadAnim(folder.RefAnim())) {
        session.BuildSmd(folder.Path("out.smd"));
    }
    return 0;
}

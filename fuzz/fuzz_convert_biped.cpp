// Convert CS Bipede on an arbitrary animation, with the sample model and reference; when it runs
// through, BUILD SMD on the converted file.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzFolder& folder = CFuzzFolder::Get();
    folder.Clear();
    std::string anim = folder.WriteInput("walk.smd", data, size);
    CFuzzSession session;
    if (!session.LoadRefModel(folder.Model()) || !session.LoadRefAnim(folder.RefAnim())) {
        FuzzFailure("the samples no longer load");
    }
    if (session.LoadAnim(anim) && session.ConvertBiped()) {
        session.BuildSmd(folder.Path("out.smd"));
    }
    return 0;
}

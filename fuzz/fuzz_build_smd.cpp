// BUILD SMD with an arbitrary animation against the sample model and reference: once with the
// grid the pairing fills, once with blended rows, a row kept at rest and LF line ends.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzFolder& folder = CFuzzFolder::Get();
    folder.Clear();
    std::string anim = folder.WriteInput("walk.smd", data, size);
    CFuzzSession session;
    if (!session.LoadRefModel(folder.Model()) || !session.LoadRefAnim(folder.RefAnim())) {
        FuzzFailure("the samples no longer load");
    }
    if (!session.LoadAnim(anim)) return 0;
    session.BuildSmd(folder.Path("out.smd"));

    CTestPlatform& ui = session.Ui();
    ui.screenNodes[2] = "101";  // row 1 blends source line 1 with the model's rest line
    ui.screenCorrections[2] = "0.25";
    ui.screenNodes[4] = "0";  // row 3 keeps the model's rest line
    ui.screenCorrections[5] = "-1.5";
    g_lineBreak = "\n";
    session.BuildSmd(folder.Path("out_blend.smd"));
    g_lineBreak = "\r\n";
    return 0;
}

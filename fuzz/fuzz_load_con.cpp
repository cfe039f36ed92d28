// Load Con file on arbitrary bytes. A grid it accepts must save again: each record keeping its
// node byte and holding the number of the Correction text that the load showed; and what was
// saved must load again. (Loading and saving is not the identity: the text holds six decimals
// of a 17-digit rounding, so 1e-300 saves as 0, and a value above 2^32 may move by 0.000001 at
// each load and save.)
#include <cstring>

#include "build/decimal_text.h"
#include "fuzz_support.h"
#include "smd_input/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzFolder& folder = CFuzzFolder::Get();
    folder.Clear();
    std::string con = folder.WriteInput("grid.con", data, size);
    CFuzzSession session;
    if (!session.LoadCon(con)) return 0;
    const GRID_TEXTS nodes = session.Dlg().m_nodeText;
    const GRID_TEXTS corrections = session.Dlg().m_correctionText;
    for (std::size_t entry = 1; entry <= 60; ++entry) {  // entry 0 has no edit box
        if (session.Ui().screenNodes[entry] != nodes[entry] ||
            session.Ui().screenCorrections[entry] != corrections[entry]) {
            FuzzFailure("Load Con file: the grid shown is not the grid loaded");
        }
    }
    std::string again = folder.Path("again.con");
    if (!session.SaveCon(again)) FuzzFailure("Save  Con file refused a grid it loaded");
    std::string saved = ReadFile(again);
    if (saved.size() != 540) {
        FuzzFailure("Save  Con file wrote " + std::to_string(saved.size()) + " bytes");
    }
    for (std::size_t r = 0; r < 60; ++r) {
        if (saved[r * 9] != static_cast<char>(data[r * 9])) {
            FuzzFailure("Save  Con file changed the node byte of row " + std::to_string(r));
        }
        double loaded;
        std::memcpy(&loaded, data + r * 9 + 1, sizeof loaded);  // little-endian machine
        double expected = TextToDouble(DecimalText(loaded));
        if (std::memcmp(saved.data() + r * 9 + 1, &expected, sizeof expected) != 0) {
            FuzzFailure("Save  Con file: row " + std::to_string(r) +
                        " does not hold the number of its Correction text");
        }
    }
    if (!session.LoadCon(again)) FuzzFailure("Load Con file refused what Save  Con file wrote");
    return 0;
}

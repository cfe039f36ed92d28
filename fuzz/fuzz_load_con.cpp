// Load Con file on arbitrary bytes. A grid it accepts must save again: each record keeping its
// node byte and holding the number of the Correction text that the load showed; and what was
// saved must load again. (Loading and saving is not the identity: the text holds six decimals
// of a 17-digit rounding, so 1e-300 saves as 0, and a value above 2^32 may move by 0.000001 at
// each load and save.)
#include <cstring>

#include "conversion_file/con_file.h"
#include "fuzz_support.h"
#include "smd_input/decimal_text.h"
#include "smd_input/number_text.h"

using namespace varnex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CGridTexts grid;
    if (!RanThrough("Load Con file", {"grid.con"},
                    [&] { grid.SetRows(ReadConFile(bytes, "grid.con")); })) {
        return 0;
    }
    std::string saved;
    if (!RanThrough("Save  Con file", {}, [&] {
            grid.RequireFiniteCorrections(DEFAULT_GRID_ROWS);
            saved = ComposeConFile(grid.Values());
        })) {
        FuzzFailure("Save  Con file refused a grid it loaded");
    }
    if (saved.size() != 540) FuzzFailure("Save  Con file wrote " + std::to_string(saved.size()) + " bytes");
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
    if (!RanThrough("Load Con file again", {"again.con"}, [&] { ReadConFile(saved, "again.con"); })) {
        FuzzFailure("Load Con file refused what Save  Con file wrote");
    }
    return 0;
}

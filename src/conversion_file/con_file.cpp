#include "conversion_file/con_file.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "build/decimal_text.h"
#include "platform/varnex_error.h"
#include "smd_input/number_text.h"

namespace {
// Byte order written out, so a file is the same on every machine.
void AppendLittleEndian(std::string& out, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) out += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

double ReadLittleEndian(const unsigned char* bytes) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | bytes[i];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
}  // namespace

std::string ComposeConFile(const GRID_TEXTS& nodeText, const GRID_TEXTS& correctionText) {
    std::string bytes;
    bytes.reserve(CON_FILE_BYTES);
    for (std::size_t r = 0; r < 60; ++r) {
        const std::string& correctionTextOfRow = correctionText[r + 1];
        double correction = TextToDouble(correctionTextOfRow);
        if (!std::isfinite(correction)) {
            throw CVarnexError("", 0,
                               "ligne " + std::to_string(r) + " de la grille : la Correction « " +
                                   correctionTextOfRow + " » n'est pas un nombre fini");
        }
        bytes += static_cast<char>(static_cast<unsigned>(TextToInt(nodeText[r + 1])) & 0xFFu);
        AppendLittleEndian(bytes, correction);
    }
    return bytes;
}

void ReadConFile(std::string_view bytes, const std::string& source, GRID_TEXTS& nodeText,
                 GRID_TEXTS& correctionText) {
    if (bytes.size() < static_cast<std::size_t>(CON_FILE_BYTES)) {
        throw CVarnexError(source, 0,
                           "fichier de conversion trop court : " + std::to_string(bytes.size()) +
                               " octets au lieu de 540");
    }
    GRID_TEXTS nodes = nodeText;
    GRID_TEXTS corrections = correctionText;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t r = 0; r < 60; ++r) {
        const unsigned char* record = data + r * CON_RECORD_BYTES;
        double correction = ReadLittleEndian(record + 1);
        if (!std::isfinite(correction)) {
            throw CVarnexError(source, 0,
                               "ligne " + std::to_string(r) +
                                   " : la correction enregistrée n'est pas un nombre fini");
        }
        nodes[r + 1] = std::to_string(record[0]);
        corrections[r + 1] = DecimalText(correction);
    }
    nodeText = nodes;
    correctionText = corrections;
}

#include "conversion_file/con_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/file_access.h"
#include "platform/varnex_error.h"
#include "smd_input/decimal_text.h"

namespace varnex {

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

std::string ComposeConFile(const GRID& grid) {
    std::size_t rows = std::max(grid.size(), static_cast<std::size_t>(DEFAULT_GRID_ROWS));
    std::string bytes;
    bytes.reserve(rows * CON_RECORD_BYTES);
    for (std::size_t r = 0; r < rows; ++r) {
        GRID_ROW row = r < grid.size() ? grid[r] : GRID_ROW{};
        if (!std::isfinite(row.correction)) {
            throw CVarnexError(ERROR_KIND::CORRECTION_NOT_FINITE, "", 0,
                               {std::to_string(r), DecimalText(row.correction)});
        }
        bytes += static_cast<char>(static_cast<unsigned>(row.nodes) & 0xFFu);
        AppendLittleEndian(bytes, row.correction);
    }
    return bytes;
}

GRID ReadConFile(std::string_view bytes, const std::string& source) {
    if (bytes.size() < static_cast<std::size_t>(CON_FILE_BYTES)) {
        throw CVarnexError(ERROR_KIND::CON_TOO_SHORT, source, 0, {std::to_string(bytes.size())});
    }
    GRID grid(bytes.size() / CON_RECORD_BYTES);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t r = 0; r < grid.size(); ++r) {
        const unsigned char* record = data + r * CON_RECORD_BYTES;
        double correction = ReadLittleEndian(record + 1);
        if (!std::isfinite(correction)) {
            throw CVarnexError(ERROR_KIND::CON_CORRECTION_NOT_FINITE, source, 0, {std::to_string(r)});
        }
        grid[r] = GRID_ROW{record[0], correction};
    }
    return grid;
}

CON_FILE_ROWS ReadConFileFor(const std::string& path, int gridRows) {
    std::size_t wanted =
        static_cast<std::size_t>(std::max(gridRows, DEFAULT_GRID_ROWS)) * CON_RECORD_BYTES;
    CFile file;
    file.OpenForReading(path);
    std::string bytes(wanted, '\0');
    std::size_t got = 0;
    while (got < wanted) {
        std::size_t n = file.Read(bytes.data() + got, wanted - got);
        if (n == 0) break;
        got += n;
    }
    bytes.resize(got);
    std::size_t total = got;
    if (got == wanted) {
        char rest[4096];
        while (std::size_t n = file.Read(rest, sizeof rest)) total += n;
    }
    CON_FILE_ROWS result;
    result.rows = ReadConFile(bytes, path);
    std::size_t records = total / CON_RECORD_BYTES;
    if (records > result.rows.size()) result.leftOut = static_cast<int>(records - result.rows.size());
    return result;
}

}  // namespace varnex

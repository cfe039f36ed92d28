#include "session/grid_texts.h"

#include <cmath>

#include "platform/varnex_error.h"
#include "smd_input/decimal_text.h"
#include "smd_input/number_text.h"

namespace varnex {

CGridTexts::CGridTexts(int rows)
    : m_nodes(static_cast<std::size_t>(rows), "0"), m_corrections(static_cast<std::size_t>(rows), "1") {}

void CGridTexts::Resize(int rows) {
    m_nodes.resize(static_cast<std::size_t>(rows), "0");
    m_corrections.resize(static_cast<std::size_t>(rows), "1");
}

void CGridTexts::SetPartners(const std::vector<int>& partner) {
    for (std::size_t r = 0; r < partner.size() && r < m_nodes.size(); ++r) {
        if (partner[r] >= 0) m_nodes[r] = std::to_string(partner[r]);
    }
}

void CGridTexts::SetRows(const GRID& rows) {
    for (std::size_t r = 0; r < rows.size() && r < m_nodes.size(); ++r) {
        m_nodes[r] = std::to_string(rows[r].nodes);
        m_corrections[r] = DecimalText(rows[r].correction);
    }
}

GRID CGridTexts::Values() const {
    GRID grid(m_nodes.size());
    for (std::size_t r = 0; r < grid.size(); ++r) {
        grid[r] = GRID_ROW{TextToInt(m_nodes[r]), TextToDouble(m_corrections[r])};
    }
    return grid;
}

void CGridTexts::RequireFiniteCorrections(int rows) const {
    for (std::size_t r = 0; r < m_corrections.size() && static_cast<int>(r) < rows; ++r) {
        if (!std::isfinite(TextToDouble(m_corrections[r]))) {
            throw CVarnexError(ERROR_KIND::CORRECTION_NOT_FINITE, "", 0,
                               {std::to_string(r), m_corrections[r]});
        }
    }
}

}  // namespace varnex

// The grid as its edit boxes hold it: texts the user typed, turned into engine values at the
// exchange points. Both front ends keep one, so a listing shows exactly what was typed.
#pragma once

#include "conversion_file/con_file.h"
#include "pairing/grid.h"
#include "pairing/skeleton_pairing.h"
#include "platform/dialog_platform.h"

namespace varnex {

class CGridTexts {
public:
    // rows rows of NODES "0" and Correction "1".
    explicit CGridTexts(int rows = DEFAULT_GRID_ROWS);

    int Rows() const { return static_cast<int>(m_nodes.size()); }
    GRID_TEXTS& Nodes() { return m_nodes; }
    GRID_TEXTS& Corrections() { return m_corrections; }
    const GRID_TEXTS& Nodes() const { return m_nodes; }
    const GRID_TEXTS& Corrections() const { return m_corrections; }

    // rows rows: rows past that go, new rows are NODES "0" and Correction "1".
    void Resize(int rows);
    // Each row with a partner (>= 0) takes its number as NODES; other rows keep their texts.
    void SetPartners(const std::vector<int>& partner);
    // The rows of a conversion file, as far as the grid has rows: the node number, and the
    // correction by DecimalText.
    void SetRows(const GRID& rows);

    // NODES by atoi's rule and Correction by atof's rule, every row.
    GRID Values() const;
    // Throws CVarnexError (no file) naming the first of rows 0 to rows - 1 whose Correction is not
    // a finite number, quoting its text.
    void RequireFiniteCorrections(int rows) const;

private:
    GRID_TEXTS m_nodes;
    GRID_TEXTS m_corrections;
};

}  // namespace varnex

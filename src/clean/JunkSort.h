#pragma once

#include "clean/TJunkRow.h"

#include <vector>

// The order of the junk list by a column: 0 the caption without ASCII case, 1 the size
// as a number (9Byte before 10Byte), 2, 3 and 4 the dates. Returns -1, 0 or 1.
int CompareJunkRows(const TJunkRow& a, const TJunkRow& b, int column);

// Sorts rows by CompareJunkRows, reversed when descending. Each row's key is computed
// once, so a long list sorts in n log n comparisons of plain values.
void SortJunkRows(std::vector<TJunkRow>& rows, int column, bool descending);

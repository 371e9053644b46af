#include "clean/JunkSort.h"

#include "clean/JunkTexts.h"
#include "core/FileRoutines.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <numeric>

namespace {

struct TSortKey {
    std::string Text; // column 0
    int64_t Size = 0; // column 1
    double Date = 0;  // columns 2 to 4
};

int64_t SizeOf(const TJunkRow& row) {
    const std::string digits = LeadingDigits(row.SizeText);
    int64_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

const std::string& DateTextOf(const TJunkRow& row, int column) {
    switch (column) {
    case 3: return row.LastWriteText;
    case 4: return row.LastAccessText;
    default: return row.CreatedText;
    }
}

double DateOf(const TJunkRow& row, int column) {
    // A date that cannot be read (its time could not be converted) sorts as the oldest.
    try {
        return ParseSlashDate(DateTextOf(row, column));
    } catch (const std::exception&) {
        return 0;
    }
}

TSortKey KeyOf(const TJunkRow& row, int column) {
    TSortKey key;
    if (column == 0)
        key.Text = UpperAscii(row.Caption());
    else if (column == 1)
        key.Size = SizeOf(row);
    else
        key.Date = DateOf(row, column);
    return key;
}

int CompareKeys(const TSortKey& a, const TSortKey& b, int column) {
    if (column == 0) {
        const int c = a.Text.compare(b.Text);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (column == 1) // exact beyond the 53 bits a double holds
        return a.Size < b.Size ? -1 : (a.Size > b.Size ? 1 : 0);
    return CompareSign(a.Date - b.Date);
}

} // namespace

int CompareJunkRows(const TJunkRow& a, const TJunkRow& b, int column) {
    return CompareKeys(KeyOf(a, column), KeyOf(b, column), column);
}

void SortJunkRows(std::vector<TJunkRow>& rows, int column, bool descending) {
    std::vector<TSortKey> keys;
    keys.reserve(rows.size());
    for (const TJunkRow& row : rows)
        keys.push_back(KeyOf(row, column));
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
        const int c = CompareKeys(keys[x], keys[y], column);
        return descending ? c > 0 : c < 0;
    });
    std::vector<TJunkRow> sorted;
    sorted.reserve(rows.size());
    for (const size_t i : order)
        sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

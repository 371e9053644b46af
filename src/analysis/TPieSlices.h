#pragma once

#include "analysis/SpaceAnalysis.h"

#include <string>
#include <vector>

// How the user's locale writes numbers; the share texts follow it.
struct TNumberFormat {
    std::string DecimalSeparator = ".";
    std::string ThousandSeparator = ",";
};

// One slice of the folder pie as drawn: a point of the breakdown or the merged "Other".
struct TPieSlice {
    std::string Label;
    double Value = 0;  // MB
    int Position = 0;  // place in the pie's data; picks the palette colour
    bool IsOther = false;
};

// What a double-click on a slice does.
enum class TSliceAction {
    DrillDown,    // the slice is a sub-folder of the charted folder: chart it
    ShareMessage, // a file, a link, "Other" or anything else: tell its share
};

// The pie of a folder after grouping: the breakdown points (in listing order) whose share
// reaches the slice percentage, followed by one "Other" slice holding all the others.
// Built anew from the unchanged points at each drawing, so a new percentage costs no walk.
class TPieSlices {
public:
    TPieSlices() = default;
    // percent: the grouping threshold 0..100 (clamped); 0 groups nothing.
    TPieSlices(std::vector<TBreakdownPoint> points, int percent);

    // The slices drawn, in order, "Other" last when something was merged.
    const std::vector<TPieSlice>& Drawn() const { return FDrawn; }
    // Every point of the pie's data with "Other" appended when it was formed: the rows
    // the info panel considers before applying its own listing rule.
    const std::vector<TPieSlice>& Data() const { return FData; }
    // Sum of the absolute values of the breakdown: the base of every share.
    double Total() const { return FTotal; }
    int Percent() const { return FPercent; }

    // The info panel's rows: the data points whose share, rounded to two decimals, is not
    // below the percentage. A point just under the threshold that rounds up to it is
    // listed although the pie merged it.
    std::vector<TPieSlice> Listed() const;

    // |value| x 100 / total; 0 when the total is 0.
    double Share(double value) const;
    // "30 %", "12.35 %": at most two decimals, then a blank and "%".
    std::string ShareText(double value, const TNumberFormat& format = {}) const;
    // "30 % of 100": the share text and the total with thousands separators and at most
    // three decimals.
    std::string ShareTextWithTotal(double value, const TNumberFormat& format = {}) const;

    // The info panel row of a slice: "[label] :  value with two decimals M".
    static std::string InfoLine(const TPieSlice& slice);
    // The right-click message of a slice.
    std::string DetailText(const TPieSlice& slice, const TNumberFormat& format = {}) const;
    // The double-click message of a slice that is not drilled into.
    std::string ShareMessage(const TPieSlice& slice, const TNumberFormat& format = {}) const;

    // Drill-down only into a real sub-folder (not a link) of the charted folder; the merged
    // "Other" and file slices get the share message.
    static TSliceAction DoubleClickAction(const TPieSlice& slice, const std::string& chartedPath);
    // The folder a drill-down charts: the charted path joined with the label, with one
    // trailing separator.
    static std::string DrillDownPath(const TPieSlice& slice, const std::string& chartedPath);

private:
    std::vector<TPieSlice> FData;
    std::vector<TPieSlice> FDrawn;
    double FTotal = 0;
    int FPercent = 0;
};

// A number with at most maxDecimals decimals (trailing zeros dropped, rounded half away
// from zero) and, when thousands is set, the thousands separator: the patterns "##0.##"
// and "#,##0.###".
std::string FormatDecimal(double value, int maxDecimals, bool thousands, const TNumberFormat& format);

// A value in the shortest general decimal form, up to 15 significant digits, no
// thousands separators: 1.43 gives "1.43", 30 gives "30".
std::string FormatGeneral(double value);

#include "analysis/TPieSlices.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const char* const OtherLabel = "Other";

double RoundTo(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale; // half away from zero
}

std::string GroupThousands(const std::string& digits, const std::string& separator) {
    std::string grouped;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

} // namespace

TPieSlices::TPieSlices(std::vector<TBreakdownPoint> points, int percent)
    : FPercent(std::clamp(percent, 0, 100)) {
    for (const TBreakdownPoint& p : points)
        FTotal += std::fabs(p.Value);
    double other = 0;
    bool merged = false;
    int position = 0;
    for (TBreakdownPoint& p : points) {
        TPieSlice slice{std::move(p.Label), p.Value, position++, false};
        const bool small = FPercent > 0 && FTotal > 0 && Share(slice.Value) < FPercent;
        if (small) {
            other += std::fabs(slice.Value);
            merged = true;
        } else {
            FDrawn.push_back(slice);
        }
        FData.push_back(std::move(slice));
    }
    if (merged) {
        TPieSlice slice{OtherLabel, other, position, true};
        FDrawn.push_back(slice);
        FData.push_back(slice);
    }
}

std::vector<TPieSlice> TPieSlices::Listed() const {
    std::vector<TPieSlice> listed;
    for (const TPieSlice& slice : FData)
        if (RoundTo(Share(slice.Value), 2) >= FPercent)
            listed.push_back(slice);
    return listed;
}

double TPieSlices::Share(double value) const {
    return FTotal == 0 ? 0 : std::fabs(value) * 100 / FTotal;
}

std::string TPieSlices::ShareText(double value, const TNumberFormat& format) const {
    return FormatDecimal(Share(value), 2, false, format) + " %";
}

std::string TPieSlices::ShareTextWithTotal(double value, const TNumberFormat& format) const {
    return ShareText(value, format) + " of " + FormatDecimal(FTotal, 3, true, format);
}

std::string TPieSlices::InfoLine(const TPieSlice& slice) {
    char value[64];
    std::snprintf(value, sizeof value, "%.2f", slice.Value);
    return "[" + slice.Label + "] :  " + value + "M";
}

std::string TPieSlices::DetailText(const TPieSlice& slice, const TNumberFormat& format) const {
    const std::string dashes(31, '-');
    return "Detail Information: " + slice.Label + "\r\n\r\n" + dashes + "\r\n" + "Size   : " +
           FormatGeneral(slice.Value) + " MByte" + "\r\n" + "Percent: " +
           ShareTextWithTotal(slice.Value, format) + " MByte" + "\r\n" + dashes;
}

std::string TPieSlices::ShareMessage(const TPieSlice& slice, const TNumberFormat& format) const {
    return slice.Label + "\r\n" + ShareTextWithTotal(slice.Value, format) + "M";
}

TSliceAction TPieSlices::DoubleClickAction(const TPieSlice& slice, const std::string& chartedPath) {
    if (slice.IsOther || slice.Label.empty() || chartedPath.empty())
        return TSliceAction::ShareMessage;
    // A label is a bare name from the listing; anything else would leave the charted folder.
    if (slice.Label == "." || slice.Label == ".." || slice.Label.find_first_of("/\\") != std::string::npos)
        return TSliceAction::ShareMessage;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(fs::path(chartedPath) / slice.Label, error);
    return !error && fs::is_directory(status) ? TSliceAction::DrillDown : TSliceAction::ShareMessage;
}

std::string TPieSlices::DrillDownPath(const TPieSlice& slice, const std::string& chartedPath) {
    return ChartedPath(ChartedPath(chartedPath) + slice.Label);
}

std::string FormatDecimal(double value, int maxDecimals, bool thousands, const TNumberFormat& format) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", maxDecimals, RoundTo(value, maxDecimals));
    std::string text = buffer;
    std::string sign;
    if (!text.empty() && text[0] == '-') {
        sign = "-";
        text.erase(0, 1);
    }
    const size_t point = text.find('.');
    std::string whole = text.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (whole == "0" && fraction.empty())
        sign.clear(); // no "-0"
    if (thousands)
        whole = GroupThousands(whole, format.ThousandSeparator);
    return sign + whole + (fraction.empty() ? "" : format.DecimalSeparator + fraction);
}

std::string FormatGeneral(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return buffer;
}

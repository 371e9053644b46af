#pragma once

#include "analysis/IAnalysisProgress.h"

#include <filesystem>
#include <string>
#include <vector>

class TDisk;

// Units of CalcDirectorySize.
namespace SizeUnit {
inline constexpr int MB = 0;
inline constexpr int KB = 1;
inline constexpr int Bytes = 2;
inline constexpr int GB = 3;
} // namespace SizeUnit

// The recursive byte total of everything below path, in unit, cut (not rounded) to three
// decimals. Entered below the path: only folders whose attribute word is exactly a
// folder (no link, no hidden/dot name, never another file system); a missing or
// unreadable path gives 0. progress (may be null) steps once per entry listed, "." and
// ".." of every folder included.
double CalcDirectorySize(const std::filesystem::path& path, int unit,
                         IAnalysisProgress* progress = nullptr);

// One point of the pie.
struct TBreakdownPoint {
    std::string Label; // the child's name as listed
    double Value = 0;  // MB
};

// The pie data of a folder: in listing order, one point per child folder with its total
// in MB (cut to whole MB when wholeMB, as the popup analysis does) and one per file above
// 1024 bytes with size div 1 MB. A link to a folder and a folder on another file system
// than path's (a mount point) give a point of 0. A missing path gives an empty list. One
// walk of the tree. progress is reset first, then steps once per entry listed below the
// folder and once per file of the folder itself (wholeMB: once per entry of the folder,
// "." and ".." included).
std::vector<TBreakdownPoint> DirectoryBreakdown(const std::string& path, bool wholeMB,
                                                IAnalysisProgress* progress = nullptr);

// One position of the bar chart.
struct TDriveBar {
    std::string Label; // the drive root as the drive table gives it
    double Total = 0;  // MB, integer division; 0 when unreadable
    double Free = 0;   // MB for the user, integer division; 0 when unreadable
};

// The bar chart data: every volume of the drive table in drive order.
std::vector<TDriveBar> DriveBars(const TDisk& disk);

// The path with exactly one trailing separator, as the charted path label shows it.
std::string ChartedPath(const std::string& path);

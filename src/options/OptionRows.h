#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TDisk;
class TSetting;

// What the options dialog shows, worked out without any widget.

// The type text of a drive type code ("固定硬盘" for 3); codes above 6 read as unknown.
std::string DriveTypeText(uint8_t code);

// One row of the directory page for a drive: its root, its size and free space in whole
// mebibytes ("953M"; a drive that cannot tell shows "0M") and its type text.
struct TDriveRow {
    std::string Root;
    std::string SizeText;
    std::string FreeText;
    std::string TypeText;
};
std::vector<TDriveRow> DriveRows(const TDisk& disk);

// The size column of a folder added to the clean directories: megabytes as a general
// number of up to 15 significant digits with the user's decimal separator, then "MB".
std::string FolderSizeText(double megabytes, char decimalSeparator);

// The parameter rows of the options dialog, in order.
enum class TParameterKind { Boolean, Integer };
struct TParameterRow {
    const char* Caption;
    TParameterKind Kind;
    int32_t (*Get)(const TSetting&);
    void (*Set)(TSetting&, int32_t);
};
const std::array<TParameterRow, 9>& ParameterRows();

// A junk type as a row of the options dialog shows it.
struct TJunkTypeRow {
    std::string Pattern;
    std::string Remark;
    bool Checked = false;
};
std::vector<TJunkTypeRow> JunkTypeRows(const TSetting& setting);
// Replaces the junk types of the settings with the rows, in order.
void RebuildGarbages(TSetting& setting, const std::vector<TJunkTypeRow>& rows);

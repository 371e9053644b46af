#include "options/OptionRows.h"

#include "core/TDisk.h"
#include "core/TGarbages.h"
#include "core/TSetting.h"

#include <cstdio>

std::string DriveTypeText(uint8_t code) {
    static const char* const texts[] = {"未知", "目录", "可移动硬盘", "固定硬盘", "网络", "光驱", "虚拟磁盘"};
    return texts[code <= 6 ? code : 0];
}

namespace {

std::string WholeMebibytes(int64_t bytes) { return std::to_string(bytes > 0 ? bytes / 1048576 : 0) + "M"; }

} // namespace

std::vector<TDriveRow> DriveRows(const TDisk& disk) {
    std::vector<TDriveRow> rows;
    for (size_t i = 0; i < disk.Roots().size(); ++i) {
        // Each row reads the record of the drive named in its own caption.
        const TDriveInfo info = disk.InfoOf(static_cast<int>(i) + 3);
        const std::string& root = disk.Roots()[i];
        rows.push_back({root, WholeMebibytes(info.Size), WholeMebibytes(info.Free),
                        DriveTypeText(disk.DriveTypeOf(root))});
    }
    return rows;
}

std::string FolderSizeText(double megabytes, char decimalSeparator) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", megabytes);
    std::string text = buffer;
    for (char& c : text)
        if (c == '.')
            c = decimalSeparator;
    return text + "MB";
}

namespace {

template <bool (TSetting::*Get)() const, void (TSetting::*Set)(bool)>
constexpr TParameterRow Flag(const char* caption) {
    return {caption, TParameterKind::Boolean,
            [](const TSetting& s) -> int32_t { return (s.*Get)() ? 1 : 0; },
            [](TSetting& s, int32_t v) { (s.*Set)(v != 0); }};
}

} // namespace

const std::array<TParameterRow, 9>& ParameterRows() {
    static const std::array<TParameterRow, 9> rows{{
        Flag<&TSetting::AutoUpdate, &TSetting::SetAutoUpdate>("自动升级"),
        Flag<&TSetting::ShowTips, &TSetting::SetShowTips>("启动时显示“每日技巧”"),
        {"图表最小块百分比", TParameterKind::Integer,
         [](const TSetting& s) { return s.SlicePercent(); },
         [](TSetting& s, int32_t v) { s.SetSlicePercent(v); }},
        Flag<&TSetting::IfShowChart, &TSetting::SetIfShowChart>("显示图表"),
        Flag<&TSetting::IfIncludeDir, &TSetting::SetIfIncludeDir>("扫描时包含子目录"),
        Flag<&TSetting::IfCleanZeroDir, &TSetting::SetIfCleanZeroDir>("清理空目录"),
        Flag<&TSetting::IfCleanZeroFile, &TSetting::SetIfCleanZeroFile>("清理0字节文件"),
        Flag<&TSetting::AutoCleanShutDown, &TSetting::SetAutoCleanShutDown>("清理完成后关机"),
        Flag<&TSetting::AutoClean, &TSetting::SetAutoClean>("扫描完自动清除垃圾"),
    }};
    return rows;
}

std::vector<TJunkTypeRow> JunkTypeRows(const TSetting& setting) {
    std::vector<TJunkTypeRow> rows;
    const TGarbages& types = setting.Garbages();
    for (int i = 0; i < types.Count(); ++i)
        rows.push_back({types[i].GarbageName(), types[i].Memo(), types[i].Ifclean()});
    return rows;
}

void RebuildGarbages(TSetting& setting, const std::vector<TJunkTypeRow>& rows) {
    TGarbages& types = setting.Garbages();
    types.Clear();
    for (const TJunkTypeRow& row : rows)
        types.Add(row.Pattern, row.Remark, row.Checked);
}

#include "clean/JunkTexts.h"

std::string SizeText(int64_t size) { return std::to_string(size) + "Byte"; }

std::string DateText(Platform::TFileTime time) {
    Platform::TSystemTime local;
    if (!Platform::FileTimeToLocalSystemTime(time, local))
        return {};
    return std::to_string(local.Month) + "/" + std::to_string(local.Day) + "/" +
           std::to_string(local.Year);
}

std::string ScanCaptionText(const std::string& folder) {
    return "Morvane  ---  Is Scanning Direcotry [" + folder + "]  ";
}

std::string ScanningFileText(std::string_view name) {
    std::string text = "Scanning File [ ";
    text.append(name);
    text += " ] ";
    return text;
}

std::string ScanStatusText(const TScanCounters& c) {
    return "[Scan File]: " + std::to_string(c.FScannedCount) +
           "  [Junker Number]: " + std::to_string(c.FJunkCount) +
           "  [Size]: " + std::to_string(c.FJunkSize) + " Byte";
}

std::string SummaryStatusText(const TScanCounters& c) {
    return "[扫描分析文件]: " + std::to_string(c.FScannedCount) +
           "  [发现垃圾文件]: " + std::to_string(c.FJunkCount) +
           "  [垃圾占用空间]: " + std::to_string(c.FJunkSize) + " Byte";
}

std::string SummaryMessageText(const TScanCounters& c) {
    return "   本次磁盘扫描完成 !!!\n\r-----------------\n\r [共分析文件数量]: " +
           std::to_string(c.FScannedCount) + "  \n\r [发现垃圾文件数量]: " +
           std::to_string(c.FJunkCount) + " \n\r [垃圾文件空间占用]: " +
           std::to_string(c.FJunkSize) + " 字节";
}

std::string DeleteFailedText(const std::string& caption, const std::string& reason) {
    return "删除 [" + caption + "] 失败 : " + reason;
}

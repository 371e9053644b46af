#include "core/TGarbages.h"

#include "core/EMorvaneError.h"
#include "core/TProtectedFiles.h"
#include "platform/FileIo.h"
#include "platform/TextCodec.h"

#include <iterator>

namespace {

struct TDefaultType {
    const char* Pattern;
    const char* Memo;
};

// The descriptions keep their blanks as they always were; users may have files that
// were saved with them.
const TDefaultType DefaultTypes[] = {
        {"*.BAK", "备份文件"},
        {"*.TMP", "临时文件"},
        {"*.DB$", "数据库临时文件"},
        {"*.~*", "Office等常用的临时文件"},
        {"*.SCR", "屏幕保护文件"},
        {"*.APS", "MS VC++ 临时文件"},
        {"*.DMP", "Dr.Watson  内存临时文件"},
        {"*.$$$", " 临时文件"},
        {"*.CHK", "Windows磁盘检测找到的文件碎片"},
        {"*.---", "旧INI文件"},
        {"*.OLD", "旧文件"},
        {"*.SDI", "文档 临时文件"},
        {"*.BK*", "备份 临时文件"},
        {"*.DA0", "Access 临时文件"},
        {"*.$DB", "数据库类的 临时文件"},
        {"*.FTS", "帮助文件搜索结果产生 临时文件"},
        {"*.FTG", "帮助文件列表 临时文件"},
        {"*.GID", "帮助索引的 临时文件"},
        {"*.BSC", "MS VC++  临时文件"},
        {"*.NCB", "MS VC++  临时文件"},
        {"*.PCH", "MS VC++  临时文件"},
        {"*.NCH", " 临时文件"},
        {"*.LOG", "日志 临时文件"},
        {"*.DOF", "DELPHI  临时文件"},
        {"*.DCU", "DELPHI  临时文件"},
        {"*.MAP", "DELPHI  临时文件"},
        {"*.DSK", "DELPHI 临时文件"},
        {"*.DDP", "DELPHI  临时文件"},
};

bool IsYes(const std::string& line) { return line == "Y" || line == "y"; }

} // namespace

TGarbage& TGarbages::Add() { return *FItems.emplace_back(std::make_unique<TGarbage>()); }

TGarbage& TGarbages::Add(const std::string& garbageName, const std::string& memo, bool ifclean) {
    return *FItems.emplace_back(std::make_unique<TGarbage>(garbageName, memo, ifclean));
}

TGarbage& TGarbages::Items(int index) {
    if (index < 0 || index >= Count())
        throw EMorvaneError("List index out of bounds (" + std::to_string(index) + ")");
    return *FItems[static_cast<size_t>(index)];
}

const TGarbage& TGarbages::Items(int index) const {
    return const_cast<TGarbages*>(this)->Items(index);
}

void TGarbages::Delete(int index) {
    Items(index); // range check
    FItems.erase(FItems.begin() + index);
}

void TGarbages::AddDefaultTypes() {
    for (const TDefaultType& type : DefaultTypes)
        Add(type.Pattern, type.Memo, false);
}

std::string TGarbages::ToFileText() const {
    std::string text;
    for (const auto& item : FItems) {
        text += item->GarbageName() + "\r\n";
        text += item->Memo() + "\r\n";
        text += item->Ifclean() ? "Y\r\n" : "N\r\n";
    }
    return Platform::Utf8ToSystem(text);
}

void TGarbages::LoadFromFileText(std::string_view bytes) {
    Clear();
    // Three lines per type. A line past the end of the file reads as empty, so an
    // incomplete last group still makes an item, and any extra line starts one.
    const std::vector<std::string> lines = SplitTextLines(Platform::SystemToUtf8(bytes), false);
    for (size_t i = 0; i < lines.size(); i += 3) {
        const std::string& name = lines[i];
        const std::string memo = i + 1 < lines.size() ? lines[i + 1] : std::string();
        const bool ifclean = i + 2 < lines.size() && IsYes(lines[i + 2]);
        Add(name, memo, ifclean);
    }
}

bool TGarbages::ReadFromFile(const std::filesystem::path& path) {
    const std::optional<std::string> bytes = Platform::ReadWholeFile(path, nullptr);
    LoadFromFileText(bytes ? *bytes : std::string());
    return bytes.has_value();
}

std::string TGarbages::WriteToFile(const std::filesystem::path& path) const {
    const std::string kept = KeptUnreadableFileText(path);
    return kept.empty() ? Platform::WriteFileAtomically(path, ToFileText()) : kept;
}

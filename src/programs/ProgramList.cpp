#include "programs/ProgramList.h"

#include "core/AsciiCase.h"
#include "core/FileRoutines.h"
#include "core/PathText.h"

#include <cstdio>
#include <filesystem>

namespace {

std::string Trim(const std::string& text) {
    const size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos)
        return {};
    return text.substr(start, text.find_last_not_of(' ') - start + 1);
}

double FolderSizeKB(const std::string& location) {
    std::error_code ec;
    const std::filesystem::path path = PathFromText(location);
    if (location.empty() || !std::filesystem::is_directory(path, ec))
        return 0;
    return GetDirectorySizeIn(path, 1);
}

} // namespace

std::string StripQuotes(const std::string& text) {
    if (text.empty() || text[0] != '"')
        return text;
    return text.size() < 2 ? std::string() : text.substr(1, text.size() - 2);
}

std::string FolderPart(const std::string& command) {
    // Only "\\": a "/" in the arguments ("MsiExec.exe /X{...}") is no folder.
    const size_t slash = command.rfind('\\');
    return slash == std::string::npos ? std::string() : command.substr(0, slash + 1);
}

std::vector<TUninstall> BuildProgramList(const std::vector<Platform::TUninstallKey>& keys,
                                         double now, TFileKindList& kinds) {
    std::vector<TUninstall> programs;
    for (const Platform::TUninstallKey& key : keys) {
        if (!key.KeyName.empty() && key.KeyName[0] == '{')
            break;
        TUninstall p;
        p.Name = Trim(key.DisplayName).empty() ? key.KeyName : key.DisplayName;
        p.UninstallString = StripQuotes(key.UninstallString);
        p.Location = key.Location ? *key.Location : FolderPart(p.UninstallString);
        p.Size = key.SizeKB ? *key.SizeKB : FolderSizeKB(p.Location);
        p.LastUsed = now;
        p.Key = key;
        if (Trim(p.UninstallString).empty())
            continue;
        kinds.FindKind(p.Name).AddProgram(p);
        programs.push_back(std::move(p));
    }
    return programs;
}

std::string SizeColumnText(double sizeKB) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%16.2f KByte", sizeKB);
    return buffer;
}

int CompareProgramRows(const TUninstall& a, const TUninstall& b, int column) {
    if (column == 2) {
        // The whole kilobytes as the column shows them.
        const std::string x = SizeColumnText(a.Size), y = SizeColumnText(b.Size);
        return CompareSign(std::stod(LeadingDigits(Trim(x))) - std::stod(LeadingDigits(Trim(y))));
    }
    if (column == 3)
        return CompareSign(a.LastUsed - b.LastUsed);
    const int c = UpperAscii(a.Name).compare(UpperAscii(b.Name));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string UninstallFailureText(const Platform::TUninstallOutcome& outcome) {
    if (!outcome.Started)
        return "无法启动卸载程序: " + outcome.Message;
    const std::string code = std::to_string(outcome.ExitCode);
    if (!Trim(outcome.Message).empty())
        return outcome.ExitCode == 0 ? outcome.Message
                                     : outcome.Message + " (退出代码 " + code + ")";
    if (outcome.ExitCode != 0)
        return "卸载程序退出代码 " + code;
    return "卸载程序已结束，但程序仍然安装着";
}

std::string UninstallFailureMessage(const std::string& name,
                                    const Platform::TUninstallOutcome& outcome) {
    return "卸载 [" + name + "] 失败 : " + UninstallFailureText(outcome);
}

#include "core/FileRoutines.h"
#include "core/EMorvaneError.h"
#include "core/IMessageBoxHook.h"
#include "platform/FileIo.h"
#include "platform/IPower.h"
#include "platform/Locale.h"
#include "platform/SystemInfo.h"
#include "platform/TDirWalker.h"
#include "platform/TreeDelete.h"
#include "platform/Volumes.h"

#include <cmath>

namespace fs = std::filesystem;

bool DeletePath(const fs::path& path) { return Platform::DeleteTree(path); }

std::string GetShortPath(const std::string& path) {
    const size_t first = path.find_first_not_of(' ');
    const std::string trimmed =
        first == std::string::npos ? std::string() : path.substr(first, path.find_last_not_of(' ') - first + 1);
    int error = 0;
    if (std::optional<std::string> shortPath = Platform::ShortPathName(trimmed, error))
        return *shortPath;
    MessageBoxHook().Show(Platform::SystemErrorText(error), "");
    // A quoted command line loses its closing quote so the caller can still run it.
    if (!path.empty() && path.back() == '"')
        return path.substr(0, path.size() - 1);
    return path;
}

std::string GetShellDisplayName(const fs::path& path) {
    return Platform::ShellDisplayName(path).value_or(path.string());
}

std::string GetLocalSettingsFolder() { return Platform::LocalSettingsFolder(); }

std::string GetWindowsFolder() { return Platform::WindowsFolder(); }

int CompareSign(double x) {
    if (x < 0)
        return -1;
    return x > 0 ? 1 : 0;
}

std::string LeadingDigits(const std::string& text) {
    size_t n = 0;
    while (n < text.size() && text[n] >= '0' && text[n] <= '9')
        ++n;
    return n == 0 ? std::string("0") : text.substr(0, n);
}

namespace {

// Reads a whole text as a decimal integer the way the conversion routine of the
// original does: leading blanks and one sign allowed, nothing after the digits.
int StrToInt(const std::string& s) {
    size_t i = s.find_first_not_of(' ');
    bool negative = false;
    if (i != std::string::npos && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    long long v = 0;
    const size_t digits = i;
    while (i != std::string::npos && i < s.size() && s[i] >= '0' && s[i] <= '9') {
        v = v * 10 + (s[i++] - '0');
        if (v > 2147483648LL)
            break;
    }
    if (i == std::string::npos || digits == i || i != s.size() || v > 2147483647LL + (negative ? 1 : 0))
        throw EMorvaneError("'" + s + "' is not a valid integer value");
    return static_cast<int>(negative ? -v : v);
}

} // namespace

TDateTime ParseSlashDate(const std::string& text) {
    const size_t first = text.find('/');
    const std::string month = first == std::string::npos ? std::string() : text.substr(0, first);
    const std::string rest = first == std::string::npos ? text : text.substr(first + 1);
    const size_t second = rest.find('/');
    const std::string day = second == std::string::npos ? std::string() : rest.substr(0, second);
    const std::string year = second == std::string::npos ? rest : rest.substr(second + 1);
    const int m = StrToInt(month);
    const int d = StrToInt(day);
    const int y = StrToInt(year);
    return EncodeDate(y, m, d);
}

// Linux has no drive letters: the root of a path is the mount path of the volume that
// holds it, and a drive row's display name ("Local Disk (/home)") names it between its
// last parentheses.
std::string DriveRootOf(const std::string& path) {
    std::string p = path;
    const size_t open = p.rfind('(');
    if (!p.empty() && p.back() == ')' && open != std::string::npos)
        p = p.substr(open + 1, p.size() - open - 2);
    if (p.empty() || p[0] != '/')
        return "My Computer";
    std::string best;
    for (const Platform::TVolumeInfo& v : Platform::Volumes().List()) {
        const std::string& root = v.Root; // ends with "/"
        const bool holds = p.compare(0, root.size(), root) == 0 || p + "/" == root;
        if (holds && root.size() > best.size())
            best = root;
    }
    return best.empty() ? std::string("My Computer") : best;
}

TDateTime FileTimeToLocalDateTime(Platform::TFileTime time) {
    Platform::TSystemTime local;
    if (!Platform::FileTimeToLocalSystemTime(time, local))
        return 0;
    try {
        return SystemTimeToDateTime(local);
    } catch (const EMorvaneError&) {
        return 0; // outside years 1..9999
    }
}

std::array<std::string, 3> GetFileDates(const fs::path& path) {
    const std::string format = "yyyy/mm/dd,hh:mm:ss";
    const Platform::TLocaleFormats locale = Platform::LocaleFormats();
    std::array<std::string, 3> out;
    if (const auto entry = Platform::QueryEntry(path)) {
        out[0] = FormatDateTime(format, FileTimeToLocalDateTime(entry->Created), locale);
        out[1] = FormatDateTime(format, FileTimeToLocalDateTime(entry->LastWrite), locale);
    }
    out[2] = FormatDateTime(format, Now(), locale);
    return out;
}

std::string GetOSVersionText() {
    const std::optional<Platform::TOSVersion> v = Platform::OSVersion();
    if (!v)
        return {};
    return v->PlatformName + " Version " + std::to_string(v->Major) + "." + std::to_string(v->Minor) +
           "\r\n (Build " + std::to_string(v->Build) + ": " + v->ServicePack + ")";
}

void ShutDownComputer() {
    const std::string failedStep = Platform::Power().PowerOff();
    if (!failedStep.empty())
        MessageBoxHook().Show("Exit Error", failedStep);
}

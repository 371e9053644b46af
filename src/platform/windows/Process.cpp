#include "platform/Process.h"

#include "platform/windows/WinText.h"

#include <windows.h>

namespace Platform {
namespace {

// Quotes one argument so that the C runtime's command-line parser gives it back intact.
std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"')
            out.append(backslashes * 2 + 1, L'\\');
        else
            out.append(backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    out += L'"';
    return out;
}

} // namespace

bool StartDetached(const std::vector<std::string>& argv) {
    if (argv.empty())
        return false;
    std::wstring commandLine;
    for (const auto& a : argv) {
        if (!commandLine.empty())
            commandLine += L' ';
        commandLine += QuoteArgument(Win::Widen(a));
    }
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                        DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

} // namespace Platform

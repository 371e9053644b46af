#include "platform/IInstalledPrograms.h"
#include "programs/ProgramList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

using Platform::TUninstallKey;

namespace {

const wchar_t* const UninstallPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Subkeys of the machine's Uninstall key in one registry view, removed again when the
// object goes.
class TUninstallKeys {
public:
    explicit TUninstallKeys(REGSAM view) : FView(view) {
        Error = RegCreateKeyExW(HKEY_LOCAL_MACHINE, UninstallPath, 0, nullptr, 0,
                                KEY_ALL_ACCESS | view, nullptr, &FRoot, nullptr);
        if (Error != ERROR_SUCCESS)
            FRoot = nullptr;
    }
    ~TUninstallKeys() {
        for (const std::wstring& name : FNames)
            RegDeleteKeyExW(FRoot, name.c_str(), FView, 0);
        if (FRoot)
            RegCloseKey(FRoot);
    }
    bool Ok() const { return FRoot != nullptr; }
    // Writing below HKEY_LOCAL_MACHINE takes an administrator (wine runs as one).
    bool Refused() const { return Error == ERROR_ACCESS_DENIED; }
    LONG Error = ERROR_SUCCESS;
    // A key with text values; a value given as nullptr is not written.
    void Add(const std::wstring& name, const wchar_t* displayName, const wchar_t* command) {
        HKEY key = Create(name);
        SetText(key, L"DisplayName", displayName);
        SetText(key, L"UninstallString", command);
        RegCloseKey(key);
    }
    // A key whose DisplayName is a number, not text.
    void AddNumberName(const std::wstring& name, const wchar_t* command) {
        HKEY key = Create(name);
        const DWORD number = 7;
        RegSetValueExW(key, L"DisplayName", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                       sizeof number);
        SetText(key, L"UninstallString", command);
        RegCloseKey(key);
    }

private:
    HKEY Create(const std::wstring& name) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(FRoot, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | FView,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        FNames.push_back(name);
        return key;
    }
    static void SetText(HKEY key, const wchar_t* value, const wchar_t* text) {
        if (!text)
            return;
        RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
    }

    REGSAM FView;
    HKEY FRoot = nullptr;
    std::vector<std::wstring> FNames;
};

bool Ours(const std::string& keyName) {
    return keyName.find("MorvaneTest") != std::string::npos;
}

} // namespace

// The registry lists subkeys in name order, so "{" keys come after the lettered ones and
// "~" after those; the listing must end at the first "{" key of each view.
TEST(RegistryPrograms, BothViewsAreListedByTheRules) {
    TUninstallKeys view32(KEY_WOW64_32KEY), view64(KEY_WOW64_64KEY);
    if (view32.Refused() || view64.Refused())
        GTEST_SKIP() << "the machine's Uninstall key takes an administrator to write";
    ASSERT_TRUE(view32.Ok() && view64.Ok()) << view32.Error << " " << view64.Error;
    view32.Add(L"MorvaneTest Alpha", L"Alpha 32",
               L"\"C:\\Program Files (x86)\\Alpha\\uninst.exe\"");
    view32.Add(L"{MorvaneTest-0A1B-32}", L"Guid 32", L"MsiExec.exe /X{0A1B}");
    view32.Add(L"~MorvaneTest After 32", L"After 32", L"after32.exe");
    view64.Add(L"MorvaneTest Alpha", L"Alpha 64", L"\"C:\\Program Files\\Alpha\\uninst.exe\"");
    view64.Add(L"MorvaneTest Blank", L"   ", L"C:\\Blank\\remove.exe /quiet");
    view64.Add(L"MorvaneTest NoCommand", L"No command", nullptr);
    view64.AddNumberName(L"MorvaneTest Number", L"C:\\Number\\remove.exe");
    view64.Add(L"MorvaneTest \u6E05\u7406", L"\u6E05\u7406\u5DE5\u5177 \U0001F9F9",
               L"C:\\Tools\\x.exe");
    view64.Add(L"{MorvaneTest-0A1B-64}", L"Guid 64", L"MsiExec.exe /X{0A1B}");
    view64.Add(L"~MorvaneTest After 64", L"After 64", L"after64.exe");

    const auto keys = Platform::CreateNativeInstalledPrograms()->ReadKeys();
    ASSERT_TRUE(keys);
    std::vector<std::string> raw;
    for (const TUninstallKey& k : *keys)
        if (Ours(k.KeyName))
            raw.push_back(k.KeyName + "=" + k.DisplayName + "|" + k.UninstallString);
    // The 32-bit view ends at its own "{" key; the 64-bit one follows whole (the list's
    // rule cuts it at its first "{"). A number where text belongs drops that key alone.
    const std::vector<std::string> expectedRaw = {
        "MorvaneTest Alpha=Alpha 32|\"C:\\Program Files (x86)\\Alpha\\uninst.exe\"",
        "MorvaneTest Alpha=Alpha 64|\"C:\\Program Files\\Alpha\\uninst.exe\"",
        "MorvaneTest Blank=   |C:\\Blank\\remove.exe /quiet",
        "MorvaneTest NoCommand=No command|",
        "MorvaneTest 清理=清理工具 🧹|C:\\Tools\\x.exe",
        "{MorvaneTest-0A1B-64}=|",
        "~MorvaneTest After 64=After 64|after64.exe",
    };
    EXPECT_EQ(raw, expectedRaw);

    TFileKindList kinds;
    std::vector<std::string> listed;
    for (const TUninstall& p : BuildProgramList(*keys, 0, kinds))
        if (Ours(p.Key.KeyName))
            listed.push_back(p.Name + "|" + p.Location + "|" + p.UninstallString);
    const std::vector<std::string> expected = {
        "Alpha 32|C:\\Program Files (x86)\\Alpha\\|C:\\Program Files (x86)\\Alpha\\uninst.exe",
        "Alpha 64|C:\\Program Files\\Alpha\\|C:\\Program Files\\Alpha\\uninst.exe",
        "MorvaneTest Blank|C:\\Blank\\|C:\\Blank\\remove.exe /quiet",
        "清理工具 🧹|C:\\Tools\\|C:\\Tools\\x.exe",
    };
    EXPECT_EQ(listed, expected);
}

TEST(RegistryPrograms, OurKeysAreGoneAfterwards) {
    {
        TUninstallKeys view64(KEY_WOW64_64KEY);
        if (view64.Refused())
            GTEST_SKIP() << "the machine's Uninstall key takes an administrator to write";
        ASSERT_TRUE(view64.Ok()) << view64.Error;
        view64.Add(L"MorvaneTest Temporary", L"Temporary", L"t.exe");
    }
    const auto keys = Platform::CreateNativeInstalledPrograms()->ReadKeys();
    ASSERT_TRUE(keys);
    for (const TUninstallKey& k : *keys)
        EXPECT_FALSE(Ours(k.KeyName)) << k.KeyName;
}

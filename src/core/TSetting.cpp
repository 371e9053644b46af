#include "core/TSetting.h"

#include "core/EMorvaneError.h"
#include "core/PathText.h"
#include "core/TDisk.h"
#include "core/TMemoryStream.h"
#include "core/TProtectedFiles.h"
#include "core/TTolvikReader.h"
#include "core/TTolvikWriter.h"
#include "platform/FileIo.h"
#include "platform/ProgramFolder.h"

#include <array>
#include <system_error>

namespace fs = std::filesystem;

TSetting* Setting = nullptr;

fs::path SettingsFilePath() { return Platform::ProgramFolder() / "Morvane.cfg"; }

fs::path GarbagesFilePath(const fs::path& settingsFile) {
    fs::path result = settingsFile;
    result += ".Garbage";
    return result;
}

namespace {

template <typename T> constexpr TPropertyKind KindOf() {
    if constexpr (std::is_same_v<T, bool>)
        return TPropertyKind::Boolean;
    else if constexpr (std::is_same_v<T, int32_t>)
        return TPropertyKind::Integer;
    else
        return TPropertyKind::DateTime;
}

template <typename T, T (TSetting::*Getter)() const, void (TSetting::*Setter)(T)>
constexpr TPropertyInfo Published(std::string_view name) {
    return {name, KindOf<T>(),
            [](const TPersistent& object) -> TPropertyValue {
                return (static_cast<const TSetting&>(object).*Getter)();
            },
            [](TPersistent& object, const TPropertyValue& value) {
                (static_cast<TSetting&>(object).*Setter)(std::get<T>(value));
            }};
}

using S = TSetting;

// The order is the file's record order.
const std::array<TPropertyInfo, 21> SettingProperties = {
    Published<bool, &S::AutoClean, &S::SetAutoClean>("AutoClean"),
    Published<bool, &S::AutoCleanShutDown, &S::SetAutoCleanShutDown>("AutoCleanShutDown"),
    Published<double, &S::LastCleanDate, &S::SetLastCleanDate>("LastCleanDate"),
    Published<bool, &S::IfShowChart, &S::SetIfShowChart>("IfShowChart"),
    Published<bool, &S::IfIncludeDir, &S::SetIfIncludeDir>("IfIncludeDir"),
    Published<bool, &S::ShowTips, &S::SetShowTips>("ShowTips"),
    Published<bool, &S::AutoUpdate, &S::SetAutoUpdate>("AutoUpdate"),
    Published<bool, &S::IfCleanZeroDir, &S::SetIfCleanZeroDir>("IfCleanZeroDir"),
    Published<bool, &S::IfCleanZeroFile, &S::SetIfCleanZeroFile>("IfCleanZeroFile"),
    Published<bool, &S::IfClean_Windows_Recent_Files, &S::SetIfClean_Windows_Recent_Files>(
        "IfClean_Windows_Recent_Files"),
    Published<bool, &S::IfClean_ZeroFile, &S::SetIfClean_ZeroFile>("IfClean_ZeroFile"),
    Published<bool, &S::IfClean_ZeroDir, &S::SetIfClean_ZeroDir>("IfClean_ZeroDir"),
    Published<bool, &S::IfClean_Internet_Explorer_Temporary_Files,
              &S::SetIfClean_Internet_Explorer_Temporary_Files>(
        "IfClean_Internet_Explorer_Temporary_Files"),
    Published<bool, &S::IfClean_Internet_Explorer_History,
              &S::SetIfClean_Internet_Explorer_History>("IfClean_Internet_Explorer_History"),
    Published<bool, &S::IfClean_Internet_Explorer_Cookies,
              &S::SetIfClean_Internet_Explorer_Cookies>("IfClean_Internet_Explorer_Cookies"),
    Published<bool, &S::IfClean_Windows_Find_History, &S::SetIfClean_Windows_Find_History>(
        "IfClean_Windows_Find_History"),
    Published<bool, &S::IfClean_Windows_Run_History, &S::SetIfClean_Windows_Run_History>(
        "IfClean_Windows_Run_History"),
    Published<bool, &S::IfClean_Windows_Temporary_Files,
              &S::SetIfClean_Windows_Temporary_Files>("IfClean_Windows_Temporary_Files"),
    Published<bool, &S::IfClean_Recycle_Bin, &S::SetIfClean_Recycle_Bin>("IfClean_Recycle_Bin"),
    Published<bool, &S::IfClean_Broken_ShutCuts, &S::SetIfClean_Broken_ShutCuts>(
        "IfClean_Broken_ShutCuts"),
    Published<int32_t, &S::SlicePercent, &S::SetSlicePercent>("SlicePercent"),
};

bool FileExists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

// Every file the program saves in its folder through a temporary, the tips window's page
// among them.
std::vector<std::string> SavedFileNames(const fs::path& settingsFile) {
    return {settingsFile.filename().string(), GarbagesFilePath(settingsFile).filename().string(),
            ProtectedFilesName, "tips.htm"};
}

} // namespace

TSetting::TSetting(const fs::path& settingsFile) {
    const fs::path garbagesFile = GarbagesFilePath(settingsFile);
    const fs::path folder =
        settingsFile.has_parent_path() ? settingsFile.parent_path() : fs::path(".");
    Platform::RemoveAtomicWriteLeftovers(folder, SavedFileNames(settingsFile));
    try {
        LoadFromFile(settingsFile);
    } catch (const std::exception& e) {
        // The program needs settings for the rest of the run: go on with the defaults
        // and the junk types as usual; the launcher shows what went wrong.
        FLoadErrorText = e.what();
        SetDefaults();
        if (FileExists(garbagesFile))
            ReadGarbages(garbagesFile);
    }
    if (!FileExists(garbagesFile))
        FGarbages.AddDefaultTypes();
    try {
        ResetDirectories();
    } catch (const std::exception& e) {
        if (FLoadErrorText.empty())
            FLoadErrorText = e.what();
    }
}

std::span<const TPropertyInfo> TSetting::PublishedProperties() const { return SettingProperties; }

void TSetting::SetDefaults() {
    FAutoClean = false;
    FAutoCleanShutDown = false;
    FLastCleanDate = 0;
    FIfShowChart = false;
    FIfIncludeDir = false;
    FShowTips = false;
    FAutoUpdate = true;
    FIfCleanZeroDir = false;
    FIfCleanZeroFile = false;
    FIfClean_Windows_Recent_Files = false;
    FIfClean_ZeroFile = true;
    FIfClean_ZeroDir = true;
    FIfClean_Internet_Explorer_Temporary_Files = true;
    FIfClean_Internet_Explorer_History = true;
    FIfClean_Internet_Explorer_Cookies = true;
    FIfClean_Windows_Find_History = true;
    FIfClean_Windows_Run_History = true;
    FIfClean_Windows_Temporary_Files = true;
    FIfClean_Recycle_Bin = true;
    FIfClean_Broken_ShutCuts = true;
    FSlicePercent = 10;
}

void TSetting::ReadGarbages(const fs::path& garbagesFile) {
    FGarbagesUnreadable = !FGarbages.ReadFromFile(garbagesFile);
}

void TSetting::LoadFromFile(const fs::path& path) {
    if (FileExists(path)) {
        std::string error;
        std::optional<std::string> bytes = Platform::ReadWholeFile(path, &error);
        if (!bytes)
            throw EMorvaneError("Cannot open file \"" + PathText(path) + "\". " + error);
        TMemoryStream stream(std::move(*bytes));
        LoadObjectFromStream(stream, *this);
    }
    const fs::path garbagesFile = GarbagesFilePath(path);
    if (FileExists(garbagesFile))
        ReadGarbages(garbagesFile);
}

void TSetting::SaveToFile(const fs::path& path) const {
    TMemoryStream stream;
    SaveObjectToStream(*this, stream);
    std::string error = KeptUnreadableFileText(path);
    if (error.empty())
        error = Platform::WriteFileAtomically(path, stream.Bytes());
    if (!error.empty())
        throw EMorvaneError("Cannot create file \"" + PathText(path) + "\". " + error);
    // A junk types file we could not read is left alone: writing our (empty) list over
    // it would lose the user's types. Otherwise a failed write is silent by design.
    if (!FGarbagesUnreadable)
        FGarbages.WriteToFile(GarbagesFilePath(path));
}

void TSetting::ResetDirectories() { ResetDirectories(TDisk().Roots()); }

void TSetting::ResetDirectories(const std::vector<std::string>& roots) {
    FDirectorys.Clear();
    for (const std::string& root : roots)
        FDirectorys.Add(root, true, true);
}

#include "app/TTips.h"

#include "core/EMorvaneError.h"
#include "core/PathText.h"
#include "core/TProtectedFiles.h"
#include "platform/FileIo.h"
#include "platform/TextCodec.h"

bool TTips::LoadTips(const std::filesystem::path& file) {
    FTipIndex = 1;
    FTips.clear();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return false;
    const auto bytes = Platform::ReadWholeFile(file, nullptr);
    if (!bytes)
        return true;
    // Lines end as in the other lists: CR LF, a lone LF or a lone CR.
    FTips = SplitTextLines(Platform::SystemToUtf8(*bytes), false, MaxTips);
    return true;
}

std::string TTips::Tip(int index) const {
    return index >= 1 && index <= TipCount() ? FTips[static_cast<size_t>(index - 1)] : std::string();
}

int TTips::NextTip() {
    ++FTipIndex;
    if (FTipIndex > TipCount())
        FTipIndex = 1;
    return FTipIndex;
}

std::string TipsPageText(const std::string& tip) {
    return Platform::Utf8ToSystem("<font:12px \"MS Song\", \"MS Sans Serif\"; size=1>\r\n" + tip +
                                  "\r\n</font>\r\n");
}

void WriteTipsPage(const std::filesystem::path& file, const std::string& tip) {
    const std::string error = Platform::WriteFileAtomically(file, TipsPageText(tip));
    if (!error.empty())
        throw EMorvaneError("Cannot create file \"" + PathText(file) + "\". " + error);
}

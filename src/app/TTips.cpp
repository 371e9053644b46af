#include "app/TTips.h"

#include "core/EMorvaneError.h"
#include "core/PathText.h"
#include "platform/FileIo.h"
#include "platform/TextCodec.h"

#include <string_view>

bool TTips::LoadTips(const std::filesystem::path& file) {
    FTipIndex = 1;
    FTips.clear();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return false;
    const auto bytes = Platform::ReadWholeFile(file, nullptr);
    if (!bytes)
        return true;
    const std::string text = Platform::SystemToUtf8(*bytes);
    std::string_view rest = text;
    while (!rest.empty() && TipCount() < MaxTips) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        FTips.emplace_back(line);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
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

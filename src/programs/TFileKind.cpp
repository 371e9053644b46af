#include "programs/TFileKind.h"

#include "core/AsciiCase.h"

TFileKind::TFileKind(int index, std::vector<std::string> keywords) : FIndex(index) {
    for (std::string& k : keywords)
        FKeywords.push_back(UpperAscii(k));
}

bool TFileKind::Matches(const std::string& name) const {
    const std::string upper = UpperAscii(name);
    for (const std::string& k : FKeywords)
        if (!k.empty() && upper.find(k) != std::string::npos)
            return true;
    return false;
}

std::optional<TUninstall> TFileKind::GetProgram(int index) const {
    if (index < 0 || index >= ProgramCount())
        return std::nullopt;
    return FPrograms[static_cast<size_t>(index)];
}

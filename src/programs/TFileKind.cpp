#include "programs/TFileKind.h"

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

TFileKind::TFileKind(int index, std::vector<std::string> keywords) : FIndex(index) {
    for (std::string& k : keywords)
        FKeywords.push_back(Upper(std::move(k)));
}

bool TFileKind::Matches(const std::string& name) const {
    const std::string upper = Upper(name);
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

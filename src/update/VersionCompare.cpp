#include "update/VersionCompare.h"

#include "core/FileRoutines.h"

#include <array>
#include <cmath>
#include <optional>

namespace {

// The first four parts of text + "."; nullopt when one is not a decimal number.
std::optional<std::array<unsigned long long, 4>> Parts(const std::string& text) {
    std::array<unsigned long long, 4> parts{0, 0, 0, 0};
    const std::string padded = text + ".";
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        auto dot = padded.find('.', start);
        if (dot == std::string::npos)
            break; // a missing part counts as 0
        const std::string part = padded.substr(start, dot - start);
        if (part.empty() || part.size() > 18 ||
            part.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        parts[static_cast<std::size_t>(i)] = std::stoull(part);
        start = dot + 1;
    }
    return parts;
}

int ByteCompare(const std::string& a, const std::string& b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i])
            return static_cast<unsigned char>(a[i]) > static_cast<unsigned char>(b[i]) ? 1 : -1;
    if (a.size() == b.size())
        return 0;
    return a.size() > b.size() ? 1 : -1;
}

std::string TrimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

int CompareVersions(const std::string& aText, const std::string& bText) {
    // "8.0 " from a hand-edited information file is the same version as "8.0".
    const std::string a = TrimBlanks(aText);
    const std::string b = TrimBlanks(bText);
    auto pa = Parts(a);
    auto pb = Parts(b);
    if (!pa || !pb)
        return ByteCompare(a, b);
    for (std::size_t i = 0; i < 4; ++i)
        if ((*pa)[i] != (*pb)[i])
            return (*pa)[i] > (*pb)[i] ? 1 : -1;
    return 0;
}

TDateTime ParseUpdateDate(const std::string& text) {
    try {
        return ParseSlashDate(text);
    } catch (...) {
        return std::floor(Now());
    }
}

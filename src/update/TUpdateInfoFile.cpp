#include "update/TUpdateInfoFile.h"

#include <cctype>

namespace {

std::string Lower(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A decimal byte count; -1 for anything else (signs, blanks, too many digits).
int64_t ParseSize(const std::string& text) {
    if (text.empty() || text.size() > 18 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoll(text);
}

bool IsSha256(const std::string& hex) {
    return hex.size() == 64 && hex.find_first_not_of("0123456789abcdef") == std::string::npos;
}

} // namespace

bool TUpdateFileEntry::Complete() const {
    return Size >= 0 && IsSha256(Sha256);
}

TUpdateInfoFile::TUpdateInfoFile(std::string text) : FText(std::move(text)), FLower(Lower(FText)) {}

std::string::size_type TUpdateInfoFile::Find(const std::string& key) const {
    return FLower.find(Lower(key));
}

std::string TUpdateInfoFile::Value(const std::string& name) const {
    const std::string key = "#" + name + "=";
    auto start = Find(key);
    if (start == std::string::npos)
        return {};
    start += key.size();
    auto end = start;
    while (end < FText.size() && static_cast<unsigned char>(FText[end]) >= 32)
        ++end;
    return FText.substr(start, end - start);
}

std::string TUpdateInfoFile::Message() const {
    const std::string key = "#message={";
    auto start = Find(key);
    if (start == std::string::npos)
        return {};
    start += key.size();
    auto end = FText.find('}', start);
    return FText.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::vector<TUpdateFileEntry> TUpdateInfoFile::Files() const {
    std::vector<TUpdateFileEntry> files;
    auto add = [&](const std::string& suffix) {
        auto url = Value("url" + suffix);
        if (url.empty())
            return false;
        files.push_back(
            {url, suffix, Lower(Value("sha256" + suffix)), ParseSize(Value("size" + suffix))});
        return true;
    };
    add("");
    add("0");
    for (auto k = files.size() + 1; add(std::to_string(k)); ++k) {
    }
    return files;
}

int TUpdateInfoFile::Method() const {
    const auto value = Value("method");
    if (!value.empty() && value[0] == '1')
        return 1;
    if (!value.empty() && value[0] == '2')
        return 2;
    return 0;
}

std::vector<std::string> TUpdateInfoFile::Problems() const {
    std::vector<std::string> problems;
    for (const auto& file : Files()) {
        if (!IsSha256(file.Sha256))
            problems.push_back("#url" + file.KeySuffix + "= has no #sha256" + file.KeySuffix +
                               "= key with 64 hex digits");
        if (file.Size < 0)
            problems.push_back("#url" + file.KeySuffix + "= has no #size" + file.KeySuffix +
                               "= key with its size in bytes");
    }
    return problems;
}

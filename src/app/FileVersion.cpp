#include "app/FileVersion.h"

#include "app/ProgramVersion.h"
#include "app/VersionInfoBlob.h"
#include "platform/FileIo.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace {

constexpr std::vector<uint8_t> ProgramVersionInfo() {
    using namespace ProgramVersion;
    return VersionInfoBlob::Build({
        .FileVersion = {FileVersionParts[0], FileVersionParts[1], FileVersionParts[2],
                        FileVersionParts[3]},
        .TableKey = u"080904E4",
        .Strings = {{u"FileDescription", u"Morvane disk cleaner and space analyser"},
                    {u"FileVersion", ProgramVersion::FileVersion},
                    {u"ProductName", u"Morvane"},
                    {u"ProductVersion", u"8.0"}},
        .HasTranslation = true,
        .Language = Language,
        .CodePage = CodePage,
    });
}

constexpr size_t ProgramVersionInfoSize = ProgramVersionInfo().size();

constexpr std::array<uint8_t, ProgramVersionInfoSize> ProgramVersionInfoArray() {
    std::array<uint8_t, ProgramVersionInfoSize> result{};
    const std::vector<uint8_t> bytes = ProgramVersionInfo();
    std::copy(bytes.begin(), bytes.end(), result.begin());
    return result;
}

} // namespace

// The program's own version information, as constant data in the program file, where
// GetFileVersionText finds it again. It sits in the reader's object file so that every
// program that can show its version carries it; external linkage keeps the compiler from
// dropping it although nothing reads it through this name.
extern const std::array<uint8_t, ProgramVersionInfoSize> MorvaneVersionInfo;
const std::array<uint8_t, ProgramVersionInfoSize> MorvaneVersionInfo = ProgramVersionInfoArray();

namespace {

uint16_t Read16(std::string_view b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) |
                                 (static_cast<uint8_t>(b[at + 1]) << 8));
}

uint32_t Read32(std::string_view b, size_t at) {
    return Read16(b, at) | (uint32_t(Read16(b, at + 2)) << 16);
}

size_t Align4(size_t offset) { return (offset + 3) & ~size_t(3); }

// One node of the block: header, key, value and the children after it. Offsets are
// relative to the start of the whole block, whose alignment rules they follow.
struct TNode {
    size_t Start = 0;
    size_t End = 0; // one past the node
    uint16_t ValueLength = 0;
    uint16_t Type = 0;
    std::u16string Key;
    size_t Value = 0;    // offset of the value
    size_t Children = 0; // offset of the first child
};

std::optional<TNode> ReadNode(std::string_view b, size_t start, size_t limit) {
    if (start + 6 > limit)
        return std::nullopt;
    TNode node;
    node.Start = start;
    const uint16_t length = Read16(b, start);
    node.ValueLength = Read16(b, start + 2);
    node.Type = Read16(b, start + 4);
    if (length < 6 || start + length > limit)
        return std::nullopt;
    node.End = start + length;
    size_t at = start + 6;
    for (;;) {
        if (at + 2 > node.End)
            return std::nullopt;
        const uint16_t c = Read16(b, at);
        at += 2;
        if (c == 0)
            break;
        node.Key.push_back(static_cast<char16_t>(c));
    }
    node.Value = std::min(Align4(at), node.End);
    const size_t valueBytes = node.Type == 1 ? size_t(node.ValueLength) * 2 : node.ValueLength;
    node.Children = std::min(Align4(node.Value + valueBytes), node.End);
    return node;
}

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; }

bool SameKey(const std::u16string& key, std::string_view name) {
    if (key.size() != name.size())
        return false;
    for (size_t i = 0; i < key.size(); ++i)
        if (Upper(key[i]) != Upper(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

std::optional<TNode> FindChild(std::string_view b, const TNode& parent, std::string_view name) {
    size_t at = parent.Children;
    while (at < parent.End) {
        auto child = ReadNode(b, at, parent.End);
        if (!child)
            return std::nullopt;
        if (SameKey(child->Key, name))
            return child;
        at = Align4(child->End);
    }
    return std::nullopt;
}

// Offsets inside the block count from its own start, wherever it lies in the file.
bool IsVersionInfo(std::string_view b) {
    auto root = ReadNode(b, 0, b.size());
    if (!root || root->ValueLength != VersionInfoBlob::FixedInfoSize || root->Type != 0 ||
        !SameKey(root->Key, "VS_VERSION_INFO"))
        return false;
    return root->Value + VersionInfoBlob::FixedInfoSize <= root->End &&
           Read32(b, root->Value) == VersionInfoBlob::FixedSignature;
}

// The key as it lies in the file: UTF-16LE with its terminating zero.
std::string KeyBytes() {
    std::string bytes;
    for (char c : std::string_view("VS_VERSION_INFO")) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    bytes.append(2, '\0');
    return bytes;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// UTF-16LE up to the first zero, as UTF-8; a lone surrogate becomes U+FFFD.
std::string TextValue(std::string_view value) {
    std::string out;
    for (size_t i = 0; i + 1 < value.size(); i += 2) {
        uint32_t c = Read16(value, i);
        if (c == 0)
            break;
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < value.size()) {
            const uint32_t low = Read16(value, i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                c = 0xFFFD;
            }
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::string Hex4(uint16_t v) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string s(4, '0');
    for (int i = 3; i >= 0; --i, v >>= 4)
        s[size_t(i)] = Digits[v & 0xF];
    return s;
}

} // namespace

std::optional<std::string_view> FindVersionInfo(std::string_view fileBytes) {
    const std::string key = KeyBytes();
    for (size_t hit = fileBytes.find(key, 6); hit != std::string_view::npos;
         hit = fileBytes.find(key, hit + 1)) {
        const size_t start = hit - 6;
        const std::string_view candidate = fileBytes.substr(start);
        if (IsVersionInfo(candidate))
            return candidate.substr(0, Read16(candidate, 0));
    }
    return std::nullopt;
}

std::optional<std::string_view> VersionQueryValue(std::string_view block, std::string_view subBlock) {
    auto node = ReadNode(block, 0, block.size());
    if (!node)
        return std::nullopt;
    size_t at = 0;
    while (at < subBlock.size()) {
        if (subBlock[at] == '\\') {
            ++at;
            continue;
        }
        const size_t next = std::min(subBlock.find('\\', at), subBlock.size());
        node = FindChild(block, *node, subBlock.substr(at, next - at));
        if (!node)
            return std::nullopt;
        at = next;
    }
    const size_t valueBytes = node->Type == 1 ? size_t(node->ValueLength) * 2 : node->ValueLength;
    const size_t end = std::min(node->Value + valueBytes, node->End);
    return block.substr(node->Value, end - node->Value);
}

std::string VersionFileVersion(std::string_view block) {
    const auto translation = VersionQueryValue(block, "\\VarFileInfo\\Translation");
    if (!translation || translation->size() < 4)
        return {};
    const std::string table = Hex4(Read16(*translation, 0)) + Hex4(Read16(*translation, 2));
    const auto value = VersionQueryValue(block, "\\StringFileInfo\\" + table + "\\FileVersion");
    return value ? TextValue(*value) : std::string();
}

std::string GetFileVersionText(const std::filesystem::path& file) {
    // A program file, far larger than a list file may be (a debug build is tens of MiB).
    constexpr std::uintmax_t MaxProgramFileSize = std::uintmax_t{1} << 30;
    const auto bytes = Platform::ReadWholeFile(file, nullptr, MaxProgramFileSize);
    if (!bytes)
        return {};
    const auto block = FindVersionInfo(*bytes);
    return block ? VersionFileVersion(*block) : std::string();
}

#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

// Builds a version-information block in the layout Windows keeps in a program's version
// resource (VS_VERSIONINFO): a fixed-info record, a StringFileInfo block with one string
// table, and a VarFileInfo block with the translation. Everything is constexpr so that the
// program file can carry the block as constant data; tests build variants of it.
namespace VersionInfoBlob {

struct TString {
    std::u16string_view Key;
    std::u16string_view Value;
};

struct TVersionBlock {
    uint16_t FileVersion[4] = {0, 0, 0, 0};
    // The string table's key, eight hex digits: language then code page ("080904E4").
    std::u16string_view TableKey;
    std::initializer_list<TString> Strings;
    // Left out altogether when false, as a program without a translation entry has it.
    bool HasTranslation = true;
    uint16_t Language = 0;
    uint16_t CodePage = 0;
};

inline constexpr uint32_t FixedSignature = 0xFEEF04BD;
inline constexpr uint16_t FixedInfoSize = 52;

namespace Detail {

using TBytes = std::vector<uint8_t>;

constexpr void Put16(TBytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v & 0xFF));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

constexpr void Put32(TBytes& b, uint32_t v) {
    Put16(b, static_cast<uint16_t>(v & 0xFFFF));
    Put16(b, static_cast<uint16_t>(v >> 16));
}

constexpr void PutText(TBytes& b, std::u16string_view text) {
    for (char16_t c : text)
        Put16(b, static_cast<uint16_t>(c));
    Put16(b, 0);
}

// Blocks start on 32-bit boundaries counted from the start of the whole block.
constexpr void Align(TBytes& b) {
    while (b.size() % 4 != 0)
        b.push_back(0);
}

// Writes a node header (length patched by End) and its key; returns the node's start.
constexpr size_t Begin(TBytes& b, uint16_t valueLength, uint16_t type, std::u16string_view key) {
    const size_t start = b.size();
    Put16(b, 0);
    Put16(b, valueLength);
    Put16(b, type);
    PutText(b, key);
    Align(b);
    return start;
}

constexpr void End(TBytes& b, size_t start) {
    const size_t length = b.size() - start;
    b[start] = static_cast<uint8_t>(length & 0xFF);
    b[start + 1] = static_cast<uint8_t>(length >> 8);
}

constexpr void PutFixedInfo(TBytes& b, const uint16_t (&v)[4]) {
    const uint32_t ms = (uint32_t(v[0]) << 16) | v[1];
    const uint32_t ls = (uint32_t(v[2]) << 16) | v[3];
    Put32(b, FixedSignature);
    Put32(b, 0x00010000); // structure version 1.0
    Put32(b, ms);         // file version
    Put32(b, ls);
    Put32(b, ms);         // product version
    Put32(b, ls);
    Put32(b, 0x3F);       // flags mask
    Put32(b, 0);          // flags
    Put32(b, 0x00040004); // 32-bit Windows NT
    Put32(b, 0x1);        // an application
    Put32(b, 0);          // subtype
    Put32(b, 0);          // date
    Put32(b, 0);
}

} // namespace Detail

constexpr std::vector<uint8_t> Build(const TVersionBlock& block) {
    using namespace Detail;
    TBytes b;
    const size_t root = Begin(b, FixedInfoSize, 0, u"VS_VERSION_INFO");
    PutFixedInfo(b, block.FileVersion);
    Align(b);

    const size_t fileInfo = Begin(b, 0, 1, u"StringFileInfo");
    const size_t table = Begin(b, 0, 1, block.TableKey);
    for (const TString& s : block.Strings) {
        Align(b);
        const size_t node = Begin(b, static_cast<uint16_t>(s.Value.size() + 1), 1, s.Key);
        PutText(b, s.Value);
        End(b, node);
    }
    End(b, table);
    End(b, fileInfo);

    if (block.HasTranslation) {
        Align(b);
        const size_t varInfo = Begin(b, 0, 1, u"VarFileInfo");
        const size_t var = Begin(b, 4, 0, u"Translation");
        Put16(b, block.Language);
        Put16(b, block.CodePage);
        End(b, var);
        End(b, varInfo);
    }
    End(b, root);
    return b;
}

} // namespace VersionInfoBlob

#include "update/TUpdateSignature.h"

#include "update/TUpdateInfoFile.h"
#include "update/UpdateCrypto.h"

#include "core/EMorvaneError.h"

#include <cctype>

namespace {

constexpr const char* Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr const char* SignatureKey = "#signature=";

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Where the signature line starts and where the next line begins.
std::optional<std::pair<std::size_t, std::size_t>> SignatureLine(const std::string& text) {
    const auto key = Lower(text).find(SignatureKey);
    if (key == std::string::npos)
        return std::nullopt;
    const auto lineStart = text.rfind('\n', key);
    auto next = text.find('\n', key);
    next = next == std::string::npos ? text.size() : next + 1;
    return std::make_pair(lineStart == std::string::npos ? 0 : lineStart + 1, next);
}

std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

} // namespace

std::string TUpdateSignature::ToBase64(const std::string& bytes) {
    std::string out;
    unsigned value = 0;
    int bits = -6;
    for (unsigned char c : bytes) {
        value = (value << 8) | c;
        bits += 8;
        while (bits >= 0) {
            out += Alphabet[(value >> bits) & 0x3F];
            bits -= 6;
        }
    }
    if (bits > -6)
        out += Alphabet[((value << 8) >> (bits + 8)) & 0x3F];
    while (out.size() % 4 != 0)
        out += '=';
    return out;
}

std::optional<std::string> TUpdateSignature::FromBase64(const std::string& text) {
    std::string out;
    unsigned value = 0;
    int bits = -8;
    std::size_t padding = 0;
    for (char c : text) {
        if (c == '=') {
            ++padding;
            continue;
        }
        const char* pos = std::char_traits<char>::find(Alphabet, 64, c);
        if (!pos || padding > 0)
            return std::nullopt;
        value = (value << 6) | static_cast<unsigned>(pos - Alphabet);
        bits += 6;
        if (bits >= 0) {
            out += static_cast<char>((value >> bits) & 0xFF);
            bits -= 8;
        }
    }
    if (padding > 2 || (text.size() % 4) != 0)
        return std::nullopt;
    return out;
}

std::optional<std::string> TUpdateSignature::VerifiedBody(const std::string& infoFile,
                                                          const std::string& publicKeyBase64) {
    const auto line = SignatureLine(infoFile);
    const auto key = FromBase64(publicKeyBase64);
    if (!line || !key)
        return std::nullopt;
    const auto signature = FromBase64(TUpdateInfoFile(infoFile).Value("signature"));
    if (!signature)
        return std::nullopt;
    std::string body = infoFile.substr(0, line->first) + infoFile.substr(line->second);
    if (!UpdateCrypto::Verify(body, *signature, *key))
        return std::nullopt;
    return body;
}

std::string TUpdateSignature::Sign(const std::string& infoFile, const std::string& secretKeyBase64) {
    if (SignatureLine(infoFile))
        throw EMorvaneError("The information file is signed already.");
    const auto key = FromBase64(secretKeyBase64);
    if (!key)
        throw EMorvaneError("The key is not a base64 text.");
    std::string body = infoFile;
    if (!body.empty() && body.back() != '\n')
        body += "\r\n";
    // The signature covers the text before its own line; the verifier takes the line out.
    const auto signature = UpdateCrypto::Sign(body, *key);
    if (!signature)
        throw EMorvaneError("The key is not a secret signing key.");
    return body + SignatureKey + ToBase64(*signature) + "\r\n";
}

std::string TUpdateSignature::FileHash(const std::filesystem::path& path) {
    const auto digest = UpdateCrypto::Sha256File(path);
    return digest ? Hex(*digest) : std::string();
}

bool TUpdateSignature::FileHashMatches(const std::filesystem::path& path,
                                       const std::string& sha256Hex) {
    const auto actual = FileHash(path);
    return !actual.empty() && actual.size() == 64 && actual == Lower(sha256Hex);
}

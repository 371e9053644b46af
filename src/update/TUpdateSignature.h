#pragma once

#include <filesystem>
#include <optional>
#include <string>

// Signed update information files: the maker signs the file without its "#signature="
// line, appends that line, and the program accepts the file only when the signature
// checks out against the public key it was built with.
class TUpdateSignature {
public:
    // The file without its signature line when the signature is valid; nullopt when the
    // line is missing, malformed or does not match.
    static std::optional<std::string> VerifiedBody(const std::string& infoFile,
                                                   const std::string& publicKeyBase64);
    // The file with its signature line appended. Throws EMorvaneError when the key is
    // not a secret key or the file already holds a signature line.
    static std::string Sign(const std::string& infoFile, const std::string& secretKeyBase64);
    // True when the file's SHA-256 digest is the given hex text (any case).
    static bool FileHashMatches(const std::filesystem::path& path, const std::string& sha256Hex);
    // Hex of a file's SHA-256 digest, lower case; empty when it cannot be computed.
    static std::string FileHash(const std::filesystem::path& path);

    static std::string ToBase64(const std::string& bytes);
    // nullopt for a text that is not base64.
    static std::optional<std::string> FromBase64(const std::string& text);
};

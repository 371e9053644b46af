#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The signature and hash primitives that signed updates rest on (Ed25519, SHA-256). The
// build picks the implementation: the signature library where it exists, otherwise one
// that verifies nothing, so that such a build never installs an update.
namespace UpdateCrypto {

constexpr std::size_t PublicKeyBytes = 32;
constexpr std::size_t SecretKeyBytes = 64;
constexpr std::size_t SignatureBytes = 64;

bool Available();
// All texts are raw bytes.
bool Verify(std::string_view message, std::string_view signature, std::string_view publicKey);
std::optional<std::string> Sign(std::string_view message, std::string_view secretKey);
bool GenerateKeyPair(std::string& publicKey, std::string& secretKey);
// The 32-byte digest of a file; nullopt when it cannot be read or hashing is unavailable.
std::optional<std::string> Sha256File(const std::filesystem::path& path);

} // namespace UpdateCrypto

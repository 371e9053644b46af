#include "update/UpdateCrypto.h"

#include <fstream>
#include <vector>

#include <sodium.h>

namespace UpdateCrypto {
namespace {

bool Ready() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

} // namespace

bool Available() { return Ready(); }

bool Verify(std::string_view message, std::string_view signature, std::string_view publicKey) {
    if (!Ready() || signature.size() != crypto_sign_BYTES ||
        publicKey.size() != crypto_sign_PUBLICKEYBYTES)
        return false;
    return crypto_sign_verify_detached(Bytes(signature), Bytes(message), message.size(),
                                       Bytes(publicKey)) == 0;
}

std::optional<std::string> Sign(std::string_view message, std::string_view secretKey) {
    if (!Ready() || secretKey.size() != crypto_sign_SECRETKEYBYTES)
        return std::nullopt;
    std::string signature(crypto_sign_BYTES, '\0');
    if (crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                             Bytes(message), message.size(), Bytes(secretKey)) != 0)
        return std::nullopt;
    return signature;
}

bool GenerateKeyPair(std::string& publicKey, std::string& secretKey) {
    if (!Ready())
        return false;
    publicKey.assign(crypto_sign_PUBLICKEYBYTES, '\0');
    secretKey.assign(crypto_sign_SECRETKEYBYTES, '\0');
    return crypto_sign_keypair(reinterpret_cast<unsigned char*>(publicKey.data()),
                               reinterpret_cast<unsigned char*>(secretKey.data())) == 0;
}

std::optional<std::string> Sha256File(const std::filesystem::path& path) {
    if (!Ready())
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    crypto_hash_sha256_state state;
    crypto_hash_sha256_init(&state);
    std::vector<char> buffer(65536);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        if (in.gcount() > 0)
            crypto_hash_sha256_update(&state, reinterpret_cast<unsigned char*>(buffer.data()),
                                      static_cast<unsigned long long>(in.gcount()));
    }
    if (in.bad())
        return std::nullopt;
    std::string digest(crypto_hash_sha256_BYTES, '\0');
    crypto_hash_sha256_final(&state, reinterpret_cast<unsigned char*>(digest.data()));
    return digest;
}

} // namespace UpdateCrypto

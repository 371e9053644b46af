#include "update/UpdateCrypto.h"

// Built where no signature library is at hand: nothing can be verified, so every
// information file counts as unsigned and no update is ever installed.
namespace UpdateCrypto {

bool Available() { return false; }

bool Verify(std::string_view, std::string_view, std::string_view) { return false; }

std::optional<std::string> Sign(std::string_view, std::string_view) { return std::nullopt; }

bool GenerateKeyPair(std::string&, std::string&) { return false; }

std::optional<std::string> Sha256File(const std::filesystem::path&) { return std::nullopt; }

} // namespace UpdateCrypto

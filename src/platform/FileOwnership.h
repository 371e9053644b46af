#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace Platform {

// Who owns an entry and who may do what with it, as the properties sheet shows them.
struct TOwnership {
    std::string Owner;       // the account's name, or its number when it has none
    std::string Group;       // likewise; empty where the system keeps no group
    std::string Permissions; // "rwxr-x---": owner, group, others
};

// The entry itself (a link as the link), read from the path's own bytes. nullopt when it
// does not exist or cannot be read.
std::optional<TOwnership> QueryOwnership(const std::filesystem::path& path);

} // namespace Platform

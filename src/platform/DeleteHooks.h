#pragma once

#include "platform/TreeDelete.h"

#include <filesystem>

// What both backends of the deletion engine share: the test hooks of TreeDelete.h and the
// walk up from a folder that the home guard makes.
namespace Platform {

// The hooks a test set; empty when none.
const TDescendHook& CurrentDeleteHook();
const THomeLookup& CurrentAccountHomeLookup();

// Calls f with the folder and then every folder above it, the root last.
template <typename F> void ForEachUp(const std::filesystem::path& start, F&& f) {
    for (std::filesystem::path p = start; !p.empty(); p = p.parent_path()) {
        f(p);
        if (p == p.parent_path())
            break;
    }
}

} // namespace Platform

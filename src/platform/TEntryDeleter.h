#pragma once

#include "platform/TreeDelete.h"

#include <filesystem>
#include <memory>

namespace Platform {

// Deletes entries one after another exactly as DeleteEntry does, for a run over a long
// list: where the system allows, the folder that holds an entry stays open for the entries
// of the same folder that follow, so a folder is opened once per run of its entries. The
// folder is the one its path led to when the run came to it.
class TEntryDeleter {
public:
    TEntryDeleter();
    ~TEntryDeleter();
    TEntryDeleter(const TEntryDeleter&) = delete;
    TEntryDeleter& operator=(const TEntryDeleter&) = delete;

    TEntryOutcome Delete(const std::filesystem::path& path, TEntryWanted wanted);

private:
    struct TState;
    std::unique_ptr<TState> FState;
};

} // namespace Platform

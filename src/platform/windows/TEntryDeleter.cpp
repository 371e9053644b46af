#include "platform/TEntryDeleter.h"

namespace Platform {

// Each entry is opened by its own handle here, as DeleteEntry does; nothing is kept
// between entries.
struct TEntryDeleter::TState {};

TEntryDeleter::TEntryDeleter() : FState(std::make_unique<TState>()) {}

TEntryDeleter::~TEntryDeleter() = default;

TEntryOutcome TEntryDeleter::Delete(const std::filesystem::path& path, TEntryWanted wanted) {
    return DeleteEntry(path, wanted);
}

} // namespace Platform

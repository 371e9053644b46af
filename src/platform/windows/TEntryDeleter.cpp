#include "platform/TEntryDeleter.h"

namespace Platform {

// Each entry is opened by its own handle here, as DeleteEntry does; nothing is kept
// between entries, so there is no state.
struct TEntryDeleter::TState {};

TEntryDeleter::TEntryDeleter() = default;

TEntryDeleter::~TEntryDeleter() = default;

TEntryOutcome TEntryDeleter::Delete(const std::filesystem::path& path, TEntryWanted wanted) {
    return DeleteEntry(path, wanted);
}

} // namespace Platform

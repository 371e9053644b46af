#include "platform/TEntryDeleter.h"

#include "platform/linux/TParentFolder.h"
#include "platform/linux/TStartEntry.h"

namespace Platform {

struct TEntryDeleter::TState {
    TParentFolder Parents;
};

TEntryDeleter::TEntryDeleter() : FState(std::make_unique<TState>()) {}

TEntryDeleter::~TEntryDeleter() = default;

TEntryOutcome TEntryDeleter::Delete(const std::filesystem::path& path, TEntryWanted wanted) {
    return TStartEntry(path, &FState->Parents).Delete(wanted);
}

} // namespace Platform

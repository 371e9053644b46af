#include "app/ProgramDir.h"

#include "platform/ProgramFolder.h"

std::filesystem::path ProgramDir;

std::filesystem::path ProgramFolderWithSeparator() {
    // Appending an empty name adds the separator and nothing else.
    return Platform::ProgramFolder() / "";
}

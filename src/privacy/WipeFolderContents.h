#pragma once

#include "platform/PrivacyPlaces.h"

#include <filesystem>

// Empties a folder, keeping the folder itself: every sub-folder goes with its whole tree,
// every other entry (files, links, sockets, ...) is deleted as a file. Links are removed
// as links, never followed. What cannot be deleted is passed over in silence; a folder
// that cannot be listed is left alone.
void WipeFolderContents(const std::filesystem::path& folder);

// The same, except that what inUse answers true for stays, and so does every folder on
// the way to it: such a folder is emptied around it instead of being removed.
void WipeFolderContents(const std::filesystem::path& folder, const Platform::TInUseProbe& inUse);

#pragma once

#include "platform/PrivacyPlaces.h"

#include <vector>

namespace Platform {

// The parts of this user's trash folders that emptying the trash clears: the home trash
// and the trash of every mounted volume ("$top/.Trash/$uid" only when "$top/.Trash" is a
// real folder with the sticky bit, and "$top/.Trash-$uid"). Only folders owned by this
// user are taken; links are never taken.
std::vector<TPrivacyPlace> TrashPlaces();

} // namespace Platform

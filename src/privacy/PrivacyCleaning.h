#pragma once

#include <functional>

class TSetting;
namespace Platform {
class IPrivacyRoutines;
}

// The progress bar's maximum while the privacy items are cleaned.
inline constexpr int PrivacyProgressMaximum = 9;

// Cleans every privacy item whose setting is on, in item order. The recent-documents
// routine serves items 3, 4 and 5, so it runs once for each of them that is on.
// progress gets the bar's position: 1 at the start, one more after each of items 0 to 7,
// and the maximum at the end. An error text of the recycle bin goes to the message box.
void CleanPrivacyItems(const TSetting& setting, Platform::IPrivacyRoutines& routines,
                       const std::function<void(int position)>& progress);

#pragma once

#include "clean/TScanCounters.h"
#include "core/AsciiCase.h"
#include "platform/Clock.h"

#include <cstdint>
#include <string>
#include <string_view>

// The texts the junk scan and the cleaning window show.

// "12345Byte".
std::string SizeText(int64_t size);

// The local date of a file time as month/day/year without leading zeros ("7/5/2003");
// empty when the time cannot be converted.
std::string DateText(Platform::TFileTime time);

// The caption while a folder is walked; folder ends with its separator.
std::string ScanCaptionText(const std::string& folder);

// Status panel 0 for each file examined.
std::string ScanningFileText(std::string_view name);

// Status panel 1 after each junk-type row.
std::string ScanStatusText(const TScanCounters& counters);

// Status panel 1 when a whole scan has ended.
std::string SummaryStatusText(const TScanCounters& counters);

// The message box after a whole scan. The line breaks are LF CR, in that order.
std::string SummaryMessageText(const TScanCounters& counters);

// Status panel 0 when a row could not be deleted.
std::string DeleteFailedText(const std::string& caption, const std::string& reason);

#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits a line in comma-text form: commas, blanks and control characters outside double
// quotes separate; a quoted text keeps its blanks and "" inside it stands for one quote;
// two commas in a row give an empty item.
std::vector<std::string> SplitCommaText(std::string_view text);

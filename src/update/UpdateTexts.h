#pragma once

#include <string>

// The update component's English texts, numbered 0..30.
const char* UpdateText(int index);

// printf-style filling of one of those texts.
std::string FormatUpdateText(int index, ...);

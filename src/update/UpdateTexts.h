#pragma once

#include <string>

// The update component's English texts, numbered 0..30, and ours after them.
const char* UpdateText(int index);

// Our texts, beside the component's own.
enum TUpdateTextNumber : int {
    utFileMismatch = 31,      // a file that fails its digest or size (file name)
    utNotCompleted = 32,      // files skipped or failed (title, failed count, file count)
    utNoDiskSpace = 33,       // not enough free space (needed KB, folder, free KB)
    utFolderNotWritable = 34, // the program's folder cannot be written (title, folder)
    utPackageManager = 35,    // a build without an update address (title)
    utCheckRunning = 36,      // "Online Update" while a check runs
};

// printf-style filling of one of those texts.
std::string FormatUpdateText(int index, ...);

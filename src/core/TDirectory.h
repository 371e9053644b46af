#pragma once

#include <string>

// One folder the junk scan walks: a drive root ("/" or "/home/" here, "C:\" on Windows,
// with its separator) or a folder the user chose (without a trailing separator).
class TDirectory {
public:
    TDirectory() = default;
    TDirectory(std::string path, bool includeSubDir, bool ifClean);

    // The folder as the file system's bytes.
    const std::string& Path() const { return FPath; }
    void SetPath(const std::string& value) { FPath = value; }
    // The scan descends into the folder's subfolders.
    bool IncludeSubDir() const { return FIncludeSubDir; }
    void SetIncludeSubDir(bool value) { FIncludeSubDir = value; }
    // The folder takes part in the scan.
    bool IfClean() const { return FIfClean; }
    void SetIfClean(bool value) { FIfClean = value; }

private:
    std::string FPath;
    bool FIncludeSubDir = false;
    bool FIfClean = false;
};

#pragma once

#include <string>

// One finding of the junk scan as the junk list shows it. Path keeps the file system's
// bytes of the entry, so the row acts on exactly what was found even when the shown text
// is lossy.
struct TJunkRow {
    std::string Path;
    // An empty-directory row; its caption carries the "<Dir>" marker.
    bool IsDirectory = false;
    std::string SizeText;
    std::string CreatedText;
    std::string LastWriteText;
    std::string LastAccessText;
    bool Checked = true;

    // The text of the first column: the path, followed by "<Dir>" for a directory.
    std::string Caption() const { return IsDirectory ? Path + "<Dir>" : Path; }
};

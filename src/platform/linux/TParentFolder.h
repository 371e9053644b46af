#pragma once

#include <string>

namespace Platform {

// The open folder that holds the entries being deleted, kept open while the entries that
// follow are in the same folder: a run over a long list of one folder's files opens it
// once instead of once per file. The folder is the one the first path of the run led to;
// a later swap of that path for a link does not move the run elsewhere.
class TParentFolder {
public:
    TParentFolder() = default;
    ~TParentFolder();
    TParentFolder(const TParentFolder&) = delete;
    TParentFolder& operator=(const TParentFolder&) = delete;

    // The folder named by text, opened as the path says (links on the way followed), or
    // the one already open under that text. -1 with errno set; the handle stays ours.
    int Open(const std::string& text);

private:
    std::string FText;
    int FFd = -1;
};

} // namespace Platform

#include "core/TDirectory.h"

#include <utility>

TDirectory::TDirectory(std::string path, bool includeSubDir, bool ifClean)
    : FPath(std::move(path)), FIncludeSubDir(includeSubDir), FIfClean(ifClean) {}

#pragma once

#include <string>

// One junk file type: a file name pattern such as "*.BAK", whether the scan looks for it,
// and a description shown beside the pattern.
class TGarbage {
public:
    TGarbage() = default;
    TGarbage(std::string garbageName, std::string memo, bool ifclean);

    const std::string& GarbageName() const { return FGarbageName; }
    void SetGarbageName(const std::string& value) { FGarbageName = value; }
    // True when the type takes part in the junk scan.
    bool Ifclean() const { return FIfclean; }
    void SetIfclean(bool value) { FIfclean = value; }
    const std::string& Memo() const { return FMemo; }
    void SetMemo(const std::string& value) { FMemo = value; }

private:
    std::string FGarbageName;
    bool FIfclean = false;
    std::string FMemo;
};

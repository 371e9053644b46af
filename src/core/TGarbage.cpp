#include "core/TGarbage.h"

#include <utility>

TGarbage::TGarbage(std::string garbageName, std::string memo, bool ifclean)
    : FGarbageName(std::move(garbageName)), FIfclean(ifclean), FMemo(std::move(memo)) {}

#pragma once

#include "platform/TDirWalker.h"

#include <functional>

namespace Platform {

// Lets a walker backend take a plain function as its visitor.
class TFunctionVisitor : public IDirVisitor {
public:
    explicit TFunctionVisitor(const std::function<TVisit(const TDirEntry&)>& f) : FOnEntry(f) {}
    TVisit OnEntry(const TDirEntry& entry) override { return FOnEntry(entry); }

private:
    const std::function<TVisit(const TDirEntry&)>& FOnEntry;
};

} // namespace Platform

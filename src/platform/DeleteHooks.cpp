#include "platform/DeleteHooks.h"

namespace Platform {

namespace {

TDescendHook& DescendHook() {
    static TDescendHook hook;
    return hook;
}

THomeLookup& AccountHomeLookup() {
    static THomeLookup lookup;
    return lookup;
}

} // namespace

const TDescendHook& CurrentDeleteHook() {
    return DescendHook();
}

void SetDeleteDescendHook(TDescendHook hook) {
    DescendHook() = std::move(hook);
}

const THomeLookup& CurrentAccountHomeLookup() {
    return AccountHomeLookup();
}

void SetAccountHomeLookup(THomeLookup lookup) {
    AccountHomeLookup() = std::move(lookup);
}

} // namespace Platform

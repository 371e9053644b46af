#include "core/IMessageBoxHook.h"

#include <iostream>

namespace {

// Before the window layer installs its hook (and in tools without windows) the text
// still reaches someone.
class TStderrMessageBox : public IMessageBoxHook {
public:
    void Show(const std::string& text, const std::string& title) override {
        std::cerr << (title.empty() ? std::string() : title + ": ") << text << '\n';
    }
};

std::unique_ptr<IMessageBoxHook>& HookSlot() {
    static std::unique_ptr<IMessageBoxHook> slot = std::make_unique<TStderrMessageBox>();
    return slot;
}

} // namespace

IMessageBoxHook& MessageBoxHook() { return *HookSlot(); }

std::unique_ptr<IMessageBoxHook> SetMessageBoxHook(std::unique_ptr<IMessageBoxHook> hook) {
    auto previous = std::move(HookSlot());
    HookSlot() = std::move(hook);
    return previous;
}

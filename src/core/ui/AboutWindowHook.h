#pragma once

#include <functional>

class QWidget;

// The about window belongs to the launcher, which is built on top of every other window;
// windows below it reach the about window through this hook, set once at start-up.
// Empty (nothing is shown) until then, as in window tests.
inline std::function<void(QWidget* owner)> ShowAboutWindow;

#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// An environment variable changed for one test: set to value, or unset when value is
// null, and put back as it was, value or absence, when the object goes. The code under
// test reads the environment itself, so a variable left changed would leak into the tests
// that run after this one.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const char* value) : TScopedEnv(name) {
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    // Only remembers the variable, for a test that changes it by other ways.
    explicit TScopedEnv(const char* name) : FName(name) {
        if (const char* old = std::getenv(name))
            FOld = old;
    }
    ~TScopedEnv() {
        if (FOld)
            setenv(FName.c_str(), FOld->c_str(), 1);
        else
            unsetenv(FName.c_str());
    }
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    std::string FName;
    std::optional<std::string> FOld;
};

#pragma once

#include <stdexcept>
#include <string>

// The error every engine raises for a failure the user is told about. Its text is the
// message shown, exactly; the application's error box shows it with the program title.
class EMorvaneError : public std::runtime_error {
public:
    explicit EMorvaneError(const std::string& message) : std::runtime_error(message) {}
};

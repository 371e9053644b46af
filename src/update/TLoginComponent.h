#pragma once

#include <string>

// Holds the credentials that requests use when their URL carries none.
class TLoginComponent {
public:
    virtual ~TLoginComponent() = default;

    const std::string& HTTPUsername() const { return FHTTPUsername; }
    void SetHTTPUsername(const std::string& value) { FHTTPUsername = value; }
    const std::string& HTTPPassword() const { return FHTTPPassword; }
    void SetHTTPPassword(const std::string& value) { FHTTPPassword = value; }

    // Both credentials scrambled into one text for storing with a form, and back. A text
    // that does not unscramble leaves the credentials empty.
    std::string LoginData() const;
    void SetLoginData(const std::string& data);

private:
    std::string FHTTPUsername;
    std::string FHTTPPassword;
};

#pragma once

#include <string>

// The parts of a URL as a request needs them.
struct THttpUrl {
    std::string Scheme; // lower case
    std::string Host;
    int Port = 0;
    std::string UserName;
    std::string Password;
    std::string Path;  // "/" when the URL has none
    std::string Extra; // query, with its "?"; the fragment is dropped

    // Splits a URL; "http://" is put in front of a text without "://".
    static THttpUrl Crack(const std::string& url);
    // The path of a "file" URL as a local path, with %XX escapes decoded.
    std::string LocalPath() const;
};

// The text with "http://" in front when it holds no "://".
std::string WithDefaultScheme(const std::string& url);

#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One file that an update information file offers.
struct TUpdateFileEntry {
    std::string URL;
    std::string KeySuffix; // "", "0", "1", ...: the url key it came from, for its hash key
    std::string Sha256;    // lower-case hex from the matching "#sha256" key; empty if none
    int64_t Size = -1;     // bytes, from the matching "#size" key; -1 if missing or no number

    // Both the size and a well-formed digest are there: only such a file may be fetched.
    bool Complete() const;
};

// Reads the keys of an update information file. A key is "#" + name + "=", found anywhere
// in the text whatever its letter case, first occurrence first; its value runs up to the
// first control character.
class TUpdateInfoFile {
public:
    explicit TUpdateInfoFile(std::string text);

    // The value of a key (name without "#" and "="); empty when the key is missing.
    std::string Value(const std::string& name) const;
    // The text between "#message={" and the next "}"; it may span lines.
    std::string Message() const;
    // "url" and "url0" when not empty, then "url" + k from k = count + 1 up to the first
    // empty value.
    std::vector<TUpdateFileEntry> Files() const;
    // 1 for an external setup program, 2 for a web page to open, else 0.
    int Method() const;
    // What keeps a file of the list from ever being accepted: for each file without a
    // 64-digit "#sha256" or a "#size" number, a line naming the missing key. Empty when
    // the list is complete.
    std::vector<std::string> Problems() const;

private:
    std::string::size_type Find(const std::string& key) const;

    std::string FText;
    std::string FLower;
};

#pragma once

#include <filesystem>
#include <string>

// A shell script that stands in for a program the code under test starts: it writes its
// command line to `record`, aside first and then renamed, so a test that waits for the file
// to appear never reads it half written.
inline std::string RecordingScript(const std::filesystem::path& record) {
    const std::string to = "'" + record.string() + "'";
    const std::string part = "'" + record.string() + ".part'";
    return "#!/bin/sh\necho \"$@\" > " + part + " && mv " + part + " " + to + "\n";
}

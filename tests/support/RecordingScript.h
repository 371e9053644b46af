#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>

// A shell script that stands in for a program the code under test starts: it writes its
// command line to `record`, aside first and then renamed, so a test that waits for the file
// to appear never reads it half written.
inline std::string RecordingScript(const std::filesystem::path& record) {
    const std::string to = "'" + record.string() + "'";
    const std::string part = "'" + record.string() + ".part'";
    return "#!/bin/sh\necho \"$@\" > " + part + " && mv " + part + " " + to + "\n";
}

// Waits, looking every 20 ms, until the file is there or limit has passed; whether it is.
// The program the test started runs on its own, so its record comes when it comes.
inline bool WaitForFile(const std::filesystem::path& file, std::chrono::milliseconds limit) {
    std::error_code ec;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!std::filesystem::exists(file, ec) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return std::filesystem::exists(file, ec);
}

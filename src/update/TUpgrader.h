#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The work of the upgrader program: after the program has ended, puts the downloaded
// ".uTMP" files beside it in place and starts the program (or a setup program) again.
class TUpgrader {
public:
    struct TCommand {
        std::filesystem::path Program; // the program file to restart
        std::string RestartText;       // its command line after the restart
        char Method = '0';             // '0' replace the program's files, '1' run a setup
    };

    // Reads "<program path> +<restart text><method digit>". The parts may come as separate
    // arguments (a path with blanks or "+" stays whole) or as one text split at the first
    // "+". nullopt without arguments or without "+".
    static std::optional<TCommand> ParseCommandLine(const std::vector<std::string>& args);

    // Waits until the file can be opened for writing (its program has ended), calling
    // idle between tries. False when the time ran out first.
    static bool WaitUntilWritable(const std::filesystem::path& file,
                                  std::chrono::milliseconds timeout,
                                  const std::function<void()>& idle);

    // Moves every ".uTMP" in the program's folder onto its target by renaming, so that
    // no target is ever missing or half written, and returns the program to start: the
    // setup program for method '1' when one came with the update, else the program.
    static std::filesystem::path InstallDownloads(const TCommand& command);

    // Deletes every ".uTMP" download in a folder.
    static void RemoveDownloads(const std::filesystem::path& folder);

    // The whole upgrade. start launches a program with one argument; infoBox shows the
    // upgrader's own information when there is no command line. Returns the exit code.
    static int
    Run(const std::vector<std::string>& args,
        const std::function<bool(const std::filesystem::path&, const std::string&)>& start,
        const std::function<void(const std::string&)>& infoBox, const std::function<void()>& idle,
        std::chrono::milliseconds timeout = std::chrono::minutes(2));

    // The text of the information box.
    static const char* InfoText();
};

#include "platform/linux/ExecLine.h"

#include <algorithm>
#include <optional>
#include <regex>
#include <set>

#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {

bool IsInterpreter(const std::string& name) {
    static const std::regex interpreter("(python|perl|ruby|node|nodejs|gjs|java|lua|php|tclsh|wish|"
                                        "mono|cli|Rscript|guile|sh|bash|dash|zsh|ksh)"
                                        "[0-9.]*");
    return std::regex_match(name, interpreter);
}

// Programs that start another program given as arguments, after their options.
bool IsWrapper(const std::string& name) {
    return name == "env" || name == "pkexec" || name == "sudo" || name == "nice" ||
           name == "ionice" || name == "taskset" || name == "gksu" || name == "gksudo" ||
           name == "kdesu";
}

// Programs that open a document, a link or another package's program: the entry's own
// package is the one of its desktop file.
bool IsLauncher(const std::string& name) {
    static const std::set<std::string> launchers{"xdg-open",
                                                 "sensible-browser",
                                                 "sensible-editor",
                                                 "sensible-terminal",
                                                 "sensible-pager",
                                                 "x-www-browser",
                                                 "www-browser",
                                                 "x-terminal-emulator",
                                                 "gio",
                                                 "gvfs-open",
                                                 "kde-open",
                                                 "kde-open5",
                                                 "kioclient",
                                                 "kioclient5",
                                                 "exo-open",
                                                 "gtk-launch",
                                                 "gnome-open",
                                                 "mimeopen",
                                                 "see",
                                                 "run-mailcap",
                                                 "flatpak",
                                                 "snap",
                                                 "wine",
                                                 "wine64",
                                                 "xdg-su",
                                                 "desktop-launch",
                                                 "gtk4-launch"};
    return launchers.count(name) != 0;
}

std::optional<fs::path> FindProgram(const std::string& name,
                                    const std::vector<fs::path>& searchPath) {
    if (name.find('/') != std::string::npos)
        return name[0] == '/' ? std::optional<fs::path>(name) : std::nullopt;
    for (const fs::path& folder : searchPath) {
        const fs::path candidate = folder / name;
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

// The same file under its other name where /bin, /sbin and /lib are links into /usr: the
// package database may know it under either.
std::optional<fs::path> MergedUsrAlias(const fs::path& path) {
    const std::string text = path.string();
    for (const char* top : {"/bin/", "/sbin/", "/lib/", "/lib32/", "/lib64/", "/libx32/"}) {
        if (text.rfind(top, 0) == 0)
            return fs::path("/usr" + text);
        if (text.rfind(std::string("/usr") + top, 0) == 0)
            return fs::path(text.substr(4));
    }
    return std::nullopt;
}

} // namespace

std::vector<std::string> ExecArguments(const std::string& exec) {
    std::string value;
    for (size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] != '\\' || i + 1 == exec.size()) {
            value += exec[i];
            continue;
        }
        switch (const char c = exec[++i]) {
        case 's':
            value += ' ';
            break;
        case 't':
            value += '\t';
            break;
        case 'n':
            value += '\n';
            break;
        case 'r':
            value += '\r';
            break;
        case '\\':
            value += '\\';
            break;
        default:
            value += {'\\', c}; // an escape of the quoting rules below
        }
    }
    std::vector<std::string> args;
    std::string arg;
    bool inArg = false, quoted = false;
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (quoted) {
            if (c == '\\' && i + 1 < value.size())
                arg += value[++i];
            else if (c == '"')
                quoted = false;
            else
                arg += c;
        } else if (c == ' ' || c == '\t') {
            if (inArg)
                args.push_back(arg);
            arg.clear();
            inArg = false;
        } else {
            inArg = true;
            if (c == '"')
                quoted = true;
            else
                arg += c;
        }
    }
    if (inArg)
        args.push_back(arg);
    std::vector<std::string> kept;
    for (const std::string& a : args)
        if (!(a.size() == 2 && a[0] == '%' &&
              std::string("fFuUdDnNickvm").find(a[1]) != std::string::npos))
            kept.push_back(a == "%%" ? "%" : a);
    return kept;
}

std::vector<fs::path> ExecOwnerCandidates(const std::string& exec,
                                          const std::vector<fs::path>& searchPath) {
    std::vector<std::string> args = ExecArguments(exec);
    size_t i = 0;
    // env's variables and options, pkexec's and sudo's options.
    while (i < args.size() && IsWrapper(fs::path(args[i]).filename().string())) {
        ++i;
        while (i < args.size() && (args[i][0] == '-' || args[i].find('=') != std::string::npos))
            ++i;
    }
    if (i >= args.size() || IsLauncher(fs::path(args[i]).filename().string()))
        return {};
    std::optional<fs::path> program = FindProgram(args[i], searchPath);
    if (program && IsInterpreter(program->filename().string())) {
        // The script is the program: "python3 /usr/share/x/x.py", "java -jar /opt/x/x.jar".
        program.reset();
        for (size_t j = i + 1; j < args.size(); ++j) {
            const std::string& a = args[j];
            if (a == "-c" || a == "-e" || a == "-m")
                break; // a command line or a module: no file of its own
            if (a[0] == '-')
                continue;
            if (a[0] == '/')
                program = fs::path(a);
            break;
        }
    }
    if (!program)
        return {};
    std::vector<fs::path> candidates;
    const auto add = [&](const std::optional<fs::path>& p) {
        if (p && std::find(candidates.begin(), candidates.end(), *p) == candidates.end())
            candidates.push_back(*p);
    };
    // A link such as /usr/bin/vim -> /etc/alternatives/vim -> /usr/bin/vim.basic belongs to
    // no package; the file it leads to does.
    std::error_code ec;
    const fs::path real = fs::canonical(*program, ec);
    if (!ec)
        add(real);
    add(*program);
    if (!ec)
        add(MergedUsrAlias(real));
    add(MergedUsrAlias(*program));
    return candidates;
}

} // namespace Platform

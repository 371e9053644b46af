// Signs update information files for publishing, and makes the key pair they are signed
// with. The secret key file never leaves the publisher's machine; the public key is built
// into the program (CMake setting MORVANE_UPDATE_PUBLIC_KEY).
#include "update/TUpdateInfoFile.h"
#include "update/TUpdateSignature.h"
#include "update/UpdateCrypto.h"

#include "core/EMorvaneError.h"
#include "platform/FileIo.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::cerr << "usage:\n"
                 "  morvane-sign-update keygen <secret key file> <public key file>\n"
                 "  morvane-sign-update hash <file>...      (digest and size of each)\n"
                 "  morvane-sign-update sign <secret key file> <information file> [<output>]\n";
    return 2;
}

std::string ReadOrThrow(const std::string& path) {
    std::string error;
    auto bytes = Platform::ReadWholeFile(path, &error);
    if (!bytes)
        throw EMorvaneError("Cannot read " + path + ": " + error);
    return *bytes;
}

void WriteOrThrow(const std::string& path, const std::string& bytes) {
    auto error = Platform::WriteFileAtomically(path, bytes);
    if (!error.empty())
        throw EMorvaneError("Cannot write " + path + ": " + error);
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

int Run(const std::vector<std::string>& args) {
    if (args.size() == 3 && args[0] == "keygen") {
        std::string publicKey;
        std::string secretKey;
        if (!UpdateCrypto::GenerateKeyPair(publicKey, secretKey))
            throw EMorvaneError("Cannot make a key pair.");
        WriteOrThrow(args[1], TUpdateSignature::ToBase64(secretKey) + "\n");
        WriteOrThrow(args[2], TUpdateSignature::ToBase64(publicKey) + "\n");
        std::cout << TUpdateSignature::ToBase64(publicKey) << "\n";
        return 0;
    }
    if (args.size() >= 2 && args[0] == "hash") {
        for (std::size_t i = 1; i < args.size(); ++i) {
            auto hash = TUpdateSignature::FileHash(args[i]);
            std::error_code ec;
            const auto size = std::filesystem::file_size(args[i], ec);
            if (hash.empty() || ec)
                throw EMorvaneError("Cannot read " + args[i]);
            // The two values of the file's "#sha256" and "#size" keys.
            std::cout << hash << "  " << size << "  " << args[i] << "\n";
        }
        return 0;
    }
    if ((args.size() == 3 || args.size() == 4) && args[0] == "sign") {
        const auto key = FirstLine(ReadOrThrow(args[1]));
        const auto info = ReadOrThrow(args[2]);
        // A file the program would refuse is not signed at all.
        const auto problems = TUpdateInfoFile(info).Problems();
        if (!problems.empty()) {
            std::string text = args[2] + " is not complete:";
            for (const auto& problem : problems)
                text += "\n  " + problem;
            throw EMorvaneError(text);
        }
        const auto signed_ = TUpdateSignature::Sign(info, key);
        WriteOrThrow(args.size() == 4 ? args[3] : args[2], signed_);
        return 0;
    }
    return Usage();
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
}

// MakeManifest: writes "UpdateNew.xml" for a release folder.
//
//   MakeManifest --root <release folder> --base-url <http://server/path>
//                [--out <file>] [--register <relative path>]...
//                [--windows-dir <relative path>]... [--system-dir <relative path>]...
//                [--sign <minisign secret key file>]
//
// Relative paths use '/' and name files below the root. The output defaults
// to <root>/UpdateNew.xml, which is itself left out of the manifest. With
// --sign, the signature goes to the output's name plus ".minisig" (also left
// out); the password of an encrypted key comes from MAKEMANIFEST_KEY_PASSWORD
// or is asked for on the terminal.
#include "ManifestSigner.h"
#include "ManifestWriter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

int Usage() {
    std::cerr << "usage: MakeManifest --root DIR --base-url URL [--out FILE]\n"
                 "                    [--register REL]... [--windows-dir REL]... "
                 "[--system-dir REL]...\n"
                 "                    [--sign SECRET_KEY_FILE]\n";
    return 2;
}

// The password of an encrypted secret key: from the environment, else typed without echo.
std::string KeyPassword() {
    if (const char* fromEnvironment = std::getenv("MAKEMANIFEST_KEY_PASSWORD"))
        return fromEnvironment;
    std::cerr << "Password of the secret key: " << std::flush;
#ifdef _WIN32
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    const bool console = GetConsoleMode(input, &mode) != 0;
    if (console)
        SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
#else
    termios saved = {};
    const bool console = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (console) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
#endif
    std::string password;
    std::getline(std::cin, password);
#ifdef _WIN32
    if (console)
        SetConsoleMode(input, mode);
#else
    if (console)
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
#endif
    std::cerr << "\n";
    if (!password.empty() && password.back() == '\r')
        password.pop_back();
    return password;
}

std::string ReadTextFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.u8string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteTextFile(const fs::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.write(text.data(), static_cast<std::streamsize>(text.size())))
        throw std::runtime_error("cannot write " + path.u8string());
}

} // namespace

int main(int argc, char** argv) {
    ManifestOptions options;
    fs::path out;
    fs::path secretKey;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (i + 1 >= argc)
            return Usage();
        const std::string value = argv[++i];
        if (flag == "--root")
            options.root = fs::u8path(value);
        else if (flag == "--base-url")
            options.baseUrl = value;
        else if (flag == "--out")
            out = fs::u8path(value);
        else if (flag == "--register")
            options.registered.insert(value);
        else if (flag == "--windows-dir")
            options.windowsFolder.insert(value);
        else if (flag == "--system-dir")
            options.systemFolder.insert(value);
        else if (flag == "--sign")
            secretKey = fs::u8path(value);
        else
            return Usage();
    }
    if (options.root.empty() || options.baseUrl.empty())
        return Usage();
    if (out.empty())
        out = options.root / "UpdateNew.xml";

    fs::path signature = out;
    signature += ".minisig";
    std::error_code error;
    const fs::path rootAbsolute = fs::weakly_canonical(options.root, error);
    for (const fs::path& written : {out, signature}) {
        const fs::path inside =
            fs::weakly_canonical(written, error).lexically_relative(rootAbsolute);
        if (!inside.empty() && *inside.begin() != "..")
            options.excluded.insert(inside.generic_u8string());
    }

    try {
        // The key first: a wrong password costs no walk over the release.
        MinisignSecretKey key = {};
        if (!secretKey.empty())
            key = ReadSecretKey(ReadTextFile(secretKey), KeyPassword);
        const std::vector<ManifestEntry> entries = CollectEntries(options);
        const std::string xml = WriteManifest(entries, options.baseUrl);
        WriteTextFile(out, xml);
        std::cout << entries.size() << " files in " << out.u8string() << "\n";
        if (!secretKey.empty()) {
            const std::string comment = "timestamp:" + std::to_string(std::time(nullptr)) +
                                        "\tfile:" + out.filename().u8string() + "\thashed";
            WriteTextFile(signature, SignManifest(key, xml, comment));
            std::cout << "signature in " << signature.u8string() << "\n";
        }
    } catch (const std::exception& failure) {
        std::cerr << "MakeManifest: " << failure.what() << "\n";
        return 1;
    }
    return 0;
}

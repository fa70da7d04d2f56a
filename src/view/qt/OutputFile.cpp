#include "view/qt/OutputFile.h"

#include "platform/TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace kyklos {

namespace {

namespace fs = std::filesystem;

// Where the bytes are written, and the name they end under.
struct Destination {
    std::string Writing;
    std::string Final;
    bool Replaced() const { return Writing != Final; }
};

Destination DestinationOf(const std::string& path)
{
    std::error_code code;
    const fs::file_status status = fs::status(path, code); // through a link
    if (!code && fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status))
        return {path, path}; // a device or a pipe cannot be replaced
    std::string final = path;
    if (fs::is_symlink(fs::symlink_status(path, code)) && fs::exists(status)) {
        const fs::path target = fs::canonical(path, code);
        if (!code) final = target.string();
    }
    return {final + ".part", final};
}

} // namespace

bool OpenOutputFile(const std::string& path, QFile& file, std::string& error)
{
    std::error_code code;
    errno = 0;
    std::FILE* handle = nullptr;
    const Destination destination = DestinationOf(path);
    if (std::filesystem::is_directory(path, code))
        errno = EISDIR;
    else
        handle = std::fopen(destination.Writing.c_str(), "wb");
    if (!handle) {
        const int reason = errno;
        error = "cannot write " + DisplayText(path) + (reason != 0 ? std::string(": ") + std::strerror(reason) : "");
        return false;
    }
    if (!file.open(handle, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        std::fclose(handle);
        if (destination.Replaced()) std::remove(destination.Writing.c_str());
        error = "cannot write " + DisplayText(path);
        return false;
    }
    return true;
}

bool FinishOutputFile(const std::string& path, QFile& file, bool keep)
{
    const Destination destination = DestinationOf(path);
    if (keep && !file.flush()) keep = false;
    file.close();
    if (keep && file.error() != QFileDevice::NoError) keep = false;
    if (!destination.Replaced()) return keep;
    if (keep && std::rename(destination.Writing.c_str(), destination.Final.c_str()) == 0) return true;
    std::remove(destination.Writing.c_str());
    return false;
}

std::string LowerExtension(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace kyklos

#include "view/qt/OutputFile.h"

#include "platform/TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace kyklos {

bool OpenOutputFile(const std::string& path, QFile& file, std::string& error)
{
    std::error_code code;
    errno = 0;
    std::FILE* handle = nullptr;
    if (std::filesystem::is_directory(path, code))
        errno = EISDIR;
    else
        handle = std::fopen(path.c_str(), "wb");
    if (!handle) {
        const int reason = errno;
        error = "cannot write " + DisplayText(path) + (reason != 0 ? std::string(": ") + std::strerror(reason) : "");
        return false;
    }
    if (!file.open(handle, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        std::fclose(handle);
        std::remove(path.c_str());
        error = "cannot write " + DisplayText(path);
        return false;
    }
    return true;
}

bool FinishOutputFile(const std::string& path, QFile& file, bool keep)
{
    if (keep && !file.flush()) keep = false;
    file.close();
    if (!keep) std::remove(path.c_str());
    return keep;
}

std::string LowerExtension(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace kyklos

#include "platform/PathParts.h"

#include <filesystem>
#include <system_error>

namespace kyklos {

PathParts SplitPath(std::string_view path)
{
    PathParts parts;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive = std::string(path.substr(0, 2));
        path.remove_prefix(2);
    }
    const auto slash = path.find_last_of("/\\");
    std::string_view last = path;
    if (slash != std::string_view::npos) {
        parts.directory = std::string(path.substr(0, slash + 1));
        last = path.substr(slash + 1);
    }
    const auto dot = last.find_last_of('.');
    if (dot != std::string_view::npos) {
        parts.name = std::string(last.substr(0, dot));
        parts.extension = std::string(last.substr(dot));
    } else {
        parts.name = std::string(last);
    }
    return parts;
}

std::string CurrentDirectory()
{
    std::error_code error;
    auto dir = std::filesystem::current_path(error);
    if (error) return {};
    return dir.string();
}

} // namespace kyklos

#include "platform/DataFiles.h"

#include <algorithm>
#include <iterator>
#include <system_error>

namespace kyklos {

namespace fs = std::filesystem;

namespace {

// True when path names something inside folder (after resolving "..", links
// and relative parts as far as they exist).
bool IsInside(const fs::path& path, const fs::path& folder)
{
    std::error_code error;
    const fs::path p = fs::weakly_canonical(path, error);
    if (error) return false;
    const fs::path f = fs::weakly_canonical(folder, error);
    if (error || f.empty()) return false;
    // A trailing separator leaves an empty last element; compare the named parts only.
    auto fEnd = f.end();
    if (fEnd != f.begin() && std::prev(fEnd)->empty()) --fEnd;
    const auto mismatch = std::mismatch(f.begin(), fEnd, p.begin(), p.end());
    return mismatch.first == fEnd;
}

} // namespace

fs::path ExecutablePath()
{
    std::error_code error;
    fs::path path = fs::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return path;
}

std::vector<fs::path> DataSearchPath(const fs::path& executable, const fs::path& buildTree, const fs::path& resources)
{
    std::vector<fs::path> folders{fs::path()};
    if (!executable.empty()) folders.push_back(executable.parent_path().parent_path() / "share" / "kyklos");
    if (!executable.empty() && !buildTree.empty() && !resources.empty() && IsInside(executable, buildTree))
        folders.push_back(resources);
    return folders;
}

std::vector<fs::path> DataSearchPath()
{
#if defined(KYKLOS_BUILD_TREE_DIR) && defined(KYKLOS_BUILD_RESOURCES_DIR)
    return DataSearchPath(ExecutablePath(), KYKLOS_BUILD_TREE_DIR, KYKLOS_BUILD_RESOURCES_DIR);
#else
    return DataSearchPath(ExecutablePath(), {}, {});
#endif
}

std::string FindDataFile(std::string_view name, const std::vector<fs::path>& folders)
{
    for (const fs::path& folder : folders) {
        const fs::path candidate = folder / name;
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return candidate.string();
    }
    return std::string(name);
}

std::string FindDataFile(std::string_view name) { return FindDataFile(name, DataSearchPath()); }

} // namespace kyklos

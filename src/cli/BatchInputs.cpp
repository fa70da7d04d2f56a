#include "cli/BatchInputs.h"

#include "io/TableReader.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

namespace kyklos {

namespace fs = std::filesystem;

bool HasProfileExtension(const std::string& name)
{
    if (name.size() < 4) return false;
    const std::string tail = name.substr(name.size() - 4);
    return tail[0] == '.' && (tail[1] | 0x20) == 'k' && (tail[2] | 0x20) == 'y' && (tail[3] | 0x20) == 'k';
}

namespace {

// The profiles below one folder named on the command line. A folder that
// cannot be listed is a failed input of its own; the others are still listed.
class FolderWalk {
public:
    FolderWalk(bool recursive, bool tables) : recursive_(recursive), tables_(tables) {}

    void Walk(const fs::path& folder)
    {
        std::error_code error;
        // A link that leads back up the tree names a folder already listed: each real folder once.
        const fs::path real = fs::canonical(folder, error);
        if (!error && !visited_.insert(real).second) return;
        std::vector<fs::path> subfolders;
        fs::directory_iterator it(folder, error), end;
        for (; !error && it != end; it.increment(error)) Consider(*it, subfolders);
        if (error) found_.push_back({folder.string(), kUnreadableFolderMessage});
        if (!recursive_) return;
        std::sort(subfolders.begin(), subfolders.end());
        for (const fs::path& subfolder : subfolders) Walk(subfolder);
    }

    // Sorted by their path's bytes, a folder that failed among its files.
    std::vector<BatchInput> Found()
    {
        std::sort(found_.begin(), found_.end(),
                  [](const BatchInput& a, const BatchInput& b) { return a.Path < b.Path; });
        return std::move(found_);
    }

private:
    void Consider(const fs::directory_entry& entry, std::vector<fs::path>& subfolders)
    {
        std::error_code error;
        if (entry.is_directory(error)) { // a link to a folder is a folder
            subfolders.push_back(entry.path());
            return;
        }
        const std::string name = entry.path().filename().string();
        if (!HasProfileExtension(name) && !(tables_ && IsTableFileName(name))) return;
        // A dangling link (or one that cannot be followed) goes to the reader,
        // which refuses it as it refuses a missing file; devices and pipes are left out.
        if (entry.is_regular_file(error) || !entry.exists(error)) found_.push_back({entry.path().string(), {}});
    }

    bool recursive_;
    bool tables_;
    std::set<fs::path> visited_;
    std::vector<BatchInput> found_;
};

void AddInput(const std::string& name, bool recursive, bool tables, std::vector<BatchInput>& inputs)
{
    std::error_code error;
    if (!fs::is_directory(name, error)) {
        inputs.push_back({name, {}}); // a name that is no file gets the reader's own message
        return;
    }
    FolderWalk walk(recursive, tables);
    walk.Walk(name);
    for (BatchInput& input : walk.Found()) inputs.push_back(std::move(input));
}

} // namespace

std::vector<BatchInput> ExpandInputs(const std::vector<std::string>& arguments, bool recursive, std::istream& list,
                                     char separator, bool tables)
{
    std::vector<BatchInput> inputs;
    for (const std::string& argument : arguments) {
        if (argument != "-") {
            AddInput(argument, recursive, tables, inputs);
            continue;
        }
        std::string name;
        while (std::getline(list, name, separator)) {
            if (separator == '\n' && !name.empty() && name.back() == '\r') name.pop_back();
            if (!name.empty()) AddInput(name, recursive, tables, inputs);
        }
    }
    return inputs;
}

} // namespace kyklos

#include "cli/BatchInputs.h"

#include <algorithm>
#include <filesystem>
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

// The profiles of one folder, sorted by their path's bytes.
void AddFolder(const std::string& folder, bool recursive, std::vector<BatchInput>& inputs)
{
    std::vector<std::string> found;
    std::error_code error;
    auto consider = [&](const fs::directory_entry& entry) {
        std::error_code e;
        if (entry.is_regular_file(e) && HasProfileExtension(entry.path().filename().string()))
            found.push_back(entry.path().string());
    };
    if (recursive) {
        fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
        for (; !error && it != end; it.increment(error)) consider(*it);
    } else {
        fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
        for (; !error && it != end; it.increment(error)) consider(*it);
    }
    if (error) {
        inputs.push_back({folder, "Cannot read the folder."});
        return;
    }
    std::sort(found.begin(), found.end());
    for (auto& path : found) inputs.push_back({std::move(path), {}});
}

void AddInput(const std::string& name, bool recursive, std::vector<BatchInput>& inputs)
{
    std::error_code error;
    if (fs::is_directory(name, error))
        AddFolder(name, recursive, inputs);
    else
        inputs.push_back({name, {}});  // a name that is no file gets the reader's own message
}

} // namespace

std::vector<BatchInput> ExpandInputs(const std::vector<std::string>& arguments, bool recursive, std::istream& list)
{
    std::vector<BatchInput> inputs;
    for (const std::string& argument : arguments) {
        if (argument != "-") {
            AddInput(argument, recursive, inputs);
            continue;
        }
        std::string line;
        while (std::getline(list, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) AddInput(line, recursive, inputs);
        }
    }
    return inputs;
}

} // namespace kyklos

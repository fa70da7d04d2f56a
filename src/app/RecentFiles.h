#pragma once
// The File menu's list of recently opened profiles: up to four full paths,
// the latest first. Paths are kept as the file system's bytes, so that a
// name in any encoding opens the same file again in a later run.

#include <QString>

#include <string>
#include <vector>

class QSettings;

namespace kyklos {

class RecentFiles {
public:
    static constexpr int kCapacity = 4;

    // Puts path at the top; an earlier entry of the same path goes, and so
    // does the oldest beyond four. An empty path is not added.
    void Add(const std::string& path);
    // Takes path out of the list; false when it was not in it.
    bool Remove(const std::string& path);
    const std::vector<std::string>& Paths() const { return paths_; }

    // The menu caption of the entry at index (from 0): "&1 shaft.kyk", the
    // file's name without its folder, or "&1 shaft.kyk (/data/a)" with it
    // when another entry has the same name; an '&' in the text is doubled so
    // that it shows instead of marking a mnemonic.
    QString Caption(std::size_t index) const;
    // The status-bar prompt of that entry: its full path.
    QString Prompt(std::size_t index) const;

    // The list as a settings store keeps it. Entries that are empty, repeated
    // or beyond four are left out, and no more than four places are read
    // whatever count the store gives; a damaged store gives a shorter list.
    // (Non-const: QSettings reads an array through its group cursor.)
    static RecentFiles Load(QSettings& store);
    // An empty list takes the list out of the store.
    void Save(QSettings& store) const;

    bool operator==(const RecentFiles&) const = default;

private:
    std::vector<std::string> paths_;
};

// True when path names a regular file that can be opened for reading, as the
// profile reader opens it.
bool CanOpenProfileFile(const std::string& path);

// path made absolute against the current folder, as bytes; path itself when
// that fails. A name from the command line must still find its file when a
// later run starts elsewhere.
std::string AbsoluteFilePath(const std::string& path);

} // namespace kyklos

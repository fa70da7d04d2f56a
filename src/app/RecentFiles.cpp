#include "app/RecentFiles.h"

#include "io/RegularFile.h"
#include "platform/PathParts.h"
#include "platform/TextEncoding.h"

#include <QByteArray>
#include <QSettings>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace kyklos {

namespace {

const QString kGroup = QStringLiteral("RecentFiles");
const QString kPathKey = QStringLiteral("Path");

QString Text(const std::string& bytes) { return QString::fromStdString(DisplayText(bytes)); }

} // namespace

void RecentFiles::Add(const std::string& path)
{
    if (path.empty()) return;
    Remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > static_cast<std::size_t>(kCapacity)) paths_.resize(kCapacity);
}

bool RecentFiles::Remove(const std::string& path)
{
    const auto found = std::find(paths_.begin(), paths_.end(), path);
    if (found == paths_.end()) return false;
    paths_.erase(found);
    return true;
}

QString RecentFiles::Caption(std::size_t index) const
{
    const auto nameOf = [](const std::string& path) {
        const PathParts parts = SplitPath(path);
        return parts.name + parts.extension;
    };
    const std::string name = nameOf(paths_.at(index));
    QString text = Text(name);
    const auto sameName = [&](const std::string& other) { return nameOf(other) == name; };
    if (std::count_if(paths_.begin(), paths_.end(), sameName) > 1) {
        const PathParts parts = SplitPath(paths_[index]);
        std::string folder = parts.drive + parts.directory;
        // The folder without its closing separator, unless it is the root.
        if (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
        text += QStringLiteral(" (%1)").arg(Text(folder));
    }
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(QString::number(index + 1), text);
}

QString RecentFiles::Prompt(std::size_t index) const { return Text(paths_.at(index)); }

RecentFiles RecentFiles::Load(QSettings& store)
{
    RecentFiles list;
    // A damaged count (size=2147483647) must not keep start-up waiting.
    const int size = std::min(store.beginReadArray(kGroup), kCapacity);
    for (int i = 0; i < size; ++i) {
        store.setArrayIndex(i);
        const QVariant value = store.value(kPathKey);
        // Written as bytes; a hand-edited text is taken as its UTF-8.
        if (value.typeId() != QMetaType::QByteArray && value.typeId() != QMetaType::QString) continue;
        const std::string path = value.toByteArray().toStdString();
        if (path.empty() || std::find(list.paths_.begin(), list.paths_.end(), path) != list.paths_.end()) continue;
        list.paths_.push_back(path);
    }
    store.endArray();
    return list;
}

void RecentFiles::Save(QSettings& store) const
{
    // Remove first: a shorter list must not leave old entries behind it.
    store.remove(kGroup);
    if (paths_.empty()) return;
    store.beginWriteArray(kGroup, static_cast<int>(paths_.size()));
    for (std::size_t i = 0; i < paths_.size(); ++i) {
        store.setArrayIndex(static_cast<int>(i));
        store.setValue(kPathKey, QByteArray::fromStdString(paths_[i]));
    }
    store.endArray();
}

bool CanOpenProfileFile(const std::string& path)
{
    std::FILE* file = OpenRegularFile(path);
    if (!file) return false;
    std::fclose(file);
    return true;
}

std::string AbsoluteFilePath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::path(path), error);
    return error ? path : absolute.string();
}

} // namespace kyklos

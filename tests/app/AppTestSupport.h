#pragma once
// Helpers of the application's widget tests: a progress port that counts the
// analyses it sees, the modal-window driver, profile files on disk, and a
// settings store of the test program's own.

#include "ModalDriver.h"
#include "platform/ProgressPort.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

namespace kyklos::test {

// Every analysis runs the filter, and every filter run asks for the display:
// Show counts analyses. Never shown, so the filter runs to its end.
class CountingProgress final : public ProgressPort {
public:
    bool Show(std::string_view, std::string_view) override
    {
        ++Shown;
        return false;
    }
    void SetPos(int) override {}
    void PumpMessage() override {}
    bool IsActive() const override { return false; }
    void Close() override {}
    int Shown = 0;
};

// The modal-window driver shared by all widget tests.
using ::AnswerNextMessageBox;
using ::WhenModal;

// Points every QSettings of the test program at a temporary folder of its
// own, so that no test reads or writes the user's settings.
inline void UseTemporarySettings()
{
    static QTemporaryDir folder;
    QStandardPaths::setTestModeEnabled(true);
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, folder.filePath(QStringLiteral("user")));
        QSettings::setPath(format, QSettings::SystemScope, folder.filePath(QStringLiteral("system")));
    }
}

inline std::string WriteFile(const QTemporaryDir& dir, const char* name, const std::string& content)
{
    const std::string path = dir.filePath(QString::fromLatin1(name)).toStdString();
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

// A file under a name given as the file system's bytes ("caf\xE9.kyk": café
// in Latin-1), removed at the end of its scope: QTemporaryDir cannot see a
// name that is not UTF-8, so it would leave it behind.
struct FileNamedBytes {
    FileNamedBytes(const QTemporaryDir& dir, const std::string& name, const std::string& content)
        : path(QFile::encodeName(dir.path()).toStdString() + "/" + name)
    {
        std::ofstream(path, std::ios::binary) << content;
    }
    ~FileNamedBytes() { std::remove(path.c_str()); }
    FileNamedBytes(const FileNamedBytes&) = delete;
    FileNamedBytes& operator=(const FileNamedBytes&) = delete;
    const std::string path;
};

// A valid profile of `count` points: a circle of 10 mm with a 3-lobe form error.
inline std::string ProfileText(int count)
{
    std::string text =
        "KYKLOS_DATA 1.0\nIDENTIFICATION: Test shaft\nDATE: 01 Jan 2024\nNUMBER_OF_POINTS: " + std::to_string(count) +
        "\nPROFILE_UM:\n";
    for (int i = 0; i < count; ++i)
        text += std::to_string(10000.0 + 2.0 * std::sin(3.0 * 6.283185307179586 * i / count)) + "\n";
    return text;
}

} // namespace kyklos::test

#pragma once
// The "Options" dialog of View ▸ Options: the conveniences Kyklos offers
// beyond its one-page report, each a check box, all off by default.

#include "app/AppSettings.h"

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace kyklos {

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(const AppOptions& options, QWidget* parent = nullptr);

    // The options as the check boxes hold them.
    AppOptions Options() const;

    QCheckBox* RecentFilesBox() const { return recentFiles_; }
    QCheckBox* RestoreSettingsBox() const { return restoreSettings_; }
    QCheckBox* PrintEvaluationPageBox() const { return printEvaluationPage_; }
    QPushButton* OkButton() const { return ok_; }

private:
    QCheckBox* recentFiles_ = nullptr;
    QCheckBox* restoreSettings_ = nullptr;
    QCheckBox* printEvaluationPage_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// Runs the dialog on `options`; true when OK changed them (options then holds the new ones).
bool RunOptionsCommand(QWidget* parent, AppOptions& options);

} // namespace kyklos

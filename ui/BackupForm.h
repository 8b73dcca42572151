#pragma once
// The register's backups: the list (date, register, counts), a new backup of a PLU range, and
// restoring the chosen one. The flows themselves are the main window's.

#include "Backup.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

class TBackupForm : public QDialog {
    Q_OBJECT
public:
    explicit TBackupForm(QWidget* parent = nullptr);

    // Lists the backups of root and shows the window until it is closed: ready to back up, or
    // with the newest backup chosen for a restore. Blocks the main window only, so the progress
    // window of a flow stays within reach.
    void Execute(const std::string& root, bool restoring);

    // Makes a backup of the range (the main window's flow).
    std::function<TFlowOutcome(int rangeBegin, int rangeEnd, TBackupInfo& made)> backUp;
    // Restores the backup (asks, runs the flow); what became of it, for the window.
    std::function<QString(const TBackupInfo&)> restore;

    void BackupClick();
    void RestoreClick();
    const std::vector<TBackupInfo>& Backups() const { return backups_; }
    // The chosen row's backup, or none.
    const TBackupInfo* Chosen() const;

private:
    void Refresh(const std::string& chooseFolder);
    void UpdateButtons();

    std::string root_;
    std::vector<TBackupInfo> backups_;
    QLabel* folderLabel_;
    QTableWidget* list_;
    QLabel* outcomeLabel_;
    QSpinBox* fromEdit_;
    QSpinBox* toEdit_;
    QPushButton* backupBtn_;
    QPushButton* restoreBtn_;
    QPushButton* closeBtn_;
};

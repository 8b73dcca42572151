#pragma once
// Communication, "Registers...": the shop's registers with their ports, rates, groups and own
// documents; adding (with detection on the free ports), renaming, removing, groups, and "Test
// all", which tests every register at once and shows whether each answers, the identification
// it gave and its last contact.

#include "RegisterList.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QPushButton;
class QTableWidget;
class TAddRegisterDlg;
class TJobRunner;

class TRegistersDlg : public QDialog {
    Q_OBJECT
public:
    enum Column { Name, Port, Rate, Groups, Document, Status, Identification, LastContact };

    explicit TRegistersDlg(QWidget* parent = nullptr);
    ~TRegistersDlg() override;

    // Reads the list again and shows it modally. New registers start from `settings`.
    void Execute(const std::string& settings);
    const TRegisterList& List() const { return list_; }
    void Refresh();

    void AddClick();
    void RenameClick();
    void RemoveClick();
    void GroupsClick();
    void DocumentClick();
    void TestAllClick();

    // quorve-plu-cli and what every job adds to its command (the history file).
    QString cliPath;
    QStringList commonArgs;
    // The list changed (a register added, renamed or removed): the main window's chooser.
    std::function<void(const std::string& renamedFrom, const std::string& renamedTo)> listChanged;
    // When the journal last saw the register; empty where it never did.
    std::function<QString(const TRegister& reg)> lastContact;
    // Questions, replaceable by tests: a text (nullopt: cancelled), yes or no, a document for a
    // register that has `current` (empty: cancelled; "-": none).
    std::function<std::optional<QString>(const QString& label, const QString& text)> askText;
    std::function<bool(const QString& question)> askYes;
    std::function<QString(const QString& current)> chooseDocument;

    TAddRegisterDlg* AddDlg = nullptr;
    QTableWidget* Table = nullptr;
    QPushButton* AddBtn = nullptr;
    QPushButton* RenameBtn = nullptr;
    QPushButton* RemoveBtn = nullptr;
    QPushButton* GroupsBtn = nullptr;
    QPushButton* DocumentBtn = nullptr;
    QPushButton* TestAllBtn = nullptr;
    QPushButton* CloseBtn = nullptr;
    // Running "Test all" (null when none runs).
    TJobRunner* Tests() const { return tests_.get(); }

protected:
    void reject() override;

private:
    const TRegister* Current() const;
    void Tell(const std::string& problem);
    void UpdateButtons();
    void ShowTest(int job);

    TRegisterList list_;
    std::string settings_;
    std::map<std::string, QString> status_; // by register: what its last test said
    std::unique_ptr<TJobRunner> tests_;
};

#pragma once
// "Registers:": a check box for every register of the list and one for every group, which ticks
// or clears its registers. Shown only when the list has entries.

#include "RegisterList.h"

#include <QDialog>
#include <QGroupBox>

#include <string>
#include <vector>

class QCheckBox;
class QGridLayout;

class TRegisterPicker : public QGroupBox {
    Q_OBJECT
public:
    explicit TRegisterPicker(QWidget* parent = nullptr);

    // Fills the boxes from the list. The ticks of the last use stay while the list is the same;
    // otherwise only `chosen` is ticked.
    void SetRegisters(const TRegisterList& list, const std::string& chosen);
    // The ticked registers' names, in the list's order.
    std::vector<std::string> Ticked() const;
    void SetTicked(const std::vector<std::string>& names);
    QCheckBox* RegisterBox(const std::string& name) const;
    QCheckBox* GroupBox(const std::string& group) const;

signals:
    void TickedChanged();

private:
    void GroupToggled(size_t group, bool on);
    void ShowGroupStates();

    QGridLayout* grid_;
    std::vector<TRegister> registers_;
    std::vector<std::string> groups_;
    std::vector<QCheckBox*> registerBoxes_;
    std::vector<QCheckBox*> groupBoxes_;
    bool updating_ = false;
};

// Choosing registers for a command without a dialog of its own (reports, backups).
class TRegisterPickDlg : public QDialog {
    Q_OBJECT
public:
    explicit TRegisterPickDlg(QWidget* parent = nullptr);
    // True on OK with at least one register ticked.
    bool Execute(const QString& title, const TRegisterList& list, const std::string& chosen);
    TRegisterPicker* Picker() const { return picker_; }

private:
    TRegisterPicker* picker_;
};

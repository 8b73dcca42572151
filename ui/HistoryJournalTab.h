#pragma once
// The History window's journal: every operation with a register, newest first, narrowed by
// register, operation, result and dates; the current entry's details (a failure's text among
// them) below the list.

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QTableView;
class QTimer;
class THistoryForm;
class THistoryStore;
class TPagedTableModel;
struct TJournalEntry;

class THistoryJournalTab : public QWidget {
    Q_OBJECT
public:
    THistoryJournalTab(THistoryStore& store, THistoryForm& form);

    void Reload();

    QTableView* List() const { return list_; }
    TPagedTableModel* Model() const { return model_; }
    QLineEdit* RegisterBox() const { return register_; }
    QComboBox* OperationBox() const { return operation_; }
    QComboBox* ResultBox() const { return result_; }
    QCheckBox* DatesBox() const { return dates_; }
    QDateEdit* FromBox() const { return from_; }
    QDateEdit* ToBox() const { return to_; }
    QPlainTextEdit* Detail() const { return detail_; }

    // The result as the window shows it.
    static QString ResultText(const QString& result);
    // The stored English words as people read them: "download", "plu,dept".
    static QString OperationText(const QString& operation);
    static QString KindsText(const QString& kinds);
    static QString DetailText(const TJournalEntry& entry);

private:
    void ShowCurrent();

    THistoryStore& store_;
    THistoryForm& form_;
    TPagedTableModel* model_ = nullptr;
    QTableView* list_ = nullptr;
    QLineEdit* register_ = nullptr;
    QTimer* typing_ = nullptr;
    QComboBox* operation_ = nullptr;
    QComboBox* result_ = nullptr;
    QCheckBox* dates_ = nullptr;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
    QPlainTextEdit* detail_ = nullptr;
};

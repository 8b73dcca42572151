#pragma once
// The History window's archived reports: newest first, narrowed by words in their text, the
// current one's text beside the list, to save, print or copy.

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTimer;
class THistoryForm;
class THistoryStore;
class TPagedTableModel;

class THistoryReportsTab : public QWidget {
    Q_OBJECT
public:
    THistoryReportsTab(THistoryStore& store, THistoryForm& form);

    void Reload();
    // The list for the words now in the search box, without waiting for the typing to end.
    void Search();

    QTableView* List() const { return list_; }
    TPagedTableModel* Model() const { return model_; }
    QLineEdit* SearchBox() const { return search_; }
    QPlainTextEdit* Text() const { return text_; }
    QLabel* Count() const { return count_; }

    void SaveAs();
    void Print();
    void Copy();

private:
    void ShowCurrent();

    THistoryStore& store_;
    THistoryForm& form_;
    TPagedTableModel* model_ = nullptr;
    QTableView* list_ = nullptr;
    QLineEdit* search_ = nullptr;
    QTimer* typing_ = nullptr;
    QLabel* count_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* copy_ = nullptr;
};

#pragma once
// A list of problems in a table of lines (what the line is about, where, the value, why) that
// the user can read, copy and, where the owner allows, follow to the cell. Lines are made on
// demand, so a list of a whole damaged document costs no item objects.

#include "SheetClipboard.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTableView;
class TProblemModel;

class TProblemList : public QDialog {
    Q_OBJECT
public:
    explicit TProblemList(QWidget* parent = nullptr);

    // text(line, column) gives a cell; what it reads must live until the next call.
    void SetProblems(const QString& summary, const QStringList& headers, int lines,
                     std::function<QString(int line, int column)> text);
    int Lines() const;
    QString Summary() const;
    // The header and every line, tab-separated: what Copy puts on the clipboard.
    QString Text() const;

    QTableView* Table() const { return table_; }

    // A line double-clicked or chosen with Enter; unset: lines lead nowhere.
    std::function<void(int line)> onActivated;
    // Shows the "Check again" button while set.
    void SetCheckAgain(std::function<void()> check);

private:
    void CopyAll();

    TProblemModel* model_;
    QLabel* summary_;
    QTableView* table_;
    QPushButton* copyButton_;
    QPushButton* checkButton_;
    QPushButton* closeButton_;
    std::function<void()> checkAgain_;
};

// A paste that did not happen: the first problem, and how many there are.
void ShowPasteRefused(QWidget* parent, SheetTable table, const PastedCells& pasted);

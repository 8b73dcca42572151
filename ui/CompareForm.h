#pragma once
// The comparison's window: every difference between the document and the register, grouped by
// kind, with the PC's and the register's value and the counts. The list can be saved as text,
// and "Send these changes" sends only what differs, of the kinds ticked.

#include "Comparison.h"
#include "FlowOutcome.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTreeView;
class TDifferenceModel;

class TCompareForm : public QDialog {
    Q_OBJECT
public:
    explicit TCompareForm(QWidget* parent = nullptr);

    // Shows the comparison until the user closes the window. The window blocks the main window
    // only, so the progress window of a send stays within reach.
    void ShowComparison(const TComparison& comparison);
    const TComparison& Comparison() const { return comparison_; }

    // Sends the comparison's changes of the kinds chosen (the main window's flow).
    std::function<TFlowOutcome(const TComparison&, KindSet chosen)> sendChanges;
    // The file "Save list..." writes; empty when cancelled. Tests answer it.
    std::function<QString()> chooseSaveFile;

    void SaveListClick();
    void SendClick();

private:
    void ShowSummary(const QString& outcome);
    void UpdateSendButton();

    TComparison comparison_;
    QLabel* summaryLabel_;
    QTreeView* tree_;
    TDifferenceModel* model_;
    QPushButton* saveBtn_;
    QPushButton* sendBtn_;
    QPushButton* closeBtn_;
};

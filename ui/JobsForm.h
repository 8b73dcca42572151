#pragma once
// The results window of a command run for several registers: a row per register (state,
// block n of N, time, the error text), "Retry failed" for the ones that did not finish, Cancel
// while jobs run. Registers that share a port get their turn one after another: the window asks
// the user to connect each before its job starts.

#include <QDialog>

#include <deque>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTableView;
class TJobModel;
class TJobRunner;
struct TJob;

class TJobsForm : public QDialog {
    Q_OBJECT
public:
    explicit TJobsForm(QWidget* parent = nullptr);

    // Starts the jobs and shows them until the user closes the window.
    void Run(TJobRunner& runner, std::vector<TJob> jobs, const QString& title);

    // Asks the user to connect a register to the port it shares; tests answer it themselves.
    std::function<void(const QString& question, std::function<void(bool)> answer)> askTurn;
    // "Show report": the chosen register's report, for the report pane.
    std::function<void(const TJob& job)> showReport;

    QTableView* View() const { return view_; }
    QString Summary() const;
    TJobModel* Model() const { return model_; }
    QPushButton* RetryBtn = nullptr;
    QPushButton* ShowReportBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* CloseBtn = nullptr;

protected:
    void reject() override;

private:
    void Ask(const QString& question, std::function<void(bool)> answer);
    void ShowTurn();
    void Update();
    const TJob* CurrentJob() const;

    QTableView* view_;
    QLabel* summary_;
    TJobRunner* runner_ = nullptr;
    TJobModel* model_ = nullptr;
    std::deque<std::pair<QString, std::function<void(bool)>>> turns_;
};

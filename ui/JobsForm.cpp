#include "JobsForm.h"

#include "JobModel.h"
#include "RegisterJobs.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TJobsForm::TJobsForm(QWidget* parent) : QDialog(parent) {
    setObjectName("JobsForm");
    setSizeGripEnabled(true);
    view_ = new QTableView(this);
    view_->setObjectName("JobsView");
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->setWordWrap(false);
    summary_ = new QLabel(this);
    summary_->setObjectName("SummaryLbl");

    RetryBtn = new QPushButton(tr("&Retry failed"), this);
    RetryBtn->setObjectName("RetryBtn");
    RetryBtn->setToolTip(tr("Run again every register that failed or was cancelled"));
    ShowReportBtn = new QPushButton(tr("&Show report"), this);
    ShowReportBtn->setObjectName("ShowReportBtn");
    CancelBtn = new QPushButton(tr("Cancel"), this);
    CancelBtn->setObjectName("CancelBtn");
    CloseBtn = new QPushButton(tr("&Close"), this);
    CloseBtn->setObjectName("CloseBtn");
    connect(RetryBtn, &QPushButton::clicked, this, [this] {
        if (runner_ && runner_->RetryUnfinished())
            Update();
    });
    connect(ShowReportBtn, &QPushButton::clicked, this, [this] {
        if (const TJob* job = CurrentJob(); job && showReport)
            showReport(*job);
    });
    connect(CancelBtn, &QPushButton::clicked, this, [this] {
        if (runner_)
            runner_->Cancel();
        Update();
    });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(summary_, 1);
    for (QPushButton* button : {RetryBtn, ShowReportBtn, CancelBtn, CloseBtn})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
    resize(760, 320);

    askTurn = [this](const QString& question, std::function<void(bool)> answer) {
        Ask(question, std::move(answer));
    };
}

void TJobsForm::Run(TJobRunner& runner, std::vector<TJob> jobs, const QString& title) {
    setWindowTitle(title);
    runner_ = &runner;
    model_ = new TJobModel(runner, this);
    view_->setModel(model_);
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TJobsForm::Update);
    const QMetaObject::Connection changed =
        connect(&runner, &TJobRunner::JobChanged, this, [this](int job) {
            model_->JobChanged(job);
            Update();
        });
    const QMetaObject::Connection finished =
        connect(&runner, &TJobRunner::Finished, this, &TJobsForm::Update);
    runner.askTurn = [this, &runner](size_t i, std::function<void(bool)> answer) {
        const TJob& job = runner.Jobs()[i];
        askTurn(
            tr("Connect the register \"%1\" to %2, then press OK.")
                .arg(QString::fromStdString(job.reg.name), QString::fromLocal8Bit(job.port.device)),
            std::move(answer));
    };
    ShowReportBtn->setVisible(bool(showReport));
    runner.Start(std::move(jobs));
    model_->Reset();
    view_->resizeColumnsToContents();
    view_->horizontalHeader()->resizeSection(TJobModel::State, 180);
    view_->horizontalHeader()->resizeSection(TJobModel::Block, 90);
    if (model_->rowCount() > 0)
        view_->selectRow(0);
    Update();
    exec();
    disconnect(changed);
    disconnect(finished);
    runner.askTurn = nullptr;
    view_->setModel(nullptr);
    delete model_;
    model_ = nullptr;
    runner_ = nullptr;
}

QString TJobsForm::Summary() const {
    return summary_->text();
}

const TJob* TJobsForm::CurrentJob() const {
    const int row = view_->currentIndex().row();
    if (!runner_ || row < 0 || size_t(row) >= runner_->Jobs().size())
        return nullptr;
    return &runner_->Jobs()[size_t(row)];
}

void TJobsForm::Update() {
    if (!runner_ || !model_)
        return;
    const bool running = runner_->Running();
    summary_->setText(model_->Summary());
    bool unfinished = false;
    for (const TJob& job : runner_->Jobs())
        unfinished |= job.Unfinished();
    RetryBtn->setEnabled(!running && unfinished);
    CancelBtn->setEnabled(running && !runner_->Cancelling());
    CloseBtn->setEnabled(!running);
    const TJob* job = CurrentJob();
    ShowReportBtn->setEnabled(job && job->result.contains("report"));
    if (!running && CloseBtn->isEnabled() && !CloseBtn->hasFocus())
        CloseBtn->setDefault(true);
}

void TJobsForm::reject() {
    // Escape stops the jobs first; the window stays until they have ended.
    if (runner_ && runner_->Running()) {
        runner_->Cancel();
        Update();
        return;
    }
    QDialog::reject();
}

void TJobsForm::Ask(const QString& question, std::function<void(bool)> answer) {
    turns_.push_back({question, std::move(answer)});
    if (turns_.size() == 1)
        ShowTurn();
}

void TJobsForm::ShowTurn() {
    auto* box = new QMessageBox(QMessageBox::Information, windowTitle(), turns_.front().first,
                                QMessageBox::Ok | QMessageBox::Cancel, this);
    box->setObjectName("TurnBox");
    box->setInformativeText(tr("Cancel leaves this register out."));
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this](int result) {
        auto answer = std::move(turns_.front().second);
        turns_.pop_front();
        answer(result == QMessageBox::Ok);
        if (!turns_.empty())
            ShowTurn();
    });
    box->open();
}

#include "ProgressForm.h"

#include "CodePage.h"
#include "Defs.h"
#include "DisplayTexts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace {

// At most 30 bar updates a second.
constexpr int BarIntervalMs = 34;

QLabel* NamedLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

TProgressForm::TProgressForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("ProgressForm");
    setWindowTitle(tr("Progress"));
    setFixedSize(326, 210);

    statusLabel_ = NamedLabel("StatusLabel", QString(), this);
    statusLabel_->setAutoFillBackground(true);
    statusLabel_->setFrameShape(QFrame::Panel);
    statusLabel_->setFrameShadow(QFrame::Sunken);
    statusLabel_->setMinimumHeight(statusLabel_->fontMetrics().height() + 8);
    QPalette palette = statusLabel_->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    statusLabel_->setPalette(palette);

    curLabel_ = NamedLabel("CurLabel", "0", this);
    totalLabel_ = NamedLabel("TotalLabel", "0", this);

    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName("ProgressBar1");
    progressBar_->setRange(0, barMaximum_);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);

    okBtn_ = new QPushButton(tr("&OK"), this);
    okBtn_->setObjectName("OKBtn");
    okBtn_->setDefault(true);
    okBtn_->hide();
    cancelBtn_ = new QPushButton(tr("Cancel"), this);
    cancelBtn_->setObjectName("CancelBtn");
    connect(okBtn_, &QPushButton::clicked, this, &TProgressForm::OKBtnClick);
    connect(cancelBtn_, &QPushButton::clicked, this, &TProgressForm::CancelBtnClick);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(12);
    grid->addWidget(NamedLabel("StatusTitleLabel", tr("Status:"), this), 0, 0);
    grid->addWidget(statusLabel_, 0, 1);
    grid->addWidget(NamedLabel("CurTitleLabel", tr("Current package:"), this), 1, 0);
    grid->addWidget(curLabel_, 1, 1);
    grid->addWidget(NamedLabel("TotalTitleLabel", tr("Total Packages:"), this), 2, 0);
    grid->addWidget(totalLabel_, 2, 1);
    grid->setColumnStretch(1, 1);

    // OK takes the place of Cancel: only one of them is ever shown.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okBtn_);
    buttons->addWidget(cancelBtn_);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->addLayout(grid);
    layout->addSpacing(4);
    layout->addWidget(progressBar_);
    layout->addStretch();
    layout->addLayout(buttons);

    barTimer_.setSingleShot(true);
    barTimer_.setInterval(BarIntervalMs);
    connect(&barTimer_, &QTimer::timeout, this, [this] {
        if (barDirty_) {
            FlushBar();
            barTimer_.start();
        }
    });
}

namespace {

// The flows' own texts, for lupdate; the step words and kind names are the tables'.
[[maybe_unused]] const char* const FlowTexts[] = {
    QT_TRANSLATE_NOOP("DisplayTexts", "Wait 1 second"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Check ecr status"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Upload report"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Clear report"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Download Program"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Download font"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Receive Data"),
};

} // namespace

// A flow's status as people read it: "Download:PLU...Error!" is the step word, the kind name and
// the ending, each in the installed language. The flows' text itself stays as it was (the
// journal keeps it).
QString ProgressText(const std::string& text) {
    static const std::string failed = "...Error!";
    static const std::string running = "...";
    std::string core = text;
    QString ending;
    if (core.size() >= failed.size() &&
        core.compare(core.size() - failed.size(), failed.size(), failed) == 0) {
        core.resize(core.size() - failed.size());
        ending = TProgressForm::tr("...Error!");
    } else if (core.size() >= running.size() &&
               core.compare(core.size() - running.size(), running.size(), running) == 0) {
        core.resize(core.size() - running.size());
        ending = QStringLiteral("...");
    }
    for (TransferWord word : {WordDownload, WordUpload}) {
        const std::string& step = TransferWords[word];
        if (!step.empty() && core.size() > step.size() && core.compare(0, step.size(), step) == 0)
            return DisplayWord(step) + DisplayWord(core.substr(step.size())) + ending;
    }
    return DisplayWord(core) + ending;
}

void TProgressForm::SetMainWindow(QWidget* mainWindow) {
    mainWindow_ = mainWindow;
}

void TProgressForm::ShowStatus(StatusKind kind, const std::string& text) {
    if (state_ == ProgressStates::Closed)
        return;
    const QString display = ProgressText(text);
    QPalette palette = statusLabel_->palette();
    if (kind == StatusError) {
        errorText_ = text;
        QApplication::beep();
        palette.setColor(QPalette::Window, Qt::red);
        statusLabel_->setPalette(palette);
        statusLabel_->setText(display);
        setWindowTitle(display);
        cancelBtn_->hide();
        okBtn_->show();
        okBtn_->setFocus();
        state_ = ProgressStates::ErrorShown;
    } else {
        palette.setColor(QPalette::Window, palette.color(QPalette::Button));
        statusLabel_->setPalette(palette);
        okBtn_->hide();
        cancelBtn_->show();
        statusLabel_->setText(display);
        setWindowTitle(display);
        statusLabel_->repaint();
        state_ = ProgressStates::Running;
    }
}

void TProgressForm::SetTotalPackages(int n) {
    curLabel_->setText("0");
    if (n > 0) {
        totalLabel_->setText(QString::number(n));
        barMaximum_ = n;
    } else {
        totalLabel_->setText("0");
    }
    SetBarValue(0);
}

void TProgressForm::SetCurrentPackage(int n) {
    curLabel_->setText(QString::number(n));
    SetBarValue(n);
}

void TProgressForm::SetBarValue(int value) {
    barValue_ = value;
    barDirty_ = true;
    if (!barTimer_.isActive()) {
        FlushBar();
        barTimer_.start();
    }
}

void TProgressForm::FlushBar() {
    barDirty_ = false;
    progressBar_->setRange(0, barMaximum_);
    progressBar_->setValue(barValue_);
}

void TProgressForm::WaitForClose() {
    if (state_ == ProgressStates::Closed || !isVisible())
        return;
    QEventLoop loop;
    connect(this, &TProgressForm::ClosedByUser, &loop, &QEventLoop::quit);
    loop.exec();
}

void TProgressForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (mainWindow_) {
        mainWindow_->setEnabled(false);
        // Above the dialog the flow was started from, if any: a dialog that blocks the main
        // window blocks every other window that belongs to it, and Cancel would be out of reach.
        QWidget* owner = QApplication::activeModalWidget();
        if (!owner || owner == this)
            owner = mainWindow_->window();
        if (QWindow* parent = owner->windowHandle(); parent && windowHandle())
            windowHandle()->setTransientParent(parent);
    }
    QPalette palette = statusLabel_->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    statusLabel_->setPalette(palette);
    okBtn_->hide();
    cancelBtn_->show();
    SetTotalPackages(0);
    SetCurrentPackage(0);
    barTimer_.stop();
    FlushBar();
    state_ = ProgressStates::Running;
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TProgressForm::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous() && mainWindow_)
        mainWindow_->setEnabled(true);
}

void TProgressForm::closeEvent(QCloseEvent* event) {
    // The flows end the window with hide(); a close request is the user's (the window manager's
    // close box, Alt+F4) and counts as the button on show.
    event->ignore();
    reject();
}

void TProgressForm::reject() {
    if (!isVisible())
        return;
    if (!okBtn_->isHidden())
        OKBtnClick();
    else
        CancelBtnClick();
}

void TProgressForm::OKBtnClick() {
    CloseByUser();
}

void TProgressForm::CancelBtnClick() {
    Abort();
    CloseByUser();
}

void TProgressForm::CloseByUser() {
    hide();
    state_ = ProgressStates::Closed;
    emit ClosedByUser();
}

#include "RegistersDlg.h"

#include "AddRegisterDlg.h"
#include "CodePage.h"
#include "IBusNames.h"
#include "RegisterJobs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text, const QString& tip) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    return button;
}

} // namespace

TRegistersDlg::TRegistersDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("RegistersDlg");
    setWindowTitle(tr("Registers"));
    setSizeGripEnabled(true);
    AddDlg = new TAddRegisterDlg(this);

    Table = new QTableWidget(0, 8, this);
    Table->setObjectName("RegistersTable");
    Table->setHorizontalHeaderLabels({tr("Name"), tr("Port"), tr("Rate"), tr("Groups"),
                                      tr("Document"), tr("Status"), tr("Identification"),
                                      tr("Last contact")});
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setStretchLastSection(true);
    Table->setWordWrap(false);
    connect(Table, &QTableWidget::currentCellChanged, this, [this] { UpdateButtons(); });

    AddBtn = Button(this, "AddBtn", tr("&Add..."), tr("Put a register on the list"));
    RenameBtn = Button(this, "RenameBtn", tr("Re&name..."), tr("Give the register another name"));
    RemoveBtn = Button(this, "RemoveBtn", tr("&Remove"), tr("Take the register off the list"));
    GroupsBtn = Button(this, "GroupsBtn", tr("&Groups..."), tr("The groups the register is in"));
    DocumentBtn = Button(this, "DocumentBtn", tr("&Document..."),
                         tr("The register's own document, opened when it "
                            "is chosen"));
    TestAllBtn = Button(this, "TestAllBtn", tr("&Test all"), tr("Test every register at once"));
    CloseBtn = Button(this, "CloseBtn", tr("&Close"), {});
    connect(AddBtn, &QPushButton::clicked, this, &TRegistersDlg::AddClick);
    connect(RenameBtn, &QPushButton::clicked, this, &TRegistersDlg::RenameClick);
    connect(RemoveBtn, &QPushButton::clicked, this, &TRegistersDlg::RemoveClick);
    connect(GroupsBtn, &QPushButton::clicked, this, &TRegistersDlg::GroupsClick);
    connect(DocumentBtn, &QPushButton::clicked, this, &TRegistersDlg::DocumentClick);
    connect(TestAllBtn, &QPushButton::clicked, this, &TRegistersDlg::TestAllClick);
    connect(CloseBtn, &QPushButton::clicked, this, &TRegistersDlg::reject);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {AddBtn, RenameBtn, RemoveBtn, GroupsBtn, DocumentBtn, TestAllBtn})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(CloseBtn);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Table, 1);
    layout->addLayout(buttons);
    resize(900, 320);

    askText = [this](const QString& label, const QString& text) -> std::optional<QString> {
        bool ok = false;
        const QString answer =
            QInputDialog::getText(this, windowTitle(), label, QLineEdit::Normal, text, &ok);
        return ok ? std::optional<QString>(answer) : std::nullopt;
    };
    askYes = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question) == QMessageBox::Yes;
    };
    chooseDocument = [this](const QString& current) {
        if (!current.isEmpty()) {
            QMessageBox box(QMessageBox::Question, windowTitle(),
                            tr("The register's own document is %1.").arg(current),
                            QMessageBox::Cancel, this);
            QPushButton* other = box.addButton(tr("&Another..."), QMessageBox::AcceptRole);
            QPushButton* none = box.addButton(tr("&None"), QMessageBox::DestructiveRole);
            box.exec();
            if (box.clickedButton() == none)
                return QString("-");
            if (box.clickedButton() != other)
                return QString();
        }
        QFileDialog dialog(this, tr("The register's own document"), ".", tr("PLU files(*.PLU)"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
}

TRegistersDlg::~TRegistersDlg() = default;

void TRegistersDlg::Execute(const std::string& settings) {
    settings_ = settings;
    status_.clear();
    Tell(list_.Load());
    Refresh();
    if (Table->rowCount() > 0)
        Table->selectRow(0);
    exec();
}

const TRegister* TRegistersDlg::Current() const {
    const int row = Table->currentRow();
    if (row < 0 || size_t(row) >= list_.Registers().size())
        return nullptr;
    return &list_.Registers()[size_t(row)];
}

void TRegistersDlg::Tell(const std::string& problem) {
    if (!problem.empty())
        QMessageBox::warning(this, windowTitle(), QString::fromLocal8Bit(problem));
}

void TRegistersDlg::Refresh() {
    const int row = Table->currentRow();
    Table->setRowCount(int(list_.Registers().size()));
    for (size_t i = 0; i < list_.Registers().size(); ++i) {
        const TRegister& reg = list_.Registers()[i];
        const TRegisterPort port = PortOf(reg);
        QStringList groups;
        for (const std::string& g : reg.groups)
            groups << Text(g);
        const auto status = status_.find(reg.name);
        const QString cells[] = {
            Text(reg.name),
            QString::fromLocal8Bit(port.name) + "  " + QString::fromLocal8Bit(port.device),
            QString::number(BaudTable[size_t(port.baudIndex)]),
            groups.join(", "),
            QFileInfo(QString::fromLocal8Bit(reg.document)).fileName(),
            status == status_.end() ? QString() : status->second,
            DocumentCodePage().ToUnicode(reg.identification),
            lastContact ? lastContact(reg) : QString(),
        };
        for (int c = 0; c < 8; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == Document)
                item->setToolTip(QString::fromLocal8Bit(reg.document));
            Table->setItem(int(i), c, item);
        }
    }
    Table->resizeColumnsToContents();
    // On the desktop the bold titles want a few pixels more than the contents' width gives
    // them: a title longer than its values ("Prędkość" over "115200") lost its last letter.
    QFont bold = Table->horizontalHeader()->font();
    bold.setBold(true);
    const QFontMetrics titles(bold);
    for (int c = 0; c < Table->columnCount(); ++c)
        Table->setColumnWidth(
            c, std::max(Table->columnWidth(c),
                        titles.horizontalAdvance(Table->horizontalHeaderItem(c)->text()) + 10));
    if (row >= 0 && row < Table->rowCount())
        Table->selectRow(row);
    UpdateButtons();
}

void TRegistersDlg::UpdateButtons() {
    const bool testing = tests_ && tests_->Running();
    const bool chosen = Current() != nullptr;
    AddBtn->setEnabled(!testing);
    for (QPushButton* b : {RenameBtn, RemoveBtn, GroupsBtn, DocumentBtn})
        b->setEnabled(chosen && !testing);
    TestAllBtn->setEnabled(!list_.Empty() && !testing);
    CloseBtn->setEnabled(!testing);
}

void TRegistersDlg::AddClick() {
    if (!AddDlg->Execute(list_, settings_))
        return;
    Tell(list_.Load());
    Refresh();
    for (size_t i = 0; i < list_.Registers().size(); ++i)
        if (list_.Registers()[i].name == AddDlg->Added())
            Table->selectRow(int(i));
    if (listChanged)
        listChanged({}, {});
}

void TRegistersDlg::RenameClick() {
    const TRegister* reg = Current();
    if (!reg)
        return;
    const std::string from = reg->name;
    const std::optional<QString> to =
        askText(tr("New name of \"%1\":").arg(Text(from)), Text(from));
    if (!to || to->trimmed().toStdString() == from)
        return;
    const std::string name = to->trimmed().toStdString();
    std::string problem = list_.Rename(from, name);
    if (problem.empty())
        problem = MoveRegisterFiles(from, name);
    Tell(problem);
    if (status_.count(from)) {
        status_[name] = status_[from];
        status_.erase(from);
    }
    Refresh();
    if (listChanged && list_.Find(name))
        listChanged(from, name);
}

void TRegistersDlg::RemoveClick() {
    const TRegister* reg = Current();
    if (!reg)
        return;
    const std::string name = reg->name;
    if (!askYes(tr("Take \"%1\" off the list?\n\nIts settings are kept in %2.removed/.")
                    .arg(Text(name), QString::fromLocal8Bit(list_.Dir()))))
        return;
    Tell(list_.Remove(name));
    Refresh();
    if (listChanged)
        listChanged({}, {});
}

void TRegistersDlg::GroupsClick() {
    const TRegister* reg = Current();
    if (!reg)
        return;
    const std::string name = reg->name;
    const std::optional<QString> groups =
        askText(tr("Groups of \"%1\", separated by commas:").arg(Text(name)),
                Text(JoinNames(reg->groups)).replace(",", ", "));
    if (!groups)
        return;
    Tell(list_.SetGroups(name, SplitNames(groups->toStdString())));
    Refresh();
    if (listChanged)
        listChanged({}, {});
}

void TRegistersDlg::DocumentClick() {
    const TRegister* reg = Current();
    if (!reg)
        return;
    const std::string name = reg->name;
    const QString path = chooseDocument(QString::fromLocal8Bit(reg->document));
    if (path.isEmpty())
        return;
    const std::string document =
        path == "-" ? std::string()
                    : QFileInfo(path).absoluteFilePath().toLocal8Bit().toStdString();
    Tell(list_.SetDocument(name, document));
    Refresh();
}

void TRegistersDlg::TestAllClick() {
    if (list_.Empty() || (tests_ && tests_->Running()))
        return;
    tests_ = std::make_unique<TJobRunner>(cliPath, commonArgs + QStringList{"test"});
    connect(tests_.get(), &TJobRunner::JobChanged, this, &TRegistersDlg::ShowTest);
    connect(tests_.get(), &TJobRunner::Finished, this, [this] {
        // The tests wrote what each register answered into the list.
        Tell(list_.Load());
        Refresh();
    });
    for (const TRegister& reg : list_.Registers())
        status_[reg.name] = tr("Testing...");
    Refresh();
    tests_->Start(TJobRunner::JobsFor(list_.Registers()));
    UpdateButtons();
}

void TRegistersDlg::ShowTest(int job) {
    const TJob& j = tests_->Jobs()[size_t(job)];
    QString text;
    switch (j.state) {
    case TJobState::Waiting:
    case TJobState::Running:
        text = tr("Testing...");
        break;
    case TJobState::Done:
        text = tr("Answers");
        break;
    case TJobState::Cancelled:
        text = tr("Not tested");
        break;
    default:
        text = tr("No answer: ") + j.error.section('\n', 0, 0);
    }
    status_[j.reg.name] = text;
    for (size_t i = 0; i < list_.Registers().size(); ++i)
        if (list_.Registers()[i].name == j.reg.name) {
            Table->item(int(i), Status)->setText(text);
            Table->item(int(i), Status)->setToolTip(j.error);
            if (const QString id = JobIdentification(j); !id.isEmpty())
                Table->item(int(i), Identification)->setText(id);
        }
    UpdateButtons();
}

void TRegistersDlg::reject() {
    // Closing stops the tests first.
    if (tests_ && tests_->Running()) {
        tests_->Cancel();
        return;
    }
    QDialog::reject();
}

#include "MainForm.h"

#include "AboutBox.h"
#include "BackgroundPush.h"
#include "BusyCursor.h"
#include "CheckTexts.h"
#include "CodePage.h"
#include "CommDlg.h"
#include "DisplayTexts.h"
#include "DocumentFile.h"
#include "Download.h"
#include "ErrorBox.h"
#include "FindBar.h"
#include "HistoryStore.h"
#include "Language.h"
#include "MyLabel.h"
#include "OperationRecorder.h"
#include "ParaDlg.h"
#include "ProgressForm.h"
#include "RecyForm.h"
#include "RegisterPicker.h"
#include "Settings.h"
#include "Status.h"
#include "TolvIBus.h"
#include "TransferRangeDlg.h"
#include "Upload.h"
#include "WindowTexts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cerrno>
#include <cstring>

namespace {

const char* const AppTitleText = QT_TRANSLATE_NOOP("TMainForm", "Quorve PLU manager");

QWidget* TitledPanel(QWidget* parent, const char* labelName, const QString& title, QWidget* body) {
    auto* panel = new QWidget(parent);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* label = new TMyLabel(title, panel);
    label->setObjectName(labelName);
    label->setAlignment(Qt::AlignCenter);
    QFont font("Times New Roman");
    font.setPixelSize(16);
    font.setBold(true);
    label->setFont(font);
    // Teal text on the steel scheme, lifted by an embossed edge.
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 128, 128));
    palette.setColor(QPalette::Window, QColor(176, 196, 222));
    label->setPalette(palette);
    label->setAutoFillBackground(true);
    label->SetHighlightColor(QColor(230, 238, 246));
    label->SetShadowColor(QColor(70, 90, 120));
    label->SetEffect(TMyLabel::Embossed, 1);
    layout->addWidget(label);
    layout->addWidget(body, 1);
    body->setParent(panel);
    return panel;
}

// X's keyboard maps turn Ctrl+Alt+F1..F12 into the console switch keys XF86Switch_VT_1..12.
// Where no console switch happens (a virtual or nested X server, a session without consoles) the
// key reaches the window as that symbol; it stands for the function key it is printed on.
int FunctionKeyOf(const QKeyEvent& key) {
    constexpr quint32 SwitchVT1 = 0x1008FE01;
    constexpr quint32 SwitchVT12 = 0x1008FE0C;
    const quint32 symbol = key.nativeVirtualKey();
    if (symbol >= SwitchVT1 && symbol <= SwitchVT12)
        return Qt::Key_F1 + int(symbol - SwitchVT1);
    return key.key();
}

void ShowRepeatMessage(const std::string& message) {
    QMessageBox box(QMessageBox::Information, TMainForm::AppTitle(), CheckReasonText(message),
                    QMessageBox::Ok);
    box.exec();
}

} // namespace

QString TMainForm::AppTitle() {
    return tr(AppTitleText);
}

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("MainForm");
    setWindowTitle(AppTitle());
    InitialRecyTable(recy_);
    textWindows_.push_back(this);
    languageFile = LanguageFilePath();
    openGuide = [](const std::string& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(path.c_str())));
    };

    memory_ = TWindowMemory::Read();

    BuildGrids();
    BuildReportMenu();
    BuildMenus();
    BuildToolBar();
    setStatusBar(new QStatusBar(this));
    statusBar()->setObjectName("StatusBar");
    statusBar()->setSizeGripEnabled(false);
    Status1 = new TStatus(statusBar());
    Status1->setFixedHeight(20);
    QFont statusFont("Arial");
    statusFont.setPixelSize(11);
    Status1->setFont(statusFont);
    statusBar()->addWidget(Status1, 1);
    messageLabel_ = new QLabel(statusBar());
    messageLabel_->setObjectName("MessageLbl");
    messageLabel_->setFont(statusFont);
    messageLabel_->setContentsMargins(4, 0, 8, 0);
    messageLabel_->hide();
    statusBar()->insertWidget(0, messageLabel_);
    messageTimer_.setSingleShot(true);
    connect(&messageTimer_, &QTimer::timeout, this, [this] { ShowMessage({}); });
    TolvIBusComm1 = new TTolvIBusComm(this);
    SetUpRegisterComponent(*TolvIBusComm1, StateDir + "DEBUG.LOG");
    TolvIBusComm1->SetCommName("COM2");
    TolvIBusComm1->SetBaudRate(tbr115200);
    TolvIBusComm1->ShowErrorBox = CommErrorBoxFor(*TolvIBusComm1);
    TolvIBusComm1->PortOpened = [this](const std::string& devicePath) {
        ShowLatencyNotice(this, LatencyCheck.HintFor(devicePath));
    };

    // The windows of the program, created once in this order; the language file reaches each.
    CommDlg = new TCommDlg(this);
    AddTextWindow(CommDlg);
    ProgressForm = new TProgressForm; // no parent: it disables this window while shown
    ProgressForm->SetMainWindow(this);
    ProgressForm->SetAbortHandler([this] { TolvIBusComm1->Abort(); });
    AddTextWindow(ProgressForm);
    aboutBox_ = new TAboutBox(this);
    AddTextWindow(aboutBox_);
    UploadDlg = new TUploadDlg(this);
    AddTextWindow(UploadDlg);
    DownloadDlg = new TDownloadDlg(this);
    AddTextWindow(DownloadDlg);
    CreateServiceWindows();
    CreateSafetyWindows();
    ParaDlg = new TParaDlg(this);
    AddTextWindow(ParaDlg);
    RecyForm = new TRecyForm(this);
    AddTextWindow(RecyForm);
    CreateSheetWindows();
    CreateRegisterWindows();
    SetUpFileDialogs();
    paraExecute = [this] { return ParaDlg->ParaExecute(); };

    // With a register list, the chosen register's own settings file is SYSTEM.CFG from here on.
    LoadRegisters();
    ReadCommSettings();
    qApp->installEventFilter(this);
    OpenHistory(THistoryStore::DefaultPath());
}

TMainForm::~TMainForm() {
    qApp->removeEventFilter(this);
    // The Edit menu's state follows these; not once this window is being taken apart.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(QApplication::clipboard(), nullptr, this, nullptr);
    delete ProgressForm;
}

void TMainForm::BuildGrids() {
    pluModel_ = new TGridModel(MakePLUTable(), PLUTitles, this);
    deptModel_ = new TGridModel(MakeDeptTable(), DeptTitles, this);

    using K = KeyClass;
    pluGrid_ = new TEditGrid(pluModel_,
                             {K::Digits, K::Digits, K::AnyChar, K::Numeric, K::Digits, K::Numeric,
                              K::Digits, K::Numeric, K::Numeric},
                             PLUMaxLen);
    pluGrid_->setObjectName("PLUGrid");
    deptGrid_ =
        new TEditGrid(deptModel_, {K::Digits, K::AnyChar, K::Digits, K::Numeric}, DeptMaxLen);
    deptGrid_->setObjectName("DeptmentGrid");
    for (TEditGrid* grid : {pluGrid_, deptGrid_}) {
        grid->validateCell = [this, grid](int col, int row) {
            return ValidateCell(grid, col, row);
        };
        grid->onStartTyping = [this] { modified_ = true; };
        grid->pasteBlock = [this, grid](const QString& text, const CellRect& target) {
            return PasteBlock(grid, text, target);
        };
        grid->onCut = [this] { modified_ = true; };
        grid->onEdit = [this](EditStep step) { RecordEdit(std::move(step)); };
    }
    deptGrid_->docTable = DocTable::Dept;
    findBar_ = new TFindBar(pluGrid_);

    rptEd_ = new QTextEdit;
    rptEd_->setObjectName("RptEd");
    rptEd_->setReadOnly(true);
    rptEd_->setLineWrapMode(QTextEdit::NoWrap);
    rptEd_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    rptEd_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = rptEd_->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
    palette.setColor(QPalette::Text, palette.color(QPalette::ToolTipText));
    rptEd_->setPalette(palette);
    QFont reportFont("MS Sans Serif");
    reportFont.setPixelSize(11);
    rptEd_->setFont(reportFont);

    auto* hSplitter = new QSplitter(Qt::Horizontal);
    hSplitter_ = hSplitter;
    hSplitter->setObjectName("HSplitter");
    hSplitter->setHandleWidth(2);
    // The find bar opens under the PLU grid.
    auto* pluBody = new QWidget;
    auto* pluLayout = new QVBoxLayout(pluBody);
    pluLayout->setContentsMargins(0, 0, 0, 0);
    pluLayout->setSpacing(0);
    pluLayout->addWidget(pluGrid_, 1);
    pluLayout->addWidget(findBar_);
    hSplitter->addWidget(TitledPanel(hSplitter, "PLULBL", tr("PLU"), pluBody));
    hSplitter->addWidget(TitledPanel(hSplitter, "DeptLBL", tr("Department"), deptGrid_));
    hSplitter->setStretchFactor(0, 1);
    hSplitter->setStretchFactor(1, 0);

    auto* vSplitter = new QSplitter(Qt::Vertical, this);
    vSplitter_ = vSplitter;
    vSplitter->setObjectName("VSplitter");
    vSplitter->setHandleWidth(2);
    vSplitter->addWidget(hSplitter);
    vSplitter->addWidget(TitledPanel(vSplitter, "ReportLBL", tr("Report"), rptEd_));
    vSplitter->setStretchFactor(0, 1);
    vSplitter->setStretchFactor(1, 0);
    setCentralWidget(vSplitter);

    const int width = 1024, height = 700;
    hSplitter->setSizes({width - 194, 194});
    hSplitter->setStretchFactor(0, 1);
    hSplitter->setStretchFactor(1, 0);
    vSplitter->setSizes({height - memory_.reportHeight, memory_.reportHeight});
}

void TMainForm::BuildMenus() {
    auto* menuBar = new QMenuBar;
    menuBar->setObjectName("MainMenu");
    menuBar->setNativeMenuBar(false);

    auto item = [this](QMenu* menu, QAction*& action, const char* name, const QString& text,
                       const QKeySequence& shortcut = {}) {
        action = menu->addAction(text);
        action->setObjectName(name);
        action->setParent(this);
        if (!shortcut.isEmpty()) {
            action->setShortcut(shortcut);
            action->setShortcutContext(Qt::ApplicationShortcut);
        }
        return action;
    };

    QMenu* file = menuBar->addMenu(tr("&File"));
    file->setObjectName("FileMenu");
    item(file, NewItem, "NewItem", tr("&New"));
    file->addSeparator();
    item(file, OpenItem, "OpenItem", tr("&Open..."), QKeySequence(Qt::Key_F3));
    item(file, SaveItem, "SaveItem", tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    item(file, SaveAsItem, "SaveAsItem", tr("Save &as..."));
    file->addSeparator();
    item(file, ImportItem, "ImportItem", tr("&Import..."), QKeySequence(Qt::CTRL | Qt::Key_I));
    item(file, ExportItem, "ExportItem", tr("&Export..."), QKeySequence(Qt::CTRL | Qt::Key_E));
    file->addSeparator();
    item(file, RecyclingItem, "RecyclingItem", tr("Recycling..."));
    item(file, ParameterItem, "ParameterItem", tr("Parameter..."));
    file->addSeparator();
    item(file, PrintItem, "PrintItem", tr("Print..."));
    item(file, FontItem, "FontItem", tr("Font..."));
    file->addSeparator();
    item(file, ExitItem, "ExitItem", tr("E&xit"));

    QMenu* edit = menuBar->addMenu(tr("&Edit"));
    edit->setObjectName("EditMenu");
    item(edit, UndoItem, "UndoItem", tr("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    item(edit, RedoItem, "RedoItem", tr("&Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y));
    RedoItem->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addSeparator();
    item(edit, CutItem, "CutItem", tr("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X));
    item(edit, CopyItem, "CopyItem", tr("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));
    item(edit, PasteItem, "PasteItem", tr("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V));
    edit->addSeparator();
    item(edit, FindItem, "FindItem", tr("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    item(edit, BulkChangeItem, "BulkChangeItem", tr("C&hange prices..."));
    edit->addSeparator();
    item(edit, CheckItem, "CheckItem", tr("Check &document"), QKeySequence(Qt::CTRL | Qt::Key_K));
    // Not while a dialog of the program is up: a paste must never land behind it.
    for (QAction* action : {ImportItem, ExportItem, UndoItem, RedoItem, CutItem, CopyItem,
                            PasteItem, FindItem, CheckItem})
        action->setShortcutContext(Qt::WindowShortcut);

    QMenu* comm = menuBar->addMenu(tr("&Communication"));
    comm->setObjectName("CommMenu");
    item(comm, SettingItem, "SettingItem", tr("&Setting..."));
    item(comm, DetectportItem, "DetectportItem", tr("&Detect port..."));
    comm->addSeparator();
    item(comm, TestItem, "TestItem", tr("Test"));
    item(comm, DownloadItem, "DownloadItem", tr("Download data..."), QKeySequence(Qt::Key_F9));
    item(comm, UploadItem, "UploadItem", tr("Upload data..."), QKeySequence(Qt::Key_F6));
    item(comm, UploadRPItem, "UploadRPItem", tr("Upload report"), QKeySequence(Qt::Key_F7));
    item(comm, DownloadFontItem, "DownloadFontItem", tr("Download font..."));
    DownloadFontItem->setVisible(false);
    AddSafetyItems(comm);
    AddRegisterItems(comm);
    AddHistoryItem(comm);

    QMenu* help = menuBar->addMenu(tr("&Help"));
    help->setObjectName("HelpMenu");
    item(help, ContentsItem, "ContentsItem", tr("&Contents"));
    AddLanguageItems(help);
    help->addSeparator();
    item(help, AboutItem, "AboutItem", tr("&About..."));

    connect(NewItem, &QAction::triggered, this, &TMainForm::NewItemClick);
    connect(OpenItem, &QAction::triggered, this, &TMainForm::OpenItemClick);
    connect(SaveItem, &QAction::triggered, this, &TMainForm::SaveItemClick);
    connect(SaveAsItem, &QAction::triggered, this, &TMainForm::SaveAsItemClick);
    connect(FontItem, &QAction::triggered, this, &TMainForm::FontItemClick);
    connect(ExitItem, &QAction::triggered, this, &QWidget::close);
    connect(AboutItem, &QAction::triggered, this, &TMainForm::AboutItemClick);
    connect(ContentsItem, &QAction::triggered, this, &TMainForm::ContentsItemClick);
    connect(RecyclingItem, &QAction::triggered, this, &TMainForm::RecyclingItemClick);
    connect(ParameterItem, &QAction::triggered, this, &TMainForm::ParameterItemClick);
    connect(SettingItem, &QAction::triggered, this, &TMainForm::SettingItemClick);

    ConnectServiceCommands();
    ConnectSheetCommands();
    ConnectEditCommands();

    connect(DownloadItem, &QAction::triggered, this, &TMainForm::DownloadItemClick);
    connect(UploadItem, &QAction::triggered, this, &TMainForm::UploadItemClick);

    menuToolBar_ = new QToolBar(tr("Menu Bar"), this);
    menuToolBar_->setObjectName("MenuBar");
    menuToolBar_->addWidget(menuBar);
    menuToolBar_->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    menuToolBar_->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, menuToolBar_);
    addToolBarBreak(Qt::TopToolBarArea);
}

void TMainForm::BuildToolBar() {
    mainToolBar_ = new QToolBar(tr("Main"), this);
    mainToolBar_->setObjectName("MainToolBar");
    mainToolBar_->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    mainToolBar_->setFloatable(false);
    mainToolBar_->setIconSize(QSize(20, 20));

    auto button = [this](const char* name, const QString& hint, QStyle::StandardPixmap glyph,
                         QAction* action) {
        auto* tool = new QToolButton(mainToolBar_);
        tool->setObjectName(name);
        tool->setToolTip(hint);
        tool->setIcon(style()->standardIcon(glyph));
        tool->setAutoRaise(true);
        tool->setFocusPolicy(Qt::NoFocus);
        tool->setEnabled(action->isEnabled());
        connect(tool, &QToolButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::enabledChanged, tool, &QWidget::setEnabled);
        mainToolBar_->addWidget(tool);
    };
    button("NewBtn", tr("New"), QStyle::SP_FileIcon, NewItem);
    button("OpenBtn", tr("Open"), QStyle::SP_DialogOpenButton, OpenItem);
    button("SaveBtn", tr("Save"), QStyle::SP_DialogSaveButton, SaveItem);
    mainToolBar_->addSeparator();
    button("ParaBtn", tr("Preferences"), QStyle::SP_FileDialogDetailedView, ParameterItem);
    button("CommSetBtn", tr("Communication setting"), QStyle::SP_ComputerIcon, SettingItem);
    mainToolBar_->addSeparator();
    button("TestBtn", tr("Test"), QStyle::SP_DialogHelpButton, TestItem);
    button("DownLoadBtn", tr("Download data"), QStyle::SP_ArrowDown, DownloadItem);
    button("UploadBtn", tr("Upload data"), QStyle::SP_ArrowUp, UploadItem);
    mainToolBar_->addSeparator();
    button("ExitBtn", tr("Exit"), QStyle::SP_DialogCloseButton, ExitItem);
    addToolBar(Qt::TopToolBarArea, mainToolBar_);
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    TellHistoryProblem();
    LoadDisplayTexts(languageFile, textWindows_);
    FitGridColumns();
    pluGrid_->setFocus();
    pluModel_->TableChanged();
    deptModel_->TableChanged();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Closing ends the program: unsaved work is asked about as New and Open do.
    if (!ConfirmDiscard()) {
        event->ignore();
        return;
    }
    event->accept();
    memory_.reportHeight = vSplitter_->sizes().value(1);
    // Nothing is left to tell a failure in; the start told already when SYSTEM.CFG's folder
    // cannot be written.
    if (!memory_.Write())
        qWarning("SYSTEM.CFG: the report pane's height and the last folder were not kept: %s",
                 std::strerror(errno));
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == pluGrid_->viewport() && fittedNameWidth_ > 0)
        FitNameColumn();
    if (event->type() == QEvent::KeyPress && isActiveWindow()) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto mods = key->modifiers();
        if ((mods & Qt::ControlModifier) && (mods & Qt::AltModifier) && !key->isAutoRepeat() &&
            watched == QApplication::focusWidget())
            HandleHiddenKey(FunctionKeyOf(*key));
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::HandleHiddenKey(int key) {
    switch (key) {
    case Qt::Key_F3:
        FillTestData();
        return true;
    case Qt::Key_F4:
        ParaDownloadKeyPress();
        return true;
    case Qt::Key_F6:
        DumpRegisterMemory();
        return true;
    case Qt::Key_F8:
        DownloadProgram();
        return true;
    default:
        return false;
    }
}

bool TMainForm::ValidateCell(TEditGrid* grid, int col, int row) {
    const CellCheck check =
        grid == pluGrid_ ? ValidatePLUCell(pluModel_->Table(), deptModel_->Table(), col, row)
                         : ValidateDeptCell(deptModel_->Table(), pluModel_->Table(), col, row);
    grid->Model()->CellChanged(row, col);
    if (check.result == CellCheck::Duplicate)
        ShowRepeatMessage(check.message);
    return check.Ok();
}

bool TMainForm::ValidateActiveCell() {
    QWidget* focus = QApplication::focusWidget();
    for (TEditGrid* grid : {pluGrid_, deptGrid_})
        if (focus && (focus == grid || grid->isAncestorOf(focus)))
            return grid->ValidateActiveCell();
    return true;
}

void TMainForm::FitGridColumns() {
    pluGrid_->FitColumns();
    deptGrid_->FitColumns();
    fittedNameWidth_ = pluGrid_->columnWidth(1);
    FitPanels();
}

void TMainForm::SetGridFont(const QFont& font) {
    pluGrid_->setFont(font);
    deptGrid_->setFont(font);
    rptEd_->setFont(font);
    FitGridColumns();
}

void TMainForm::FontItemClick() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, pluGrid_->font(), this);
    if (ok)
        SetGridFont(font);
}

void TMainForm::FillTestData() {
    BusyCursor busy;
    const TextTable plu = pluModel_->Table();
    const TextTable dept = deptModel_->Table();
    const RecyTable recy = recy_;
    ::FillTestData(pluModel_->Table(), deptModel_->Table(), recy_);
    EditStep step(QT_TRANSLATE_NOOP("EditStep", "Test data"));
    step.Diff(DocTable::PLU, plu, pluModel_->Table());
    step.Diff(DocTable::Dept, dept, deptModel_->Table());
    step.Diff(recy, recy_);
    RecordEdit(std::move(step));
    pluModel_->TableChanged();
    deptModel_->TableChanged();
}

void TMainForm::AboutItemClick() {
    aboutBox_->exec();
}

void TMainForm::ContentsItemClick() {
    const QString path = QString::fromLocal8Bit(guideFile.c_str());
    QString problem;
    if (guideFile.empty() || !QFileInfo(path).isFile())
        problem = tr("The user guide was not found");
    else if (!openGuide(guideFile))
        problem = tr("No web browser could be started to show the user guide");
    else
        return;
    if (!guideFile.empty())
        problem += ":\n" + QDir::toNativeSeparators(path);
    QMessageBox::warning(this, AppTitle(), problem + '.');
}

void TMainForm::RecyclingItemClick() {
    const RecyTable before = recy_;
    RecyForm->RecyExecute(recy_);
    EditStep step(QT_TRANSLATE_NOOP("EditStep", "Recycling"));
    step.Diff(before, recy_);
    RecordEdit(std::move(step));
}

void TMainForm::ParameterItemClick() {
    ParaDlg->ParaExecute();
}

void TMainForm::SettingItemClick() {
    CommDlg->ShowCommSettings();
}

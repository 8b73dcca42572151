#pragma once
// The main window: the PLU and department grids, the report pane, the menus, the tool bar and
// the hidden service keys. It owns the document.

#include "Document.h"
#include "DocumentCheck.h"
#include "Download.h"
#include "EditGrid.h"
#include "EditHistory.h"
#include "FileDialog.h"
#include "FlowOutcome.h"
#include "LatencyCheck.h"
#include "Placement.h"
#include "RegisterList.h"
#include "SheetImport.h"
#include "TransferRangeDlg.h"

#include <QMainWindow>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QTemporaryDir;
class QMenu;
class QSplitter;
class QTextEdit;
class QToolBar;
class QToolButton;
class TAboutBox;
class TBulkChangeDlg;
class TFindBar;
class TBackupForm;
class TCompareDlg;
class TCompareForm;
struct TBackupInfo;
struct TBackupRequest;
class TCommDlg;
class THistoryForm;
class THistoryStore;
class THistoryPusher;
class TOperationRecorder;
struct TOperationInfo;
class TDataDlg;
class TDetectPortDlg;
class TExportDlg;
class TImportDlg;
class TProblemList;
class QPrinter;
class TParaDlg;
class TRecyForm;
class TStatus;
class TProgressForm;
class TTolvIBusComm;
class TJobsForm;
class TJobRunner;
class TRegisterPickDlg;
class TRegistersDlg;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The window's title without the document's name.
    static QString AppTitle();

    // The windows whose texts the language file may replace, in order of creation; the main
    // window is the first.
    void AddTextWindow(QWidget* window) { textWindows_.push_back(window); }

    // Document
    TGridModel* PLUModel() const { return pluModel_; }
    TGridModel* DeptModel() const { return deptModel_; }
    RecyTable& Recy() { return recy_; }
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    const std::string& FileName() const { return fileName_; }

    // The register link and the windows every exchange uses; created once, in this order.
    TTolvIBusComm* TolvIBusComm1 = nullptr;
    TCommDlg* CommDlg = nullptr;
    TProgressForm* ProgressForm = nullptr;
    TUploadDlg* UploadDlg = nullptr;
    TDownloadDlg* DownloadDlg = nullptr;
    TParaDlg* ParaDlg = nullptr;
    TRecyForm* RecyForm = nullptr;
    TStatus* Status1 = nullptr;
    // Tells once per adapter that it holds received bytes back; tests give it a tree of their own.
    TLatencyCheck LatencyCheck;

    TEditGrid* PLUGrid() const { return pluGrid_; }
    TEditGrid* DeptmentGrid() const { return deptGrid_; }
    QTextEdit* RptEd() const { return rptEd_; }

    // Read when the window is first shown.
    std::string languageFile;
    // The user guide's first page, opened by Help, Contents in the desktop's browser; tests
    // replace the opening. False when nothing could show it.
    std::string guideFile;
    std::function<bool(const std::string& path)> openGuide;

    // File dialogs, replaceable so tests can answer them. Empty = cancelled. They start in the
    // current document's folder or the last folder used (MainFormFiles.cpp).
    std::function<QString()> chooseOpenFile;
    std::function<QString()> chooseSaveFile;
    // The folder the document's dialogs (Open, Save as) and the others start in.
    QString DocumentFolder() const;
    QString WorkFolder() const;
    // What is kept in SYSTEM.CFG when the window closes.
    const TWindowMemory& WindowMemory() const { return memory_; }

    bool ValidateCell(TEditGrid* grid, int col, int row);
    bool ValidateActiveCell();
    bool ConfirmDiscard();
    void NewDocument();
    bool LoadDocument(const std::string& fileName);
    bool SaveDocument(const std::string& fileName);
    void FitGridColumns();
    void FillTestData();
    void SetGridFont(const QFont& font);
    void UpdateCaption();

    void NewItemClick();
    void OpenItemClick();
    // True when the document was written.
    bool SaveItemClick();
    bool SaveAsItemClick();
    void FontItemClick();
    void RecyclingItemClick();
    void ParameterItemClick();
    void SettingItemClick();
    void AboutItemClick();
    void ContentsItemClick();
    // Help, Language: remembers the choice ("system", "en" or "pl") for the next start.
    void LanguageItemClick(const QString& choice);
    TAboutBox* AboutBox() const { return aboutBox_; }

    // ---- Service commands (MainService.cpp) ----
    TDetectPortDlg* DetectPortDlg = nullptr;
    TDataDlg* DataDlg = nullptr;
    // Replaceable so tests neither block on dialogs nor launch programs. Empty path = cancelled.
    std::function<QString()> chooseProgramFile;
    std::function<QString()> chooseFontFile;
    std::function<void(const std::string& path)> openListing;
    // The printer of "Print..."; nullptr with the message when there is none.
    std::function<std::unique_ptr<QPrinter>(QString& error)> openPrinter;
    // Without a default printer: the print dialog, where a PDF file is one choice; nullptr
    // when cancelled.
    std::function<std::unique_ptr<QPrinter>()> choosePrinter;
    void TestItemClick();
    void DetectportItemClick();
    void UploadRPItemClick();
    void PrintItemClick();
    void DownloadFontItemClick();
    void DumpRegisterMemory(); // Ctrl+Alt+F6
    void DownloadProgram();    // Ctrl+Alt+F8
    // Data transfer with the register.
    void DownloadItemClick();
    void UploadItemClick();
    // Ctrl+Alt+F4: the parameter dialog, then the parameters alone to the register.
    void ParaDownloadKeyPress();
    // Runs the parameter dialog (ParaDlg); true when it was closed with OK. Tests answer it.
    std::function<bool()> paraExecute;

    // ---- Comparison with the register and backups (MainFormSafety.cpp) ----
    TCompareDlg* CompareDlg = nullptr;
    TCompareForm* CompareForm = nullptr;
    TBackupForm* BackupForm = nullptr;
    std::string backupRoot; // where backups go; the user's data directory
    void CompareItemClick();
    void BackupItemClick();
    void RestoreItemClick();
    // The backup a download was asked to make first; false when there is none.
    bool BackUpBeforeDownload();
    // A backup of the register, with a copy of the history in its folder.
    TFlowOutcome BackUp(const TBackupRequest& request, TBackupInfo& made);
    // Asks, restores, and says what became of it.
    QString RestoreFromBackup(const TBackupInfo& backup);
    // ---- The shop's registers (MainFormRegisters.cpp) ----
    TRegistersDlg* RegistersDlg = nullptr;
    TJobsForm* JobsForm = nullptr;
    TRegisterPickDlg* RegisterPickDlg = nullptr;
    QComboBox* RegisterBox = nullptr; // the chooser on the tool bar
    // quorve-plu-cli, which runs each register's job when several are chosen; and what every
    // job adds to its command.
    QString cliPath;
    QStringList jobArgs;
    // jobArgs and the history file the window keeps.
    QStringList JobArgs() const;
    const TRegisterList& Registers() const { return registers_; }
    // The register every command acts on; empty without a list.
    const std::string& ChosenRegister() const { return chosenRegister_; }
    // Reads the list again and fills the chooser; keeps the chosen register if it is still there.
    void LoadRegisters();
    // Makes the register's settings, trace and backups those of every command.
    void ChooseRegister(const std::string& name);
    void RegistersItemClick();
    void UploadReportsItemClick();
    void BackupRegistersItemClick();
    // A command for the registers by name, each in a job, in the results window.
    void RunOnRegisters(const std::vector<std::string>& names, const QStringList& command,
                        const QString& title, bool reports = false);

    // ---- Spreadsheets, the clipboard and the whole-document check (MainFormSheets.cpp) ----
    TImportDlg* ImportDlg = nullptr;
    TExportDlg* ExportDlg = nullptr;
    TProblemList* CheckList = nullptr;
    // File dialogs of Import and Export; empty = cancelled. Export's gets the usual ending.
    std::function<QString()> chooseImportFile;
    std::function<QString(const QString& suffix)> chooseExportFile;
    void ImportItemClick();
    void ExportItemClick();
    void CutItemClick();
    void CopyItemClick();
    void PasteItemClick();
    void CheckItemClick();
    // Puts an import's table into the document.
    void ApplyImport(ImportResult result, const QString& fileName);
    // A transient line at the left of the status bar, beside the bar's own areas.
    void ShowMessage(const QString& text);
    QString Message() const;
    // Moves to the cell of a problem of the last check (the recycling editor for its prices).
    void GoToProblem(const CellProblem& problem);
    const std::vector<CellProblem>& CheckProblems() const { return checkProblems_; }

    // ---- The history (MainFormHistory.cpp) ----
    // The history file, opened when the window is made; tests open one of their own. One that
    // cannot be opened is told once (stderr, then the status bar), and reports are then not
    // cleared in the register.
    THistoryStore* HistoryStore() const { return historyStore_.get(); }
    bool OpenHistory(const std::string& path);
    // What the history's views read: the chain's server when SYSTEM.CFG's [History] Server
    // names one (every shop, opened at the first read), else the local file. Null when neither
    // can be read; why is in the status bar.
    THistoryStore* ReadingHistory();
    // The push to that server, in the background; null when none is set.
    THistoryPusher* HistoryPusher() const { return historyPusher_.get(); }
    // The one place an exchange with a register starts and ends: its journal entry, and the
    // sales counters it read as a snapshot. bus: another component than the window's own.
    TFlowOutcome RunOperation(const TOperationInfo& info,
                              const std::function<TFlowOutcome(TOperationRecorder&)>& run,
                              TTolvIBusComm* bus = nullptr);
    // A copy of the history in a backup folder just made; a failure is told. Empty when made
    // or when there is no history to copy.
    QString CopyHistoryInto(const std::string& folder);
    // The report pane's menu: Save as... (a text file, UTF-8) and Print. Tests answer the file
    // dialog.
    std::function<QString()> chooseReportFile;
    void SaveReportAs();
    void PrintReport();
    // Communication, History...: the window over the history file, read afresh each time.
    void HistoryItemClick();
    THistoryForm* HistoryWindow() const { return historyForm_; }

    // ---- Undo and redo, find, bulk changes (MainFormEdit.cpp) ----
    TFindBar* FindBar() const { return findBar_; }
    TBulkChangeDlg* BulkChangeDlg = nullptr;
    EditHistory& History() { return history_; }
    DocumentTables Tables() { return {pluModel_->Table(), deptModel_->Table(), recy_}; }
    // Keeps a change already made to the document as one step of the history.
    void RecordEdit(EditStep step);
    // New, Open and an upload start a new history.
    void ClearHistory();
    void UndoItemClick();
    void RedoItemClick();
    void FindItemClick();
    void BulkChangeItemClick();
    // Enables the Edit menu's items by what is possible now.
    void UpdateEditItems();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildGrids();
    void SetUpFileDialogs();
    // Runs a file dialog from folder; the chosen file's folder becomes the last folder used.
    QString ChooseFile(QWidget* parent, const TFileChoice& choice, const QString& folder,
                       const QString& proposedName = {});
    void BuildMenus();
    void BuildToolBar();
    // The file that failed, when known, goes beside the system's reason.
    void ShowFileError(int error, const std::string& path = {});
    bool HandleHiddenKey(int key);
    TTransferContext TransferContext(KindSet kinds, const TTransferRangeDlg& range);
    // Runs a download or an upload; when it went through, the status bar says so.
    void RunTimedTransfer(TTransferContext& ctx, const char* word, const TOperationInfo& operation,
                          TFlowResult (*flow)(TTransferContext&));
    void CreateServiceWindows();
    void ConnectServiceCommands();
    void CreateSafetyWindows();
    void AddSafetyItems(QMenu* comm);
    void CreateSheetWindows();
    void CreateRegisterWindows();
    void AddRegisterItems(QMenu* comm);
    // The download dialog chose registers other than the chosen one alone: sent in jobs.
    bool DownloadToRegisters();
    void ConnectSheetCommands();
    void ConnectEditCommands();
    void ShowTouched(const TouchedCells& touched);
    void BuildReportMenu();
    void AddLanguageItems(QMenu* help);
    void AddHistoryItem(QMenu* comm);
    QString HistoryProblem() const;
    void TellHistoryProblem();
    void FitPanels();
    void FitNameColumn();
    std::optional<CellRect> PasteBlock(TEditGrid* grid, const QString& text,
                                       const CellRect& target);
    TEditGrid* ActiveGrid() const;
    void ShowCheckList();
    // Before a download: true when the data to send passes every check, or the user wants it
    // sent anyway.
    bool ConfirmDownloadProblems(KindSet kinds, int rangeBegin, int rangeEnd);

    TGridModel* pluModel_ = nullptr;
    TGridModel* deptModel_ = nullptr;
    RecyTable recy_;
    bool modified_ = false;
    std::string fileName_;

    TEditGrid* pluGrid_ = nullptr;
    TEditGrid* deptGrid_ = nullptr;
    QTextEdit* rptEd_ = nullptr;
    QToolBar* menuToolBar_ = nullptr;
    QToolBar* mainToolBar_ = nullptr;
    TAboutBox* aboutBox_ = nullptr;
    std::vector<QWidget*> textWindows_;
    bool shownOnce_ = false;
    QLabel* messageLabel_ = nullptr;
    QTimer messageTimer_;
    std::vector<CellProblem> checkProblems_;
    EditHistory history_;
    TFindBar* findBar_ = nullptr;
    QSplitter* hSplitter_ = nullptr;
    QSplitter* vSplitter_ = nullptr;
    TWindowMemory memory_;
    int fittedNameWidth_ = 0; // as FitGridColumns measured it
    TRegisterList registers_;
    std::string chosenRegister_;
    QAction* registerBoxAction_ = nullptr;
    // The document as it was when several registers were sent it, kept for "Retry failed".
    std::unique_ptr<QTemporaryDir> jobDocument_;
    std::unique_ptr<THistoryStore> historyStore_;
    bool historyToldOnce_ = false;
    std::unique_ptr<THistoryPusher> historyPusher_;
    std::unique_ptr<THistoryStore> historyServer_;
    QString pushProblem_; // the last one told, so that a server down is told once
    THistoryForm* historyForm_ = nullptr;
    THistoryStore* historyFormStore_ = nullptr; // the store the window reads

public:
    // Menu items, named as the language file knows them.
    QAction* NewItem = nullptr;
    QAction* OpenItem = nullptr;
    QAction* SaveItem = nullptr;
    QAction* SaveAsItem = nullptr;
    QAction* ImportItem = nullptr;
    QAction* ExportItem = nullptr;
    QAction* RecyclingItem = nullptr;
    QAction* ParameterItem = nullptr;
    QAction* PrintItem = nullptr;
    QAction* FontItem = nullptr;
    QAction* ExitItem = nullptr;
    QAction* UndoItem = nullptr;
    QAction* RedoItem = nullptr;
    QAction* FindItem = nullptr;
    QAction* BulkChangeItem = nullptr;
    QAction* CutItem = nullptr;
    QAction* CopyItem = nullptr;
    QAction* PasteItem = nullptr;
    QAction* CheckItem = nullptr;
    QAction* SettingItem = nullptr;
    QAction* DetectportItem = nullptr;
    QAction* RegistersItem = nullptr;
    QAction* UploadReportsItem = nullptr;
    QAction* BackupRegistersItem = nullptr;
    QAction* TestItem = nullptr;
    QAction* DownloadItem = nullptr;
    QAction* UploadItem = nullptr;
    QAction* UploadRPItem = nullptr;
    QAction* DownloadFontItem = nullptr;
    QAction* CompareItem = nullptr;
    QAction* BackupItem = nullptr;
    QAction* RestoreItem = nullptr;
    QAction* HistoryItem = nullptr;
    QAction* ContentsItem = nullptr;
    QAction* AboutItem = nullptr;
    QAction* LanguageSystemItem = nullptr;
    QAction* LanguageEnglishItem = nullptr;
    QAction* LanguagePolishItem = nullptr;
};

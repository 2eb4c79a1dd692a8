#pragma once
// The main window frmQuorvel: the one form of the program. It holds every
// control, implements the host interface the task runner talks to, owns the
// runner (and with it the state of a run), reads the stored settings at
// start-up and writes them when it closes.
//
// main_window_controls.cpp holds the control table (captions, places in
// twips, keyboard order) and the menu bar; main_window.cpp start-up, close,
// the task choice and the file box; main_window_runs.cpp the start button,
// batches and the stop; main_window_host.cpp what the runner sees (log,
// status, pauses) and help; main_window_layout.cpp how the window grows;
// main_window_companion.cpp the second file box of tasks 8 and 9, the
// glossary and the accepted findings of task 6; main_window_colours.cpp the
// colours and fonts of task 4.

#include "engine/runner/host.h"
#include "engine/runner/task_runner.h"

#include <QColor>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <QHash>
#include <QRect>

#include <array>
#include <memory>
#include <vector>

class QAction;
class QActionGroup;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QProgressBar;
class QScrollArea;
class QPushButton;
class QRadioButton;
class QSettings;
class QTimer;

namespace ui {

// The texts the window itself shows and tests compare with.
namespace text {
inline const QString kAppTitle = QStringLiteral("Kalvendo");
inline const QString kFilePrompt =
    QStringLiteral("<処理するDOC(DOCX)ファイルを指定してください\u3000ドラッグ＆ドロップもできます>");
inline const QString kInvalidFileHead =
    QStringLiteral("< DOCファイルまたはDOCXファイルを指定してください 無効ファイル：");
inline const QString kInvalidFileTail = QStringLiteral(" >");
inline const QString kLogBanner =
    QStringLiteral("\r\n処理するWordファイルは事前に保存し閉じておいてください。処理中Wordは非表示となります。\r\n");
inline const QString kCommandLineLog = QStringLiteral("コマンドライン引数の指定あり：");
inline const QString kDropMessage = QStringLiteral("docファイルをドラッグ＆ドロップしてください");
inline const QString kOpenNoFile = QStringLiteral("参照ボタンを押して有効なファイル名を設定してください");
inline const QString kNoTask = QStringLiteral("no task");
inline const QString kBrowseTitle = QStringLiteral("処理するWordファイルを指定します");
inline const QString kWordFilter = QStringLiteral("Wordファイル (*.doc *.docx *.rtf)");
inline const QString kAllFilter = QStringLiteral("すべてのファイル (*)");
inline const QString kHelpFile = QStringLiteral("Kalvendo.chm");
inline const QString kStart = QStringLiteral("開始(&S)");
inline const QString kStop = QStringLiteral("中止(&C)");
inline const QString kAccept = QStringLiteral("了承");
// The file box for several documents: the first one and how many follow.
inline const QString kMoreDocuments = QStringLiteral("（他 %1 件）");
}  // namespace text

// Task codes the window offers, 0 to 9.
inline constexpr int kTaskCount = 10;
// Documents kept in ファイル > 最近使ったファイル.
inline constexpr int kRecentCount = 10;

// The settings store of the program: application "Kalvendo", section
// "Settings" (the caller opens the group).
std::unique_ptr<QSettings> OpenSettingsStore();

// The document-name rule: the text ends in ".doc", ".docx" or ".rtf", in any case.
bool IsDocumentName(const QString& path);

// The name of task code 0..9 as the 処理 menu gives it, without its key.
QString TaskName(int task);

// How an accepted finding is kept and handed to the check: its kind, a tab
// and the text it quotes (the first 「…」 of what it says, else all of it).
QString AcceptedFindingLine(const QString& kind, const QString& what);

class frmQuorvel : public QWidget, public engine::Host {
    Q_OBJECT

public:
    // `arguments`: the program's arguments after its name, each one whole (a
    // path may hold blanks). One names the document to start with; several
    // are several documents, as a drop of them is.
    explicit frmQuorvel(const QStringList& arguments = {}, QWidget* parent = nullptr);
    ~frmQuorvel() override;

    // --- engine::Host ---
    void ShowLog(int mode, const QString& text) override;
    void ShowStatus(const QString& text) override;
    void SetProgress(double value) override;
    double Progress() const override { return progress_; }
    void RefreshProgress() override;
    void Wait1Sec() override;
    void DoEvents() override;
    void PollEvents() override;
    using engine::Host::MessageBox;
    // In a run over several documents a message goes into the log under the
    // document's heading and the run goes on; the end shows one summary.
    void MessageBox(const QString& text, const QString& title, bool exclamation) override;
    void BrowseForFile() override;
    void OpenWithShell(const QString& path) override;
    QString FilePathText() const override;
    engine::TaskOptions Options() const override;
    void ReportFinding(const QString& kind, const QString& where, const QString& what) override;

    // --- start-up and close ---
    void Form_Load();
    void Form_Unload();
    void cmdEnd_Click();

    // --- task selection and buttons ---
    void optTask_Click(int index);
    void ShowLanguageOptions();
    void HideLanguageOptions();
    void ShowColorOptions();
    void HideColorOptions();
    void ShowHtmlOptions(bool on);
    void ShowItemOptions(bool on);
    void SetButtonEnable(int flag);
    // 開始: runs the selected task on each chosen document in turn. 中止 has
    // a button and key of its own, enabled only while a run goes on, so that
    // a stop pressed as a run ends never starts the next one.
    void cmdStart_Click();
    void cmdStop_Click() { StopRun(); }
    void StopRun();
    bool IsRunning() const { return running_; }

    // --- the document file ---
    void cmdRefer_Click();
    void Form_OLEDragDrop(const QStringList& files);
    void txtFilePath_Change();
    void cmdOpen_Click();
    // The documents the file box stands for: several after a choice of
    // several, else its text.
    QStringList ChosenDocuments() const;
    // Puts documents in the file box (the first one and "（他 n 件）").
    void SetDocuments(const QStringList& files);
    const QStringList& RecentFiles() const { return recentFiles_; }

    // --- the second file box (tasks 8 and 9), the glossary, accepted findings ---
    void cmdReferCompanion_Click();
    void cmdReferGlossary_Click();
    // Puts a file in the second file box of the chosen task and its recent list.
    void SetCompanion(const QString& file);
    QStringList RecentCompanions(int task) const;
    // Accepts the finding logged on line `block` of the log (task 6).
    bool AcceptFindingAt(int block);
    QStringList AcceptedFindings(const QString& document) const;
    // Writes the log to a file chosen in a save dialog.
    void SaveLog();
    bool SaveLogTo(const QString& path);

    // --- the menu bar ---
    void ShowAbout();

    // --- colours and fonts ---
    void cmdSetColor_Click(int index);
    void chFont_Click();

    // --- help ---
    void cmdHelp_Click();

    // --- state ---
    engine::TaskRunner& Runner() { return runner_; }
    // The log as the program wrote it (lines end in CR LF).
    const QString& LogText() const { return logText_; }
    // The folder the file dialog opens in.
    const QString& DialogFolder() const { return dialogFolder_; }
    // The colour shown behind colour box i (0xBBGGRR).
    int SwatchColour(int index) const { return swatch_.at(static_cast<size_t>(index)); }
    // Index of the first selected task option, -1 when none.
    int SelectedTask() const;
    // The area below the menu bar that holds the controls: 8976 x 7512 twips
    // at the start, larger when the window is enlarged (scrolled when the
    // screen is smaller).
    QWidget* ClientArea() const { return client_; }
    // The client area's size at the start, in pixels.
    QSize DesignClientSize() const;

    // Converts twips to pixels with the screen's logical resolution.
    int TwipsX(int twips) const;
    int TwipsY(int twips) const;

    // --- the controls; objectName = the name below ("optTask_2" for optTask(2)) ---
    QPushButton* cmdRefer = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdEnd = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdStop = nullptr;
    QPlainTextEdit* txt = nullptr;
    QLabel* lbl = nullptr;
    QLineEdit* txtFilePath = nullptr;
    QLabel* lblFilePath = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblTask = nullptr;  // the chosen task's name, beside 処理：
    QProgressBar* ProgressBar1 = nullptr;
    QTimer* Timer1 = nullptr;
    QGroupBox* fraTask = nullptr;
    // Options 2 to 9 stay hidden: the menu selects them, lblTask names them.
    std::array<QRadioButton*, kTaskCount> optTask{};
    QGroupBox* fraLanguage = nullptr;
    std::array<QRadioButton*, 2> opt{};
    QLabel* lblForCheck = nullptr;
    QGroupBox* fraSpace = nullptr;
    std::array<QRadioButton*, 2> OptSpace{};
    std::array<QLabel*, 4> lblColor{};
    std::array<QLineEdit*, 2> txtColor{};
    std::array<QPushButton*, 3> cmdSetColor{};
    QCheckBox* chFont = nullptr;
    std::array<QComboBox*, 2> cmbFont{};
    // Options of task code 5 (HTML) and of task code 7 (item renumbering).
    QGroupBox* fraHtml = nullptr;
    QCheckBox* chkConvertImages = nullptr;
    QCheckBox* chkSplitDocuments = nullptr;
    QGroupBox* fraItems = nullptr;
    std::array<QCheckBox*, 5> chkItem{};  // 請求項, 図, 表, 化, 数
    // Task code 6: the copy with the findings as comments.
    QGroupBox* fraCheck = nullptr;
    QCheckBox* chkAnnotate = nullptr;
    // Task code 9: how the amendment is made.
    QGroupBox* fraAmendment = nullptr;
    QCheckBox* chkClaimsEach = nullptr;
    QCheckBox* chkUnderlineClaimsOnly = nullptr;
    QCheckBox* chkNewMatter = nullptr;
    // Tasks 8 and 9: the second document (an editable box listing its recent files).
    QLabel* lblCompanion = nullptr;
    QComboBox* cmbCompanion = nullptr;
    QPushButton* cmdReferCompanion = nullptr;
    // Task 8: the glossary.
    QLabel* lblGlossary = nullptr;
    QLineEdit* txtGlossary = nullptr;
    QPushButton* cmdReferGlossary = nullptr;

    // --- the menu bar; objectName = the name below ("mnuTask_3") ---
    QMenuBar* menuBar = nullptr;
    QMenu* mnuTaskMenu = nullptr;
    std::array<QAction*, kTaskCount> mnuTask{};
    QMenu* mnuFileMenu = nullptr;
    QAction* mnuOpen = nullptr;
    QMenu* mnuRecent = nullptr;
    QAction* mnuSaveLog = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuHelpMenu = nullptr;
    QAction* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateControls();
    void CreateOptionFrames();
    void CreateCompanionControls();
    void CreateMenus();
    void SetTabOrder();
    void ConnectHandlers();
    void FillRecentMenu();
    void RememberDocuments(const QStringList& files);
    // Puts the documents among `files` in the box and the recent files; the
    // log names the files left out.
    void TakeDocuments(const QStringList& files);
    // One document of a run: heading (several documents), the task's runs,
    // the files it left in the log. True when every run completed.
    bool RunDocument(int task, const QString& document, int index, int count);
    void LogResultFiles();
    // The end of a run over several documents: the summary line and one
    // message naming each document that failed, with its reason.
    void SummariseBatch(const QStringList& documents, int succeeded, int failed, bool stopped);
    // The status line and bar at the end of one document's run.
    void ShowOutcome(const QString& document);
    // The log's context menu: the standard one, 了承 on a finding's line, saving.
    void ShowLogMenu(const QPoint& at);
    // The controls of the second file box, the glossary and the option
    // frames of tasks 6 and 9: shown for their tasks, read and stored.
    void ShowCompanionOptions(int task);
    void ReadCompanionSettings(QSettings& store);
    void WriteCompanionSettings(QSettings& store);
    void KeepCompanionText();
    void FillCompanionBox(int task);
    void WriteAcceptedFindings(const QString& document);
    // Growth: the window starts at its design size (or the stored one,
    // within the screen) and the controls follow its edges.
    struct Anchored {
        QWidget* widget;
        QRect design;
        bool followRight;  // moves with the right edge
        bool growWidth;    // widens with the window
        bool growHeight;   // grows with the window's height
    };
    void Anchor(QWidget* w, bool followRight, bool growWidth, bool growHeight);
    void FollowClientSize();
    void ApplyStoredSize(const QString& text);
    QString SizeText() const;
    // Appends text to the log box; paths of existing files become links.
    void AppendToLogBox(const QString& text);
    void Place(QWidget* w, int left, int top, int width, int height);
    void ApplyStoredSettings();
    void FillFontLists();
    void CentreOnScreen();
    void CommandLineStart();
    void SetSwatch(int index, int bgr);
    void FitStatusLabel();

    engine::TaskRunner runner_;
    QStringList arguments_;
    QString logText_;
    QString dialogFolder_;
    double progress_ = 0;
    std::array<int, 2> swatch_{0x663399, 0x000000};
    QButtonGroup* taskGroup_ = nullptr;
    QActionGroup* taskMenuGroup_ = nullptr;
    QWidget* client_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    std::vector<Anchored> anchors_;
    bool unloaded_ = false;
    bool running_ = false;
    QStringList documents_;      // the documents behind the file box, when several
    QString runDocument_;        // the document of the run in progress
    bool severalInRun_ = false;  // the run in progress has several documents
    QStringList recentFiles_;
    QStringList openedInRun_;    // files the run handed to the desktop
    QElapsedTimer sinceEvents_;  // since events last ran during a run
    bool closeAfterRun_ = false;  // the window was closed during a run
    // The bar during a run: planned run `plannedRun_` of `plannedRuns_`
    // fills its share, and never moves back within a document.
    int plannedRun_ = 0;
    int plannedRuns_ = 1;
    double barShown_ = 0;
    // Why each document of the batch in progress failed: its first message.
    QString documentMessage_;
    QStringList failures_;
    // The second file box: what it held and its recent files, per task (8, 9).
    struct Companion {
        QString text;
        QStringList recent;
    };
    std::array<Companion, 2> companions_;
    int companionTask_ = -1;  // the task whose text the box shows
    // The findings in the log, by line: the document, the kind and the text.
    struct LoggedFinding {
        QString document;
        QString kind;
        QString what;
    };
    QHash<int, LoggedFinding> loggedFindings_;
};

}  // namespace ui

#pragma once
// The main window frmQuorvel: the one form of the program. It holds every
// control, implements the host interface the task runner talks to, owns the
// runner (and with it the state of a run), reads the stored settings at
// start-up and writes them when it closes.
//
// main_window_controls.cpp holds the control table (captions, places in
// twips, keyboard order) and the menu bar; main_window.cpp the behaviour;
// main_window_host.cpp what the runner sees (log, status, pauses) and help.

#include "engine/runner/host.h"
#include "engine/runner/task_runner.h"

#include <QColor>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

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
inline const QString kWordFilter = QStringLiteral("Wordファイル (*.doc *.docx)");
inline const QString kAllFilter = QStringLiteral("すべてのファイル (*)");
inline const QString kHelpFile = QStringLiteral("Kalvendo.chm");
inline const QString kStart = QStringLiteral("開始(&S)");
inline const QString kStop = QStringLiteral("中止(&S)");
// The file box for several documents: the first one and how many follow.
inline const QString kMoreDocuments = QStringLiteral("（他 %1 件）");
}  // namespace text

// Task codes the window offers, 0 to 7.
inline constexpr int kTaskCount = 8;
// Documents kept in ファイル > 最近使ったファイル.
inline constexpr int kRecentCount = 10;

// The settings store of the program: application "Kalvendo", section
// "Settings" (the caller opens the group).
std::unique_ptr<QSettings> OpenSettingsStore();

// The document-name rule: the text ends in ".doc" or ".docx", in any case.
bool IsDocumentName(const QString& path);

class frmQuorvel : public QWidget, public engine::Host {
    Q_OBJECT

public:
    // `commandLine`: the text after the program name; a document path as its
    // first blank-separated word starts the window with that document.
    explicit frmQuorvel(const QString& commandLine = QString(), QWidget* parent = nullptr);
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
    void MessageBox(const QString& text, const QString& title, bool exclamation) override;
    void BrowseForFile() override;
    void OpenWithShell(const QString& path) override;
    QString FilePathText() const override;
    engine::TaskOptions Options() const override;

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
    // 開始: runs the selected task on each chosen document in turn. While a
    // run goes on the button reads 中止 and stops it.
    void cmdStart_Click();
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
    // The area below the menu bar that holds the controls (8976 x 7512 twips).
    QWidget* ClientArea() const { return client_; }

    // Converts twips to pixels with the screen's logical resolution.
    int TwipsX(int twips) const;
    int TwipsY(int twips) const;

    // --- the controls; objectName = the name below ("optTask_2" for optTask(2)) ---
    QPushButton* cmdRefer = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdEnd = nullptr;
    QPushButton* cmdStart = nullptr;
    QPlainTextEdit* txt = nullptr;
    QLabel* lbl = nullptr;
    QLineEdit* txtFilePath = nullptr;
    QLabel* lblFilePath = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QTimer* Timer1 = nullptr;
    QGroupBox* fraTask = nullptr;
    // Options 6 and 7 stay hidden like 2 to 5: the menu selects them.
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

    // --- the menu bar; objectName = the name below ("mnuTask_3") ---
    QMenuBar* menuBar = nullptr;
    QMenu* mnuTaskMenu = nullptr;
    std::array<QAction*, kTaskCount> mnuTask{};
    QMenu* mnuFileMenu = nullptr;
    QAction* mnuOpen = nullptr;
    QMenu* mnuRecent = nullptr;
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
    void CreateMenus();
    void SetTabOrder();
    void ConnectHandlers();
    void FillRecentMenu();
    void RememberDocuments(const QStringList& files);
    // One document of a run: heading (several documents), the task's runs,
    // the files it left in the log. True when every run completed.
    bool RunDocument(int task, const QString& document, int index, int count);
    void LogResultFiles();
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
    QString commandLine_;
    QString logText_;
    QString dialogFolder_;
    QStringList dialogFiles_;  // the last choice in the browse dialog
    double progress_ = 0;
    std::array<int, 2> swatch_{0x663399, 0x000000};
    QButtonGroup* taskGroup_ = nullptr;
    QActionGroup* taskMenuGroup_ = nullptr;
    QWidget* client_ = nullptr;
    bool unloaded_ = false;
    bool running_ = false;
    QStringList documents_;      // the documents behind the file box, when several
    QString runDocument_;        // the document of the run in progress
    bool severalInRun_ = false;  // the run in progress has several documents
    QStringList recentFiles_;
    QStringList openedInRun_;    // files the run handed to the desktop
    QElapsedTimer sinceEvents_;  // since events last ran during a run
};

}  // namespace ui

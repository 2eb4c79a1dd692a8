#pragma once
// The main window frmQuorvel: the one form of the program. It holds every
// control, implements the host interface the task runner talks to, owns the
// runner (and with it the state of a run), reads the stored settings at
// start-up and writes them when it closes.

#include "engine/host.h"
#include "engine/task_runner.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
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
}  // namespace text

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
    using engine::Host::MessageBox;
    void MessageBox(const QString& text, const QString& title, bool exclamation) override;
    void BrowseForFile() override { cmdRefer_Click(); }
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
    void SetButtonEnable(int flag);
    void cmdStart_Click();

    // --- the document file ---
    void cmdRefer_Click();
    void Form_OLEDragDrop(const QStringList& files);
    void txtFilePath_Change();
    void cmdOpen_Click();

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
    std::array<QRadioButton*, 6> optTask{};
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

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateControls();
    void SetTabOrder();
    void ConnectHandlers();
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
    QString dialogFileName_;
    double progress_ = 0;
    std::array<int, 2> swatch_{0x663399, 0x000000};
    QButtonGroup* taskGroup_ = nullptr;
    bool unloaded_ = false;
};

}  // namespace ui

#pragma once
// What the task runner asks of the window. The main window implements it, and
// so do the command-line runner and the tests (a recording host).

#include <QString>
#include <QStringList>

namespace engine {

// The option values the tasks read from the window at the moment they run.
struct TaskOptions {
    bool englishToJapanese = true;   // opt(0) "英日"; false: opt(1) "日英"
    bool oneBlank = true;            // OptSpace(0) "空白１つ"; false: OptSpace(1) "空白２つ"
    QString sourceColour = "663399";      // txtColor(0)
    QString translationColour = "000000"; // txtColor(1)
    bool fontSwitch = false;         // chFont checked
    QString fontJapanese;            // cmbFont(0)
    QString fontLatin;               // cmbFont(1)
    // Task 5: pictures brought to the filing software's rules (false: copied as stored),
    // and one HTML file per 【書類名】 section.
    bool convertImages = true;
    bool splitDocuments = false;
    // Task 7: the item families to renumber, any of 請求項, 図, 表, 化, 数.
    QStringList itemFamilies = {QStringLiteral("請求項"), QStringLiteral("図"), QStringLiteral("表"),
                                QStringLiteral("化"), QStringLiteral("数")};
    // Task 6: also write a copy of the document with each finding as a Word
    // comment. Findings the drafter accepted, each "kind<TAB>quoted text": the
    // window's list for the document, and the lines of a file given on the command line.
    bool annotate = false;
    QStringList acceptedFindings;
    QString acceptFile;
    // Tasks 8 and 9 read a second document beside the one in the file box:
    // task 8 the source of the translation (empty: the document is a tagged
    // bilingual one), task 9 the earlier version (as filed or last amended).
    QString companionPath;
    // Task 8: the translator's glossary (source<TAB>translation lines), optional.
    QString glossaryFile;
    // Task 9: claims amended claim by claim instead of as a whole; underlines
    // in the claims only; the sentences with words new to the earlier version listed.
    bool claimsEach = false;
    bool underlineClaimsOnly = false;
    bool newMatter = false;
};

class Host {
public:
    virtual ~Host() = default;

    // mode 1 appends, 2 appends CR LF and the text, any other value replaces the log.
    virtual void ShowLog(int mode, const QString& text) = 0;
    // Sets the status line and repaints it at once.
    virtual void ShowStatus(const QString& text) = 0;
    // Sets the progress bar (0..100). RefreshProgress repaints it at once.
    virtual void SetProgress(double value) = 0;
    virtual double Progress() const = 0;
    virtual void RefreshProgress() = 0;
    // Pauses about one second while window events are processed.
    virtual void Wait1Sec() = 0;
    // Lets pending window events run once.
    virtual void DoEvents() = 0;
    // Called at every pass and paragraph boundary of a run, often: a window
    // lets pending events run here when some time has passed since it last
    // did, so that it repaints and a click on 中止 arrives. Others do nothing.
    virtual void PollEvents() {}
    // A message box with an OK button only; title is "Kalvendo" unless given.
    virtual void MessageBox(const QString& text, const QString& title, bool exclamation) = 0;
    void MessageBox(const QString& text) { MessageBox(text, QStringLiteral("Kalvendo"), false); }
    // The browse operation of the window (cmdRefer_Click).
    virtual void BrowseForFile() = 0;
    // Opens a file in the desktop's application for it; returns at once.
    virtual void OpenWithShell(const QString& path) = 0;
    // The text of the file box txtFilePath.
    virtual QString FilePathText() const = 0;
    virtual TaskOptions Options() const = 0;
    // One finding of the check before filing (task code 6), as it is found;
    // it is in the log too. The command-line runner prints it.
    virtual void ReportFinding(const QString& kind, const QString& where, const QString& what) {
        (void)kind, (void)where, (void)what;
    }
    // The same with its place: the paragraph of the main story (0 for the
    // first; -1 for none) and the characters [offset, offset + length) in it.
    // A host that shows the place overrides this one; the default reports
    // the finding without it.
    virtual void ReportFindingAt(const QString& kind, const QString& where, const QString& what, int paragraph,
                                 qsizetype offset, qsizetype length) {
        (void)paragraph, (void)offset, (void)length;
        ReportFinding(kind, where, what);
    }
};

}  // namespace engine

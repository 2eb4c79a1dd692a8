#pragma once
// The task runner and the routines of the tasks. One object lives as long as
// the window (or the command-line run) and owns the state of a run: the
// engine's application, the open document, the document range and the flags.

#include "engine/deletion/deletion.h"
#include "engine/runner/host.h"
#include "word/automation.h"
#include "word/backup.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <utility>
#include <optional>

namespace engine {

// How the last run ended.
enum class RunOutcome {
    Completed,   // the step list ran to its end (the document saved or left unchanged)
    NoFile,      // the file box named no file: message and browse dialog
    OpenFailed,  // the document could not be opened: message and browse dialog
    Aborted,     // a failure after the document was opened: reported, nothing written
    Refused,     // an option the task needs is unusable, or the document is read-only:
                 // message, the document not opened
    Stopped,     // stopped by the user: closed without saving, nothing written, no message
};

// Thrown at a boundary of a run when a stop was requested. Deliberately not a
// std::exception: no handler of errors inside a task may take a stop for one.
struct RunStopped {};

// The steps of the save sequence, in order, for tests that simulate a failure
// (or the process ending) at each.
enum class SaveStep {
    ChooseBackup,         // leftovers of a killed save removed, the first free backup name picked
    WriteResult,          // the edited document written whole under a temporary name
    KeepModeAndOwner,     // the temporary file given the document's mode, owner and group
    Close,                // the document closed without saving
    KeepInputAsBackup,    // the input given the backup name as a second name
    MoveResultIntoPlace,  // temporary name -> document name (the input keeps only the backup name)
    ReadSize,             // the saved file's length read for the log
};

class TaskRunner {
public:
    explicit TaskRunner(Host& host);

    // Runs task code 0, 1, 2, 5, 6, 7, 8 or 9 on the document named in the file box.
    // Refuses (returns at once) while another run is in progress.
    void RunTask(short code);
    bool IsRunning() const { return running_; }

    // Asks the run in progress to end at its next pass or paragraph boundary:
    // the document is closed without saving and the log says so. The request
    // stays until cleared, so that a caller running several documents sees it.
    void RequestStop() { stopRequested_ = true; }
    void ClearStopRequest() { stopRequested_ = false; }
    bool StopRequested() const { return stopRequested_; }
    RunOutcome LastOutcome() const { return lastOutcome_; }

    // False: task code 2 deletes the source text; true: it colours it.
    void SetColourFlag(bool on) { colourFlag_ = on; }
    bool ColourFlag() const { return colourFlag_; }

    const QString& DocumentPath() const { return documentPath_; }
    void SetDocumentPath(const QString& path) { documentPath_ = path; }
    bool Changed() const { return changed_; }
    // What the last run's HTML (task code 5) does not carry and the user must
    // add by hand: pictures that could not be converted, charts, shapes, …
    int HandWorkLeft() const { return handWorkLeft_; }
    // The backups the saves made since the last call, oldest first.
    QStringList TakeBackupsMade() { return std::exchange(backupsMade_, {}); }
    bool WordWasRunning() const { return wordWasRunning_; }
    // The application of the run, or null once a run ended normally.
    const std::shared_ptr<word::Application>& WordApplication() const { return word_; }
    const std::shared_ptr<word::Document>& OpenDocument() const { return document_; }

    // --- routines used by the step lists (public so tests can drive them) ---

    // Sets the document range to the whole main text without its final mark;
    // `select` also selects it first (tasks 0 and 1).
    void PrepareRange(bool select);
    // One whole-range replace-all with the fixed options; sets the change flag when found.
    void ReplaceAll(const QString& findText, const QString& replacementText);
    // Colours every occurrence of a text 20 % grey, text unchanged.
    void GrayAll(const QString& text);
    // Obtains the application: attach, else create; the failure message.
    void StartWord();
    // Saves under the input's name with a numbered backup, or logs "no change".
    void FinalProcess();
    // Replaces the placeholders 【００００】 by consecutive numbers.
    void RenumberParagraphs();
    // The two walks of the deletion task (classification, deletion or colouring),
    // followed by the check and the reports when not colouring.
    void DeleteOriginals();
    // Rewrites the HTML file line by line through a ".temp" file.
    void SlimHTM(const QString& fileName);

    // Lets tests and the command line open the document directly.
    void SetApplicationForTest(std::shared_ptr<word::Application> app) { word_ = std::move(app); }
    // Called before each step of the save sequence; a test makes it throw to
    // simulate that step failing.
    void SetSaveStepHookForTest(std::function<void(SaveStep)> hook) { saveStepHook_ = std::move(hook); }

private:
    // The host as the tasks see it. Their status, progress and event calls
    // mark the boundaries of passes and paragraphs, where a requested stop
    // ends the run; the files they hand to the desktop (reports) wait until
    // the run has ended and are removed instead when it was stopped.
    class BoundaryHost final : public Host {
    public:
        BoundaryHost(Host& window, TaskRunner& runner) : window_(window), runner_(runner) {}
        void ShowLog(int mode, const QString& text) override { window_.ShowLog(mode, text); }
        void ShowStatus(const QString& text) override;
        void SetProgress(double value) override;
        double Progress() const override { return window_.Progress(); }
        void RefreshProgress() override;
        void Wait1Sec() override;
        void DoEvents() override;
        void PollEvents() override { window_.PollEvents(); }
        using Host::MessageBox;
        void MessageBox(const QString& text, const QString& title, bool exclamation) override {
            window_.MessageBox(text, title, exclamation);
        }
        void BrowseForFile() override { window_.BrowseForFile(); }
        void OpenWithShell(const QString& path) override { window_.OpenWithShell(path); }
        QString FilePathText() const override { return window_.FilePathText(); }
        TaskOptions Options() const override { return window_.Options(); }
        void ReportFinding(const QString& kind, const QString& where, const QString& what) override {
            window_.ReportFinding(kind, where, what);
        }
        void ReportFindingAt(const QString& kind, const QString& where, const QString& what, int paragraph,
                             qsizetype offset, qsizetype length) override {
            window_.ReportFindingAt(kind, where, what, paragraph, offset, length);
        }
        Host& Window() { return window_; }

    private:
        Host& window_;
        TaskRunner& runner_;
    };

    // A boundary of the run: lets the window's events through and throws
    // RunStopped when a stop was requested while a document is open.
    void StopPoint();
    void RunTaskSteps(short code);
    // Ends a run that was stopped: log line, document closed without saving,
    // engine released, the reports this run wrote removed; no message.
    void StopRun();

    // Step lists, one source file per task family.
    void RunNumberingSteps(short code);   // task codes 0 and 1, numbering.cpp
    void NumberingTail();
    void ZeroDigitAfter(const QString& prefix);
    void ZeroWideNumbers();
    void RunDeletionSteps();              // task code 2, tag_passes.cpp
    // Checks the options a task will read before anything is opened; shows the
    // message and returns false when one is unusable (tag_passes.cpp).
    bool ValidateOptions(short code);
    void RunHtmlTask();                   // task code 5, html_task.cpp
    void RunCheckTask();                  // task code 6, check_task.cpp
    void RunItemRenumbering();            // task code 7, item_renumbering_task.cpp
    void RunTranslationCheck();           // task code 8, translation/translation_task.cpp
    void RunAmendment();                  // task code 9, amendment/amendment_task.cpp
    // Ends a run that failed after the document was opened: message, log line,
    // document closed without saving, engine released.
    void AbortRun(const QString& reason);
    void ReleaseWord();
    // Closes the open document without saving and releases the engine.
    void DropDocumentUnsaved();
    // The save branch of FinalProcess: write, close and exchange the files,
    // undoing what was done when a step fails.
    void SaveWithBackup();
    // Whether the file under the target's name is no longer the one the run
    // opened (the user saved another version meanwhile).
    bool ChangedSinceOpened(const QString& target) const;
    // Refuses a run that would replace a read-only document, before anything is
    // written; shows the message and returns false.
    bool CheckDocumentWritable(short code);
    // The deletion check's message and reports, once the result is saved.
    void AnnounceDeletionCheck();
    // Removes the report files of a run whose result was not saved.
    void DropReportsOfThisRun();
    void SaveStepHook(SaveStep step) { if (saveStepHook_) saveStepHook_(step); }

    BoundaryHost host_;
    std::shared_ptr<word::Application> word_;
    std::shared_ptr<word::Document> document_;
    word::Range range_;
    QString documentPath_;
    bool wordWasRunning_ = false;
    bool changed_ = false;
    int handWorkLeft_ = 0;
    bool colourFlag_ = false;
    bool running_ = false;
    QStringList backupsMade_;
    bool stopRequested_ = false;
    RunOutcome lastOutcome_ = RunOutcome::Completed;
    std::function<void(SaveStep)> saveStepHook_;
    // Report files this run wrote beside the document; they describe its
    // result, so they stay only when the result is saved.
    QStringList reportsOfThisRun_;
    std::optional<DeletionCheckResult> pendingCheck_;
    // The file under the document's name when the run opened it; the save
    // replaces only that file.
    std::optional<word::backup::FileIdentity> opened_;
};

}  // namespace engine

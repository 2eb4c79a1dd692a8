#include "engine/runner/task_runner.h"

#include "engine/deletion/deletion.h"
#include "engine/text_helpers.h"
#include "word/atomic_file.h"
#include "word/backup.h"
#include "word/legacy/legacy.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <utility>

namespace engine {

namespace {

const QString kChooseFileMessage =
    QStringLiteral("[参照]ボタンを押して処理するWordファイルを指定してください");
const QString kOpenFailedMessage =
    QStringLiteral("ファイルを開けませんでした。ファイルを指定し直してください。");
const QString kWordClass = QStringLiteral("Word.Application");
const QString kStoppedLog = QStringLiteral(" .. 処理中断：中止しました");

// Clears a flag when the scope ends, however it ends.
struct RunningScope {
    explicit RunningScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningScope() { flag_ = false; }
    bool& flag_;
};

// Puts a handler on LibreOffice's conversions for the life of the object.
class ConversionWaitScope {
public:
    explicit ConversionWaitScope(word::legacy::WaitHandler handler)
        : previous_(word::legacy::setWaitHandler(std::move(handler))) {}
    ~ConversionWaitScope() { word::legacy::setWaitHandler(std::move(previous_)); }
    ConversionWaitScope(const ConversionWaitScope&) = delete;
    ConversionWaitScope& operator=(const ConversionWaitScope&) = delete;

private:
    word::legacy::WaitHandler previous_;
};

// What killed runs left beside the document (the temporary files of a save,
// an HTML export or a report) goes before this run adds its own.
void RemoveLeftoversBeside(const QString& documentPath) {
    const QString folder = QFileInfo(documentPath).absolutePath();
    word::files::RemoveLeftoverTemporaries(folder);
    const QString targetFolder = QFileInfo(word::files::ResolvedTarget(documentPath)).absolutePath();
    if (targetFolder != folder) word::files::RemoveLeftoverTemporaries(targetFolder);
}

QString ReasonOf(const std::exception& e) {
    if (const auto* we = dynamic_cast<const word::Error*>(&e)) return we->message();
    return QString::fromUtf8(e.what());
}

}  // namespace

TaskRunner::TaskRunner(Host& host) : host_(host, *this) {}

void TaskRunner::RunTask(short code) {
    // A click on Start that arrives while a run pauses must not start a second
    // run on the same application, document and flags.
    if (running_) return;
    RunningScope scope(running_);
    // LibreOffice's conversions (opening and saving a .doc or RTF) take long:
    // the window stays alive, shows the time and may stop them. The stop
    // itself is taken up by the failure it causes.
    Host& window = host_.Window();
    const ConversionWaitScope waiting([this, &window](int seconds) {
        window.ShowStatus(QStringLiteral("LibreOffice で変換中… %1 秒").arg(seconds));
        window.DoEvents();
        return !stopRequested_;
    });
    RunTaskSteps(code);
}

void TaskRunner::RunTaskSteps(short code) {
    handWorkLeft_ = 0;
    const QString box = host_.FilePathText();
    if (box.isEmpty() || box.startsWith(u'<')) {
        lastOutcome_ = RunOutcome::NoFile;
        host_.MessageBox(kChooseFileMessage);
        host_.BrowseForFile();
        return;
    }

    reportsOfThisRun_.clear();
    pendingCheck_.reset();
    if (!ValidateOptions(code) || !CheckDocumentWritable(code)) {
        lastOutcome_ = RunOutcome::Refused;
        return;
    }

    host_.SetProgress(20);
    // What killed runs left in the temporary folder goes before this run adds its own.
    word::legacy::removeWorkDirsOfEndedProcesses();
    wordWasRunning_ = false;
    StartWord();
    if (stopRequested_) {
        StopRun();
        return;
    }

    try {
        documentPath_ = host_.FilePathText();
        if (!word_) throw word::Error(QStringLiteral("Word.Application is not available"));
        RemoveLeftoversBeside(documentPath_);
        // Taken before the file is read: a version saved meanwhile shows as a change.
        opened_ = word::backup::IdentityOf(documentPath_);
        document_ = word_->Documents().Open(documentPath_, true);
    } catch (const std::exception& e) {
        if (stopRequested_) {
            StopRun();
            return;
        }
        // The application stays as it is, so that the next StartWord finds it.
        lastOutcome_ = RunOutcome::OpenFailed;
        document_.reset();
        QString text = kOpenFailedMessage;
        const QString reason = ReasonOf(e);
        if (word_ && !reason.isEmpty()) text += QStringLiteral("\r\n\r\n") + reason;
        host_.MessageBox(text);
        host_.BrowseForFile();
        return;
    }

    try {
        word_->SetVisible(false);
        host_.Wait1Sec();
        host_.SetProgress(25);
        changed_ = false;
        switch (code) {
        case 0:
        case 1:
            RunNumberingSteps(code);
            break;
        case 2:
            RunDeletionSteps();
            break;
        case 5:
            RunHtmlTask();
            break;
        case 6:
            RunCheckTask();
            break;
        case 7:
            RunItemRenumbering();
            break;
        case 8:
            RunTranslationCheck();
            break;
        case 9:
            RunAmendment();
            break;
        default:
            throw word::Error(QStringLiteral("タスクコード %1 はこの版では実行できません。").arg(code));
        }
        host_.SetProgress(100);
        lastOutcome_ = RunOutcome::Completed;
    } catch (const RunStopped&) {
        StopRun();
    } catch (const std::exception& e) {
        // A conversion ended by the stop fails; that failure is the stop.
        if (stopRequested_)
            StopRun();
        else
            AbortRun(ReasonOf(e));
    }
}

void TaskRunner::StopPoint() {
    host_.Window().PollEvents();
    // Once the document is closed the result is saved (or there was nothing
    // to save): the run ends as it would have without the stop.
    if (stopRequested_ && document_) throw RunStopped{};
}

void TaskRunner::BoundaryHost::ShowStatus(const QString& text) {
    window_.ShowStatus(text);
    runner_.StopPoint();
}

void TaskRunner::BoundaryHost::SetProgress(double value) {
    window_.SetProgress(value);
    runner_.StopPoint();
}

void TaskRunner::BoundaryHost::RefreshProgress() {
    window_.RefreshProgress();
    runner_.StopPoint();
}

void TaskRunner::BoundaryHost::Wait1Sec() {
    window_.Wait1Sec();
    runner_.StopPoint();
}

void TaskRunner::BoundaryHost::DoEvents() {
    window_.DoEvents();
    runner_.StopPoint();
}

void TaskRunner::PrepareRange(bool select) {
    range_ = document_->Content();
    if (select) range_.Select();
    range_.MoveEnd(word::wdCharacter, -1);
}

void TaskRunner::StartWord() {
    // Every step runs even when an earlier one failed; the number of the last
    // failure goes into the message.
    int lastError = 0;
    wordWasRunning_ = false;
    auto attempt = [&](auto obtain) {
        try {
            word_ = obtain(kWordClass);
        } catch (const word::Error& e) {
            lastError = e.number();
        } catch (const std::exception&) {
            lastError = 0;
        }
    };
    attempt(word::Application::GetObject);
    host_.Wait1Sec();
    if (!word_) {
        attempt(word::Application::CreateObject);
        host_.Wait1Sec();
    } else {
        wordWasRunning_ = true;
    }
    if (!word_) {
        const QStringList lines = {
            QStringLiteral("WordまたはExcelを呼び出せません。"),
            QStringLiteral("WordまたはExcelのインストールに問題があります。"),
            QStringLiteral("とりあえず、Windowsを再起動して解決するか試してください。"),
            QStringLiteral("解決しない場合は、WordまたはExcelを再インストールすると直ることがあります。"),
            QStringLiteral("このインターフェースは終了します。Error No: ") + NumWithSignBlank(lastError),
        };
        host_.MessageBox(lines.join(QStringLiteral("\r\n")));
        return;
    }
    host_.ShowLog(1, QStringLiteral(" .. Word 初期処理成功"));
}

void TaskRunner::AbortRun(const QString& reason) {
    // The run ends here: the user learns why, the document is dropped without
    // saving (the input on disk was never written) and the engine is released,
    // so that the next run starts clean.
    lastOutcome_ = RunOutcome::Aborted;
    DropReportsOfThisRun();
    const QString text = reason.isEmpty() ? QStringLiteral("処理中に原因不明のエラーが発生しました。") : reason;
    host_.MessageBox(text);
    host_.ShowLog(1, QStringLiteral(" .. 処理中断：") + text);
    DropDocumentUnsaved();
}

void TaskRunner::DropDocumentUnsaved() {
    range_ = word::Range();
    if (document_) {
        try {
            document_->Close(word::wdDoNotSaveChanges);
        } catch (const std::exception&) {
            // Nothing of it was written; the in-memory document is dropped
            // below either way.
        }
        document_.reset();
    }
    ReleaseWord();
}

void TaskRunner::StopRun() {
    lastOutcome_ = RunOutcome::Stopped;
    Host& window = host_.Window();
    window.ShowLog(1, kStoppedLog);
    DropDocumentUnsaved();
    // The reports of a deletion that was never saved.
    DropReportsOfThisRun();
    window.ShowStatus(QStringLiteral("中止しました"));
}

void TaskRunner::ReleaseWord() {
    range_ = word::Range();
    document_.reset();
    if (word_) {
        if (wordWasRunning_)
            word_->SetVisible(true);
        else
            word_->Quit();
        word_.reset();
    }
}

}  // namespace engine

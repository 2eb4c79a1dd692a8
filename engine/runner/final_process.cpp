// The closing step of the editing tasks: the result takes the input's name, the
// input is kept beside it as a numbered backup, and the engine is released.
// The file steps and their order are word/backup.h's; here they are run, and
// undone when one fails, so that a failed save leaves the input as it was.

#include "engine/runner/task_runner.h"
#include "word/atomic_file.h"
#include "word/backup.h"
#include "word/ooxml/document_model.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace engine {

namespace {

// Why a save failed, said for the document the user chose (never for the
// temporary or backup name the failing step worked on).
QString SaveFailureReason(const std::exception& e) {
    if (const auto* fe = dynamic_cast<const word::files::FileError*>(&e)) return word::files::Reason(fe->err());
    if (const auto* we = dynamic_cast<const word::Error*>(&e)) return we->message();
    return QString::fromUtf8(e.what());
}

}  // namespace

bool TaskRunner::ChangedSinceOpened(const QString& target) const {
    const std::optional<word::backup::FileIdentity> now = word::backup::IdentityOf(target);
    return opened_ && now && *now != *opened_;
}

bool TaskRunner::CheckDocumentWritable(short code) {
    // The codes whose result replaces the document.
    if (code != 0 && code != 1 && code != 2 && code != 7) return true;
    const QString path = host_.FilePathText();
    if (!word::backup::IsReadOnly(path)) return true;
    host_.MessageBox(QStringLiteral("文書「%1」は読み取り専用のため、処理結果で置き換えられません。\r\n"
                                    "書き込みできるようにしてから、もう一度実行してください。文書は変更していません。")
                         .arg(path));
    return false;
}

void TaskRunner::AnnounceDeletionCheck() {
    reportsOfThisRun_.clear();  // they describe a saved result now
    if (!pendingCheck_) return;
    const DeletionCheckResult check = *std::exchange(pendingCheck_, std::nullopt);
    ShowDeletionCheck(host_, check);
}

void TaskRunner::DropReportsOfThisRun() {
    pendingCheck_.reset();
    for (const QString& path : std::exchange(reportsOfThisRun_, {})) QFile::remove(path);
}

void TaskRunner::FinalProcess() {
    host_.ShowStatus(QStringLiteral("保存処理中"));

    // A result that is the document as it was (numbers taken out and written
    // back as they were) is not saved: no backup for nothing.
    if (changed_ && !document_->model().sameAsOpened()) {
        SaveWithBackup();
    } else {
        document_->Close(word::wdDoNotSaveChanges);
        document_.reset();
        host_.ShowLog(1, QStringLiteral(" .. 変更なし：") + documentPath_);
    }
    // What the task has to say about its result is said now that the result exists.
    AnnounceDeletionCheck();

    host_.DoEvents();
    ReleaseWord();
    host_.ShowStatus(QStringLiteral("処理完了-ユーザ操作待ち"));
    host_.ShowLog(2, QStringLiteral(" .. 処理完了-ユーザ操作待ち"));
}

void TaskRunner::SaveWithBackup() {
    // A symbolic link stays a link: the file it points to is replaced, and
    // its backup lies beside that file.
    const QString target = word::files::ResolvedTarget(documentPath_);
    const bool legacy = document_->ConvertedOnOpen();
    QString temporary;
    std::optional<QString> backupPath;
    bool inputFound = true;   // false: the input was deleted or moved while the task ran
    bool backupMade = false;  // the input has its backup name too
    bool changedMeanwhile = false;  // another version took the document's name while the task ran
    std::optional<QString> resultBeside;
    try {
        SaveStepHook(SaveStep::ChooseBackup);
        word::backup::RemoveLeftovers(target);
        backupPath = word::backup::FirstFreeBackup(target);
        if (!backupPath) {
            // Overwriting backup 100 would lose an input kept by an earlier run.
            throw word::Error(QStringLiteral("バックアップファイル %1 ～ %2 がすべて存在します。"
                                             "不要なバックアップファイルを削除してから、もう一度実行してください")
                                  .arg(word::backup::Candidate(target, 1),
                                       word::backup::Candidate(target, word::backup::kMaxBackups)));
        }

        SaveStepHook(SaveStep::WriteResult);
        temporary = word::files::NewTemporaryName(QFileInfo(target).absolutePath());
        document_->SaveAs(temporary);
        SaveStepHook(SaveStep::KeepModeAndOwner);
        word::backup::KeepModeAndOwnerOf(target, temporary);

        SaveStepHook(SaveStep::Close);
        range_ = word::Range();
        document_->Close(word::wdDoNotSaveChanges);
        document_.reset();

        SaveStepHook(SaveStep::KeepInputAsBackup);
        changedMeanwhile = ChangedSinceOpened(target);
        if (!changedMeanwhile) {
            inputFound = word::backup::KeepInputAsBackup(target, *backupPath);
            backupMade = inputFound;
        }

        SaveStepHook(SaveStep::MoveResultIntoPlace);
        // Checked again just before the rename: a version the user saved
        // while the backup was made is not replaced either.
        changedMeanwhile = changedMeanwhile || ChangedSinceOpened(target);
        if (changedMeanwhile) {
            // The backup this run made names the version the user replaced: it goes.
            if (backupMade) QFile::remove(*backupPath);
            backupMade = false;
            resultBeside = word::backup::FirstFreeResultBeside(target);
            if (!resultBeside)
                throw word::Error(QStringLiteral("文書が処理中に別の内容で保存されましたが、処理結果を置く名前"
                                                 "（「-処理結果1」～「-処理結果%1」）がすべて使われています")
                                      .arg(word::backup::kMaxBackups));
            word::backup::MoveIntoPlace(temporary, *resultBeside);
        } else {
            word::backup::MoveIntoPlace(temporary, target);
        }
    } catch (const std::exception& e) {
        QString message = QStringLiteral("文書「%1」を保存できませんでした（%2）。").arg(documentPath_, SaveFailureReason(e));
        if (backupMade) word::backup::DropBackupOfInput(target, *backupPath);
        if (inputFound) {
            if (!temporary.isEmpty()) QFile::remove(temporary);
            message += QStringLiteral("\r\n元の文書は変更していません。");
        } else if (QFileInfo::exists(temporary)) {
            // Nothing else holds the text any more: the result stays where it is.
            message += QStringLiteral("\r\n元の文書が処理中になくなったため、処理結果を %1 に残しました。").arg(temporary);
        }
        throw word::Error(message);
    }

    if (resultBeside) {
        // The user's version stays; the result is beside it, and the run says so.
        throw word::Error(QStringLiteral("文書「%1」は処理中に別の内容で保存されたため、置き換えていません"
                                         "（保存された内容はそのままです）。\r\n処理結果は「%2」に保存しました。")
                              .arg(documentPath_, *resultBeside));
    }
    if (backupMade) backupsMade_ << *backupPath;
    SaveStepHook(SaveStep::ReadSize);
    const qint64 bytes = QFileInfo(target).size();
    QString line = QStringLiteral(" .. 保存成功：") + documentPath_ + u' ' + word::backup::SizeText(bytes) +
                   QStringLiteral("kB");
    if (legacy) line += QStringLiteral("（LibreOffice経由）");
    if (!inputFound) line += QStringLiteral("（元の文書が処理中になくなっていたため、バックアップはありません）");
    host_.ShowLog(1, line);
}

}  // namespace engine

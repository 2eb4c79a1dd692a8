// The closing step of the editing tasks: the result takes the input's name, the
// input is kept beside it as a numbered backup, and the engine is released.

#include "engine/task_runner.h"
#include "word/backup.h"

#include <QFile>
#include <QFileInfo>

namespace engine {

namespace {

bool Exists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

}  // namespace

void TaskRunner::FinalProcess() {
    host_.ShowStatus(QStringLiteral("保存処理中"));

    if (changed_) {
        SaveStepHook(SaveStep::ChooseBackup);
        const std::optional<QString> backupPath = word::backup::FirstFreeBackup(documentPath_);
        if (!backupPath) {
            // Overwriting backup 100 would lose an input kept by an earlier run.
            throw word::Error(QStringLiteral(
                                  "バックアップファイル %1 ～ %2 がすべて存在するため保存できません。"
                                  "不要なバックアップファイルを削除してから、もう一度実行してください。")
                                  .arg(word::backup::Candidate(documentPath_, 1),
                                       word::backup::Candidate(documentPath_, word::backup::kMaxBackups)));
        }
        SaveWithBackup(*backupPath);
    } else {
        document_->Close(word::wdDoNotSaveChanges);
        document_.reset();
        host_.ShowLog(1, QStringLiteral(" .. 変更なし：") + documentPath_);
    }

    host_.DoEvents();
    ReleaseWord();
    host_.ShowStatus(QStringLiteral("処理完了-ユーザ操作待ち"));
    host_.ShowLog(2, QStringLiteral(" .. 処理完了-ユーザ操作待ち"));
}

void TaskRunner::SaveWithBackup(const QString& backupPath) {
    const QString temporary = word::backup::TemporaryName(backupPath);
    const bool legacy = document_->ConvertedOnOpen();

    // Where the files are, so that a failing step can be undone: the input
    // must end up untouched under its own name and nothing half-written may
    // stay beside it.
    bool resultAtBackup = false;
    bool resultAtTemporary = false;
    bool inputAtBackup = false;
    try {
        SaveStepHook(SaveStep::SaveAs);
        try {
            document_->SaveAs(backupPath);
        } catch (...) {
            // The name was free when chosen: whatever is there now is ours.
            resultAtBackup = Exists(backupPath);
            throw;
        }
        resultAtBackup = true;

        SaveStepHook(SaveStep::Close);
        range_ = word::Range();
        document_->Close(word::wdDoNotSaveChanges);
        document_.reset();

        SaveStepHook(SaveStep::DeleteStaleTemporary);
        if (Exists(temporary)) word::backup::RemoveFile(temporary);

        SaveStepHook(SaveStep::MoveResultAside);
        word::backup::RenameFile(backupPath, temporary);
        resultAtBackup = false;
        resultAtTemporary = true;

        SaveStepHook(SaveStep::MoveInputToBackup);
        word::backup::RenameFile(documentPath_, backupPath);
        inputAtBackup = true;

        SaveStepHook(SaveStep::MoveResultIntoPlace);
        word::backup::RenameFile(temporary, documentPath_);
        resultAtTemporary = false;
        inputAtBackup = false;  // it is the backup now, as intended
    } catch (const std::exception& e) {
        const auto* we = dynamic_cast<const word::Error*>(&e);
        QString reason = we ? we->message() : QString::fromUtf8(e.what());
        if (inputAtBackup) {
            try {
                word::backup::RenameFile(backupPath, documentPath_);
            } catch (const word::Error&) {
                // Say where the input is rather than leave the user guessing.
                resultAtTemporary = false;  // keep the result too: nothing else holds the text
                reason += QStringLiteral("\r\n元のファイルは %1 に、処理結果は %2 に残っています。")
                              .arg(backupPath, temporary);
            }
        }
        if (resultAtTemporary && Exists(temporary)) QFile::remove(temporary);
        if (resultAtBackup && Exists(backupPath)) QFile::remove(backupPath);
        throw word::Error(reason);
    }

    SaveStepHook(SaveStep::ReadSize);
    const qint64 bytes = QFileInfo(documentPath_).size();
    QString line = QStringLiteral(" .. 保存成功：") + documentPath_ + u' ' + word::backup::SizeText(bytes) +
                   QStringLiteral("kB");
    if (legacy) line += QStringLiteral("（LibreOffice経由）");
    host_.ShowLog(1, line);
}

}  // namespace engine

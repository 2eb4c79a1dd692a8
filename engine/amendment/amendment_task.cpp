// Task code 9: the written amendment made from the earlier and the amended
// version. Neither document is changed and no backup of them is made; the
// amendment is a new document beside the amended one, built in its package.

#include "engine/amendment/amendment_form.h"
#include "engine/amendment/new_matter.h"
#include "engine/check/check_rules.h"
#include "engine/runner/task_runner.h"
#include "engine/text_helpers.h"
#include "word/atomic_file.h"
#include "word/backup.h"
#include "word/ooxml/document_model.h"
#include "word/ooxml/story_pictures.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace engine {

namespace {

using namespace amendment;

// "手続補正書-<amended file name>.docx" beside the amended document, the
// name's own extension left out (補正後.doc gives 手続補正書-補正後.docx).
QString AmendmentPath(const QString& amendedPath) {
    return JoinPath(GetFolderPart(amendedPath), ReportFileName(QStringLiteral("手続補正書-"),
                                                               QFileInfo(amendedPath).completeBaseName(),
                                                               QStringLiteral(".docx")));
}

// A version as the amendment reads it: its paragraphs and its units.
struct Version {
    check::CheckedText text;
    DocumentUnits units;
};

Version ReadVersion(word::ooxml::DocumentModel& model) {
    check::CheckedText text(check::StoryParagraphs(model));
    PictureDigests pictures;
    // Pictures are compared by their bytes; the walk that finds them runs
    // only when the story holds an object.
    if (model.text().contains(QChar(0x0001)))
        for (const word::ooxml::StoryPicture& p : word::ooxml::storyPictures(model))
            pictures[p.paragraph] << QString::fromLatin1(QCryptographicHash::hash(p.bytes, QCryptographicHash::Sha1).toHex());
    DocumentUnits units = ReadUnits(text, pictures);
    return {std::move(text), std::move(units)};
}

// " .. 補正 7 箇所：変更 5、追加 1、削除 1"
QString Summary(const Amendment& amendment) {
    int counts[3] = {0, 0, 0};
    for (const Block& b : amendment.blocks) ++counts[int(b.method)];
    return QStringLiteral(" .. 補正 %1 箇所：変更 %2、追加 %3、削除 %4")
        .arg(amendment.blocks.size())
        .arg(counts[int(Method::Changed)])
        .arg(counts[int(Method::Added)])
        .arg(counts[int(Method::Deleted)]);
}

// Writes the model to `path` in one step; a file already there is kept as
// its first free numbered backup, as the save keeps an input.
QString SaveKeepingEarlier(word::ooxml::DocumentModel& model, const QString& path) {
    const QString target = word::files::ResolvedTarget(path);
    word::backup::RemoveLeftovers(target);
    std::optional<QString> backup;
    if (QFileInfo::exists(target)) {
        backup = word::backup::FirstFreeBackup(target);
        if (!backup)
            throw word::Error(QStringLiteral("バックアップファイル %1 ～ %2 がすべて存在します。"
                                             "不要なバックアップファイルを削除してから、もう一度実行してください")
                                  .arg(word::backup::Candidate(target, 1),
                                       word::backup::Candidate(target, word::backup::kMaxBackups)));
        if (!word::backup::KeepInputAsBackup(target, *backup)) backup.reset();
    }
    try {
        model.save(target);
    } catch (const std::exception& e) {
        if (backup) word::backup::DropBackupOfInput(target, *backup);
        const QString reason = dynamic_cast<const word::Error*>(&e) ? static_cast<const word::Error&>(e).message()
                                                                     : QString::fromUtf8(e.what());
        throw word::Error(QStringLiteral("手続補正書「%1」を保存できませんでした（%2）。").arg(path, reason));
    }
    return backup.value_or(QString());
}

}  // namespace

void TaskRunner::RunAmendment() {
    const TaskOptions options = host_.Options();
    if (options.companionPath.isEmpty())
        throw word::Error(QStringLiteral("補正前の文書を指定してください（「%1」の補正前の版）。").arg(GetFileNamePart(documentPath_)));

    host_.ShowStatus(QStringLiteral("手続補正書：補正後の文書を読込"));
    auto& model = document_->model();
    const Version amended = ReadVersion(model);

    host_.ShowStatus(QStringLiteral("手続補正書：補正前の文書を読込"));
    host_.SetProgress(35);
    std::shared_ptr<word::Document> earlierDocument;
    try {
        earlierDocument = word_->Documents().Open(options.companionPath, true);
    } catch (const word::Error& e) {
        throw word::Error(QStringLiteral("補正前の文書「%1」を開けませんでした。\r\n%2").arg(options.companionPath, e.message()));
    }
    const Version earlier = ReadVersion(earlierDocument->model());
    earlierDocument->Close(word::wdDoNotSaveChanges);
    earlierDocument.reset();

    host_.ShowStatus(QStringLiteral("手続補正書：照合"));
    host_.SetProgress(50);
    const Amendment amendment =
        MakeAmendment(earlier.units, amended.units, {options.claimsEach, !options.underlineClaimsOnly});
    if (amendment.paragraphsRenumbered)
        host_.ShowLog(2, QStringLiteral(" .. 段落番号が振り直されています：内容で照合し、出願時の段落番号と枝番号で補正します"));
    if (amendment.claimsRenumbered)
        host_.ShowLog(2, QStringLiteral(" .. 請求項番号が振り直されています：内容で照合しました"));
    if (amendment.claimsAsWhole)
        host_.ShowLog(2, QStringLiteral(" .. 請求項番号が振り直されているため、特許請求の範囲は全文で補正します"));
    int number = 0;
    for (const Block& b : amendment.blocks)
        host_.ShowLog(2, QStringLiteral(" .. 手続補正%1：%2 %3 %4")
                             .arg(ToFullWidthDigits(QString::number(++number)), DocumentName(b.document), b.item,
                                  MethodName(b.method)));
    if (options.newMatter)
        for (const QString& sentence : NewMatterSentences(earlier.text, amended.text))
            host_.ShowLog(2, QStringLiteral(" .. 新規事項の可能性：「%1」").arg(sentence));

    if (amendment.blocks.empty()) {
        host_.ShowLog(2, QStringLiteral(" .. 変更なし"));
    } else {
        host_.ShowLog(2, Summary(amendment));
        host_.ShowStatus(QStringLiteral("手続補正書：作成"));
        host_.SetProgress(70);
        WriteAmendmentBody(model, amendment);
        host_.ShowStatus(QStringLiteral("保存処理中"));
        const QString path = AmendmentPath(documentPath_);
        const QString backup = SaveKeepingEarlier(model, path);
        if (!backup.isEmpty()) backupsMade_ << backup;
        host_.ShowLog(2, QStringLiteral(" .. 手続補正書：") + path + u' ' +
                             word::backup::SizeText(QFileInfo(path).size()) + QStringLiteral("kB"));
    }

    // The amended document itself was never written: it is closed unsaved.
    range_ = word::Range();
    document_->Close(word::wdDoNotSaveChanges);
    document_.reset();
    ReleaseWord();
    host_.ShowStatus(QStringLiteral("処理完了-ユーザ操作待ち"));
    host_.ShowLog(2, QStringLiteral(" .. 処理完了-ユーザ操作待ち"));
}

}  // namespace engine

// The check of the deleted source text and its reports: after the deletion
// walk, the deleted text is read back line by line and sorted by its share of
// half-width characters, the user is told the result, and the reports are
// opened beside the document.

#include "engine/deletion/deletion.h"

#include "engine/text_helpers.h"
#include "word/atomic_file.h"
#include "word/automation.h"
#include "word/cp932.h"

#include <QFile>
#include <QFileInfo>

namespace engine {

void RemoveIfExists(const QString& path) {
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) return;
    QFile file(path);
    if (!file.remove()) ThrowFileError(QStringLiteral("削除"), path, file.errorString());
}

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Writes the whole content of a report: a new file that takes the name once
// it is complete, no more readable than the document.
void WriteReport(const DeletionReportPaths& paths, const QString& path, const QByteArray& bytes) {
    try {
        word::files::WriteAtomically(path, bytes, paths.document);
    } catch (const word::files::FileError& e) {
        ThrowFileError(QStringLiteral("書き込み"), path, e.err());
    }
}

QString JoinPieces(const QStringList& pieces) { return pieces.join(kCrLf + kCrLf); }

}  // namespace

namespace {

[[noreturn]] void ThrowFileErrorWithReason(const QString& what, const QString& path, const QString& reason) {
    throw word::Error(QStringLiteral("ファイル「%1」を%2できませんでした（%3）。\r\n"
                                     "文書は保存していません。ファイルを閉じるか、"
                                     "フォルダーに書き込めるようにしてから、もう一度実行してください。")
                          .arg(path, what, reason));
}

}  // namespace

void ThrowFileError(const QString& what, const QString& path, const QString& reason) {
    ThrowFileErrorWithReason(what, path, word::files::ReasonForSystemText(reason));
}

void ThrowFileError(const QString& what, const QString& path, int err) {
    ThrowFileErrorWithReason(what, path, word::files::Reason(err));
}

int CharacterLength(const QString& line) {
    int n = 0;
    const qsizetype size = line.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (line.at(i).isHighSurrogate() && i + 1 < size && line.at(i + 1).isLowSurrogate()) ++i;
        ++n;
    }
    return n;
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (text.at(i) != u'\r') continue;
        lines.append(text.mid(start, i - start));
        if (i + 1 < size && text.at(i + 1) == u'\n') ++i;
        start = i + 1;
    }
    if (start < size) lines.append(text.mid(start));
    return lines;
}

LineRoute RouteDeletedLine(const QString& line, bool englishToJapanese) {
    LineRoute route;
    const int bytes = word::cp932::byteLength(line);
    const int chars = CharacterLength(line);
    if (englishToJapanese) {
        if (bytes == chars) {
            route.halfWidth = true;
        } else {
            const QString masked = MaskFalseFullWidth(line);
            if (word::cp932::byteLength(masked) != CharacterLength(masked)) route.finding = masked;
        }
        return route;
    }
    // At least one half-width character in ten: the byte length is at most
    // 1.9 times the character length (two bytes for every full-width one).
    route.halfWidth = bytes <= 1.9 * static_cast<double>(chars);
    // The finding report is what the 日英 warning speaks of: deleted sentences
    // in which half-width characters make up 5 % or more, that is, a byte
    // length of at most 1.95 times the character length.
    if (chars > 0 && 20LL * bytes <= 39LL * chars) route.finding = line;
    return route;
}

CheckMessage DeletionCheckMessage(bool englishToJapanese, bool findingReportEmpty) {
    const QString deleted = QStringLiteral("原文と翻訳文が対になっている文書において、原文をタグに基づいて削除しました。");
    const QString nextStep = QStringLiteral(
        "次のステップで削除した文が本当に削除すべき文であるかどうか確認し、必要であればバックアップファイルから元の文書を復元し、タグを整えてから再度実行してください");
    const QString justInCase = QStringLiteral("しかし念のため、削除された文が意図した文であるか確認してください。");
    const QString restore =
        QStringLiteral("必要であればバックアップファイルから元の文書を復元し、タグを整えてから再度実行してください");
    if (englishToJapanese) {
        if (!findingReportEmpty)
            return {JoinPieces({QStringLiteral("原文と翻訳文が対になっている文書において、原文をタグに基づいて削除しましたが、"
                                               "削除した部分に全角文字が含まれています。"),
                                nextStep,
                                QStringLiteral("なお、「°」,「’」など、Wordでは本来半角なのに全角で出力する全角文字がありますので、"
                                               "そのような文字がありましたら無視するように設定しますので本プログラムの開発者に連絡してください")}),
                    QStringLiteral("注意：全角文字が含まれています"), true};
        return {JoinPieces({deleted, QStringLiteral("削除した部分に全角文字が含まれていないことを確認しました。"), justInCase,
                            restore}),
                QStringLiteral("全角文字が含まれていないことを確認"), false};
    }
    if (!findingReportEmpty)
        return {JoinPieces({QStringLiteral("原文と翻訳文が対になっている文書において、原文をタグに基づいて削除しましたが、"
                                           "削除した部分に半角文字が５％以上含まれている文があります。"),
                            nextStep}),
                QStringLiteral("注意：半角文字が５％以上含まれている文があります"), true};
    return {JoinPieces({deleted, QStringLiteral("削除した部分に半角文字が５％以上含まれている文がないことを確認しました。"),
                        justInCase, restore}),
            QStringLiteral("半角文字が５％以上含まれている文がないことを確認"), false};
}

DeletionCheckResult WriteDeletionCheckReports(Host& host, const DeletionReportPaths& paths, bool englishToJapanese) {
    QFile deletedFile(paths.deletedText);
    if (!deletedFile.open(QIODevice::ReadOnly))
        ThrowFileError(QStringLiteral("読み込み"), paths.deletedText, deletedFile.errorString());
    const QByteArray deletedBytes = deletedFile.readAll();
    if (deletedFile.error() != QFileDevice::NoError)
        ThrowFileError(QStringLiteral("読み込み"), paths.deletedText, deletedFile.errorString());
    deletedFile.close();

    RemoveIfExists(paths.finding);
    RemoveIfExists(paths.halfWidth);
    host.SetProgress(74);

    QByteArray finding;
    QByteArray halfWidth;
    const QByteArray crLf("\r\n");
    for (const QString& line : SplitLines(word::cp932::decode(deletedBytes))) {
        const LineRoute route = RouteDeletedLine(line, englishToJapanese);
        if (route.halfWidth) halfWidth += word::cp932::encode(line) + crLf;
        if (route.finding) finding += word::cp932::encode(*route.finding) + crLf;
    }
    // An empty report is not left behind: only the reports with lines exist.
    if (!finding.isEmpty()) WriteReport(paths, paths.finding, finding);
    if (!halfWidth.isEmpty()) WriteReport(paths, paths.halfWidth, halfWidth);
    host.SetProgress(76);
    host.ShowStatus(QStringLiteral("最終処理"));

    DeletionCheckResult result{DeletionCheckMessage(englishToJapanese, finding.isEmpty()), {}};
    if (!finding.isEmpty()) result.toOpen << paths.finding;
    result.toOpen << paths.deletedText;
    host.SetProgress(78);
    return result;
}

void ShowDeletionCheck(Host& host, const DeletionCheckResult& result) {
    host.MessageBox(result.message.text, result.message.title, result.message.exclamation);
    for (const QString& path : result.toOpen) host.OpenWithShell(path);
}

void CheckDeletedText(Host& host, const DeletionReportPaths& paths, bool englishToJapanese) {
    ShowDeletionCheck(host, WriteDeletionCheckReports(host, paths, englishToJapanese));
}

}  // namespace engine

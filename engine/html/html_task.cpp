// Task code 5: the HTML for the patent office's filing software.

#include "engine/text_helpers.h"
#include "engine/runner/task_runner.h"
#include "word/atomic_file.h"
#include "word/ooxml/html_writer.h"

#include <QFile>

#include <map>
#include <vector>

namespace engine {

namespace {

// How a refused character is shown in the log: as itself, or as its code
// where it would not be visible (blanks, control and private-use characters).
QString shownCharacter(char32_t cp) {
    const QString s = QString::fromUcs4(&cp, 1);
    const auto category = QChar::category(cp);
    const bool visible = QChar::isPrint(cp) && !QChar::isSpace(cp) && category != QChar::Other_PrivateUse &&
                         category != QChar::Other_Format;
    if (visible) return s;
    return QStringLiteral("[U+%1]").arg(QString::number(static_cast<uint>(cp), 16).toUpper().rightJustified(4, '0'));
}

// One log line per paragraph with the refused characters in their order, then
// one message with their number. Nothing is changed in the document or the HTML.
void ReportRefusedCharacters(Host& host, const std::vector<word::ooxml::RefusedCharacter>& refused) {
    if (refused.empty()) return;
    std::map<int, QString> byParagraph;
    for (const auto& r : refused) byParagraph[r.paragraph] += shownCharacter(r.codePoint);
    for (const auto& [paragraph, chars] : byParagraph)
        host.ShowLog(2, QStringLiteral(" .. 使用できない文字：【段落 %1】%2").arg(paragraph).arg(chars));
    host.MessageBox(QStringLiteral("電子出願ソフトで使用できない文字が %1 個（%2 段落）あります。\n"
                                   "ログの「使用できない文字」の一覧を見て、文書を直してから変換し直してください。")
                        .arg(refused.size())
                        .arg(byParagraph.size()));
}

}  // namespace

void TaskRunner::RunHtmlTask() {
    const QString htmlName = documentPath_ + QStringLiteral(".htm");
    const TaskOptions options = host_.Options();
    word::ooxml::FilingHtmlOptions htmlOptions;
    htmlOptions.convertPictures = options.convertImages;
    htmlOptions.splitDocuments = options.splitDocuments;
    // The document's SaveAs as HTML, with the picture and section options of the task.
    const word::ooxml::FilingHtmlReport written =
        word::ooxml::writeFilingHtml(document_->model(), htmlName, htmlOptions);
    document_->Close(word::wdDoNotSaveChanges);
    range_ = word::Range();
    document_.reset();
    if (!wordWasRunning_)
        word_->Quit();
    else
        word_->SetVisible(true);
    word_.reset();
    for (const QString& file : written.htmlFiles) {
        try {
            SlimHTM(file);
        } catch (const word::Error&) {
            // A run that fails leaves no HTML that looks finished.
            for (const QString& other : written.htmlFiles) QFile::remove(other);
            throw;
        }
        host_.ShowLog(2, QStringLiteral(" .. HTML保存：") + file);
    }
    for (const QString& line : written.pictureLog) host_.ShowLog(2, QStringLiteral(" .. 画像：") + line);
    for (int paragraph : written.equationsNotAsText)
        host_.ShowLog(2, QStringLiteral(" .. 文字で表せない数式：【段落 %1】画像にして【数ｎ】として入れてください").arg(paragraph));
    for (const QString& line : written.tableLog) host_.ShowLog(2, QStringLiteral(" .. 表：") + line);
    for (const word::ooxml::HandWork& work : written.handWork)
        host_.ShowLog(2, QStringLiteral(" .. 手作業：【段落 %1】%2").arg(work.paragraph).arg(work.what));
    handWorkLeft_ = int(written.handWork.size());
    ReportRefusedCharacters(host_, written.refused);
    if (handWorkLeft_ > 0)
        host_.MessageBox(QStringLiteral("「%1」のHTMLには、手作業で入れる必要のあるものが %2 件あります。\n"
                                        "ログの「手作業」の行を見て、HTMLに入れてください。")
                             .arg(GetFileNamePart(documentPath_))
                             .arg(handWorkLeft_));
}

// Rewrites the HTML file line by line. The bytes are code page 932 and pass
// unchanged: CR and LF never occur inside a code page 932 character, so the
// lines are found in the bytes, and each is written back followed by CR LF.
// The new content replaces the file whole (through a temporary file), so the
// file is never left half-written.
void TaskRunner::SlimHTM(const QString& fileName) {
    QFile in(fileName);
    if (!in.open(QIODevice::ReadOnly))
        throw word::Error(QStringLiteral("HTMLファイルを開けませんでした：%1（%2）").arg(fileName, in.errorString()));
    const QByteArray bytes = in.readAll();
    if (in.error() != QFile::NoError)
        throw word::Error(QStringLiteral("HTMLファイルを読み込めませんでした：%1（%2）").arg(fileName, in.errorString()));
    in.close();

    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 32 + 2);
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') continue;
        out += bytes.mid(start, i - start) + "\r\n";
        if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n') ++i;  // CR LF ends one line
        start = i + 1;
    }
    if (start < size) out += bytes.mid(start) + "\r\n";
    // The HTML as written already has CR LF lines: it is left as it is, one
    // result with its pictures.
    if (out == bytes) return;

    try {
        word::files::WriteAtomically(fileName, out, documentPath_);
    } catch (const word::files::FileError& e) {
        throw word::Error(QStringLiteral("HTMLファイルを書き直せませんでした：%1（%2）")
                              .arg(fileName, word::files::Reason(e.err())));
    }
}

}  // namespace engine

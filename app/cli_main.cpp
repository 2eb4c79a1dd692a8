// kalvendo-cli: the document engine and the tasks without the window.
//
//   kalvendo-cli --text FILE
//   kalvendo-cli --find F --replace R [--find F --replace R]... [--colour BBGGRR] -o OUTPUT INPUT
//   kalvendo-cli --task N [options] FILE...
//
// Exit status: 0 every file processed, 1 a file failed, 2 usage error;
// tasks 6 and 8 (the checks): 3 when they found something.

#include "engine/deletion/deletion.h"
#include "engine/find_replace.h"
#include "engine/runner/host.h"
#include "engine/citations/item_citations.h"
#include "engine/runner/qt_japanese.h"
#include "engine/runner/task_plan.h"
#include "engine/runner/task_runner.h"
#include "word/automation.h"
#include "word/qt_messages.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cstdio>
#include <unistd.h>
#include <set>

namespace {

// Task codes of the start button that this build can run.
const std::set<int> kSupportedTasks = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitFindings = 3;

void Print(FILE* stream, const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    const QByteArray bytes = out.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

int UsageError(const QString& message) {
    Print(stderr, QStringLiteral("kalvendo-cli: %1\n使い方は kalvendo-cli --help で表示します。\n").arg(message));
    return kExitUsage;
}

// The window's part, played on a terminal: the log's lines on standard
// output as the log box would show them, message boxes on standard error,
// status texts there too when asked, and no pauses.
class CliHost : public engine::Host {
public:
    explicit CliHost(bool verbose) : verbose_(verbose), progressLine_(!verbose && isatty(fileno(stderr))) {}

    void SetFile(const QString& path) {
        file_ = path;
        runClock_.start();
        lastDrawn_ = -1;
    }
    engine::TaskOptions options;
    // The check's findings take standard output; its log goes to standard error.
    void SetFindingsOnStdout() { logStream_ = stderr; }
    int findingCount() const { return findings_; }

    // Ends the log line in progress and lists the files a task would have opened.
    void FinishRun() {
        ClearProgressLine();
        FlushLine();
        for (const QString& path : opened_) Print(stdout, QStringLiteral("report: %1\n").arg(path));
        opened_.clear();
    }

    void ShowLog(int mode, const QString& text) override {
        if (mode == 1) {
            line_ += text;
            lineOpen_ = true;
            return;
        }
        FlushLine();
        line_ = text;
        lineOpen_ = true;
    }
    void ShowStatus(const QString& text) override {
        if (verbose_) Print(stderr, QStringLiteral("[status] %1\n").arg(text));
        status_ = text;
        DrawProgressLine();
    }
    void SetProgress(double value) override {
        progress_ = value;
        DrawProgressLine();
    }
    double Progress() const override { return progress_; }
    void RefreshProgress() override {}
    void Wait1Sec() override {}
    void DoEvents() override {}
    using engine::Host::MessageBox;
    void MessageBox(const QString& text, const QString&, bool) override {
        ClearProgressLine();
        Print(stderr, text + u'\n');
    }
    void BrowseForFile() override {}
    void OpenWithShell(const QString& path) override { opened_ << path; }
    QString FilePathText() const override { return file_; }
    engine::TaskOptions Options() const override { return options; }
    // --format json: the findings are gathered and printed as one JSON array at the end.
    bool jsonFindings = false;
    void ReportFindingAt(const QString& kind, const QString& where, const QString& what, int paragraph,
                         qsizetype offset, qsizetype length) override {
        ++findings_;
        if (jsonFindings) {
            json_.append(QJsonObject{{QStringLiteral("file"), file_},
                                     {QStringLiteral("kind"), kind},
                                     {QStringLiteral("where"), where},
                                     {QStringLiteral("what"), what},
                                     {QStringLiteral("paragraph"), paragraph},
                                     {QStringLiteral("offset"), static_cast<qint64>(offset)},
                                     {QStringLiteral("length"), static_cast<qint64>(length)}});
            return;
        }
        ClearProgressLine();
        Print(stdout, QStringLiteral("%1\t%2\t%3\n").arg(kind, where, what));
    }
    // Prints the gathered findings (an empty array when there were none).
    void PrintJsonFindings() {
        if (!jsonFindings) return;
        ClearProgressLine();
        const QByteArray bytes = QJsonDocument(json_).toJson(QJsonDocument::Indented);
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
        std::fflush(stdout);
    }

private:
    QJsonArray json_;
    // A run that takes more than two seconds shows one line on a terminal's
    // standard error, redrawn in place at most ten times a second:
    // the document's name, the progress and the status text.
    void DrawProgressLine() {
        if (!progressLine_ || !runClock_.isValid() || runClock_.elapsed() < 2000) return;
        const qint64 now = runClock_.elapsed();
        if (lastDrawn_ >= 0 && now - lastDrawn_ < 100) return;
        lastDrawn_ = now;
        const QString line = QStringLiteral("%1  %2%  %3")
                                 .arg(QFileInfo(file_).fileName())
                                 .arg(static_cast<int>(progress_), 3)
                                 .arg(status_);
        Print(stderr, QStringLiteral("\r\x1b[K") + line);
        drawn_ = true;
    }
    void ClearProgressLine() {
        if (!drawn_) return;
        Print(stderr, QStringLiteral("\r\x1b[K"));
        drawn_ = false;
    }

    void FlushLine() {
        ClearProgressLine();
        if (lineOpen_) Print(logStream_, line_ + u'\n');
        line_.clear();
        lineOpen_ = false;
    }

    bool verbose_;
    bool progressLine_;
    QElapsedTimer runClock_;
    qint64 lastDrawn_ = -1;
    bool drawn_ = false;
    QString status_;
    QString file_;
    QString line_;
    bool lineOpen_ = false;
    double progress_ = 0;
    QStringList opened_;
    FILE* logStream_ = stdout;
    int findings_ = 0;
};

// A failure on a file, on standard error; the file is named once (most
// messages already name it).
int PrintFailure(const QString& path, const std::exception& e) {
    const auto* we = dynamic_cast<const word::Error*>(&e);
    const QString message = we ? we->message() : QString::fromUtf8(e.what());
    const bool named = message.contains(path) || message.contains(QFileInfo(path).fileName());
    Print(stderr, named ? QStringLiteral("kalvendo-cli: %1\n").arg(message)
                        : QStringLiteral("kalvendo-cli: %1: %2\n").arg(path, message));
    return kExitFailed;
}

std::shared_ptr<word::Document> OpenDocument(const QString& path) {
    auto app = word::Application::CreateObject(QStringLiteral("Word.Application"));
    return app->Documents().Open(path, true);
}

int PrintText(const QString& path) {
    try {
        auto doc = OpenDocument(path);
        QString out;
        for (auto p = doc->Paragraphs().First(); p; p = p->Next()) {
            QString text = p->Range().Text();
            text.chop(1);  // the paragraph's mark
            out += text + u'\n';
        }
        Print(stdout, out);
        doc->Close(word::wdDoNotSaveChanges);
        return kExitOk;
    } catch (const std::exception& e) {
        return PrintFailure(path, e);
    }
}

bool SameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    if (fa.absoluteFilePath() == fb.absoluteFilePath()) return true;
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

int RunPasses(const QStringList& finds, const QStringList& replacements, const std::optional<int>& colour,
              const QString& output, const QString& input) {
    try {
        auto doc = OpenDocument(input);
        word::Range range = doc->Content();
        range.MoveEnd(word::wdCharacter, -1);  // the final paragraph mark stays out, as in the tasks
        for (int i = 0; i < finds.size(); ++i) engine::ReplaceAllIn(range, finds[i], replacements[i]);
        if (colour) doc->Content().Font().SetColor(*colour);
        doc->SaveAs(output);
        doc->Close(word::wdDoNotSaveChanges);
        return kExitOk;
    } catch (const std::exception& e) {
        return PrintFailure(input, e);
    }
}

// A colour in Word's byte order, blue high and red low: 1 to 6 hex digits.
std::optional<int> ParseColour(const QString& text) {
    if (text.isEmpty() || text.size() > 6) return std::nullopt;
    bool ok = false;
    const int value = text.toInt(&ok, 16);
    if (!ok) return std::nullopt;
    return value;
}

int RunTasks(int task, const QStringList& files, CliHost& host) {
    engine::TaskRunner runner(host);
    bool allDone = true;
    for (const QString& file : files) {
        host.SetFile(QFileInfo(file).absoluteFilePath());
        // A filing HTML that needs hand work is not done.
        if (!engine::RunStartButton(runner, host, task) || runner.HandWorkLeft() > 0) allDone = false;
        host.FinishRun();
    }
    host.PrintJsonFindings();
    if (!allDone) return kExitFailed;
    return host.findingCount() > 0 ? kExitFindings : kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    word::KeepQtMessagesFromUser();
    QCoreApplication app(argc, argv);
    // The parser's own errors ("Unknown option") in Japanese too.
    engine::InstallQtJapanese(app);
    QCoreApplication::setApplicationName(QStringLiteral("kalvendo-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KALVENDO_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "ウィンドウを使わずに Kalvendo の処理を実行します。\n\n"
        "  kalvendo-cli --text FILE\n"
        "      文書の本文を１段落１行で表示します。\n"
        "  kalvendo-cli --find F --replace R [--find F --replace R]... [--colour BBGGRR] -o OUTPUT INPUT\n"
        "      置換を指定の順に全文に行い（Word の検索コード ^013 ^p ^# ^t ^^、大文字小文字と\n"
        "      全角半角を区別）、必要なら全文に色を付けて OUTPUT に保存します。INPUT は変更しません。\n"
        "  kalvendo-cli --task N [オプション] FILE...\n"
        "      ウィンドウの開始ボタンと同じ処理 N を各ファイルに行います。結果は元のファイル名で\n"
        "      保存し、元の文書は FILE-bakN として残します。ログは標準出力に、メッセージ\n"
        "      （--verbose のときは状態表示も）は標準エラー出力に出します。\n"
        "      処理: 0 新規段落振り、1 段落振り直し、2 原文・タグ削除（--direction, --blanks,\n"
        "      --translation-colour。レポートは開かずに表示）、3 段落振り直し＋原文・タグ削除、\n"
        "      4 色分け（--source-colour, --translation-colour, --fonts）、\n"
        "      5 電子出願用HTML（FILE.htm を FILE の隣に作成。FILE は変更しない。出願ソフトが\n"
        "      受け付けない文字は一覧にする）、\n"
        "      6 出願前チェック（読むだけ）: 指摘１件につき１行 KIND<TAB>WHERE<TAB>WHAT を標準出力に、\n"
        "      ログを標準エラー出力に、報告「出願前チェック-FILE.txt」を FILE の隣に作成\n"
        "      （--annotate, --accept, --format）、\n"
        "      7 番号振り直し（請求項・図・表・化・数とその引用。--items）、\n"
        "      8 翻訳チェック（読むだけ）: FILE は訳文。--source で原文を指定（省略時は FILE を\n"
        "      対訳タグ付き文書として読み、--direction で言語の向きを指定）、--glossary、\n"
        "      指摘の出力は処理 6 と同じ、\n"
        "      9 手続補正書作成: FILE は補正後の文書、--earlier で補正前の文書を指定\n"
        "      （--claims, --underline, --new-matter）。「手続補正書-FILE」を FILE の隣に作成。\n\n"
        "終了コード: 0 すべて処理した、1 処理できないファイルがあった、2 使い方の誤り、\n"
        "3 チェック（処理 6 または 8）で指摘があった。"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption textOpt(QStringLiteral("text"), QStringLiteral("FILE の本文を表示する。"), QStringLiteral("FILE"));
    const QCommandLineOption findOpt(QStringLiteral("find"), QStringLiteral("置換の検索文字列。"), QStringLiteral("F"));
    const QCommandLineOption replaceOpt(QStringLiteral("replace"), QStringLiteral("置換の置換後の文字列。"), QStringLiteral("R"));
    const QCommandLineOption colourOpt(QStringLiteral("colour"), QStringLiteral("全文に付ける色（Word の BBGGRR、16 進）。"), QStringLiteral("BBGGRR"));
    const QCommandLineOption outputOpt(QStringList{QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("置換の結果を保存するファイル。"), QStringLiteral("OUTPUT"));
    const QCommandLineOption taskOpt(QStringLiteral("task"), QStringLiteral("実行する処理の番号（0～9）。"), QStringLiteral("N"));
    const QCommandLineOption directionOpt(QStringLiteral("direction"), QStringLiteral("言語の向き: ej（英日、原文が英語）または je（日英）。"), QStringLiteral("ej|je"), QStringLiteral("ej"));
    const QCommandLineOption blanksOpt(QStringLiteral("blanks"), QStringLiteral("文末の後の空白の数: 1 または 2。"), QStringLiteral("1|2"), QStringLiteral("1"));
    const QCommandLineOption sourceColourOpt(QStringLiteral("source-colour"), QStringLiteral("原文の色（BBGGRR、16 進）。"), QStringLiteral("HEX"), QStringLiteral("663399"));
    const QCommandLineOption translationColourOpt(QStringLiteral("translation-colour"), QStringLiteral("訳文の色（BBGGRR、16 進）。"), QStringLiteral("HEX"), QStringLiteral("000000"));
    const QCommandLineOption fontsOpt(QStringLiteral("fonts"), QStringLiteral("全文のフォント: 和文フォント名と欧文フォント名。"), QStringLiteral("和文,欧文"));
    const QCommandLineOption itemsOpt(QStringLiteral("items"), QStringLiteral("処理 7: 振り直す項目。請求項,図,表,化,数 または claims,figures,tables,formulas,equations（既定はすべて）。"), QStringLiteral("LIST"));
    const QCommandLineOption verboseOpt(QStringLiteral("verbose"), QStringLiteral("状態表示も出力する。"));
    parser.addOptions({textOpt, findOpt, replaceOpt, colourOpt, outputOpt, taskOpt, directionOpt, blanksOpt,
                       sourceColourOpt, translationColourOpt, fontsOpt, itemsOpt, verboseOpt});
    // Task 5: pictures brought to the filing software's rules or copied as stored; one HTML per 【書類名】.
    const QCommandLineOption imagesOpt(QStringLiteral("images"), QStringLiteral("処理 5: 図を出願の規則に合わせて変換する（convert）か、そのまま使う（keep）か。"), QStringLiteral("keep|convert"), QStringLiteral("convert"));
    const QCommandLineOption splitDocumentsOpt(QStringLiteral("split-documents"), QStringLiteral("処理 5: 【書類名】ごとに HTML ファイルを分ける。"));
    parser.addOptions({imagesOpt, splitDocumentsOpt});
    // Task 6: the annotated copy, the accepted findings, the output format of the findings (6 and 8).
    const QCommandLineOption annotateOpt(QStringLiteral("annotate"), QStringLiteral("処理 6: 指摘を Word のコメントにした写し「出願前チェック-FILE.docx」も作る。"));
    const QCommandLineOption acceptOpt(QStringLiteral("accept"), QStringLiteral("処理 6: 了承済みの指摘（１行に種類<TAB>引用文字列）のファイル。"), QStringLiteral("FILE"));
    const QCommandLineOption formatOpt(QStringLiteral("format"), QStringLiteral("処理 6, 8: 指摘の出力形式 tsv または json。"), QStringLiteral("tsv|json"), QStringLiteral("tsv"));
    // Task 8: the source document and the glossary; task 9: the earlier version and the options of the amendment.
    const QCommandLineOption sourceOpt(QStringLiteral("source"), QStringLiteral("処理 8: 原文の文書（省略時は FILE を対訳タグ付き文書として読む）。"), QStringLiteral("SOURCE"));
    const QCommandLineOption glossaryOpt(QStringLiteral("glossary"), QStringLiteral("処理 8: 用語集（１行に原語<TAB>訳語、UTF-8 または Shift_JIS）。"), QStringLiteral("FILE"));
    const QCommandLineOption earlierOpt(QStringLiteral("earlier"), QStringLiteral("処理 9: 補正前の文書（出願時または前回補正後）。"), QStringLiteral("EARLIER"));
    const QCommandLineOption claimsOpt(QStringLiteral("claims"), QStringLiteral("処理 9: 特許請求の範囲を全文（whole）で補正するか、請求項ごと（each）か。"), QStringLiteral("whole|each"), QStringLiteral("whole"));
    const QCommandLineOption underlineOpt(QStringLiteral("underline"), QStringLiteral("処理 9: 下線を引く範囲 all（明細書も）または claims（特許請求の範囲のみ）。"), QStringLiteral("all|claims"), QStringLiteral("all"));
    const QCommandLineOption newMatterOpt(QStringLiteral("new-matter"), QStringLiteral("処理 9: 補正前の文書にない語を含む文をログに挙げる。"));
    parser.addOptions({annotateOpt, acceptOpt, formatOpt, sourceOpt, glossaryOpt, earlierOpt, claimsOpt, underlineOpt, newMatterOpt});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("文書（.docx, .doc, .rtf）。"), QStringLiteral("FILE..."));

    if (!parser.parse(QCoreApplication::arguments())) return UsageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        Print(stdout, parser.helpText());
        return kExitOk;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        Print(stdout, QStringLiteral("kalvendo-cli %1\n").arg(QCoreApplication::applicationVersion()));
        return kExitOk;
    }

    const bool textMode = parser.isSet(textOpt);
    const bool passMode = parser.isSet(findOpt) || parser.isSet(replaceOpt) || parser.isSet(colourOpt) || parser.isSet(outputOpt);
    const bool taskMode = parser.isSet(taskOpt);
    if (int(textMode) + int(passMode) + int(taskMode) != 1)
        return UsageError(QStringLiteral("--text、--find/--replace/-o、--task のどれか一つを指定してください"));
    const QStringList positional = parser.positionalArguments();

    if (textMode) {
        if (!positional.isEmpty()) return UsageError(QStringLiteral("--text にはファイルを一つだけ指定し、ほかの引数は付けないでください"));
        return PrintText(parser.value(textOpt));
    }

    if (passMode) {
        const QStringList finds = parser.values(findOpt);
        const QStringList replacements = parser.values(replaceOpt);
        if (finds.size() != replacements.size())
            return UsageError(QStringLiteral("--find ごとに --replace が必要です（--find %1 個、--replace %2 個）")
                                  .arg(finds.size())
                                  .arg(replacements.size()));
        for (const QString& f : finds)
            if (f.isEmpty()) return UsageError(QStringLiteral("--find には空でない検索文字列を指定してください"));
        std::optional<int> colour;
        if (parser.isSet(colourOpt)) {
            colour = ParseColour(parser.value(colourOpt));
            if (!colour) return UsageError(QStringLiteral("--colour には 1～6 桁の 16 進数（BBGGRR）を指定してください"));
        }
        if (finds.isEmpty() && !colour) return UsageError(QStringLiteral("処理がありません: --find/--replace か --colour を指定してください"));
        if (!parser.isSet(outputOpt)) return UsageError(QStringLiteral("-o OUTPUT を指定してください"));
        if (positional.size() != 1) return UsageError(QStringLiteral("INPUT ファイルを一つだけ指定してください"));
        const QString output = parser.value(outputOpt);
        if (SameFile(output, positional[0])) return UsageError(QStringLiteral("OUTPUT に INPUT と同じファイルは指定できません（INPUT は変更しません）"));
        return RunPasses(finds, replacements, colour, output, positional[0]);
    }

    bool ok = false;
    const int task = parser.value(taskOpt).toInt(&ok);
    if (!ok || !kSupportedTasks.count(task)) {
        QStringList codes;
        for (int c : kSupportedTasks) codes << QString::number(c);
        return UsageError(QStringLiteral("処理 %1 はありません（処理: %2）")
                              .arg(parser.value(taskOpt), codes.join(QStringLiteral(", "))));
    }
    if (positional.isEmpty()) return UsageError(QStringLiteral("--task には FILE を一つ以上指定してください"));

    CliHost host(parser.isSet(verboseOpt));
    if (task == 6 || task == 8) host.SetFindingsOnStdout();
    const QString direction = parser.value(directionOpt);
    if (direction != QStringLiteral("ej") && direction != QStringLiteral("je"))
        return UsageError(QStringLiteral("--direction は ej か je です"));
    host.options.englishToJapanese = direction == QStringLiteral("ej");
    const QString blanks = parser.value(blanksOpt);
    if (blanks != QStringLiteral("1") && blanks != QStringLiteral("2")) return UsageError(QStringLiteral("--blanks は 1 か 2 です"));
    host.options.oneBlank = blanks == QStringLiteral("1");
    for (const auto& [opt, target] : {std::pair{&sourceColourOpt, &host.options.sourceColour},
                                      std::pair{&translationColourOpt, &host.options.translationColour}}) {
        const QString value = parser.value(*opt);
        if (!engine::ParseColourText(value)) return UsageError(QStringLiteral("--%1 には 1～6 桁の 16 進数を指定してください").arg(opt->names().first()));
        *target = value;
    }
    if (parser.isSet(fontsOpt)) {
        const QStringList fonts = parser.value(fontsOpt).split(u',');
        if (fonts.size() != 2 || fonts[0].trimmed().isEmpty() || fonts[1].trimmed().isEmpty())
            return UsageError(QStringLiteral("--fonts には二つのフォント名（和文,欧文）を指定してください"));
        host.options.fontSwitch = true;
        host.options.fontJapanese = fonts[0].trimmed();
        host.options.fontLatin = fonts[1].trimmed();
    }
    if (parser.isSet(itemsOpt)) {
        host.options.itemFamilies.clear();
        for (const QString& name : parser.value(itemsOpt).split(u',', Qt::SkipEmptyParts)) {
            const std::optional<engine::ItemFamily> family = engine::FamilyNamed(name);
            if (!family) return UsageError(QStringLiteral("--items: 「%1」という項目はありません").arg(name.trimmed()));
            host.options.itemFamilies << engine::FamilyWord(*family);
        }
        if (host.options.itemFamilies.isEmpty()) return UsageError(QStringLiteral("--items には項目を一つ以上指定してください"));
    }
    const QString images = parser.value(imagesOpt);
    if (images != QStringLiteral("keep") && images != QStringLiteral("convert"))
        return UsageError(QStringLiteral("--images は keep か convert です"));
    host.options.convertImages = images == QStringLiteral("convert");
    host.options.splitDocuments = parser.isSet(splitDocumentsOpt);

    const QString format = parser.value(formatOpt);
    if (format != QStringLiteral("tsv") && format != QStringLiteral("json"))
        return UsageError(QStringLiteral("--format は tsv か json です"));
    host.jsonFindings = format == QStringLiteral("json");
    host.options.annotate = parser.isSet(annotateOpt);
    host.options.acceptFile = parser.value(acceptOpt);
    host.options.glossaryFile = parser.value(glossaryOpt);
    const QString claims = parser.value(claimsOpt);
    if (claims != QStringLiteral("whole") && claims != QStringLiteral("each"))
        return UsageError(QStringLiteral("--claims は whole か each です"));
    host.options.claimsEach = claims == QStringLiteral("each");
    const QString underline = parser.value(underlineOpt);
    if (underline != QStringLiteral("all") && underline != QStringLiteral("claims"))
        return UsageError(QStringLiteral("--underline は all か claims です"));
    host.options.underlineClaimsOnly = underline == QStringLiteral("claims");
    host.options.newMatter = parser.isSet(newMatterOpt);
    // The second document: the source of a translation (8), the earlier version (9).
    if (parser.isSet(sourceOpt) && task != 8) return UsageError(QStringLiteral("--source は処理 8 のオプションです"));
    if (parser.isSet(earlierOpt) && task != 9) return UsageError(QStringLiteral("--earlier は処理 9 のオプションです"));
    if (task == 9 && !parser.isSet(earlierOpt)) return UsageError(QStringLiteral("処理 9 には --earlier で補正前の文書を指定してください"));
    const QString companion = parser.value(task == 8 ? sourceOpt : earlierOpt);
    if (!companion.isEmpty()) host.options.companionPath = QFileInfo(companion).absoluteFilePath();
    return RunTasks(task, positional, host);
}

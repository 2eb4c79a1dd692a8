// kalvendo-cli: the document engine and the tasks without the window.
//
//   kalvendo-cli --text FILE
//   kalvendo-cli --find F --replace R [--find F --replace R]... [--colour BBGGRR] -o OUTPUT INPUT
//   kalvendo-cli --task N [options] FILE...
//
// Exit status: 0 every file processed, 1 a file failed, 2 usage error;
// task 6 (the check before filing): 3 when it found something.

#include "engine/deletion.h"
#include "engine/find_replace.h"
#include "engine/host.h"
#include "engine/item_citations.h"
#include "engine/task_plan.h"
#include "engine/task_runner.h"
#include "word/automation.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <unistd.h>
#include <set>

namespace {

// Task codes of the start button that this build can run.
const std::set<int> kSupportedTasks = {0, 1, 2, 3, 4, 5, 6, 7};

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
    Print(stderr, QStringLiteral("kalvendo-cli: %1\nTry 'kalvendo-cli --help'.\n").arg(message));
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
    void ReportFinding(const QString& kind, const QString& where, const QString& what) override {
        ClearProgressLine();
        Print(stdout, QStringLiteral("%1\t%2\t%3\n").arg(kind, where, what));
        ++findings_;
    }

private:
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
        if (!engine::RunStartButton(runner, host, task)) allDone = false;
        host.FinishRun();
    }
    if (!allDone) return kExitFailed;
    return host.findingCount() > 0 ? kExitFindings : kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kalvendo-cli"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Kalvendo without the window.\n\n"
        "  kalvendo-cli --text FILE\n"
        "      prints the document's main text, one paragraph per line.\n"
        "  kalvendo-cli --find F --replace R [--find F --replace R]... [--colour BBGGRR] -o OUTPUT INPUT\n"
        "      runs replace-all passes in the order given (Word find codes ^013 ^p ^# ^t ^^;\n"
        "      case and width significant), optionally colours the whole text, writes OUTPUT.\n"
        "      INPUT is never written.\n"
        "  kalvendo-cli --task N [options] FILE...\n"
        "      runs task N on each file as the window's Start button does: the result\n"
        "      replaces the file, the input is kept as FILE-bakN. Log lines go to standard\n"
        "      output, messages (and status texts with --verbose) to standard error.\n"
        "      Tasks: 0 new paragraph numbering, 1 paragraph renumbering, 2 deletion of\n"
        "      source text and tags (--direction, --blanks, --translation-colour; the\n"
        "      report files are listed, not opened), 3 tasks 1 and 2 in a row,\n"
        "      4 colour-coding (--source-colour, --translation-colour, --fonts),\n"
        "      5 HTML for the filing software (FILE.htm beside FILE; FILE itself is not\n"
        "      changed; characters the filing software refuses are listed),\n"
        "      6 check before filing (read-only): one line per finding on standard\n"
        "      output, KIND<TAB>WHERE<TAB>WHAT, the log on standard error, the report\n"
        "      \"出願前チェック-FILE.txt\" beside FILE,\n"
        "      7 renumbering of claims, figures, tables, formulas and equations with their\n"
        "      citations (--items).\n\n"
        "Exit status: 0 every file processed, 1 a file failed, 2 usage error,\n"
        "3 the check before filing found something."));
    parser.addHelpOption();
    const QCommandLineOption textOpt(QStringLiteral("text"), QStringLiteral("Print the text of FILE."), QStringLiteral("FILE"));
    const QCommandLineOption findOpt(QStringLiteral("find"), QStringLiteral("Search text of a pass."), QStringLiteral("F"));
    const QCommandLineOption replaceOpt(QStringLiteral("replace"), QStringLiteral("Replacement text of a pass."), QStringLiteral("R"));
    const QCommandLineOption colourOpt(QStringLiteral("colour"), QStringLiteral("Colour the whole text (Word's BBGGRR hex)."), QStringLiteral("BBGGRR"));
    const QCommandLineOption outputOpt(QStringList{QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("Output file of the passes."), QStringLiteral("OUTPUT"));
    const QCommandLineOption taskOpt(QStringLiteral("task"), QStringLiteral("Task code to run."), QStringLiteral("N"));
    const QCommandLineOption directionOpt(QStringLiteral("direction"), QStringLiteral("Language direction: ej (English source) or je."), QStringLiteral("ej|je"), QStringLiteral("ej"));
    const QCommandLineOption blanksOpt(QStringLiteral("blanks"), QStringLiteral("Blanks after a sentence end: 1 or 2."), QStringLiteral("1|2"), QStringLiteral("1"));
    const QCommandLineOption sourceColourOpt(QStringLiteral("source-colour"), QStringLiteral("Colour of the source text (BBGGRR hex)."), QStringLiteral("HEX"), QStringLiteral("663399"));
    const QCommandLineOption translationColourOpt(QStringLiteral("translation-colour"), QStringLiteral("Colour of the translation (BBGGRR hex)."), QStringLiteral("HEX"), QStringLiteral("000000"));
    const QCommandLineOption fontsOpt(QStringLiteral("fonts"), QStringLiteral("Fonts for the whole text: Japanese and Latin font names."), QStringLiteral("JAPANESE,LATIN"));
    const QCommandLineOption itemsOpt(QStringLiteral("items"), QStringLiteral("Task 7: the families to renumber, 請求項,図,表,化,数 or claims,figures,tables,formulas,equations (all by default)."), QStringLiteral("LIST"));
    const QCommandLineOption verboseOpt(QStringLiteral("verbose"), QStringLiteral("Print the status texts too."));
    parser.addOptions({textOpt, findOpt, replaceOpt, colourOpt, outputOpt, taskOpt, directionOpt, blanksOpt,
                       sourceColourOpt, translationColourOpt, fontsOpt, itemsOpt, verboseOpt});
    // Task 5: pictures brought to the filing software's rules or copied as stored; one HTML per 【書類名】.
    const QCommandLineOption imagesOpt(QStringLiteral("images"), QStringLiteral("Task 5 pictures: convert to the filing rules, or keep as stored."), QStringLiteral("keep|convert"), QStringLiteral("convert"));
    const QCommandLineOption splitDocumentsOpt(QStringLiteral("split-documents"), QStringLiteral("Task 5: one HTML file per 【書類名】 section."));
    parser.addOptions({imagesOpt, splitDocumentsOpt});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Documents (.docx, .doc)."), QStringLiteral("FILE..."));

    if (!parser.parse(QCoreApplication::arguments())) return UsageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        Print(stdout, parser.helpText());
        return kExitOk;
    }

    const bool textMode = parser.isSet(textOpt);
    const bool passMode = parser.isSet(findOpt) || parser.isSet(replaceOpt) || parser.isSet(colourOpt) || parser.isSet(outputOpt);
    const bool taskMode = parser.isSet(taskOpt);
    if (int(textMode) + int(passMode) + int(taskMode) != 1)
        return UsageError(QStringLiteral("give exactly one of --text, --find/--replace/-o, --task"));
    const QStringList positional = parser.positionalArguments();

    if (textMode) {
        if (!positional.isEmpty()) return UsageError(QStringLiteral("--text takes one file and no other arguments"));
        return PrintText(parser.value(textOpt));
    }

    if (passMode) {
        const QStringList finds = parser.values(findOpt);
        const QStringList replacements = parser.values(replaceOpt);
        if (finds.size() != replacements.size())
            return UsageError(QStringLiteral("every --find needs its --replace (%1 --find, %2 --replace)")
                                  .arg(finds.size())
                                  .arg(replacements.size()));
        for (const QString& f : finds)
            if (f.isEmpty()) return UsageError(QStringLiteral("--find needs a non-empty search text"));
        std::optional<int> colour;
        if (parser.isSet(colourOpt)) {
            colour = ParseColour(parser.value(colourOpt));
            if (!colour) return UsageError(QStringLiteral("--colour needs 1 to 6 hexadecimal digits (BBGGRR)"));
        }
        if (finds.isEmpty() && !colour) return UsageError(QStringLiteral("nothing to do: give --find/--replace or --colour"));
        if (!parser.isSet(outputOpt)) return UsageError(QStringLiteral("-o OUTPUT is required"));
        if (positional.size() != 1) return UsageError(QStringLiteral("give exactly one INPUT file"));
        const QString output = parser.value(outputOpt);
        if (SameFile(output, positional[0])) return UsageError(QStringLiteral("OUTPUT must not be INPUT: the input is never written"));
        return RunPasses(finds, replacements, colour, output, positional[0]);
    }

    bool ok = false;
    const int task = parser.value(taskOpt).toInt(&ok);
    if (!ok || !kSupportedTasks.count(task)) {
        QStringList codes;
        for (int c : kSupportedTasks) codes << QString::number(c);
        return UsageError(QStringLiteral("task %1 is not available in this build (tasks: %2)")
                              .arg(parser.value(taskOpt), codes.join(QStringLiteral(", "))));
    }
    if (positional.isEmpty()) return UsageError(QStringLiteral("--task needs at least one FILE"));

    CliHost host(parser.isSet(verboseOpt));
    if (task == 6) host.SetFindingsOnStdout();
    const QString direction = parser.value(directionOpt);
    if (direction != QStringLiteral("ej") && direction != QStringLiteral("je"))
        return UsageError(QStringLiteral("--direction is ej or je"));
    host.options.englishToJapanese = direction == QStringLiteral("ej");
    const QString blanks = parser.value(blanksOpt);
    if (blanks != QStringLiteral("1") && blanks != QStringLiteral("2")) return UsageError(QStringLiteral("--blanks is 1 or 2"));
    host.options.oneBlank = blanks == QStringLiteral("1");
    for (const auto& [opt, target] : {std::pair{&sourceColourOpt, &host.options.sourceColour},
                                      std::pair{&translationColourOpt, &host.options.translationColour}}) {
        const QString value = parser.value(*opt);
        if (!engine::ParseColourText(value)) return UsageError(QStringLiteral("--%1 needs 1 to 6 hexadecimal digits").arg(opt->names().first()));
        *target = value;
    }
    if (parser.isSet(fontsOpt)) {
        const QStringList fonts = parser.value(fontsOpt).split(u',');
        if (fonts.size() != 2 || fonts[0].trimmed().isEmpty() || fonts[1].trimmed().isEmpty())
            return UsageError(QStringLiteral("--fonts needs two names: JAPANESE,LATIN"));
        host.options.fontSwitch = true;
        host.options.fontJapanese = fonts[0].trimmed();
        host.options.fontLatin = fonts[1].trimmed();
    }
    if (parser.isSet(itemsOpt)) {
        host.options.itemFamilies.clear();
        for (const QString& name : parser.value(itemsOpt).split(u',', Qt::SkipEmptyParts)) {
            const std::optional<engine::ItemFamily> family = engine::FamilyNamed(name);
            if (!family) return UsageError(QStringLiteral("--items: unknown family \"%1\"").arg(name.trimmed()));
            host.options.itemFamilies << engine::FamilyWord(*family);
        }
        if (host.options.itemFamilies.isEmpty()) return UsageError(QStringLiteral("--items needs at least one family"));
    }
    const QString images = parser.value(imagesOpt);
    if (images != QStringLiteral("keep") && images != QStringLiteral("convert"))
        return UsageError(QStringLiteral("--images is keep or convert"));
    host.options.convertImages = images == QStringLiteral("convert");
    host.options.splitDocuments = parser.isSet(splitDocumentsOpt);
    return RunTasks(task, positional, host);
}

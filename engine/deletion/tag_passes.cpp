// The step list of task code 2: the tag preparation passes (language and
// sentence-end spacing), the deletion walk, the tag removal passes that join
// the translated sentences, and the translation colour. With the colour flag
// set, the colour-coding steps take the place of the spacing and removal
// passes: everything is kept and coloured, tags grey.

#include "engine/deletion/deletion.h"
#include "engine/find_replace.h"
#include "engine/runner/task_runner.h"

namespace engine {

namespace {

const QString kColourBoxNames[2] = {QStringLiteral("原文の色"), QStringLiteral("訳文の色")};

QString ColourTextMessage(int boxIndex, const QString& text) {
    return QStringLiteral("%1「%2」は16進数の色の値ではありません。\r\n"
                          "色を設定し直してから、もう一度実行してください。文書は変更していません。")
        .arg(kColourBoxNames[boxIndex], text);
}

}  // namespace

std::optional<int> ParseColourText(const QString& text) {
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 6) return std::nullopt;
    // Plain hexadecimal digits only (toInt alone would also take a sign or "0x").
    for (const QChar c : digits)
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f'))) return std::nullopt;
    bool ok = false;
    const int value = digits.toInt(&ok, 16);
    if (!ok) return std::nullopt;
    return value == 0 ? word::wdColorAutomatic : value;
}

int ColourValueOfBox(const TaskOptions& options, int boxIndex) {
    const QString& text = boxIndex == 0 ? options.sourceColour : options.translationColour;
    const std::optional<int> value = ParseColourText(text);
    if (!value) throw word::Error(ColourTextMessage(boxIndex, text));
    return *value;
}

QString CheckColourOptions(const TaskOptions& options, bool colourFlag) {
    if (colourFlag && !ParseColourText(options.sourceColour)) return ColourTextMessage(0, options.sourceColour);
    if (!ParseColourText(options.translationColour)) return ColourTextMessage(1, options.translationColour);
    return {};
}

bool TaskRunner::ValidateOptions(short code) {
    if (code != 2) return true;
    const QString problem = CheckColourOptions(host_.Options(), colourFlag_);
    if (problem.isEmpty()) return true;
    host_.MessageBox(problem);
    return false;
}

void TaskRunner::RunDeletionSteps() {
    PrepareRange(false);

    // Language pass: in a 日英 document every M tag becomes an E tag, so that
    // every joint gets the sentence-end blanks.
    if (!host_.Options().englishToJapanese) ReplaceAll(QStringLiteral("^013--/M^013"), QStringLiteral("^p--/E^p"));

    if (colourFlag_) {
        // Colour-coding: the whole text in the translation colour, the tags
        // grey; the walk then colours the source text.
        changed_ = true;
        range_.Font().SetColor(ColourValueOfBox(host_.Options(), 1));
        for (const char* tag : {"--/E", "--/M", "--/H", "--/Y", "--/Z", "--/D"}) GrayAll(QString::fromLatin1(tag));
    } else {
        // Sentence-end spacing: every paragraph before an E tag ends in exactly
        // one blank (two after a full stop in two-blank mode); then the E tags
        // become M tags, which the removal passes join on. Two blanks become
        // one as often as needed, so that three or more blanks also end as one.
        ReplaceAll(QStringLiteral("^013--/E^013"), QStringLiteral(" ^p--/E^p"));
        while (ReplaceAllIn(range_, QStringLiteral("  ^013--/E^013"), QStringLiteral(" ^p--/E^p"))) changed_ = true;
        if (!host_.Options().oneBlank) ReplaceAll(QStringLiteral(". ^013--/E^013"), QStringLiteral(".  ^p--/E^p"));
        ReplaceAll(QStringLiteral("^013--/E^013"), QStringLiteral("^p--/M^p"));
    }

    DeleteOriginals();
    PrepareRange(false);

    if (!colourFlag_) {
        host_.ShowStatus(QStringLiteral("タグ削除処理１"));
        ReplaceAll(QStringLiteral("^013"), QStringLiteral("^p"));
        ReplaceAll(QStringLiteral("^013--/M^013"), QString());
        host_.ShowStatus(QStringLiteral("タグ削除処理２"));
        ReplaceAll(QStringLiteral("^013--/Y^013"), QString());
        host_.ShowStatus(QStringLiteral("タグ削除処理３"));
        ReplaceAll(QStringLiteral("--/H^013"), QString());
        ReplaceAll(QStringLiteral("--/D^013"), QStringLiteral("^p"));
        ReplaceAll(QStringLiteral("--/M^013"), QString());
        ReplaceAll(QStringLiteral("--/Y^013"), QString());
        ReplaceAll(QStringLiteral("--/Z^013"), QString());
        range_.Font().SetColor(ColourValueOfBox(host_.Options(), 1));
        changed_ = true;
    } else if (host_.Options().fontSwitch) {
        // Font step: the Japanese font box for East Asian text, the English
        // font box for Latin text. A font the engine refuses leaves the text
        // as it was; the run goes on, and the log says so.
        const TaskOptions options = host_.Options();
        const auto setFont = [this](const QString& name, bool latin) {
            if (name.trimmed().isEmpty()) return;
            try {
                word::Font font = range_.Font();
                if (latin)
                    font.SetNameAscii(name);
                else
                    font.SetName(name);
            } catch (const word::Error& e) {
                host_.ShowLog(1, QStringLiteral(" .. フォント設定失敗（%1）：%2").arg(name, e.message()));
            }
        };
        setFont(options.fontJapanese, false);
        setFont(options.fontLatin, true);
    }

    FinalProcess();
}

}  // namespace engine

#pragma once
// A Japanese specification and its English translation of any length for the
// translation check's benchmark: numbered paragraphs in rotating sentence
// forms with numbers and units, reference signs, ordinals and cited figures
// and tables, a reference-signs list and claims with their citations.
// Faults are injected at fixed places, one kind after another: a number
// changed, a sign changed, a figure changed, a sentence left untranslated,
// a paragraph dropped, a claim's citation changed.

#include "bench_support.h"
#include "engine/text_helpers.h"

#include <QString>

#include <array>

namespace bench {

struct TranslationPairLayout {
    int paragraphs = 10000;
    int faultEvery = 100;  // one fault per this many paragraphs (0: none)
};

struct WrittenPair {
    int paragraphs = 0;  // per document
    int faults = 0;      // injected
};

inline QByteArray ParagraphXml(const QString& text) {
    return "<w:p><w:r><w:t xml:space=\"preserve\">" + EscapeXml(text.toUtf8()) + "</w:t></w:r></w:p>";
}

inline QString EnglishOrdinal(int n) {
    static const std::array<const char*, 21> words = {"", "first", "second", "third", "fourth", "fifth", "sixth",
                                                      "seventh", "eighth", "ninth", "tenth", "eleventh", "twelfth",
                                                      "thirteenth", "fourteenth", "fifteenth", "sixteenth",
                                                      "seventeenth", "eighteenth", "nineteenth", "twentieth"};
    return QString::fromLatin1(words[n]);
}

// Writes both documents; the layout says how long and how faulty.
inline WrittenPair WriteTranslationPair(const QString& japanesePath, const QString& englishPath,
                                        const TranslationPairLayout& layout) {
    using engine::ToFullWidthDigits;
    auto fw = [](int n) { return ToFullWidthDigits(QString::number(n)); };
    QByteArray ja, en;
    WrittenPair written;
    auto both = [&](const QString& j, const QString& e) {
        ja += ParagraphXml(j);
        en += ParagraphXml(e);
    };
    both(QStringLiteral("【書類名】明細書"), QStringLiteral("DESCRIPTION"));
    both(QStringLiteral("【発明を実施するための形態】"), QStringLiteral("Description of Embodiments"));
    const int claims = std::clamp(layout.paragraphs / 100, 2, 500);
    const int body = std::max(10, layout.paragraphs / 2 - claims - 12);
    for (int i = 1; i <= body; ++i) {
        const int fault = layout.faultEvery && i % layout.faultEvery == 0 ? (i / layout.faultEvery) % 5 : -1;
        if (fault >= 0) ++written.faults;
        const int a = i % 997 + 1, f = i % 9 + 1, k = i % 20 + 1;
        const int number = fault == 0 ? a + 1 : a;
        const int sign = fault == 1 ? 11 : 10;
        const int figure = fault == 2 ? f + 1 : f;
        QString j, e;
        // A changed figure needs a sentence that cites one.
        switch (fault == 2 ? 0 : i % 6) {
        case 0:
            j = QStringLiteral("　図%1に示すように、基板１０の厚さは%2ｍｍである。").arg(fw(f), fw(a));
            e = QStringLiteral("As shown in FIG. %1, the thickness of the substrate %2 is %3 mm.").arg(figure).arg(sign).arg(number);
            break;
        case 1:
            j = QStringLiteral("　ヒータ２０は、基板１０を%1℃に加熱する。").arg(fw(a));
            e = QStringLiteral("The heater 20 heats the substrate %1 to %2°C.").arg(sign).arg(number);
            break;
        case 2:
            j = QStringLiteral("　制御部４０は、第%1の工程で基板１０の温度を%2回測定する。").arg(fw(k), fw(a));
            e = QStringLiteral("The controller 40 measures the temperature of the substrate %1 %2 times in the %3 step.")
                    .arg(sign).arg(number).arg(EnglishOrdinal(k));
            break;
        case 3:
            j = QStringLiteral("　表%1に示すように、基板１０の濃度は%2ｗｔ％である。").arg(fw(f), fw(a));
            e = QStringLiteral("As shown in Table %1, the concentration of the substrate %2 is %3 wt%.")
                    .arg(f).arg(sign).arg(number);
            break;
        case 4:
            j = QStringLiteral("　ステージ３０は、基板１０を%1～%2ｍｍの範囲で移動させる。").arg(fw(a), fw(a + 10));
            e = QStringLiteral("The stage 30 moves the substrate %1 in a range of %2 to %3 mm.").arg(sign).arg(number).arg(a + 10);
            break;
        default:
            j = QStringLiteral("　センサ５０は、図%1に示す基板１０の温度を%2ｍｓごとに出力する。").arg(fw(f), fw(a));
            e = QStringLiteral("The sensor 50 outputs the temperature of the substrate %1 shown in FIG. %2 every %3 ms.")
                    .arg(sign).arg(figure).arg(number);
            break;
        }
        if (fault == 3) e = QStringLiteral("The heater 20 heats the 基板 10 to %1°C.").arg(a), j = QStringLiteral("　ヒータ２０は、基板１０を%1℃に加熱する。").arg(fw(a));
        ja += ParagraphXml(engine::ParagraphNumberText(i));
        ja += ParagraphXml(j);
        if (fault == 4) continue;  // the translation drops the paragraph
        en += ParagraphXml(QStringLiteral("[%1]").arg(i, 4, 10, QChar(u'0')));
        en += ParagraphXml(e);
    }
    both(QStringLiteral("【符号の説明】"), QStringLiteral("Reference Signs List"));
    const std::array<std::pair<const char*, const char*>, 5> signs = {
        {{"基板", "substrate"}, {"ヒータ", "heater"}, {"ステージ", "stage"}, {"制御部", "controller"}, {"センサ", "sensor"}}};
    for (size_t s = 0; s < signs.size(); ++s)
        both(QStringLiteral("　%1　%2").arg(fw(int(s + 1) * 10), QString::fromUtf8(signs[s].first)),
             QStringLiteral("%1 %2").arg(int(s + 1) * 10).arg(QString::fromUtf8(signs[s].second)));
    both(QStringLiteral("【書類名】特許請求の範囲"), QStringLiteral("CLAIMS"));
    for (int c = 1; c <= claims; ++c) {
        const bool fault = layout.faultEvery && c % 50 == 25;
        if (fault) ++written.faults;
        ja += ParagraphXml(QStringLiteral("【請求項%1】").arg(fw(c)));
        if (c == 1) {
            ja += ParagraphXml(QStringLiteral("　基板を加熱するヒータを備える基板処理装置。"));
            en += ParagraphXml(QStringLiteral("1. A substrate processing apparatus comprising a heater that heats a substrate."));
        } else {
            ja += ParagraphXml(QStringLiteral("　前記ヒータの出力を変える、請求項１～%1のいずれか一項に記載の基板処理装置。").arg(fw(c - 1)));
            en += ParagraphXml(QStringLiteral("%1. The substrate processing apparatus according to any one of claims 1 to %2, "
                                              "wherein an output of the heater is changed.")
                                   .arg(c)
                                   .arg(fault ? c - 2 : c - 1));
        }
    }
    written.paragraphs = int(ja.count("<w:p>"));
    if (!WriteDocx(japanesePath, ja) || !WriteDocx(englishPath, en)) return {};
    return written;
}

}  // namespace bench

#pragma once
// A tagged bilingual document for the benchmarks: English source sentences
// each followed by their Japanese translation, separated by "--/M" and "--/E"
// tags, an "--/H" at the top, every paragraph's text cut into two runs.

#include "bench/bench_support.h"

#include <QByteArray>
#include <QString>

#include <random>

namespace bench {

inline const char* const kEnglish[] = {
    "The substrate processing apparatus includes a chamber and a controller.",
    "A first electrode faces a second electrode across the processing space.",
    "The controller applies a predetermined voltage between the electrodes.",
    "As shown in FIG. 1, the temperature sensor 12 is arranged inside the vessel 10.",
    "Thereby, the uniformity of the treatment is improved.",
    "The gas supply unit 20 supplies a reaction gas at 200°C.",
    "As a result, power consumption can be reduced compared with the conventional device.",
    "In the present embodiment, a thin film is formed on the surface of the wafer W.",
};
inline const char* const kJapanese[] = {
    "基板処理装置は、チャンバと制御部とを備える。",
    "第１の電極は、処理空間を挟んで第２の電極と対向する。",
    "制御部は、電極間に所定の電圧を印加する。",
    "図１に示すように、温度センサ１２は処理容器１０の内部に配置されている。",
    "これにより、処理の均一性が向上する。",
    "ガス供給部２０は、２００℃の反応ガスを供給する。",
    "その結果、従来の装置と比較して消費電力を低減できる。",
    "本実施形態では、ウエハＷの表面に薄膜が形成される。",
};

// A paragraph whose text is cut into two runs, the second with a font hint.
inline QByteArray TaggedParagraph(const QByteArray& text, std::mt19937& rng) {
    const QString s = QString::fromUtf8(text);
    if (s.size() < 8) return "<w:p><w:r><w:t xml:space=\"preserve\">" + EscapeXml(text) + "</w:t></w:r></w:p>";
    const int cut = std::uniform_int_distribution<int>(1, static_cast<int>(s.size()) - 1)(rng);
    return "<w:p><w:pPr><w:jc w:val=\"both\"/></w:pPr><w:r><w:t xml:space=\"preserve\">" +
           EscapeXml(s.left(cut).toUtf8()) + "</w:t></w:r><w:r><w:rPr><w:rFonts w:hint=\"eastAsia\"/></w:rPr>" +
           "<w:t xml:space=\"preserve\">" + EscapeXml(s.mid(cut).toUtf8()) + "</w:t></w:r></w:p>";
}

// How the blocks are closed: every `closeEvery`-th block by "--/E" (the
// others by "--/M", whose translations the deletion joins into the paragraph
// before), every `numberEvery`-th by "--/Z", a paragraph number and "--/D".
// 0 never closes. The defaults give joins in runs of two.
struct TaggedLayout {
    int closeEvery = 3;
    int numberEvery = 50;
};

inline bool WriteTaggedDocx(const QString& path, int paragraphs, const TaggedLayout& layout = {}) {
    std::mt19937 rng(20261207);
    QByteArray body;
    int count = 0;
    const auto add = [&](const QByteArray& text) {
        body += TaggedParagraph(text, rng);
        ++count;
    };
    add("--/H");
    int block = 0;
    while (count < paragraphs - 4) {
        const int i = block % 8;
        add(kEnglish[i]);
        add(kJapanese[i]);
        ++block;
        if (layout.numberEvery && block % layout.numberEvery == 0)
            add("--/Z"), add("【０００１】"), add("--/D");
        else
            add(layout.closeEvery && block % layout.closeEvery == 0 ? "--/E" : "--/M");
    }
    while (count < paragraphs) add("");
    return WriteDocx(path, body);
}

}  // namespace bench

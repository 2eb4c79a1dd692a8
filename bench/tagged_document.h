#pragma once
// A tagged bilingual document for the benchmarks: English source sentences
// each followed by their Japanese translation, separated by "--/M" and "--/E"
// tags, an "--/H" at the top, every paragraph's text cut into two runs.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <zip.h>

#include <random>
#include <vector>

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

inline QByteArray escape(const QByteArray& text) {
    QByteArray out = text;
    out.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;");
    return out;
}

// A paragraph whose text is cut into two runs, the second with a font hint.
inline QByteArray paragraph(const QByteArray& text, std::mt19937& rng) {
    const QString s = QString::fromUtf8(text);
    if (s.size() < 8) return "<w:p><w:r><w:t xml:space=\"preserve\">" + escape(text) + "</w:t></w:r></w:p>";
    const int cut = std::uniform_int_distribution<int>(1, static_cast<int>(s.size()) - 1)(rng);
    return "<w:p><w:pPr><w:jc w:val=\"both\"/></w:pPr><w:r><w:t xml:space=\"preserve\">" +
           escape(s.left(cut).toUtf8()) + "</w:t></w:r><w:r><w:rPr><w:rFonts w:hint=\"eastAsia\"/></w:rPr>" +
           "<w:t xml:space=\"preserve\">" + escape(s.mid(cut).toUtf8()) + "</w:t></w:r></w:p>";
}

inline bool addEntry(zip_t* zip, const char* name, const QByteArray& data) {
    // libzip reads the buffer at close time; keep the copies alive until then.
    static std::vector<QByteArray> keep;
    keep.push_back(data);
    zip_source_t* src = zip_source_buffer(zip, keep.back().constData(), static_cast<zip_uint64_t>(keep.back().size()), 0);
    return src && zip_file_add(zip, name, src, ZIP_FL_ENC_UTF_8) >= 0;
}

// How the blocks are closed: every `closeEvery`-th block by "--/E" (the
// others by "--/M", whose translations the deletion joins into the paragraph
// before), every `numberEvery`-th by "--/Z", a paragraph number and "--/D".
// 0 never closes. The defaults give joins in runs of two.
struct TaggedLayout {
    int closeEvery = 3;
    int numberEvery = 50;
};

inline bool writeTaggedDocx(const QString& path, int paragraphs, const TaggedLayout& layout = {}) {
    std::mt19937 rng(20261207);
    QByteArray body;
    int count = 0;
    const auto add = [&](const QByteArray& text) {
        body += paragraph(text, rng);
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
    const QByteArray document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>" +
        body + "<w:sectPr/></w:body></w:document>";
    const QByteArray contentTypes =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/word/document.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
    const QByteArray rels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"word/document.xml\"/></Relationships>";
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip) return false;
    const bool ok = addEntry(zip, "[Content_Types].xml", contentTypes) && addEntry(zip, "_rels/.rels", rels) &&
                    addEntry(zip, "word/document.xml", document);
    return zip_close(zip) == 0 && ok;
}

}  // namespace bench

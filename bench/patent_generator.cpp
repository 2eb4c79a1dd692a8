// The patent-like document of the benchmarks and of the window's long-run
// tests (see patent_generator.h).

#include "bench/patent_generator.h"

#include <zip.h>

#include <random>
#include <string>
#include <vector>

namespace {

const char* const kHeadings[] = {
    "技術分野", "背景技術", "特許文献", "非特許文献", "発明が解決しようとする課題",
    "課題を解決するための手段", "発明の効果", "図面の簡単な説明", "発明を実施するための形態",
    "実施例", "産業上の利用可能性", "符号の説明",
};

const char* const kPhrases[] = {
    "本発明は", "基板処理装置", "に関するものであり", "制御部は", "第１の電極と第２の電極との間に",
    "所定の電圧を印加する", "ことを特徴とする", "図１に示すように", "温度センサ１２は",
    "処理容器１０の内部に", "配置されている", "これにより", "処理の均一性が向上する",
    "また", "上述の実施形態において", "ガス供給部２０から", "反応ガスが供給され",
    "その結果", "従来の装置と比較して", "消費電力を低減できる", "なお", "本実施形態では",
    "ウエハＷの表面に", "薄膜が形成される", "特開２０１０－１２３４５６号公報に記載の",
};

std::mt19937 rng(20261207);

int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

std::string rsid() {
    static const char* hex = "0123456789ABCDEF";
    std::string s = "00";
    for (int i = 0; i < 6; ++i) s += hex[pick(16)];
    return s;
}

// Splits UTF-8 text into characters.
std::vector<std::string> chars(const std::string& s) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        out.push_back(s.substr(i, len));
        i += len;
    }
    return out;
}

std::string runXml(const std::string& text, bool eastAsiaHint = true) {
    std::string r = "<w:r w:rsidR=\"" + rsid() + "\"";
    if (pick(3) == 0) r += " w:rsidRPr=\"" + rsid() + "\"";
    r += ">";
    if (eastAsiaHint) r += "<w:rPr><w:rFonts w:hint=\"eastAsia\"/></w:rPr>";
    bool blank = !text.empty() && (text[0] == ' ' || text.back() == ' ');
    r += blank ? "<w:t xml:space=\"preserve\">" : "<w:t>";
    r += text + "</w:t></w:r>";
    return r;
}

std::string paragraphXml(const std::string& runs, bool indented) {
    std::string p = "<w:p w:rsidR=\"" + rsid() + "\" w:rsidRDefault=\"" + rsid() + "\" w:rsidP=\"" + rsid() + "\">";
    p += "<w:pPr>";
    if (indented) p += "<w:ind w:firstLineChars=\"0\" w:firstLine=\"0\"/>";
    p += "<w:rPr><w:rFonts w:hint=\"eastAsia\"/></w:rPr></w:pPr>";
    return p + runs + "</w:p>";
}

// A text cut into runs at random character positions.
std::string splitRuns(const std::string& text) {
    std::vector<std::string> cs = chars(text);
    std::string out;
    std::string current;
    for (std::size_t i = 0; i < cs.size(); ++i) {
        current += cs[i];
        if (pick(18) == 0 && i + 1 < cs.size()) {
            out += runXml(current);
            current.clear();
        }
    }
    if (!current.empty()) out += runXml(current);
    return out;
}

std::string fullWidthNumber(int n) {
    static const char* digits[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
    std::string s;
    for (int div = 1000; div > 0; div /= 10) s += digits[(n / div) % 10];
    return s;
}

// 【０００１】 in three runs, as LibreOffice writes it after typing.
std::string numberParagraph(int n) {
    return paragraphXml(runXml("【") + runXml(fullWidthNumber(n)) + runXml("】"), false);
}

std::string sentenceParagraph() {
    std::string text = "　";
    int sentences = 1 + pick(3);
    for (int s = 0; s < sentences; ++s) {
        int phrases = 3 + pick(6);
        for (int i = 0; i < phrases; ++i) text += kPhrases[pick(sizeof kPhrases / sizeof *kPhrases)];
        text += (s + 1 < sentences && pick(2)) ? "、" : "。";
    }
    // A few paragraphs end in a stray blank, which the sentence-end passes remove.
    int tail = pick(20);
    if (tail == 0) text += " ";
    else if (tail == 1) text += "　";
    return paragraphXml(splitRuns(text), true);
}

std::string headingParagraph(const char* heading) {
    std::string runs = runXml("【") + runXml(heading) + runXml("】");
    if (pick(10) == 0) runs += runXml("　");
    return paragraphXml(runs, false);
}

std::string documentXml(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
           "<w:body>" + body +
           "<w:sectPr w:rsidR=\"" + rsid() + "\"><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
           "<w:pgMar w:top=\"1985\" w:right=\"1701\" w:bottom=\"1701\" w:left=\"1701\" w:header=\"851\" "
           "w:footer=\"992\" w:gutter=\"0\"/><w:cols w:space=\"425\"/><w:docGrid w:type=\"lines\" w:linePitch=\"360\"/>"
           "</w:sectPr></w:body></w:document>";
}

std::string buildDocument(int paragraphs) {
    std::string body;
    body.reserve(static_cast<std::size_t>(paragraphs) * 700);
    body += paragraphXml(runXml("【書類名】明細書"), false);
    body += paragraphXml(runXml("【発明の名称】基板処理装置及び基板処理方法"), false);
    int count = 2;
    int number = 1;
    std::size_t heading = 0;
    while (count < paragraphs) {
        if (pick(25) == 0 || count == 2) {
            body += headingParagraph(kHeadings[heading++ % (sizeof kHeadings / sizeof *kHeadings)]);
            ++count;
        }
        // About a third of the paragraphs are numbered already.
        if (pick(3) == 0 && count < paragraphs) {
            body += numberParagraph(number++);
            ++count;
        }
        // Now and then a pair of bracketed half-width numbers split by a mark.
        if (pick(60) == 0 && count + 1 < paragraphs) {
            body += paragraphXml(runXml("[") + runXml("0012") + runXml("]"), false);
            body += paragraphXml(runXml("[0012]"), false);
            count += 2;
        }
        if (count < paragraphs) {
            body += sentenceParagraph();
            ++count;
        }
    }
    return documentXml(body);
}

// The complete application (WriteCompleteApplication).

// Phrases of the description; the signs agree with kSigns.
const char* const kSignedPhrases[] = {
    "本実施形態の基板処理装置１は", "処理容器１０の内部に", "載置台１１が配置され", "ガス供給部２０から",
    "反応ガスが供給される", "制御部３０は", "温度センサ１２の出力に基づいて", "ヒータ１３を制御する",
    "排気部４０は", "第１排気管４１と第２排気管４２とを介して", "処理容器１０を減圧する", "これにより",
    "ウエハＷの表面に", "薄膜が均一に形成される", "記憶部３１には", "処理レシピが記憶されている",
    "図３に示すように", "図１及び図２に示す", "また", "なお、変形例では", "搬送アーム５０ａ、５０ｂが",
    "約１０ｍｍの間隔で", "２枚のウエハＷを保持する",
};

const char* const kSigns[][2] = {
    {"１", "基板処理装置"}, {"１０", "処理容器"}, {"１１", "載置台"}, {"１２", "温度センサ"}, {"１３", "ヒータ"},
    {"２０", "ガス供給部"}, {"３０", "制御部"}, {"３１", "記憶部"}, {"４０", "排気部"}, {"４１", "第１排気管"},
    {"４２", "第２排気管"}, {"５０", "搬送アーム"},
};

constexpr int kFigures = 5;
constexpr int kClaims = 200;

std::string fullWidth(int n) {
    static const char* digits[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
    std::string s;
    for (char c : std::to_string(n)) s += digits[c - '0'];
    return s;
}

std::string plainParagraph(const std::string& text) { return paragraphXml(splitRuns(text), false); }

std::string completeSentence() {
    std::string text = "　";
    const int phrases = 4 + pick(6);
    for (int i = 0; i < phrases; ++i) text += kSignedPhrases[pick(sizeof kSignedPhrases / sizeof *kSignedPhrases)];
    return paragraphXml(splitRuns(text + "。"), true);
}

std::string buildCompleteDocument(int paragraphs) {
    std::string body;
    body.reserve(static_cast<std::size_t>(paragraphs) * 700);
    int number = 1;
    int count = 0;
    auto numbered = [&](const std::string& text) {
        body += numberParagraph(number++) + plainParagraph(text);
        count += 2;
    };
    auto heading = [&](const char* name) {
        body += headingParagraph(name);
        ++count;
    };
    body += plainParagraph("【書類名】明細書") + plainParagraph("【発明の名称】基板処理装置");
    heading("技術分野");
    numbered("　本発明は、基板処理装置に関する。");
    heading("背景技術");
    numbered("　従来、処理容器の内部で基板に薄膜を形成する装置が知られている（特許文献１の図２参照）。");
    heading("先行技術文献");
    heading("特許文献");
    numbered("　【特許文献１】特開２０１０－１２３４５６号公報");
    heading("発明の概要");
    heading("発明が解決しようとする課題");
    numbered("　本発明は、薄膜の均一性を高めることを目的とする。");
    heading("課題を解決するための手段");
    numbered("　本発明の基板処理装置は、処理容器と、ガス供給部と、制御部とを備える。");
    heading("発明の効果");
    numbered("　本発明によれば、薄膜の均一性が向上する。");
    heading("図面の簡単な説明");
    body += numberParagraph(number++);
    for (int f = 1; f <= kFigures; ++f) body += plainParagraph("　【図" + fullWidth(f) + "】一実施形態の説明図である。");
    count += 1 + kFigures;
    heading("発明を実施するための形態");
    const int tail = 20 + 2 * int(sizeof kSigns / sizeof *kSigns) + 2 * kClaims;
    for (int f = 4; f <= kFigures; ++f) numbered("　図" + fullWidth(f) + "は、変形例を示す。");
    while (count < paragraphs - tail) {
        body += numberParagraph(number++);
        ++count;
        const int sentences = 1 + pick(3);
        for (int i = 0; i < sentences; ++i, ++count) body += completeSentence();
    }
    heading("産業上の利用可能性");
    numbered("　本発明は、半導体の製造に利用できる。");
    heading("符号の説明");
    body += numberParagraph(number++);
    for (const auto& sign : kSigns) body += plainParagraph(std::string("　") + sign[0] + "　" + sign[1]);

    body += plainParagraph("【書類名】特許請求の範囲");
    body += plainParagraph("【請求項１】") +
            plainParagraph("　処理容器と、前記処理容器の内部に配置された載置台と、温度センサと、ヒータと、ガス供給部と、"
                           "第１排気管及び第２排気管を有する排気部と、記憶部を有する制御部とを備える基板処理装置。");
    // 200 claims whose 前記 phrases all have their antecedents: each claim
    // cites claim 1 or the one before it, and names what claim 1 introduces.
    const char* const referred[] = {"前記制御部は、前記温度センサの出力に基づいて前記ヒータを制御する",
                                    "前記ガス供給部は、前記処理容器の内部に反応ガスを供給する",
                                    "前記排気部は、前記第１排気管と前記第２排気管とを介して前記処理容器を減圧する",
                                    "前記記憶部は、前記制御部の処理レシピを記憶する"};
    for (int c = 2; c <= kClaims; ++c) {
        const std::string cited = "請求項" + fullWidth(c % 10 == 1 ? 1 : c - 1);
        body += plainParagraph("【請求項" + fullWidth(c) + "】") +
                plainParagraph(std::string("　") + referred[c % 4] + "、" + cited + "に記載の基板処理装置。");
    }
    body += plainParagraph("【書類名】要約書") + plainParagraph("【要約】") +
            plainParagraph("【課題】薄膜の均一性を高める。") +
            plainParagraph("【解決手段】基板処理装置１は、処理容器１０と制御部３０とを備える。") +
            plainParagraph("【選択図】図１");
    return documentXml(body);
}

const char* kContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "<Override PartName=\"/word/styles.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
    "</Types>";

const char* kRootRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/></Relationships>";

const char* kDocumentRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
    "Target=\"styles.xml\"/></Relationships>";

const char* kStyles =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
    "<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Century\" w:eastAsia=\"ＭＳ 明朝\" "
    "w:hAnsi=\"Century\" w:cs=\"Times New Roman\"/><w:kern w:val=\"2\"/><w:sz w:val=\"24\"/>"
    "<w:lang w:val=\"en-US\" w:eastAsia=\"ja-JP\" w:bidi=\"ar-SA\"/></w:rPr></w:rPrDefault></w:docDefaults>"
    "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"a\"><w:name w:val=\"Normal\"/>"
    "<w:pPr><w:widowControl w:val=\"0\"/><w:jc w:val=\"both\"/></w:pPr></w:style>"
    "</w:styles>";

std::string WriteDocx(const std::string& path, const std::string& document) {
    const std::vector<std::pair<const char*, std::string>> parts = {
        {"[Content_Types].xml", kContentTypes},
        {"_rels/.rels", kRootRels},
        {"word/document.xml", document},
        {"word/_rels/document.xml.rels", kDocumentRels},
        {"word/styles.xml", kStyles},
    };
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z) return "cannot create " + path;
    for (const auto& [name, data] : parts) {
        zip_source_t* src = zip_source_buffer(z, data.data(), data.size(), 0);
        if (!src || zip_file_add(z, name, src, ZIP_FL_ENC_UTF_8) < 0) {
            const std::string error = std::string("cannot add ") + name + ": " + zip_strerror(z);
            if (src) zip_source_free(src);
            zip_discard(z);
            return error;
        }
    }
    if (zip_close(z) != 0) {
        const std::string error = "cannot write " + path + ": " + zip_strerror(z);
        zip_discard(z);
        return error;
    }
    return {};
}

}  // namespace

namespace kalvendo::bench {

std::string WritePatentDocument(const std::string& path, int paragraphs, std::size_t* documentBytes) {
    rng.seed(20261207);  // the same output for the same arguments, however often it is called
    const std::string document = buildDocument(paragraphs);
    if (documentBytes) *documentBytes = document.size();
    return WriteDocx(path, document);
}

std::string WriteCompleteApplication(const std::string& path, int paragraphs, std::size_t* documentBytes) {
    rng.seed(20261207);
    const std::string document = buildCompleteDocument(paragraphs);
    if (documentBytes) *documentBytes = document.size();
    return WriteDocx(path, document);
}

std::string WriteHostileClaims(const std::string& path, HostileClaims kind, int claims, std::size_t* documentBytes) {
    rng.seed(20261207);
    std::string body = plainParagraph("【書類名】特許請求の範囲");
    for (int n = 1; n <= claims; ++n) {
        body += paragraphXml(runXml("【請求項") + runXml(fullWidth(n)) + runXml("】"), false);
        std::string text;
        if (kind == HostileClaims::Wide)
            text = "請求項１～１００００のいずれか一項と請求項１～１００００に記載の装置。";
        else if (n == 1)
            text = "基板を処理する装置。";
        else if (n == 2)
            text = "請求項１に記載の装置。";
        else
            text = "請求項１～" + fullWidth(n - 1) + "のいずれか一項に記載の装置。";
        body += paragraphXml(runXml(text), true);
    }
    const std::string document = documentXml(body);
    if (documentBytes) *documentBytes = document.size();
    return WriteDocx(path, document);
}

}  // namespace kalvendo::bench

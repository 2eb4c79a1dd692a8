#include "engine/check/check_support.h"

#include "engine/check/check_claims.h"
#include "engine/terms/noun_phrases.h"

#include <QSet>
#include <QStringMatcher>

namespace engine::check {

namespace {

const QString kKind = QStringLiteral("サポート");

// Words every claim uses that the description need not repeat.
bool IsGeneralWord(const QString& key) {
    static const QSet<QString> words = {
        "装置", "方法", "部", "手段", "工程", "前記", "当該", "もの", "こと", "請求項", "記載", "特徴", "構成",
        "場合", "複数", "一方", "他方", "所定", "各", "上", "下", "内", "外", "間", "側", "面", "一部", "全体",
        "状態", "位置", "方向", "一対", "少なくとも", "それぞれ", "システム", "ステップ", "処理", "以上", "以下",
        "未満", "範囲", "前", "後", "時", "際", "うち", "ため", "とき", "他", "又は", "及び", "並びに", "若しくは"};
    return words.contains(key);
}

// A claim term worth looking for: two characters at least, holding kanji or katakana.
bool IsTerm(const QString& key) {
    if (key.size() < 2 || IsGeneralWord(key) || key.contains(QStringLiteral("請求項"))) return false;
    for (QChar c : key)
        if (terms::IsKanji(c) || terms::IsKatakana(c)) return true;
    return false;
}

// The description's paragraphs that are not claims, in compatibility form, as one text.
QString DescriptionText(const CheckedText& text, const std::vector<Claim>& claims) {
    std::vector<bool> inClaims(text.size(), false);
    for (const Claim& c : claims)
        for (int p = c.paragraph; p <= c.lastParagraph; ++p) inClaims[p] = true;
    QString out;
    for (const Section& section : text.sections()) {
        if (!section.isDescription()) continue;
        for (int p = section.first; p < section.end; ++p)
            // Paragraph by paragraph: normalising a whole long text at once costs far more.
            if (!inClaims[p]) out += text[p].normalized(QString::NormalizationForm_KC) + u'\n';
    }
    return out;
}

}  // namespace

Findings CheckSupport(const CheckedText& text) {
    Findings out;
    const std::vector<Claim> claims = ReadClaims(text);
    if (claims.empty()) return out;
    const QString description = DescriptionText(text, claims);
    // A claims document on its own has no description to compare with.
    if (description.size() < 200) return out;
    QSet<QString> looked;
    for (const Claim& c : claims)
        for (int p = c.paragraph; p <= c.lastParagraph; ++p) {
            const QString& line = text[p];
            for (const terms::Phrase& phrase : terms::ReadCompounds(line, text.tokens(p))) {
                const QString key = phrase.key();
                if (p == c.paragraph && phrase.offset < c.offset + c.length) continue;
                if (!IsTerm(key) || looked.contains(key)) continue;
                looked.insert(key);
                if (QStringMatcher(key).indexIn(description) >= 0) continue;
                out.push_back(text.finding(kKind, p, phrase.offset, phrase.length,
                                           QStringLiteral("請求項の「%1」が明細書にない").arg(line.mid(phrase.offset, phrase.length))));
            }
        }
    return out;
}

}  // namespace engine::check

#include "engine/check/check_variants.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace engine::check {

namespace {

const QString kKind = QStringLiteral("表記揺れ");

bool IsHiragana(QChar c) { return c >= u'ぁ' && c <= u'ゖ'; }

bool AllKatakana(QStringView word) {
    for (QChar c : word)
        if (!terms::IsKatakana(c)) return false;
    return true;
}

// サーヴァ and サーバー both as サバ: words of three letters at least, so
// that a short word (メタ) is not taken for a longer one with a mark (メーター).
QString KatakanaKey(QStringView word) {
    QString key;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar c = word[i];
        if (c == u'ー') continue;
        if (c == u'ヴ') {
            static const QString small = QStringLiteral("ァィゥェォ"), plain = QStringLiteral("バビブベボ");
            const qsizetype vowel = i + 1 < word.size() ? small.indexOf(word[i + 1]) : -1;
            key += vowel >= 0 ? plain[vowel] : QChar(u'ブ');
            if (vowel >= 0) ++i;
            continue;
        }
        key += c;
    }
    return word.size() >= 3 && key.size() >= 2 ? QStringLiteral("カ:") + key : QString();
}

// 取り付け, 取付け and 取付 all read トリツケ with the kanji 取付.
QString OkuriganaKey(QStringView word, const QString& reading) {
    QString kanji;
    for (QChar c : word) {
        if (terms::IsKanji(c)) kanji += c;
        else if (!IsHiragana(c)) return {};
    }
    if (kanji.isEmpty() || reading.isEmpty()) return {};
    return QStringLiteral("送:") + kanji + u':' + reading;
}

// ＣＰＵ and CPU: words of two capital letters at least.
QString WidthKey(QStringView word) {
    if (std::none_of(word.begin(), word.end(), IsLatinLetter)) return {};
    const QString plain = word.toString().normalized(QString::NormalizationForm_KC);
    int capitals = 0;
    for (QChar c : plain) {
        if (c >= u'A' && c <= u'Z') ++capitals;
        else if (!(c >= u'a' && c <= u'z') && !(c >= u'0' && c <= u'9')) return {};
    }
    return capitals >= 2 ? QStringLiteral("幅:") + plain : QString();
}

// The paragraphs whose words are judged: the description, claims and
// abstract; in a gazette, from its first part on (not the front page's codes).
std::vector<int> BodyParagraphs(const CheckedText& text) {
    std::vector<int> out;
    for (const Section& s : text.sections()) {
        if (s.kind == SectionKind::Drawings || s.kind == SectionKind::Other) continue;
        int p = s.first;
        if (s.kind == SectionKind::Unnamed) {
            while (p < s.end && !StartsGazettePart(text[p]) && !StartsWithHeading(text[p])) ++p;
        }
        for (; p < s.end; ++p) out.push_back(p);
    }
    return out;
}

struct Spelling {
    int count = 0;
    int paragraph = 0, offset = 0, length = 0;  // the first place
};

}  // namespace

QString VariantKey(QStringView word, const QString& reading) {
    if (word.isEmpty()) return {};
    if (AllKatakana(word)) return KatakanaKey(word);
    if (const QString key = WidthKey(word); !key.isEmpty()) return key;
    return OkuriganaKey(word, reading);
}

Findings CheckTermVariants(const CheckedText& text) {
    // key → spelling → how often and where first; keys in the order first seen.
    std::unordered_map<QString, std::map<QString, Spelling>> spellings;
    std::vector<QString> order;
    for (int p : BodyParagraphs(text)) {
        const QString& line = text[p];
        for (const terms::Token& token : text.tokens(p)) {
            const QStringView word = QStringView(line).mid(token.offset, token.length);
            const QString key = VariantKey(word, token.reading);
            if (key.isEmpty()) continue;
            auto& forms = spellings[key];
            if (forms.empty()) order.push_back(key);
            Spelling& s = forms[word.toString()];
            if (s.count++ == 0) s = {1, p, token.offset, token.length};
        }
    }
    Findings out;
    for (const QString& key : order) {
        const auto& forms = spellings[key];
        if (forms.size() < 2) continue;
        QStringList counts;
        const std::pair<const QString, Spelling>* rarest = nullptr;
        for (const auto& form : forms) {
            counts << QStringLiteral("「%1」%2回").arg(form.first).arg(form.second.count);
            if (!rarest || form.second.count < rarest->second.count) rarest = &form;
        }
        const Spelling& at = rarest->second;
        out.push_back(text.finding(kKind, at.paragraph, at.offset, at.length,
                                   QStringLiteral("表記が揺れている（%1）").arg(counts.join(u'、'))));
    }
    return out;
}

}  // namespace engine::check

#include "engine/amendment/new_matter.h"

#include "word/automation.h"

#include <mecab.h>

#include <QSet>

#include <memory>

namespace engine::amendment {

namespace {

// Parts of speech (the first field of MeCab's IPA dictionary features) that
// carry what a sentence says.
bool IsContentWord(const char* feature) {
    static const QStringList kinds = {QStringLiteral("名詞"), QStringLiteral("動詞"), QStringLiteral("形容詞")};
    const QString head = QString::fromUtf8(feature).section(u',', 0, 0);
    return kinds.contains(head);
}

class Analyser {
public:
    Analyser() : tagger_(MeCab::createTagger("")) {
        if (!tagger_)
            throw word::Error(QStringLiteral("新規事項の確認には MeCab と辞書（mecab-ipadic-utf8）が必要です：%1")
                                  .arg(QString::fromUtf8(MeCab::getTaggerError())));
    }
    // The content words of a text, as written.
    QStringList Words(const QString& text) const {
        QStringList words;
        const QByteArray utf8 = text.toUtf8();
        for (const MeCab::Node* n = tagger_->parseToNode(utf8.constData(), size_t(utf8.size())); n; n = n->next) {
            if (n->stat != MECAB_NOR_NODE && n->stat != MECAB_UNK_NODE) continue;
            if (!IsContentWord(n->feature)) continue;
            words << QString::fromUtf8(n->surface, int(n->length));
        }
        return words;
    }

private:
    std::unique_ptr<MeCab::Tagger> tagger_;
};

// The sentences of a paragraph, each ending in 。 (or the paragraph's end).
QStringList Sentences(const QString& paragraph) {
    QStringList out;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= paragraph.size(); ++i) {
        if (i < paragraph.size() && paragraph[i] != u'。') continue;
        const QString s = paragraph.mid(from, i - from + (i < paragraph.size() ? 1 : 0)).trimmed();
        if (!s.isEmpty()) out << s;
        from = i + 1;
    }
    return out;
}

}  // namespace

QStringList NewMatterSentences(const check::CheckedText& earlier, const check::CheckedText& amended) {
    const Analyser analyser;
    QSet<QString> known;
    for (const QString& p : earlier.paragraphs())
        for (const QString& w : analyser.Words(p)) known.insert(w);
    QStringList found;
    QSet<QString> listed;
    for (const QString& p : amended.paragraphs())
        for (const QString& sentence : Sentences(p)) {
            if (listed.contains(sentence)) continue;
            for (const QString& w : analyser.Words(sentence))
                if (!known.contains(w)) {
                    found << sentence;
                    listed.insert(sentence);
                    break;
                }
        }
    return found;
}

}  // namespace engine::amendment

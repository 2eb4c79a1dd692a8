#include "engine/translation/translation_terms.h"

#include "word/automation.h"
#include "word/cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

namespace engine::translation {

namespace {

const QString kKind = QStringLiteral("用語");

// English terms are found without regard to case; Japanese ones as written.
Qt::CaseSensitivity CaseOf(Language language) {
    return language == Language::English ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

}  // namespace

std::vector<GlossaryEntry> ParseGlossary(const QString& text) {
    std::vector<GlossaryEntry> entries;
    QHash<QString, size_t> index;
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.startsWith(QChar(0xFEFF))) line.remove(0, 1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#')) continue;
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0) continue;
        const QString source = line.left(tab).trimmed();
        const QString translation = line.mid(tab + 1).section(u'\t', 0, 0).trimmed();
        if (source.isEmpty() || translation.isEmpty()) continue;
        const auto it = index.constFind(source);
        if (it != index.constEnd()) {
            entries[*it].translations << translation;
            continue;
        }
        index.insert(source, entries.size());
        entries.push_back({source, {translation}});
    }
    return entries;
}

std::vector<GlossaryEntry> ReadGlossary(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw word::Error(QStringLiteral("用語集「%1」を読み込めませんでした（%2）。").arg(QFileInfo(path).fileName(), file.errorString()));
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = word::cp932::decode(bytes);
    return ParseGlossary(text);
}

Findings CheckTerms(const Comparison& c) {
    Findings out;
    if (c.glossary.empty()) return out;
    const Qt::CaseSensitivity sourceCase = CaseOf(c.source.language);
    const Qt::CaseSensitivity translationCase = CaseOf(c.translation.language);
    for (const UnitPair& pair : c.pairs) {
        for (const GlossaryEntry& entry : c.glossary) {
            const qsizetype at = pair.source->text.indexOf(entry.source, 0, sourceCase);
            if (at < 0) continue;
            const bool translated = std::any_of(entry.translations.begin(), entry.translations.end(), [&](const QString& t) {
                return pair.translation->text.contains(t, translationCase);
            });
            if (translated) continue;
            out.push_back(PairFinding(kKind, pair,
                                      QStringLiteral("「%1」の訳が用語集の「%2」でない")
                                          .arg(entry.source, entry.translations.join(QStringLiteral("」か「"))),
                                      Place{at, entry.source.size()}));
        }
    }
    return out;
}

}  // namespace engine::translation

#pragma once
// Helpers for the tests of the translation check: a source and a translation
// written as real documents from lines, read back through the engine and
// compared; findings in a short form.

#include "support/docx_builder.h"

#include "engine/check/check_rules.h"
#include "engine/translation/translation_rules.h"
#include "word/ooxml/document_model.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace testsupport {

// The paragraphs of a .docx written from the lines, as the task reads them.
inline QStringList writtenParagraphs(const QStringList& lines) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.docx"));
    writeDocx(path, paras(lines));
    auto model = word::ooxml::DocumentModel::open(path);
    return engine::check::StoryParagraphs(*model);
}

// The two documents compared, languages read from their texts.
inline engine::translation::Comparison compareWritten(const QStringList& source, const QStringList& translation) {
    return engine::translation::CompareDocuments(writtenParagraphs(source), writtenParagraphs(translation),
                                                 QStringLiteral("source.docx"), QStringLiteral("translation.docx"));
}

// Findings as "kind|where|explanation" (the excerpts after "：" left out).
inline QStringList summaries(const engine::check::Findings& findings) {
    QStringList out;
    for (const auto& f : findings) out << f.kind + u'|' + f.where + u'|' + f.what.section(QStringLiteral("："), 0, 0);
    return out;
}

using TranslationRule = engine::check::Findings (*)(const engine::translation::Comparison&);

// A case: the two texts (source first) and the findings expected of one rule.
struct TranslationCase {
    const char* name;
    QStringList source;
    QStringList translation;
    QStringList expected;
};

inline void runTranslationCases(TranslationRule rule, const std::vector<TranslationCase>& cases) {
    for (const TranslationCase& c : cases) {
        const engine::translation::Comparison comparison = compareWritten(c.source, c.translation);
        EXPECT_EQ(summaries(rule(comparison)).join(u'\n').toStdString(), c.expected.join(u'\n').toStdString()) << c.name;
    }
}

}  // namespace testsupport

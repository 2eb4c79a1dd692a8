#pragma once
// Check rules on built documents: a rule's findings on a .docx written from
// lines, as "kind|where|explanation", compared case by case with a table.

#include "engine/check/check_rules.h"
#include "engine/text_helpers.h"
#include "support/docx_builder.h"
#include "word/ooxml/document_model.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace testsupport {

using CheckRuleFunction = engine::check::Findings (*)(const engine::check::CheckedText&);

// Findings as "kind|where|explanation" (the excerpt after "：「" left out).
inline QStringList Summaries(const engine::check::Findings& findings) {
    QStringList out;
    for (const auto& f : findings) out << f.kind + u'|' + f.where + u'|' + f.what.section(QStringLiteral("：「"), 0, 0);
    return out;
}

// The rule's findings on a .docx written from the lines, read back through the engine.
inline QStringList Check(CheckRuleFunction rule, const QStringList& lines) {
    QTemporaryDir dir;
    const QString path = dir.filePath("spec.docx");
    writeDocx(path, paras(lines));
    auto model = word::ooxml::DocumentModel::open(path);
    return Summaries(rule(engine::check::CheckedText(engine::check::StoryParagraphs(*model))));
}

struct CheckCase {
    const char* name;
    QStringList lines;
    QStringList expected;
};

inline void RunCases(CheckRuleFunction rule, const std::vector<CheckCase>& cases) {
    for (const CheckCase& c : cases)
        EXPECT_EQ(Check(rule, c.lines).join(u'\n').toStdString(), c.expected.join(u'\n').toStdString()) << c.name;
}

// Claims from their texts: 【請求項ｎ】 then the text, numbered from 1.
inline QStringList Claims(const QStringList& texts) {
    QStringList lines{"【書類名】特許請求の範囲"};
    for (int i = 0; i < texts.size(); ++i)
        lines << "【請求項" + engine::ToFullWidthDigits(QString::number(i + 1)) + "】" << texts[i];
    return lines;
}

}  // namespace testsupport

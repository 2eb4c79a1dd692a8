#include "engine/amendment/amendment_form.h"

#include "engine/text_helpers.h"
#include "word/ooxml/document_model.h"

namespace engine::amendment {

const QStringList kFormHeader = {
    QStringLiteral("【書類名】手続補正書"),
    QStringLiteral("【あて先】特許庁長官殿"),
    QStringLiteral("【事件の表示】"),
    QStringLiteral("　【出願番号】"),
    QStringLiteral("【補正をする者】"),
    QStringLiteral("　【識別番号】"),
    QStringLiteral("　【氏名又は名称】"),
};

QStringList BlockHeading(int number, const Block& block) {
    QStringList lines = {
        QStringLiteral("【手続補正%1】").arg(ToFullWidthDigits(QString::number(number))),
        QStringLiteral("　【補正対象書類名】") + DocumentName(block.document),
        QStringLiteral("　【補正対象項目名】") + block.item,
        QStringLiteral("　【補正方法】") + MethodName(block.method),
    };
    // A deletion has no content.
    if (block.method != Method::Deleted) lines << QStringLiteral("　【補正の内容】");
    return lines;
}

void WriteAmendmentBody(word::ooxml::DocumentModel& model, const Amendment& amendment) {
    // The form's own lines look like the amended version's first line (its
    // 【書類名】 line as a rule).
    std::vector<word::ooxml::BuiltParagraph> body;
    auto line = [&](const QString& text) { body.push_back({-1, text, 0}); };
    for (const QString& text : kFormHeader) line(text);
    // Where each content paragraph lands in the new body.
    std::vector<std::pair<int, const ContentParagraph*>> placed;
    int number = 0;
    for (const Block& block : amendment.blocks) {
        for (const QString& text : BlockHeading(++number, block)) line(text);
        for (const ContentParagraph& cp : block.content) {
            placed.push_back({int(body.size()), &cp});
            body.push_back({cp.paragraph, {}, 0});
        }
    }
    model.rebuildBody(body);

    // Underlines in the amendment are the amendment's own: those the amended
    // version carried are removed first.
    model.setUnderline(0, model.length(), false);
    std::vector<word::ooxml::Edit> labels;
    for (const auto& [index, cp] : placed) {
        if (cp->label.isEmpty()) continue;
        const int start = model.paragraphSpan(index).first;
        labels.push_back({start + int(cp->labelStart), start + int(cp->labelEnd), cp->label});
    }
    model.replaceMany(labels);
    for (const auto& [index, cp] : placed) {
        const int start = model.paragraphSpan(index).first;
        const qsizetype shift = cp->label.isEmpty() ? 0 : cp->label.size() - (cp->labelEnd - cp->labelStart);
        for (const auto& [from, to] : cp->underlined) {
            const qsizetype moved = from >= cp->labelEnd ? shift : 0;
            model.setUnderline(start + int(from + moved), start + int(to + moved), true);
        }
    }
}

}  // namespace engine::amendment

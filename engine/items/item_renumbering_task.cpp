// Task code 7: renumbering of claims, figures, tables, chemical formulas and
// equations, with their citations. The plan is made from the text as read;
// each change is then confined to the characters of that one number, all of
// them made in one pass from the start of the document to its end, so that
// runs, fields and bookmarks around the digits stay where they are.

#include "engine/items/item_renumbering.h"
#include "engine/runner/task_runner.h"
#include "word/ooxml/document_model.h"

namespace engine {

namespace {

// The families chosen in the options, in their fixed order; names not known are ignored.
std::vector<ItemFamily> ChosenFamilies(const QStringList& names) {
    std::vector<ItemFamily> families;
    for (ItemFamily family :
         {ItemFamily::Claim, ItemFamily::Figure, ItemFamily::Table, ItemFamily::Formula, ItemFamily::Equation})
        for (const QString& name : names)
            if (FamilyNamed(name) == family) {
                families.push_back(family);
                break;
            }
    return families;
}

// The replacement keeps what the old and new numbers share at either end, so
// ２ → １２ would insert １ in front of ２, in the run before the number (a claim
// number in a bold run of its own would get a plain １). Such a number is
// written inside the run of its first digit instead: the new digits after the
// old first one, then the old digits removed.
bool InsertsInFront(const NumberEdit& edit) {
    return edit.newText.size() > edit.oldText.size() && edit.newText.endsWith(edit.oldText) &&
           edit.newText[0] != edit.oldText[0];
}

// The plan as the document model's edits, in two passes from left to right:
// every number rewritten (a number growing in front written after its first
// digit), then the old digits of those numbers removed, at their places as the
// first pass left them.
std::pair<std::vector<word::ooxml::Edit>, std::vector<word::ooxml::Edit>> ModelEdits(const std::vector<NumberEdit>& plan) {
    std::vector<word::ooxml::Edit> rewrite, removal;
    rewrite.reserve(plan.size());
    int delta = 0;  // how far the first pass moved the text so far
    for (const NumberEdit& e : plan) {
        const int grown = static_cast<int>(e.newText.size() - e.oldText.size());
        if (!InsertsInFront(e)) {
            rewrite.push_back({e.start, e.end, e.newText});
            delta += grown;
            continue;
        }
        rewrite.push_back({e.start + 1, e.start + 1, e.newText});
        const int first = e.start + delta;
        const int added = static_cast<int>(e.newText.size());
        removal.push_back({first, first + 1, QString()});
        if (e.end - e.start > 1) removal.push_back({first + 1 + added, first + added + (e.end - e.start), QString()});
        delta += added;
    }
    return {std::move(rewrite), std::move(removal)};
}

}  // namespace

void TaskRunner::RunItemRenumbering() {
    host_.ShowStatus(QStringLiteral("番号振り直し：読み取り"));
    host_.DoEvents();
    const QString text = document_->Content().Text();
    const RenumberingPlan plan = PlanItemRenumbering(text, ChosenFamilies(host_.Options().itemFamilies));
    host_.SetProgress(30);

    host_.ShowStatus(QStringLiteral("番号振り直し：書き換え"));
    host_.DoEvents();
    // Every edit is made in one pass over the document, from its start to its
    // end, after each number was found where it was read.
    auto& model = document_->model();
    for (const NumberEdit& edit : plan.edits)
        if (QStringView(model.text()).mid(edit.start, edit.end - edit.start) != edit.oldText)
            throw word::Error(QStringLiteral("番号「%1」が読み取った位置に見つからないため、%2 を変更せずに中断しました。")
                                  .arg(edit.oldText, documentPath_));
    const auto [rewrite, removal] = ModelEdits(plan.edits);
    if (model.replaceMany(rewrite) != static_cast<int>(rewrite.size()) ||
        model.replaceMany(removal) != static_cast<int>(removal.size()))
        throw word::Error(QStringLiteral("番号を書き換えられない箇所があるため、%1 を保存せずに中断しました。").arg(documentPath_));
    if (!plan.edits.empty()) changed_ = true;
    host_.SetProgress(90);

    if (plan.families.empty()) host_.ShowLog(2, QStringLiteral(" .. 振り直す番号の項目がありません"));
    for (const FamilyOutcome& family : plan.families) {
        host_.ShowLog(2, QStringLiteral(" .. ") + SummaryLine(family));
        for (const QString& note : family.notes)
            host_.ShowLog(2, QStringLiteral(" .. ") + FamilyWord(family.family) + QStringLiteral("：") + note);
    }
    host_.ShowLog(2, QString());
    host_.ShowStatus(QStringLiteral("番号振り直し：保存処理"));
    FinalProcess();
    host_.ShowStatus(QStringLiteral("番号振り直し完了"));
}

}  // namespace engine

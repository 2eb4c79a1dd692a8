// Task code 7: renumbering of claims, figures, tables, chemical formulas and
// equations, with their citations. The plan is made from the text as read;
// each change is then made by a find-and-replace confined to the characters of
// that one number, from the end of the document towards its start, so that
// the places read stay valid and runs, fields and bookmarks around the digits
// stay where they are.

#include "engine/find_replace.h"
#include "engine/items/item_renumbering.h"
#include "engine/runner/task_runner.h"

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

// Makes one planned edit. The replacement keeps what the old and new numbers
// share at either end, so ２ → １２ would insert １ in front of ２, in the run
// before the number (a claim number in a bold run of its own would get a plain
// １). Such a number is written inside the run of its first digit instead:
// the new digits after the old first one, then the old digits removed.
bool ReplaceNumber(word::Range& place, const NumberEdit& edit) {
    const QString& oldText = edit.oldText;
    const QString& newText = edit.newText;
    const bool insertsInFront = newText.size() > oldText.size() && newText.endsWith(oldText) && newText[0] != oldText[0];
    place.SetRange(edit.start, edit.end);
    if (!insertsInFront) return ReplaceAllIn(place, oldText, newText);
    const QString firstDigit = oldText.left(1);
    const int length = static_cast<int>(newText.size());
    place.SetRange(edit.start, edit.start + 1);
    if (!ReplaceAllIn(place, firstDigit, firstDigit + newText)) return false;
    place.SetRange(edit.start, edit.start + 1);
    if (!ReplaceAllIn(place, firstDigit, QString())) return false;
    if (oldText.size() == 1) return true;
    place.SetRange(edit.start + length, edit.start + length + static_cast<int>(oldText.size()) - 1);
    return ReplaceAllIn(place, oldText.mid(1), QString());
}

}  // namespace

void TaskRunner::RunItemRenumbering() {
    host_.ShowStatus(QStringLiteral("番号振り直し：読み取り"));
    host_.DoEvents();
    const QString text = document_->Content().Text();
    const RenumberingPlan plan = PlanItemRenumbering(text, ChosenFamilies(host_.Options().itemFamilies));
    host_.SetProgress(30);

    host_.ShowStatus(QStringLiteral("番号振り直し：書き換え"));
    word::Range place = document_->Content();
    const int total = static_cast<int>(plan.edits.size());
    for (int i = total - 1; i >= 0; --i) {
        const NumberEdit& edit = plan.edits[i];
        if (!ReplaceNumber(place, edit))
            throw word::Error(QStringLiteral("番号「%1」が読み取った位置に見つからないため、%2 を変更せずに中断しました。")
                                  .arg(edit.oldText, documentPath_));
        changed_ = true;
        if ((total - i) % 500 == 0) {
            host_.SetProgress(30 + 60.0 * (total - i) / total);
            host_.RefreshProgress();
            host_.DoEvents();
        }
    }

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

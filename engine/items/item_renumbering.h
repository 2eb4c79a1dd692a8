#pragma once
// The plan of the item renumbering (task code 7), made from the text before
// any edit: every family mapped old → new, then every number that changes
// listed once with its new text, so that no number is renamed twice.

#include "engine/citations/item_citations.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace engine {

// The characters [start, end) of the text read, oldText, become newText.
struct NumberEdit {
    int start = 0, end = 0;
    QString oldText;
    QString newText;
};

// What the renumbering does to one family that has items in the document.
struct FamilyOutcome {
    ItemFamily family = ItemFamily::Claim;
    std::vector<std::pair<int, int>> renumbered;  // old → new of the items that change, in the order they stand
    int citationsRewritten = 0;
    QStringList notes;  // citations left alone and why, ranges written out as lists
};

struct RenumberingPlan {
    std::vector<NumberEdit> edits;  // ascending and non-overlapping
    std::vector<FamilyOutcome> families;
};

RenumberingPlan PlanItemRenumbering(const QString& text, const std::vector<ItemFamily>& families);

// The log line of a family: "請求項：４→３、５→４（引用 ２ 箇所を変更）".
QString SummaryLine(const FamilyOutcome& outcome);

}  // namespace engine

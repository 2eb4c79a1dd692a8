#pragma once
// The blocks of the written amendment (【手続補正ｎ】) made from the two
// versions' aligned units: which document, which item, how (変更, 追加, 削除)
// and the content, with the characters to underline. A changed paragraph
// keeps its filed number, an inserted one takes the branch number after the
// paragraph it follows (０００５の２), whatever the amended version numbered.

#include "engine/amendment/amendment_units.h"

#include <QString>

#include <utility>
#include <vector>

namespace engine::amendment {

enum class Method { Changed, Added, Deleted };

// 変更, 追加, 削除.
QString MethodName(Method method);

// One paragraph of a block's content: a paragraph of the amended version
// with its label written as the amendment numbers it.
struct ContentParagraph {
    int paragraph = 0;  // of the amended version
    qsizetype labelStart = 0, labelEnd = 0;
    QString label;      // replaces [labelStart, labelEnd) when not empty
    // [from, to) of the paragraph's text as amended, to be underlined.
    std::vector<std::pair<qsizetype, qsizetype>> underlined;
};

struct Block {
    DocumentKind document = DocumentKind::Description;
    QString item;  // 補正対象項目名
    Method method = Method::Changed;
    std::vector<ContentParagraph> content;  // none for a deletion
};

struct AmendmentOptions {
    bool claimsEach = false;        // claim by claim instead of 全文
    bool underlineDescription = true;  // false: the claims only are underlined
};

struct Amendment {
    std::vector<Block> blocks;  // 明細書, 特許請求の範囲, 要約書, 図面, each in order
    bool paragraphsRenumbered = false;
    bool claimsRenumbered = false;
    // Claim by claim was asked for, but renumbered claims can only be amended whole.
    bool claimsAsWhole = false;
};

Amendment MakeAmendment(const DocumentUnits& earlier, const DocumentUnits& amended, const AmendmentOptions& options);

}  // namespace engine::amendment

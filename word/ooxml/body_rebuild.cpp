// A body built anew from paragraphs of the current one and new lines: the
// written amendment is a new document made in the amended document's
// package, so that its styles, fonts, numbering and pictures stay valid.

#include "word/ooxml/document_model_impl.h"

#include <algorithm>

namespace word::ooxml {

namespace {

// The block of the body that holds a paragraph: itself, or the table (or
// content control) it stands in.
pugi::xml_node TopLevelBlock(pugi::xml_node node, pugi::xml_node body) {
    while (node && node.parent() != body) node = node.parent();
    return node;
}

}  // namespace

void DocumentModel::rebuildBody(const std::vector<BuiltParagraph>& paragraphs) {
    Impl& d = *impl_;
    std::vector<pugi::xml_node> old;
    old.reserve(d.paras.size());
    for (size_t i = 0; i < d.paras.size(); ++i) old.push_back(d.paras[i].node);

    // The body's own section properties close it and stay.
    pugi::xml_node sectPr = d.body.last_child();
    while (sectPr && sectPr.type() != pugi::node_element) sectPr = sectPr.previous_sibling();
    if (sectPr && !d.is(sectPr, d.nSectPr)) sectPr = pugi::xml_node();
    std::vector<pugi::xml_node> previous;
    for (pugi::xml_node c = d.body.first_child(); c; c = c.next_sibling())
        if (c != sectPr) previous.push_back(c);

    auto place = [&](pugi::xml_node source) {
        return sectPr ? d.body.insert_copy_before(source, sectPr) : d.body.append_copy(source);
    };
    pugi::xml_node lastBlock;
    for (const BuiltParagraph& bp : paragraphs) {
        if (bp.copyOf >= 0 && static_cast<size_t>(bp.copyOf) < old.size()) {
            const pugi::xml_node block = TopLevelBlock(old[bp.copyOf], d.body);
            if (!block || block == lastBlock) continue;
            lastBlock = block;
            pugi::xml_node copy = place(block);
            // A section break inside the body would start a new page set-up.
            if (d.is(copy, d.nP)) copy.child(d.nPPr.c_str()).remove_child(d.nSectPr.c_str());
            continue;
        }
        lastBlock = pugi::xml_node();
        const size_t likeIndex = std::min<size_t>(static_cast<size_t>(std::max(bp.like, 0)), old.size() - 1);
        const pugi::xml_node like = old[likeIndex];
        pugi::xml_node p = sectPr ? d.body.insert_child_before(d.nP.c_str(), sectPr) : d.body.append_child(d.nP.c_str());
        if (pugi::xml_node ppr = d.paragraphProperties(like)) {
            pugi::xml_node copy = p.append_copy(ppr);
            copy.remove_child(d.nSectPr.c_str());
        }
        pugi::xml_node r = p.append_child(d.nR.c_str());
        for (pugi::xml_node lr = like.child(d.nR.c_str()); lr; lr = lr.next_sibling(d.nR.c_str())) {
            if (pugi::xml_node rpr = lr.child(d.nRPr.c_str())) {
                pugi::xml_node copy = r.append_copy(rpr);
                copy.remove_child(d.q("u").c_str());
            }
            break;
        }
        d.insertPieces(r, pugi::xml_node(), pugi::xml_node(), bp.text);
    }
    for (pugi::xml_node c : previous) d.body.remove_child(c);

    d.paras = ParaList();
    d.readStory();
    for (auto& w : d.ranges)
        if (auto r = w.lock()) r->start = r->end = 0;
    modified_ = true;
}

}  // namespace word::ooxml

// The edits inside and between paragraphs: each one changes the XML as
// little as it can, then updates the atoms of the paragraphs it touched and
// the story text in place. Only a run that gained tabs or breaks is read
// again; a whole paragraph only when a field character went or a
// paragraph-level object was the only place to put new text.

#include "word/ooxml/document_model_impl.h"

#include <algorithm>
#include <string_view>

namespace word::ooxml {

namespace {

bool hasSpecialChars(const QString& s) {
    for (QChar c : s)
        if (c == u'\t' || c == u'\v') return true;
    return false;
}

void shiftAtoms(std::vector<Atom>& atoms, size_t from, int delta) {
    for (size_t k = from; k < atoms.size(); ++k) atoms[k].start += delta;
}

}  // namespace

// ---- XML helpers ----

bool DocumentModel::Impl::runHasContent(pugi::xml_node r) const {
    for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && !sameName(c.name(), nRPr)) return true;
    return false;
}

void DocumentModel::Impl::setTextOf(pugi::xml_node t, const QString& s) {
    const QByteArray utf8 = s.toUtf8();
    pugi::xml_node pc = t.first_child();
    if (!pc || pc.type() != pugi::node_pcdata) {
        t.remove_children();
        pc = t.append_child(pugi::node_pcdata);
    }
    pc.set_value(utf8.constData());
    const bool needsPreserve = !s.isEmpty() && (s.front().isSpace() || s.back().isSpace());
    pugi::xml_attribute sp = t.attribute(nSpace.c_str());
    if (needsPreserve && !sp) t.append_attribute(nSpace.c_str()) = "preserve";
}

pugi::xml_node DocumentModel::Impl::newTextElement(pugi::xml_node parent, pugi::xml_node after, const QString& s) {
    pugi::xml_node t = parent.insert_child_after(nT.c_str(), after);
    setTextOf(t, s);
    return t;
}

// Inserts the pieces of `s` (text, tabs, line breaks) into `run` after node
// `after` (or before `before`, or at the end).
void DocumentModel::Impl::insertPieces(pugi::xml_node run, pugi::xml_node after, pugi::xml_node before,
                                       const QString& s) {
    qsizetype i = 0;
    pugi::xml_node last = after;
    auto place = [&](const char* name) {
        pugi::xml_node n;
        if (last) n = run.insert_child_after(name, last);
        else if (before) n = run.insert_child_before(name, before);
        else n = run.append_child(name);
        last = n;
        return n;
    };
    while (i < s.size()) {
        QChar c = s[i];
        if (c == u'\t') {
            place(nTab.c_str());
            ++i;
        } else if (c == u'\v') {
            place(nBr.c_str());
            ++i;
        } else {
            qsizetype j = i;
            while (j < s.size() && s[j] != u'\t' && s[j] != u'\v') ++j;
            setTextOf(place(nT.c_str()), s.mid(i, j - i));
            i = j;
        }
    }
}

// A run carrying the paragraph mark's formatting, for an empty paragraph.
pugi::xml_node DocumentModel::Impl::newRunForEmptyParagraph(Para& para) {
    pugi::xml_node r = para.node.append_child(nR.c_str());
    if (pugi::xml_node markRpr = paragraphProperties(para.node).child(nRPr.c_str())) {
        pugi::xml_node rpr = r.append_child(nRPr.c_str());
        for (pugi::xml_node c = markRpr.first_child(); c; c = c.next_sibling()) {
            std::string_view n = c.name();
            if (n == nIns || n == nDel || n == nMoveFrom || n == nMoveTo || n == nRPrChange) continue;
            rpr.append_copy(c);
        }
    }
    return r;
}

// Makes the character boundary at offset x of the paragraph fall between
// two nodes, splitting the w:t there (its atom is left to the caller).
// Returns the first node after the boundary inside its run (or the
// paragraph-level object), or null at the end.
pugi::xml_node DocumentModel::Impl::boundaryAt(Para& para, int x) {
    if (x >= para.length) return pugi::xml_node();
    const Atom& a = para.atoms[para.atomIndexAt(x)];
    if (x == a.start) return a.node;
    const QString t = QString::fromUtf8(a.node.child_value());
    const int k = x - a.start;
    setTextOf(a.node, t.left(k));
    return newTextElement(a.node.parent(), a.node, t.mid(k));
}

// Whether an element holds its parent's properties (such elements stay
// with both halves of a split container).
bool DocumentModel::Impl::isPropertyElement(pugi::xml_node n) const {
    const char* name = n.name();
    return sameName(name, nPPr) || sameName(name, nRPr) || sameName(name, nSdtPr) || sameName(name, nSdtEndPr) ||
           sameName(name, nSmartTagPr) || sameName(name, nCustomXmlPr);
}

// A shallow copy of an inline container (run with its properties,
// hyperlink with its attributes...) placed right before or after it.
pugi::xml_node DocumentModel::Impl::shallowClone(pugi::xml_node n, bool before) {
    pugi::xml_node c = before ? n.parent().insert_child_before(n.name(), n) : n.parent().insert_child_after(n.name(), n);
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) c.append_copy(a);
    for (pugi::xml_node ch = n.first_child(); ch; ch = ch.next_sibling())
        if (ch.type() == pugi::node_element && isPropertyElement(ch)) c.append_copy(ch);
    return c;
}

// Moves the siblings before `stop`, its parent's properties excepted, to the
// end of `target`.
void DocumentModel::Impl::moveHead(pugi::xml_node stop, pugi::xml_node target) {
    for (pugi::xml_node n = stop.parent().first_child(); n != stop;) {
        pugi::xml_node next = n.next_sibling();
        if (n.type() != pugi::node_element || !isPropertyElement(n)) target.append_move(n);
        n = next;
    }
}

// Moves `first` and its following siblings to the end of `target`.
void DocumentModel::Impl::moveTail(pugi::xml_node first, pugi::xml_node target) {
    for (pugi::xml_node n = first; n;) {
        pugi::xml_node next = n.next_sibling();
        target.append_move(n);
        n = next;
    }
}

void DocumentModel::Impl::removeEmptyRuns(pugi::xml_node container) {
    for (pugi::xml_node c = container.first_child(); c;) {
        pugi::xml_node next = c.next_sibling();
        if (is(c, nR)) {
            if (!runHasContent(c)) container.remove_child(c);
        } else if (c.type() == pugi::node_element && !is(c, nPPr)) {
            removeEmptyRuns(c);
        }
        c = next;
    }
}

// Whether parent holds more than `count` block children. Stops counting
// there, so that deleting one paragraph of a long body stays cheap.
bool DocumentModel::Impl::hasMoreBlocksThan(pugi::xml_node parent, int count) const {
    int n = 0;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (isBlock(c) && ++n > count) return true;
    return false;
}

// Reads again the run holding atom `atomIndex` of paragraph i, after new
// elements went into it, and splices its atoms and text into place.
void DocumentModel::Impl::rescanRun(size_t i, size_t atomIndex) {
    Para& para = paras[i];
    const pugi::xml_node run = para.atoms[atomIndex].run;
    if (run.child(nFldChar.c_str())) return rescan(i);  // a field character changes what follows it
    size_t k0 = atomIndex, k1 = atomIndex + 1;
    while (k0 > 0 && para.atoms[k0 - 1].run == run) --k0;
    while (k1 < para.atoms.size() && para.atoms[k1].run == run) ++k1;
    const int base = para.atoms[k0].start;
    const int oldLength = para.atoms[k1 - 1].end() - base;
    Scan scan;
    bool inInstruction = false;
    scanRun(scan, run, inInstruction);
    for (Atom& a : scan.atoms) a.start += base;
    const int delta = static_cast<int>(scan.text.size()) - oldLength;
    para.atoms.erase(para.atoms.begin() + static_cast<std::ptrdiff_t>(k0), para.atoms.begin() + static_cast<std::ptrdiff_t>(k1));
    para.atoms.insert(para.atoms.begin() + static_cast<std::ptrdiff_t>(k0), scan.atoms.begin(), scan.atoms.end());
    shiftAtoms(para.atoms, k0 + scan.atoms.size(), delta);
    spliceText(i, base, oldLength, scan.text);
}

// ---- edits inside one paragraph (no marks) ----

void DocumentModel::Impl::deleteContent(size_t i, int x, int y) {
    Para& para = paras[i];
    y = std::min(y, para.length);  // the mark stays
    if (x >= y) return;
    std::vector<Atom>& atoms = para.atoms;
    const size_t first = para.atomIndexAt(x);
    std::vector<pugi::xml_node> runs;
    bool fieldCharGone = false;
    size_t kept = first, k = first;
    for (; k < atoms.size() && atoms[k].start < y; ++k) {
        Atom a = atoms[k];
        const int s = a.start, e = a.end();
        bool keep = false;
        if (a.kind == AtomKind::Text) {
            const int from = std::max(x, s) - s, to = std::min(y, e) - s;
            QString t = QString::fromUtf8(a.node.child_value());
            t.remove(from, to - from);
            if (t.isEmpty()) {
                a.node.parent().remove_child(a.node);
            } else {
                setTextOf(a.node, t);
                a.start = std::min(s, x);
                a.len = static_cast<int>(t.size());
                keep = true;
            }
        } else {
            fieldCharGone = fieldCharGone || a.kind == AtomKind::FieldChar;
            a.node.parent().remove_child(a.node);
        }
        if (a.run) runs.push_back(a.run);
        if (keep) atoms[kept++] = a;
    }
    atoms.erase(atoms.begin() + static_cast<std::ptrdiff_t>(kept), atoms.begin() + static_cast<std::ptrdiff_t>(k));
    shiftAtoms(atoms, kept, x - y);
    for (pugi::xml_node r : runs)
        if (r.parent() && !runHasContent(r)) r.parent().remove_child(r);
    // A field character that went may show or hide the text after it.
    if (fieldCharGone) {
        rescan(i);
        return;
    }
    spliceText(i, x, y - x, {});
}

bool DocumentModel::Impl::replaceInsideText(size_t i, int x, int y, const QString& s) {
    Para& para = paras[i];
    if (x >= y || y > para.length || hasSpecialChars(s)) return false;
    const size_t k = para.atomIndexAt(x);
    Atom& a = para.atoms[k];
    if (a.kind != AtomKind::Text || a.start > x || y > a.end()) return false;
    QString t = QString::fromUtf8(a.node.child_value());
    t.replace(x - a.start, y - x, s);
    setTextOf(a.node, t);
    const int delta = static_cast<int>(s.size()) - (y - x);
    a.len += delta;
    shiftAtoms(para.atoms, k + 1, delta);
    spliceText(i, x, y - x, s);
    return true;
}

// Inserts text (no paragraph marks) at offset x. It takes the formatting of
// the character before it, else of the one after it, else of the mark.
// With `replacing`, it takes the place and formatting of the character at x
// (the first one it replaces), so that it stays inside the same markers.
void DocumentModel::Impl::insertText(size_t i, int x, const QString& s, bool replacing) {
    if (s.isEmpty()) return;
    Para& para = paras[i];
    const std::ptrdiff_t at = x < para.length ? static_cast<std::ptrdiff_t>(para.atomIndexAt(x)) : -1;
    const std::ptrdiff_t before = x > 0 ? static_cast<std::ptrdiff_t>(para.atomIndexAt(x - 1)) : -1;
    std::ptrdiff_t anchor = -1;
    int k = 0;
    if (replacing && at >= 0) {
        anchor = at;
        k = x - para.atoms[at].start;
    } else if (before >= 0) {
        anchor = before;
        k = x - para.atoms[before].start;
    } else if (at >= 0) {
        anchor = at;
    }
    if (anchor < 0) {
        insertPieces(newRunForEmptyParagraph(para), pugi::xml_node(), pugi::xml_node(), s);
        return rescan(i);
    }
    Atom& a = para.atoms[static_cast<size_t>(anchor)];
    if (a.kind == AtomKind::Text && !hasSpecialChars(s)) {
        QString t = QString::fromUtf8(a.node.child_value());
        t.insert(k, s);
        setTextOf(a.node, t);
        a.len += static_cast<int>(s.size());
        shiftAtoms(para.atoms, static_cast<size_t>(anchor) + 1, static_cast<int>(s.size()));
        return spliceText(i, x, 0, s);
    }
    if (a.kind == AtomKind::Text) {
        // Text, tabs and breaks go between the two halves of the w:t.
        pugi::xml_node parent = a.node.parent();
        if (k == 0) {
            insertPieces(parent, pugi::xml_node(), a.node, s);
        } else {
            const QString t = QString::fromUtf8(a.node.child_value());
            setTextOf(a.node, t.left(k));
            if (k < t.size()) newTextElement(parent, a.node, t.mid(k));
            insertPieces(parent, a.node, pugi::xml_node(), s);
        }
        return rescanRun(i, static_cast<size_t>(anchor));
    }
    if (a.run) {
        if (k == 0) insertPieces(a.node.parent(), pugi::xml_node(), a.node, s);
        else insertPieces(a.node.parent(), a.node, pugi::xml_node(), s);
        return rescanRun(i, static_cast<size_t>(anchor));
    }
    // Beside a paragraph-level object: a run of its own.
    pugi::xml_node r = k == 0 ? a.node.parent().insert_child_before(nR.c_str(), a.node)
                              : a.node.parent().insert_child_after(nR.c_str(), a.node);
    insertPieces(r, pugi::xml_node(), pugi::xml_node(), s);
    rescan(i);
}

// ---- edits of the paragraph list ----

// Splits paragraph i at offset x into [0, x) and the rest. Both halves keep
// the paragraph properties; the first keeps the identifiers, the second the
// section break. The shorter half moves to a new element and the other stays,
// so that cutting a long paragraph piece by piece, from either end, costs
// the pieces.
void DocumentModel::Impl::splitParagraph(size_t i, int x) {
    Para& para = paras[i];
    pugi::xml_node p = para.node;
    const bool headMoves = x < para.length - x;
    const size_t split = x < para.length ? para.atomIndexAt(x) : para.atoms.size();
    pugi::xml_node boundary = boundaryAt(para, x);
    pugi::xml_node q = headMoves ? p.parent().insert_child_before(p.name(), p) : p.parent().insert_child_after(p.name(), p);
    pugi::xml_node first = headMoves ? q : p;
    std::vector<pugi::xml_attribute> identifiers;
    for (pugi::xml_attribute a = p.first_attribute(); a; a = a.next_attribute()) {
        std::string_view n = a.name();
        const bool identifier = n.size() >= 7 && (n.substr(n.size() - 6) == "paraId" || n.substr(n.size() - 6) == "textId");
        if (identifier) identifiers.push_back(a);  // identifiers must stay unique
        if (!identifier || headMoves) q.append_copy(a);
    }
    if (headMoves)
        for (pugi::xml_attribute a : identifiers) p.remove_attribute(a);
    if (pugi::xml_node ppr = paragraphProperties(p)) {
        q.append_copy(ppr);
        pugi::xml_node firstPpr = paragraphProperties(first);
        if (pugi::xml_node sect = firstPpr.child(nSectPr.c_str())) firstPpr.remove_child(sect);
    }
    pugi::xml_node splitRun, runClone;  // the run cut in two, and its half that moved
    if (boundary) {
        pugi::xml_node cur = boundary;
        while (cur.parent() != p) {
            pugi::xml_node parent = cur.parent();
            pugi::xml_node clone = shallowClone(parent, headMoves);
            if (!splitRun && is(parent, nR)) {
                splitRun = parent;
                runClone = clone;
            }
            if (headMoves) {
                moveHead(cur, clone);
                cur = parent;
            } else {
                moveTail(cur, clone);
                cur = clone;
            }
        }
        if (headMoves) moveHead(cur, q);
        else moveTail(cur, q);
    }
    // The run cut at its first character is left empty in the half that stayed.
    removeEmptyRuns(q);
    if (splitRun && !runHasContent(splitRun)) splitRun.parent().remove_child(splitRun);

    // The atoms: a w:t cut at x gives its second half (the boundary node) to
    // the second paragraph; the atoms of the half that moved follow the run.
    std::vector<Atom>& atoms = para.atoms;
    const bool cutsAtom = split < atoms.size() && atoms[split].start < x;
    Atom secondPart;
    if (cutsAtom) {
        secondPart = atoms[split];
        secondPart.node = boundary;
        secondPart.start = x;
        secondPart.len = atoms[split].end() - x;
        atoms[split].len = x - atoms[split].start;
    }
    auto np = std::make_unique<Para>();
    np->node = q;
    if (headMoves) {
        np->atoms.assign(atoms.begin(), atoms.begin() + static_cast<std::ptrdiff_t>(cutsAtom ? split + 1 : split));
        if (cutsAtom) atoms[split] = secondPart;
        atoms.erase(atoms.begin(), atoms.begin() + static_cast<std::ptrdiff_t>(split));
        shiftAtoms(atoms, 0, -x);
    } else {
        if (cutsAtom) np->atoms.push_back(secondPart);
        const size_t tailStart = cutsAtom ? split + 1 : split;
        np->atoms.insert(np->atoms.end(), atoms.begin() + static_cast<std::ptrdiff_t>(tailStart), atoms.end());
        atoms.erase(atoms.begin() + static_cast<std::ptrdiff_t>(tailStart), atoms.end());
        shiftAtoms(np->atoms, 0, -x);
    }
    for (Atom& a : np->atoms)
        if (splitRun && a.run == splitRun) a.run = runClone;

    const QChar mark(u'\r');
    story.replace(paras.startOf(i) + x, 0, QStringView(&mark, 1));
    if (headMoves) {
        np->length = x;
        np->mark = mark;
        paras.setLength(i, para.length - x);
        paras.insert(i, std::move(np));
    } else {
        np->length = para.length - x;
        np->mark = para.mark;
        paras.setLength(i, x);
        paras.insert(i + 1, std::move(np));
        paras[i].mark = mark;
    }
    refreshMark(i);
    refreshMark(i + 1);
}

// Appends the content of paragraph m to paragraph i and removes m. The
// joined paragraph keeps i's properties (and m's section break, if any).
// Only m's atoms move: joining a long run of paragraphs one after another
// into the first costs the length of the run.
void DocumentModel::Impl::joinParagraphs(size_t i, size_t m) {
    pugi::xml_node pi = paras[i].node, pm = paras[m].node;
    if (pugi::xml_node sect = paragraphProperties(pm).child(nSectPr.c_str())) {
        pugi::xml_node ppr = paragraphProperties(pi);
        if (!ppr) ppr = pi.prepend_child(nPPr.c_str());
        if (pugi::xml_node change = ppr.child(nPPrChange.c_str())) ppr.insert_move_before(sect, change);
        else ppr.append_move(sect);
    }
    for (pugi::xml_node c = pm.first_child(); c;) {
        pugi::xml_node next = c.next_sibling();
        if (!is(c, nPPr)) pi.append_move(c);
        c = next;
    }
    pm.parent().remove_child(pm);

    Para& first = paras[i];
    Para& second = paras[m];
    const int firstLength = first.length, secondLength = second.length;
    const QChar secondMark = second.mark;
    for (Atom a : second.atoms) {
        a.start += firstLength;
        first.atoms.push_back(a);
    }
    story.replace(paras.startOf(i) + firstLength, 1, {});  // the first paragraph's mark
    paras.erase(m, m + 1);
    paras.setLength(i, firstLength + secondLength);
    paras[i].mark = secondMark;
    refreshMark(i);
}

void DocumentModel::Impl::removeParagraphs(size_t from, size_t to) {  // [from, to)
    for (size_t k = from; k < to; ++k) {
        pugi::xml_node n = paras[k].node;
        n.parent().remove_child(n);
    }
    const int start = paras.startOf(from);
    const int end = to < paras.size() ? paras.startOf(to) : paras.totalLength();
    story.replace(start, end - start, {});
    paras.erase(from, to);
}

}  // namespace word::ooxml

// Word comments on story ranges. The anchor is marked in the main part by
// w:commentRangeStart before its first run and w:commentRangeEnd after its
// last, followed by a run holding w:commentReference; the comment's text is a
// w:comment of the comments part with the same id.

#include "word/automation.h"
#include "word/ooxml/document_model_impl.h"
#include "word/ooxml/package_relationships.h"

#include <QDateTime>

#include <algorithm>

namespace word::ooxml {

namespace {

constexpr char kWordNs[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

// The prefix (with its colon) bound to WordprocessingML on the root, "w:" when unbound.
std::string WordPrefixOf(pugi::xml_node root) {
    for (pugi::xml_attribute a : root.attributes()) {
        const std::string name = a.name();
        if (std::strcmp(a.value(), kWordNs) != 0) continue;
        if (name == "xmlns") return {};
        if (name.rfind("xmlns:", 0) == 0) return name.substr(6) + ":";
    }
    root.append_attribute("xmlns:w") = kWordNs;
    return "w:";
}

struct CommentsPart {
    QString name;  // empty: to be added
    pugi::xml_document doc;
    pugi::xml_node root;
    std::string w;  // prefix with colon
};

CommentsPart OpenCommentsPart(Package& package) {
    CommentsPart part;
    part.name = RelatedPartOfType(package, package.mainPartName(), QString::fromLatin1(kCommentsRelationship));
    const QByteArray bytes = part.name.isEmpty() ? QByteArray() : package.readPart(part.name);
    if (!bytes.isEmpty() &&
        !part.doc.load_buffer(bytes.constData(), size_t(bytes.size()), pugi::parse_default | pugi::parse_declaration))
        throw Error(QStringLiteral("文書のコメント「%1」が壊れています。").arg(part.name));
    part.root = part.doc.document_element();
    if (!part.root) {
        pugi::xml_node decl = part.doc.prepend_child(pugi::node_declaration);
        decl.append_attribute("version") = "1.0";
        decl.append_attribute("encoding") = "UTF-8";
        decl.append_attribute("standalone") = "yes";
        part.root = part.doc.append_child("w:comments");
        part.root.append_attribute("xmlns:w") = kWordNs;
    }
    part.w = WordPrefixOf(part.root);
    return part;
}

// The next free comment id: above every id of the comments part and of the
// comment marks already in the main part (walked without recursion: bodies
// may nest deeply).
long NextCommentId(const CommentsPart& part, pugi::xml_node root, const std::string& idName,
                   const std::string& startName, const std::string& refName) {
    long next = 0;
    auto take = [&next](pugi::xml_attribute a) {
        if (a) next = std::max(next, long(a.as_llong(-1)) + 1);
    };
    const std::string partId = part.w + "id";
    for (pugi::xml_node c : part.root.children()) take(c.attribute(partId.c_str()));
    for (pugi::xml_node n = root.first_child(); n;) {
        if (n.type() == pugi::node_element && (startName == n.name() || refName == n.name()))
            take(n.attribute(idName.c_str()));
        if (pugi::xml_node child = n.first_child()) {
            n = child;
            continue;
        }
        while (n && n != root && !n.next_sibling()) n = n.parent();
        if (!n || n == root) break;
        n = n.next_sibling();
    }
    return next;
}

}  // namespace

void DocumentModel::addComments(std::vector<Comment> comments) {
    Impl& d = *impl_;
    if (comments.empty()) return;
    CommentsPart part = OpenCommentsPart(*d.package);
    long id = NextCommentId(part, d.body, d.q("id"), d.q("commentRangeStart"), d.nCommentRef);
    const QString date = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);

    // Ids in the order of the anchors in the text; placed from the last anchor
    // end to the first: a reference run added after an anchor shifts only the
    // text after it, which the comments still to be placed do not reach.
    std::stable_sort(comments.begin(), comments.end(), [](const Comment& a, const Comment& b) { return a.start < b.start; });
    std::vector<std::pair<long, const Comment*>> placed;
    for (const Comment& c : comments) placed.emplace_back(id++, &c);
    std::vector<std::pair<long, const Comment*>> byEnd = placed;
    std::stable_sort(byEnd.begin(), byEnd.end(), [](const auto& a, const auto& b) { return a.second->end > b.second->end; });
    for (const auto& [commentId, commentPtr] : byEnd) {
        const Comment& c = *commentPtr;
        const int total = d.paras.totalLength();
        if (total == 0) return;
        const int start = std::clamp(c.start, 0, total - 1);
        const int end = std::clamp(std::max(c.end, start + 1), start + 1, total);
        const std::string idText = std::to_string(commentId);

        // The end: after the run holding the anchor's last character (the
        // mark of a paragraph counts as its end).
        const size_t ib = d.paras.locate(end - 1);
        const int y = std::min(end - d.paras.startOf(ib), d.paras[ib].length);
        d.splitRunAt(ib, y);
        const size_t ia = d.paras.locate(start);
        const int x = start - d.paras.startOf(ia);
        d.splitRunAt(ia, x);

        Para& last = d.paras[ib];
        pugi::xml_node endMark;
        if (y > 0) {
            const Atom& a = last.atoms[last.atomIndexAt(y - 1)];
            const pugi::xml_node after = a.run ? a.run : a.node;
            endMark = after.parent().insert_child_after(d.q("commentRangeEnd").c_str(), after);
        } else {
            endMark = last.node.append_child(d.q("commentRangeEnd").c_str());
        }
        endMark.append_attribute(d.q("id").c_str()) = idText.c_str();
        pugi::xml_node ref = endMark.parent().insert_child_after(d.nR.c_str(), endMark);
        ref.append_child(d.nCommentRef.c_str()).append_attribute(d.q("id").c_str()) = idText.c_str();

        Para& first = d.paras[ia];
        pugi::xml_node startMark;
        if (x < first.length) {
            const Atom& a = first.atoms[first.atomIndexAt(x)];
            const pugi::xml_node before = a.run ? a.run : a.node;
            startMark = before.parent().insert_child_before(d.q("commentRangeStart").c_str(), before);
        } else if (pugi::xml_node ppr = d.paragraphProperties(first.node)) {
            startMark = first.node.insert_child_after(d.q("commentRangeStart").c_str(), ppr);
        } else {
            startMark = first.node.prepend_child(d.q("commentRangeStart").c_str());
        }
        startMark.append_attribute(d.q("id").c_str()) = idText.c_str();

        d.rescan(ib);  // the reference character joins the story
    }

    // The comments themselves, in the order of their places in the text.
    const std::string& w = part.w;
    for (const auto& [commentId, c] : placed) {
        pugi::xml_node comment = part.root.append_child((w + "comment").c_str());
        comment.append_attribute((w + "id").c_str()) = std::to_string(commentId).c_str();
        comment.append_attribute((w + "author").c_str()) = c->author.toUtf8().constData();
        comment.append_attribute((w + "date").c_str()) = date.toUtf8().constData();
        if (!c->initials.isEmpty()) comment.append_attribute((w + "initials").c_str()) = c->initials.toUtf8().constData();
        bool firstLine = true;
        for (const QString& line : c->text.split(u'\n')) {
            pugi::xml_node p = comment.append_child((w + "p").c_str());
            if (firstLine) {
                // Word's own first run of a comment: the mark that ties it to its reference.
                p.append_child((w + "r").c_str()).append_child((w + "annotationRef").c_str());
                firstLine = false;
            }
            pugi::xml_node t = p.append_child((w + "r").c_str()).append_child((w + "t").c_str());
            t.append_attribute("xml:space") = "preserve";
            t.text().set(line.toUtf8().constData());
        }
    }
    if (part.name.isEmpty())
        AddRelatedPart(*d.package, d.package->mainPartName(), QString::fromLatin1(kCommentsRelationship),
                       QStringLiteral("comments"), QString::fromLatin1(kCommentsContentType), SerialisedPart(part.doc));
    else
        d.package->setPart(part.name, SerialisedPart(part.doc));
    modified_ = true;
}

}  // namespace word::ooxml

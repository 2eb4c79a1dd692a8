// The document model's entry points: opening and saving, the story's text
// and paragraphs, live ranges, and the one edit primitive with its batches.
// The story is read in story_scan.cpp, changed in paragraph_edits.cpp,
// searched in story_find.cpp and formatted in story_format.cpp.

#include "word/ooxml/document_model.h"

#include "word/automation.h"
#include "word/ooxml/document_model_impl.h"
#include "word/ooxml/part_deflate.h"

#include <QCryptographicHash>

#include <algorithm>

namespace word::ooxml {

namespace {

// Far deeper than any real document (tables in tables a few levels deep, a
// few wrappers around runs), far less than what the stack holds.
constexpr int kMaxElementDepth = 1000;

// Whether elements nest more than `limit` deep, found without recursion.
bool deeperThan(const pugi::xml_document& doc, int limit) {
    pugi::xml_node n = doc.first_child();
    int depth = 1;
    while (n) {
        if (pugi::xml_node child = n.first_child()) {
            n = child;
            if (++depth > limit) return true;
            continue;
        }
        while (n && !n.next_sibling()) {
            n = n.parent();
            --depth;
        }
        if (n) n = n.next_sibling();
    }
    return false;
}

constexpr unsigned kParseOptions = pugi::parse_full | pugi::parse_ws_pcdata;

// The declaration is kept as parsed; the output is UTF-8.
void declareUtf8(pugi::xml_document& xml) {
    if (pugi::xml_node decl = xml.first_child(); decl.type() == pugi::node_declaration)
        if (pugi::xml_attribute enc = decl.attribute("encoding")) enc.set_value("UTF-8");
}

// A digest of a tree as it is saved, without holding its text.
QByteArray savedDigest(pugi::xml_document& xml) {
    struct Hashing : pugi::xml_writer {
        QCryptographicHash hash{QCryptographicHash::Sha256};
        void write(const void* data, size_t size) override {
            hash.addData(QByteArrayView(static_cast<const char*>(data), qsizetype(size)));
        }
    } writer;
    declareUtf8(xml);
    xml.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return writer.hash.result();
}

}  // namespace

DocumentModel::DocumentModel() : impl_(std::make_unique<Impl>()) {}
DocumentModel::~DocumentModel() = default;

std::unique_ptr<DocumentModel> DocumentModel::open(const QString& path) {
    std::unique_ptr<DocumentModel> model(new DocumentModel());
    Impl& d = *model->impl_;
    d.package = Package::open(path);
    // The tree is parsed in place: its strings point into the part's bytes,
    // which the model keeps, so that the part is held once and not also by
    // the package or as a parser's copy.
    d.mainPartBytes = d.package->takePart(d.package->mainPartName());
    d.partSize = d.mainPartBytes.size();
    pugi::xml_parse_result result =
        d.xml.load_buffer_inplace(d.mainPartBytes.data(), static_cast<size_t>(d.mainPartBytes.size()), kParseOptions);
    if (!result)
        throw Error(QStringLiteral("%1：文書の本体の XML が壊れています（%2、%3 バイト目）。")
                        .arg(path, QString::fromUtf8(result.description()))
                        .arg(result.offset));
    // The walks of the story follow the nesting of its elements; a bound on
    // it keeps them far from the end of the stack whatever the file holds.
    if (deeperThan(d.xml, kMaxElementDepth))
        throw Error(QStringLiteral("%1：文書の要素の入れ子が深すぎるため（%2 段を超えています）、処理できません。"
                                   "表の中の表などが極端に深く入れ子になっているか、文書が壊れています。")
                        .arg(path)
                        .arg(kMaxElementDepth));
    try {
        d.load();
    } catch (const Error& e) {
        throw Error(path + QStringLiteral("：") + e.message(), e.number());
    }
    d.openedTextHash = qHash(QStringView(d.story.flat()));
    return model;
}

void DocumentModel::save(const QString& path) {
    Impl& d = *impl_;
    if (modified_) {
        const QString part = d.package->mainPartName();
        // The new text is deflated as it is written, so that it is never held
        // whole beside the tree (the package keeps no copy of the part as
        // read: the model took it at opening).
        declareUtf8(d.xml);
        DeflatingWriter writer;
        d.xml.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
        d.package->setDeflatedPart(part, writer.finish());
    }
    d.package->save(path);
}

bool DocumentModel::sameAsOpened() {
    if (!modified_) return true;
    Impl& d = *impl_;
    if (qHash(QStringView(d.story.flat())) != d.openedTextHash) return false;
    // The part as stored, parsed as at opening (the package inflates it again:
    // the model took its bytes), and both trees compared as they would be saved.
    QByteArray stored = d.package->readPart(d.package->mainPartName());
    pugi::xml_document opened;
    if (!opened.load_buffer_inplace(stored.data(), static_cast<size_t>(stored.size()), kParseOptions)) return false;
    return savedDigest(opened) == savedDigest(d.xml);
}

Package& DocumentModel::package() { return *impl_->package; }
pugi::xml_document& DocumentModel::xml() { return impl_->xml; }
const std::string& DocumentModel::wordPrefix() const { return impl_->prefix; }

// ---- text and paragraphs ----

const QString& DocumentModel::text() { return impl_->story.flat(); }
int DocumentModel::length() { return impl_->paras.totalLength(); }

QString DocumentModel::textRange(int start, int end) {
    const int len = length();
    start = std::clamp(start, 0, len);
    end = std::clamp(end, start, len);
    return impl_->story.mid(start, end - start);
}

int DocumentModel::paragraphCount() { return static_cast<int>(impl_->paras.size()); }

std::pair<int, int> DocumentModel::paragraphSpan(int index) {
    const ParaList& paras = impl_->paras;
    const int start = paras.startOf(static_cast<size_t>(index));
    return {start, start + paras[static_cast<size_t>(index)].fullLength()};
}

int DocumentModel::paragraphAt(int pos) { return static_cast<int>(impl_->paras.locate(pos)); }

// ---- live ranges ----

std::shared_ptr<LiveRange> DocumentModel::makeRange(int start, int end) {
    auto r = std::make_shared<LiveRange>();
    const int len = length();
    r->start = std::clamp(start, 0, len);
    r->end = std::clamp(end, r->start, len);
    impl_->ranges.push_back(r);
    return r;
}

void DocumentModel::Impl::shiftRanges(int a, int b, int newLen) {
    const int delta = newLen - (b - a);
    bool expired = false;
    for (auto& w : ranges) {
        auto r = w.lock();
        if (!r) {
            expired = true;
            continue;
        }
        auto shift = [&](int pos, bool isEnd) {
            if (pos >= b) return pos + delta;
            if (pos > a) return isEnd ? a + newLen : a;
            return pos;
        };
        r->start = shift(r->start, false);
        r->end = shift(r->end, true);
        if (r->end < r->start) r->end = r->start;
    }
    if (expired)
        ranges.erase(std::remove_if(ranges.begin(), ranges.end(),
                                    [](const std::weak_ptr<LiveRange>& w) { return w.expired(); }),
                     ranges.end());
}

// ---- the edit primitive ----

// Deletes [a, b) and inserts s at a, in (paragraph, offset) coordinates.
// Returns false, changing nothing, when a mark that must stay would go.
bool DocumentModel::Impl::applyEdit(size_t ia, int oa, size_t ib, int ob, const QString& s) {
    const size_t n = paras.size();
    // Normalise an end at a paragraph's mark-end to the next paragraph's start.
    if (ib < n && ob == paras[ib].fullLength() && ib + 1 < n) {
        ++ib;
        ob = 0;
    }
    const bool deletesMarks = ib > ia;
    if (deletesMarks) {
        // Every mark in [ia, ib) goes.
        for (size_t k = ia; k < ib; ++k)
            if (paras[k].mark != u'\r' || k == n - 1) return false;
        if (oa == 0) {
            // Whole paragraphs ia..ib-1 go; each container keeps a block.
            std::vector<std::pair<pugi::xml_node, int>> counts;
            for (size_t k = ia; k < ib; ++k) {
                pugi::xml_node parent = paras[k].node.parent();
                auto it = std::find_if(counts.begin(), counts.end(), [&](const auto& e) { return e.first == parent; });
                if (it == counts.end()) counts.push_back({parent, 1});
                else ++it->second;
            }
            for (const auto& [parent, removed] : counts)
                if (!hasMoreBlocksThan(parent, removed)) return false;
        } else {
            pugi::xml_node parent = paras[ia].node.parent();
            for (size_t k = ia + 1; k <= ib; ++k)
                if (paras[k].node.parent() != parent) return false;
        }
    } else if (ob > paras[ia].length) {
        return false;  // would delete this paragraph's own (last) mark
    }

    // Split the insertion into its paragraphs.
    const QStringList pieces = s.split(u'\r');
    const QString flat = pieces.join(QString());

    if (!deletesMarks) {
        if (oa < ob && !flat.isEmpty() && replaceInsideText(ia, oa, ob, flat)) {
            // Most replacements (a number rewritten) lie inside one w:t.
        } else if (oa < ob && !flat.isEmpty()) {
            // A replacement inside one paragraph: the new text takes the
            // place (and formatting) of the old, then the old goes.
            insertText(ia, oa, flat, true);
            const int k = static_cast<int>(flat.size());
            deleteContent(ia, oa + k, ob + k);
        } else {
            deleteContent(ia, oa, ob);
            insertText(ia, oa, flat);
        }
    } else if (oa == 0) {
        removeParagraphs(ia, ib);
        deleteContent(ia, 0, ob);
        insertText(ia, 0, flat);
        if (ia > 0) refreshMark(ia - 1);
    } else {
        deleteContent(ib, 0, ob);
        deleteContent(ia, oa, paras[ia].length);
        if (ib > ia + 1) removeParagraphs(ia + 1, ib);
        joinParagraphs(ia, ia + 1);
        insertText(ia, oa, flat);
    }
    size_t target = ia;
    int offset = oa;
    for (qsizetype k = 0; k + 1 < pieces.size(); ++k) {
        offset += static_cast<int>(pieces[k].size());
        splitParagraph(target, offset);
        ++target;
        offset = 0;
    }
    return true;
}

bool DocumentModel::replace(int start, int end, const QString& text) {
    return replaceMany({Edit{start, end, text}}) == 1;
}

// The edits run from left to right, each at its offsets moved by the edits
// before it: the gap buffers follow them, and a run of joins grows the first
// paragraph by the next one each time instead of moving the grown text.
int DocumentModel::replaceMany(const std::vector<Edit>& edits, const std::optional<int>& wdColor) {
    Impl& d = *impl_;
    const std::string hex = wdColor ? colorHex(*wdColor) : std::string();
    const int originalLength = length();
    int delta = 0;  // how far the edits so far moved the text after them
    int applied = 0;
    for (const Edit& e : edits) {
        const int start = std::clamp(e.start, 0, originalLength);
        const int a = start + delta;
        const int b = std::clamp(e.end, start, originalLength) + delta;
        const QString& s = e.text;
        // Shared start and end stay where they are.
        const QString old = textRange(a, b);
        int pre = 0;
        const int maxPre = std::min<int>(b - a, static_cast<int>(s.size()));
        while (pre < maxPre && old[pre] == s[pre]) ++pre;
        int suf = 0;
        const int maxSuf = std::min<int>(b - a, static_cast<int>(s.size())) - pre;
        while (suf < maxSuf && old[b - a - 1 - suf] == s[s.size() - 1 - suf]) ++suf;
        const int ca = a + pre, cb = b - suf;
        const QString ins = s.mid(pre, s.size() - pre - suf);
        if (ca < cb || !ins.isEmpty()) {
            const size_t ia = d.paras.locate(ca), ib = d.paras.locate(cb);
            if (!d.applyEdit(ia, ca - d.paras.startOf(ia), ib, cb - d.paras.startOf(ib), ins)) continue;
            d.shiftRanges(ca, cb, static_cast<int>(ins.size()));
            delta += static_cast<int>(ins.size()) - (cb - ca);
            modified_ = true;
        }
        ++applied;
        if (wdColor && !s.isEmpty()) {
            // The whole replaced text takes the colour.
            d.formatRange(a, a + static_cast<int>(s.size()), [&](pugi::xml_node rpr) { d.applyColor(rpr, hex); });
            modified_ = true;
        }
    }
    return applied;
}

}  // namespace word::ooxml

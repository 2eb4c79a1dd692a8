#pragma once
// Inside the document model: the story text and the paragraph list it is
// kept in, the atoms that tie each character to the XML, and the operations
// shared by the files of the model (story_scan, paragraph_edits, story_find,
// story_format, document_model). Not part of the engine's interface.
//
// The body's paragraphs (table cells included, other stories excluded) are a
// list of Para, each with the atoms that produce its text: a w:t element
// gives its characters, every other text element (tab, break, picture, field
// character, note reference...) one character. The text of all paragraphs,
// each followed by its mark, is one StoryText. An edit changes the XML, the
// atoms of the paragraphs it touches, and the story text and the paragraph
// offsets in place: it costs its own size, plus the distance from the
// previous edit for the two gap buffers below (nothing for a batch applied
// from left to right, or for a search that resumes after its last edit).

#include "word/ooxml/document_model.h"
#include "word/ooxml/package.h"

#include <pugixml.hpp>

#include <QString>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace word::ooxml {

// Characters Word uses in a story's text for things that are not text.
inline constexpr char16_t kObject = 0x0001;
inline constexpr char16_t kNoteRef = 0x0002;
inline constexpr char16_t kCommentRef = 0x0005;
inline constexpr char16_t kFieldBegin = 0x0013;
inline constexpr char16_t kFieldSep = 0x0014;
inline constexpr char16_t kFieldEnd = 0x0015;
inline constexpr char16_t kNoBreakHyphen = 0x001E;
inline constexpr char16_t kSoftHyphen = 0x001F;

enum class AtomKind : unsigned char { Text, Tab, Special, FieldChar };

struct Atom {
    pugi::xml_node node;  // w:t, or the element standing for one character
    pugi::xml_node run;   // the w:r holding it; null for paragraph-level objects
    int start = 0;        // offset in the paragraph's text
    int len = 0;
    AtomKind kind = AtomKind::Text;
    int end() const { return start + len; }
};

// What a scan of a paragraph (or of one run) produced.
struct Scan {
    QString text;
    std::vector<Atom> atoms;
};

struct Para {
    pugi::xml_node node;
    std::vector<Atom> atoms;
    int length = 0;  // of its text, without the mark
    QChar mark = u'\r';
    int fullLength() const { return length + 1; }
    // Index of the atom holding offset x (0 <= x < length).
    size_t atomIndexAt(int x) const;
};

// The story text in a gap buffer: an edit moves the gap to itself and
// changes the characters there, so edits close to each other cost their own
// size. A search moves the gap out of the span it reads.
class StoryText {
public:
    void assign(QString text);
    int size() const { return size_; }
    QChar at(int pos) const { return buf_[pos < gapStart_ ? pos : pos + gapLen_]; }
    QString mid(int pos, int count) const;
    // A pointer p with p[i] the character at story offset i for i in [from, to).
    const QChar* contiguous(int from, int to);
    void replace(int pos, int removed, QStringView inserted);
    // The whole text as one string (moves the gap to the end).
    const QString& flat();
    // How many times the text holds c.
    int count(QChar c) const { return counts_[c.unicode()]; }

private:
    void moveGap(int pos);
    void ensureGap(int needed);

    void countChars(const QChar* chars, int n, int by);

    QString buf_;  // size_ characters with a gap of gapLen_ at gapStart_
    int size_ = 0, gapStart_ = 0, gapLen_ = 0;
    std::vector<int> counts_ = std::vector<int>(0x10000);
};

// The paragraphs in a gap buffer, with their story offsets: the offset of a
// paragraph before the gap is kept as it is, that of one after it minus the
// story length, so that a change of length at the gap moves every later paragraph
// at once. Edits and batches run through the document in order, so the gap
// travels O(paragraphs) per batch.
class ParaList {
public:
    size_t size() const { return buf_.size() - (gapEnd_ - gapStart_); }
    Para& operator[](size_t i) const { return *buf_[slot(i)]; }
    Para& back() const { return (*this)[size() - 1]; }
    int startOf(size_t i) const;
    int totalLength() const { return total_; }
    // The paragraph holding story offset pos (the last one for pos >= length).
    size_t locate(int pos) const;

    void push_back(std::unique_ptr<Para> p) { insert(size(), std::move(p)); }
    // Inserts p at index pos; its text is new to the story.
    void insert(size_t pos, std::unique_ptr<Para> p);
    // Removes [from, to); their text leaves the story.
    void erase(size_t from, size_t to);
    // Paragraph i's text length becomes newLength.
    void setLength(size_t i, int newLength);

private:
    size_t slot(size_t i) const { return i < gapStart_ ? i : i + (gapEnd_ - gapStart_); }
    void moveGap(size_t pos);
    void grow();

    std::vector<std::unique_ptr<Para>> buf_;
    // Beside buf_, so that moving the gap and searching touch no paragraph.
    std::vector<int> starts_;
    size_t gapStart_ = 0, gapEnd_ = 0;
    int total_ = 0;
};

// Whether an element's name is `name`. strcmp stops at the first character
// that differs, where comparing with the std::string would first measure
// the element's name: most names the scan meets differ in their first letters.
inline bool sameName(const char* elementName, const std::string& name) {
    return std::strcmp(elementName, name.c_str()) == 0;
}

struct DocumentModel::Impl {
    std::unique_ptr<Package> package;
    // The main part's bytes, which the tree was parsed in place from: they
    // must outlive it (members are destroyed in reverse order).
    QByteArray mainPartBytes;
    pugi::xml_document xml;
    qsizetype partSize = 0;  // of the main part as read
    std::string prefix;  // "w" or "" (with the colon added in names)
    std::string mcPrefix, mathPrefix;
    pugi::xml_node body;
    ParaList paras;
    StoryText story;
    std::vector<std::weak_ptr<LiveRange>> ranges;

    // Qualified names, built once.
    std::string nP, nR, nT, nPPr, nRPr, nTab, nBr, nCr, nNoBreakHyphen, nSoftHyphen, nSym,
        nDrawing, nPict, nObject, nFootnoteRef, nEndnoteRef, nCommentRef, nFldChar, nInstrText,
        nDelText, nDel, nMoveFrom, nIns, nMoveTo, nHyperlink, nSmartTag, nCustomXml, nFldSimple,
        nSdt, nSdtContent, nDir, nBdo, nTbl, nTr, nTc, nSectPr, nColor, nRFonts, nPtab, nRuby,
        nBody, nAltContent, nOMath, nOMathPara, nPPrChange, nRPrChange, nSdtPr, nSdtEndPr,
        nSmartTagPr, nCustomXmlPr, nVal, nType, nChar, nFldCharType, nSpace;

    std::string q(const char* local) const {
        return prefix.empty() ? std::string(local) : prefix + ":" + local;
    }
    bool is(pugi::xml_node n, const std::string& name) const {
        return n.type() == pugi::node_element && sameName(n.name(), name);
    }

    // ---- reading the story (story_scan.cpp) ----
    void initNames();
    void load();
    // Reads the body's paragraphs into the story (load, and a body built anew).
    void readStory();
    void collectBlocks(pugi::xml_node container, std::vector<pugi::xml_node>& out);
    void collectRows(pugi::xml_node tbl, std::vector<pugi::xml_node>& out);
    template <typename F>
    void forEachThroughWrappers(pugi::xml_node container, const std::string& item, const F& onItem) const;
    bool isBlock(pugi::xml_node n) const;
    bool isLastInCell(pugi::xml_node p) const;
    QChar markOf(pugi::xml_node p) const;
    pugi::xml_node paragraphProperties(pugi::xml_node p) const;
    void scanRun(Scan& out, pugi::xml_node r, bool& inInstruction);
    void scanInline(Scan& out, pugi::xml_node container, bool& inInstruction);
    Scan scanParagraph(pugi::xml_node p);

    // ---- keeping the story in step (paragraph_edits.cpp) ----
    // Paragraph i's text [x, x + removed) became `inserted` (atoms already updated).
    void spliceText(size_t i, int x, int removed, QStringView inserted);
    // Sets paragraph i's mark from its XML, in the story too.
    void refreshMark(size_t i);
    // Rebuilds paragraph i's atoms and text from its XML: the fallback for
    // rare edits (field characters, paragraph-level objects).
    void rescan(size_t i);

    // ---- edits inside the XML (paragraph_edits.cpp) ----
    bool runHasContent(pugi::xml_node r) const;
    void setTextOf(pugi::xml_node t, const QString& s);
    pugi::xml_node newTextElement(pugi::xml_node parent, pugi::xml_node after, const QString& s);
    void insertPieces(pugi::xml_node run, pugi::xml_node after, pugi::xml_node before, const QString& s);
    pugi::xml_node newRunForEmptyParagraph(Para& para);
    pugi::xml_node boundaryAt(Para& para, int x);
    bool isPropertyElement(pugi::xml_node n) const;
    pugi::xml_node shallowClone(pugi::xml_node n, bool before);
    void moveTail(pugi::xml_node first, pugi::xml_node target);
    void moveHead(pugi::xml_node stop, pugi::xml_node target);
    void removeEmptyRuns(pugi::xml_node container);
    bool hasMoreBlocksThan(pugi::xml_node parent, int count) const;
    void rescanRun(size_t i, size_t atomIndex);

    void deleteContent(size_t i, int x, int y);
    void insertText(size_t i, int x, const QString& s, bool replacing = false);
    void splitParagraph(size_t i, int x);
    void joinParagraphs(size_t i, size_t m);
    void removeParagraphs(size_t from, size_t to);
    // The edit primitive on (paragraph, offset) coordinates (document_model.cpp).
    bool applyEdit(size_t ia, int oa, size_t ib, int ob, const QString& s);
    void shiftRanges(int a, int b, int newLen);

    // ---- the find (story_find.cpp) ----
    template <typename F>
    void scanStory(const Pattern& pattern, int start, int end, F found);

    // ---- formatting (story_format.cpp) ----
    void formatRange(int start, int end, const std::function<void(pugi::xml_node)>& fn);
    void applyColor(pugi::xml_node rpr, const std::string& hex);
    void applyFont(pugi::xml_node rpr, const std::string& name, bool eastAsia);
    const Atom* atomAt(int pos);
    pugi::xml_node propertyElement(pugi::xml_node rpr, const std::string& name);
    pugi::xml_node runProperties(pugi::xml_node run);
    pugi::xml_node markProperties(pugi::xml_node p);
    void splitRunAt(size_t i, int x);
    void formatSpan(size_t i, int x, int y, bool withMark, const std::function<void(pugi::xml_node)>& fn);
    void applyUnderline(pugi::xml_node rpr, bool on);
};

// Colours between Word's BBGGRR numbers and the XML's RRGGBB (story_format.cpp).
std::string colorHex(int wdColor);
int wdColorOf(std::string_view hex);

}  // namespace word::ooxml

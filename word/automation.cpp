// The automation surface on top of the document engine.

#include "word/automation.h"

#include "word/atomic_file.h"
#include "word/legacy/legacy.h"
#include "word/ooxml/document_model.h"
#include "word/ooxml/html_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <sys/stat.h>

namespace word {

namespace detail {

// Search options live with the document, as Word keeps them between searches.
// The engine searches case- and width-significantly; those are the defaults.
struct FindState {
    bool matchCase = true;
    bool matchWholeWord = false;
    bool matchByte = true;
    bool matchAllWordForms = false;
    bool matchSoundsLike = false;
    bool matchWildcards = false;
    bool matchFuzzy = false;
    bool forward = true;
    int wrap = wdFindStop;
    QString text;
    QString replacementText;
    std::optional<int> replacementColor;
    bool found = false;
};

struct DocumentState {
    std::unique_ptr<ooxml::DocumentModel> model;
    std::shared_ptr<FindState> find = std::make_shared<FindState>();
    QString fullName;
    bool closed = false;
    // Set when the file was a legacy .doc/RTF converted on open; its folder
    // holds the converted .docx and lives as long as the document.
    std::optional<legacy::Converted> converted;

    ooxml::DocumentModel& m() {
        if (closed || !model) throw Error(QStringLiteral("The document is already closed."));
        return *model;
    }
};

}  // namespace detail

namespace {

std::shared_ptr<detail::DocumentState>& checked(std::shared_ptr<detail::DocumentState>& d) {
    if (!d) throw Error(QStringLiteral("The object is not set (no document)."));
    return d;
}

const std::shared_ptr<detail::DocumentState>& checked(const std::shared_ptr<detail::DocumentState>& d) {
    if (!d) throw Error(QStringLiteral("The object is not set (no document)."));
    return d;
}

bool isMark(QChar c) { return c == u'\r' || c == u'\a' || c == u'\f'; }

}  // namespace

// ---- Font ----

int Font::Color() const {
    if (replacement_) return replacement_->replacementColor.value_or(wdUndefined);
    auto& m = checked(doc_)->m();
    return m.colorOf(range_->start, range_->end);
}

void Font::SetColor(int wdColor) {
    if (replacement_) {
        replacement_->replacementColor = wdColor;
        return;
    }
    checked(doc_)->m().setColor(range_->start, range_->end, wdColor);
}

QString Font::Name() const {
    if (replacement_) throw Error(QStringLiteral("Font names of a replacement are not supported."));
    return checked(doc_)->m().fontNameAt(range_->start, true);
}

void Font::SetName(const QString& name) {
    if (replacement_) throw Error(QStringLiteral("Font names of a replacement are not supported."));
    checked(doc_)->m().setFontName(range_->start, range_->end, name);
}

QString Font::NameAscii() const {
    if (replacement_) throw Error(QStringLiteral("Font names of a replacement are not supported."));
    return checked(doc_)->m().fontNameAt(range_->start, false);
}

void Font::SetNameAscii(const QString& name) {
    if (replacement_) throw Error(QStringLiteral("Font names of a replacement are not supported."));
    checked(doc_)->m().setFontNameAscii(range_->start, range_->end, name);
}

// ---- Replacement ----

void Replacement::ClearFormatting() { find_->replacementColor.reset(); }
QString Replacement::Text() const { return find_->replacementText; }
void Replacement::SetText(const QString& text) { find_->replacementText = text; }

word::Font Replacement::Font() const {
    word::Font f;
    f.doc_ = doc_;
    f.replacement_ = find_;
    return f;
}

// ---- Find ----

#define KALVENDO_FIND_OPTION(Getter, Setter, member, type)                   \
    type Find::Getter() const { return checked(doc_)->find->member; }        \
    void Find::Setter(type v) { checked(doc_)->find->member = v; }

KALVENDO_FIND_OPTION(MatchCase, SetMatchCase, matchCase, bool)
KALVENDO_FIND_OPTION(MatchWholeWord, SetMatchWholeWord, matchWholeWord, bool)
KALVENDO_FIND_OPTION(MatchByte, SetMatchByte, matchByte, bool)
KALVENDO_FIND_OPTION(MatchAllWordForms, SetMatchAllWordForms, matchAllWordForms, bool)
KALVENDO_FIND_OPTION(MatchSoundsLike, SetMatchSoundsLike, matchSoundsLike, bool)
KALVENDO_FIND_OPTION(MatchWildcards, SetMatchWildcards, matchWildcards, bool)
KALVENDO_FIND_OPTION(MatchFuzzy, SetMatchFuzzy, matchFuzzy, bool)
KALVENDO_FIND_OPTION(Forward, SetForward, forward, bool)
KALVENDO_FIND_OPTION(Wrap, SetWrap, wrap, int)

#undef KALVENDO_FIND_OPTION

QString Find::Text() const { return checked(doc_)->find->text; }
void Find::SetText(const QString& text) { checked(doc_)->find->text = text; }

void Find::ClearFormatting() { checked(doc_); }  // the engine searches text only

word::Replacement Find::Replacement() const {
    word::Replacement r;
    r.doc_ = checked(doc_);
    r.find_ = doc_->find;
    return r;
}

bool Find::Found() const { return checked(doc_)->find->found; }

bool Find::Execute(int replace) {
    auto& d = checked(doc_);
    detail::FindState& f = *d->find;
    auto refuse = [](const char* option) {
        throw Error(QStringLiteral("The search option %1 is not supported by this program's document engine.")
                        .arg(QLatin1String(option)));
    };
    // Searching differently from what was asked would change the wrong text.
    if (f.matchWildcards) refuse("\"use wildcards\"");
    if (f.matchWholeWord) refuse("\"whole words only\"");
    if (f.matchSoundsLike) refuse("\"sounds like\"");
    if (f.matchFuzzy) refuse("\"fuzzy\"");
    if (f.matchAllWordForms) refuse("\"all word forms\"");
    if (!f.matchCase) refuse("\"ignore case\"");
    if (!f.matchByte) refuse("\"ignore character width\"");
    if (!f.forward) refuse("\"search backwards\"");
    if (f.text.isEmpty()) throw Error(QStringLiteral("The search text is empty."));
    if (replace != wdReplaceNone && replace != wdReplaceOne && replace != wdReplaceAll)
        throw Error(QStringLiteral("Unknown replace mode %1.").arg(replace));

    ooxml::DocumentModel& m = d->m();
    const ooxml::Pattern pattern = ooxml::parseFindText(f.text);
    const int start = range_->start, end = range_->end;
    if (replace == wdReplaceAll) {
        const QString repl = ooxml::parseReplacementText(f.replacementText);
        const auto matches = m.findAll(pattern, start, end);
        std::vector<ooxml::Edit> edits;
        edits.reserve(matches.size());
        for (const auto& [s, e] : matches) edits.push_back({s, e, repl});
        if (!edits.empty()) m.replaceMany(edits, f.replacementColor);
        f.found = !matches.empty();
        return f.found;
    }
    const auto match = m.findFirst(pattern, start, end);
    f.found = match.has_value();
    if (!match) return false;
    if (replace == wdReplaceOne) {
        const QString repl = ooxml::parseReplacementText(f.replacementText);
        m.replaceMany({ooxml::Edit{match->first, match->second, repl}}, f.replacementColor);
        range_->start = match->first;
        range_->end = match->first + static_cast<int>(repl.size());
    } else {
        range_->start = match->first;
        range_->end = match->second;
    }
    return true;
}

// ---- Range ----

int Range::Start() const { return range_ ? range_->start : 0; }
int Range::End() const { return range_ ? range_->end : 0; }

void Range::SetRange(int start, int end) {
    const int len = checked(doc_)->m().length();
    range_->start = std::clamp(start, 0, len);
    range_->end = std::clamp(end, range_->start, len);
}

QString Range::Text() const { return checked(doc_)->m().textRange(range_->start, range_->end); }

void Range::SetText(const QString& text) {
    ooxml::DocumentModel& m = checked(doc_)->m();
    const int start = range_->start, end = range_->end;
    bool applied = m.replace(start, end, text);
    int newLen = static_cast<int>(text.size());
    if (!applied && text.isEmpty() && end > start && isMark(m.textRange(end - 1, end)[0])) {
        // The range ends in a mark that must stay (a cell's end, a section
        // break, the document's end): delete what stands before it.
        applied = m.replace(start, end - 1, QString());
    }
    if (!applied)
        throw Error(QStringLiteral("The text cannot be replaced there without removing a table cell, a section "
                                   "break or the end of the document."));
    range_->start = start;
    range_->end = start + newLen;
    range_->textEdited = true;
}

void Range::Select() { checked(doc_); }

int Range::MoveEnd(int unit, int count) {
    if (unit != wdCharacter) throw Error(QStringLiteral("Only character units are supported."));
    const int len = checked(doc_)->m().length();
    const int old = range_->end;
    range_->end = std::clamp(old + count, range_->start, len);
    return range_->end - old;
}

word::Find Range::Find() const {
    word::Find f;
    f.doc_ = checked(doc_);
    f.range_ = range_;
    return f;
}

word::Font Range::Font() const {
    word::Font f;
    f.doc_ = checked(doc_);
    f.range_ = range_;
    return f;
}

Range Range::Duplicate() const {
    return Range(doc_, checked(doc_)->m().makeRange(range_->start, range_->end));
}

// ---- Paragraphs ----

word::Range Paragraph::Range() const { return word::Range(doc_, range_); }

std::optional<Paragraph> Paragraph::Next() const {
    ooxml::DocumentModel& m = checked(doc_)->m();
    // After the paragraph's own text was replaced, the walk goes on with what
    // now stands where it started (the paragraph that followed a deleted one,
    // or the first paragraph of a rewrite); otherwise with the next one.
    const int pos = range_->textEdited ? range_->start : range_->end;
    if (pos >= m.length()) return std::nullopt;
    Paragraphs all;
    all.doc_ = doc_;
    return all.Item(m.paragraphAt(pos) + 1);
}

int Paragraphs::Count() const { return checked(doc_)->m().paragraphCount(); }

Paragraph Paragraphs::Item(int index) const {
    ooxml::DocumentModel& m = checked(doc_)->m();
    if (index < 1 || index > m.paragraphCount())
        throw Error(QStringLiteral("There is no paragraph %1.").arg(index));
    const auto [s, e] = m.paragraphSpan(index - 1);
    Paragraph p;
    p.doc_ = doc_;
    p.range_ = m.makeRange(s, e);
    return p;
}

std::optional<Paragraph> Paragraphs::First() const {
    if (Count() == 0) return std::nullopt;
    return Item(1);
}

// ---- Document ----

Document::~Document() = default;

Range Document::Content() {
    ooxml::DocumentModel& m = checked(doc_)->m();
    return Range(doc_, m.makeRange(0, m.length()));
}

word::Paragraphs Document::Paragraphs() {
    checked(doc_)->m();
    word::Paragraphs p;
    p.doc_ = doc_;
    return p;
}

QString Document::FullName() const { return doc_ ? doc_->fullName : QString(); }

void Document::SaveAs(const QString& fileName) { SaveAs(fileName, wdFormatDocument); }

void Document::SaveAs(const QString& fileName, int fileFormat) {
    ooxml::DocumentModel& m = checked(doc_)->m();
    if (fileFormat == wdFormatDocument) {
        if (const auto& converted = doc_->converted) {
            // Back to the document's own format before it lands at fileName.
            const QString edited = converted->dir->filePath(QStringLiteral("edited.docx"));
            m.save(edited);
            legacy::convertBack(edited, converted->format, fileName, QFileInfo(doc_->fullName).fileName(), doc_->fullName);
            QFile::remove(edited);
        } else {
            m.save(fileName);
        }
    } else if (fileFormat == wdFormatHTML) {
        ooxml::writeFilingHtml(m, fileName);
    } else {
        throw Error(QStringLiteral("Unknown file format %1.").arg(fileFormat));
    }
}

void Document::Close(int saveChanges) {
    checked(doc_);
    if (saveChanges != wdDoNotSaveChanges)
        throw Error(QStringLiteral("A document opened read-only cannot be saved on closing."));
    doc_->closed = true;
    doc_->model.reset();
    doc_->converted.reset();
}

bool Document::ConvertedOnOpen() const { return doc_ && doc_->converted.has_value(); }

ooxml::DocumentModel& Document::model() { return checked(doc_)->m(); }

// ---- Documents and Application ----

std::shared_ptr<Document> Documents::Open(const QString& fileName, bool /*readOnly*/) {
    // The file is only read; the result reaches the disk through SaveAs.
    const QFileInfo info(fileName);
    // The system's reason, so that a path longer than the system allows is
    // not reported as a missing file.
    struct stat st;
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0)
        throw files::FileError(QStringLiteral("読み込み"), fileName, errno);
    if (!S_ISREG(st.st_mode)) throw Error(QStringLiteral("文書のファイルではありません：%1").arg(fileName));
    std::shared_ptr<Document> doc(new Document());
    doc->doc_ = std::make_shared<detail::DocumentState>();
    // The format comes from the file's first bytes, never from its name: a
    // Word 97-2003 or RTF file goes through LibreOffice into a private .docx.
    const legacy::Format format = legacy::detectFormat(fileName);
    if (format == legacy::Format::Word97 || format == legacy::Format::Rtf) {
        legacy::Converted converted = legacy::convertToDocx(info.absoluteFilePath(), format);
        doc->doc_->model = ooxml::DocumentModel::open(converted.docxPath);
        doc->doc_->converted = std::move(converted);
    } else {
        doc->doc_->model = ooxml::DocumentModel::open(fileName);
    }
    doc->doc_->fullName = info.absoluteFilePath();
    ++count_;
    return doc;
}

std::shared_ptr<Application> Application::CreateObject(const QString& className) {
    if (className != QLatin1String("Word.Application"))
        throw Error(QStringLiteral("The object of class \"%1\" cannot be created.").arg(className), 429);
    return std::shared_ptr<Application>(new Application());
}

std::shared_ptr<Application> Application::GetObject(const QString& className) {
    throw Error(QStringLiteral("There is no running instance of \"%1\".").arg(className), 429);
}

}  // namespace word

// The find over the story text, and Word's find codes.

#include "word/automation.h"
#include "word/ooxml/document_model_impl.h"

#include <algorithm>

namespace word::ooxml {

namespace {

// A searcher for a pattern: it jumps from one occurrence of the pattern's
// rarest literal character to the next with a vectorised character search
// and checks the whole pattern around it. The story keeps the count of
// every character, so a pattern whose character the story lacks costs
// nothing, and passes that look for 【 or [ skip the kana and kanji between
// them 16 characters at a time.
struct Matcher {
    const Pattern& pattern;
    int key = -1;  // offset of the rarest literal character; -1: digits only
    int keyCount = 0;

    Matcher(const Pattern& p, const StoryText& story) : pattern(p) {
        for (int k = 0; k < static_cast<int>(p.chars.size()); ++k) {
            if (p.digitClass[k]) continue;
            const int count = story.count(p.chars[k]);
            if (key < 0 || count < keyCount) {
                key = k;
                keyCount = count;
            }
        }
    }

    bool matchesAt(const QChar* text, int pos) const {
        const int n = static_cast<int>(pattern.chars.size());
        for (int k = 0; k < n; ++k) {
            const QChar c = text[pos + k];
            if (pattern.digitClass[k]) {
                if (c < u'0' || c > u'9') return false;
            } else if (c != pattern.chars[k]) {
                return false;
            }
        }
        return true;
    }

    // Calls found(start) for non-overlapping matches in [from, to), left to right,
    // until it returns false.
    template <typename F>
    void scan(const QChar* data, int from, int to, F found) const {
        const int n = static_cast<int>(pattern.chars.size());
        if (n == 0 || to - from < n) return;
        if (key < 0) {
            for (int pos = from; pos + n <= to;) {
                if (matchesAt(data, pos)) {
                    if (!found(pos)) return;
                    pos += n;
                } else {
                    ++pos;
                }
            }
            return;
        }
        if (keyCount == 0) return;
        const QChar keyChar = pattern.chars[key];
        // h: where the key character would stand; the whole pattern must fit in [from, to).
        const int hEnd = to - n + key;
        for (int h = from + key; h <= hEnd;) {
            const qsizetype hit = QStringView(data + h, hEnd - h + 1).indexOf(keyChar);
            if (hit < 0) return;
            h += static_cast<int>(hit);
            const int start = h - key;
            if (matchesAt(data, start)) {
                if (!found(start)) return;
                h = start + n + key;
            } else {
                ++h;
            }
        }
    }
};

}  // namespace

// Runs the matcher over [start, end) of the story, clamped to it.
template <typename F>
void DocumentModel::Impl::scanStory(const Pattern& pattern, int start, int end, F found) {
    start = std::clamp(start, 0, story.size());
    end = std::clamp(end, start, story.size());
    Matcher(pattern, story).scan(story.contiguous(start, end), start, end, found);
}

std::vector<std::pair<int, int>> DocumentModel::findAll(const Pattern& pattern, int start, int end) {
    std::vector<std::pair<int, int>> out;
    const int n = static_cast<int>(pattern.chars.size());
    impl_->scanStory(pattern, start, end, [&](int s) {
        out.emplace_back(s, s + n);
        return true;
    });
    return out;
}

std::optional<std::pair<int, int>> DocumentModel::findFirst(const Pattern& pattern, int start, int end) {
    std::optional<std::pair<int, int>> out;
    const int n = static_cast<int>(pattern.chars.size());
    impl_->scanStory(pattern, start, end, [&](int s) {
        out = std::make_pair(s, s + n);
        return false;
    });
    return out;
}

// ---- find codes ----

Pattern parseFindText(const QString& text) {
    Pattern p;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c != u'^') {
            p.chars += c;
            p.digitClass.push_back(false);
            continue;
        }
        if (i + 1 >= text.size()) throw Error(QStringLiteral("The search text ends with a lone \"^\"."));
        QChar code = text[++i];
        if (code == u'p') {
            p.chars += u'\r';
            p.digitClass.push_back(false);
        } else if (code == u't') {
            p.chars += u'\t';
            p.digitClass.push_back(false);
        } else if (code == u'^') {
            p.chars += u'^';
            p.digitClass.push_back(false);
        } else if (code == u'#') {
            p.chars += u'0';
            p.digitClass.push_back(true);
        } else if (code.isDigit()) {
            qsizetype j = i;
            while (j < text.size() && j - i < 3 && text[j].isDigit()) ++j;
            const int value = text.mid(i, j - i).toInt();
            if (value <= 0 || value > 255)
                throw Error(QStringLiteral("The search text holds an unknown character code \"^%1\".").arg(text.mid(i, j - i)));
            p.chars += QChar(value);
            p.digitClass.push_back(false);
            i = j - 1;
        } else {
            throw Error(QStringLiteral("The search text holds the find code \"^%1\", which this program does not support.").arg(code));
        }
    }
    return p;
}

QString parseReplacementText(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c != u'^') {
            out += c;
            continue;
        }
        if (i + 1 >= text.size()) throw Error(QStringLiteral("The replacement text ends with a lone \"^\"."));
        QChar code = text[++i];
        if (code == u'p') {
            out += u'\r';
        } else if (code == u't') {
            out += u'\t';
        } else if (code == u'^') {
            out += u'^';
        } else if (code.isDigit()) {
            qsizetype j = i;
            while (j < text.size() && j - i < 3 && text[j].isDigit()) ++j;
            const int value = text.mid(i, j - i).toInt();
            if (value <= 0 || value > 255)
                throw Error(QStringLiteral("The replacement text holds an unknown character code \"^%1\".").arg(text.mid(i, j - i)));
            out += QChar(value);
            i = j - 1;
        } else {
            throw Error(QStringLiteral("The replacement text holds the code \"^%1\", which this program does not support.").arg(code));
        }
    }
    return out;
}

}  // namespace word::ooxml

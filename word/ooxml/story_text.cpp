// The two gap buffers of the model: the story text and the paragraph list
// with its offsets (see document_model_impl.h).

#include "word/ooxml/document_model_impl.h"

#include <algorithm>
#include <cstring>

namespace word::ooxml {

// ---- StoryText ----

void StoryText::assign(QString text) {
    buf_ = std::move(text);
    size_ = static_cast<int>(buf_.size());
    gapStart_ = size_;
    gapLen_ = 0;
    std::fill(counts_.begin(), counts_.end(), 0);
    countChars(buf_.constData(), size_, 1);
}

void StoryText::countChars(const QChar* chars, int n, int by) {
    for (int k = 0; k < n; ++k) counts_[chars[k].unicode()] += by;
}

QString StoryText::mid(int pos, int count) const {
    QString out(count, Qt::Uninitialized);
    QChar* o = out.data();
    const QChar* b = buf_.constData();
    const int before = std::clamp(gapStart_ - pos, 0, count);
    std::memcpy(o, b + pos, sizeof(QChar) * static_cast<size_t>(before));
    std::memcpy(o + before, b + pos + before + gapLen_, sizeof(QChar) * static_cast<size_t>(count - before));
    return out;
}

const QChar* StoryText::contiguous(int from, int to) {
    if (gapStart_ >= to) return buf_.constData();
    if (gapStart_ > from) moveGap(gapStart_ - from <= to - gapStart_ ? from : to);
    return gapStart_ >= to ? buf_.constData() : buf_.constData() + gapLen_;
}

void StoryText::moveGap(int pos) {
    if (pos == gapStart_) return;
    QChar* b = buf_.data();
    if (pos < gapStart_) {
        std::memmove(b + pos + gapLen_, b + pos, sizeof(QChar) * static_cast<size_t>(gapStart_ - pos));
    } else {
        std::memmove(b + gapStart_, b + gapStart_ + gapLen_, sizeof(QChar) * static_cast<size_t>(pos - gapStart_));
    }
    gapStart_ = pos;
}

void StoryText::ensureGap(int needed) {
    if (gapLen_ >= needed) return;
    // Grows geometrically, so that a document that keeps growing is copied
    // O(log n) times.
    const int newGap = needed + std::max(4096, size_ / 4);
    const int tail = size_ - gapStart_;
    buf_.resize(size_ + newGap);
    QChar* b = buf_.data();
    std::memmove(b + gapStart_ + newGap, b + gapStart_ + gapLen_, sizeof(QChar) * static_cast<size_t>(tail));
    gapLen_ = newGap;
}

void StoryText::replace(int pos, int removed, QStringView inserted) {
    const int n = static_cast<int>(inserted.size());
    if (removed == n) {  // same length: overwrite in place, wherever the gap is
        QChar* b = buf_.data();
        for (int k = 0; k < n; ++k) {
            QChar& c = b[pos + k < gapStart_ ? pos + k : pos + k + gapLen_];
            --counts_[c.unicode()];
            c = inserted[k];
        }
        countChars(inserted.data(), n, 1);
        return;
    }
    moveGap(pos);
    countChars(buf_.constData() + gapStart_ + gapLen_, removed, -1);
    gapLen_ += removed;  // the removed characters join the gap
    size_ -= removed;
    ensureGap(n);
    if (n > 0) std::memcpy(buf_.data() + gapStart_, inserted.data(), sizeof(QChar) * static_cast<size_t>(n));
    countChars(inserted.data(), n, 1);
    gapStart_ += n;
    gapLen_ -= n;
    size_ += n;
}

const QString& StoryText::flat() {
    if (gapLen_ > 0) {
        moveGap(size_);
        buf_.truncate(size_);  // keeps the capacity for the next edit
        gapLen_ = 0;
    }
    return buf_;
}

// ---- ParaList ----

int ParaList::startOf(size_t i) const {
    return i < gapStart_ ? starts_[i] : starts_[slot(i)] + total_;
}

size_t ParaList::locate(int pos) const {
    size_t lo = 0, hi = size();  // the answer is the last i with startOf(i) <= pos
    while (hi - lo > 1) {
        const size_t mid = lo + (hi - lo) / 2;
        if (startOf(mid) <= pos) lo = mid;
        else hi = mid;
    }
    return lo;
}

void ParaList::moveGap(size_t pos) {
    while (pos < gapStart_) {
        --gapStart_;
        --gapEnd_;
        buf_[gapEnd_] = std::move(buf_[gapStart_]);
        starts_[gapEnd_] = starts_[gapStart_] - total_;
    }
    while (pos > gapStart_) {
        buf_[gapStart_] = std::move(buf_[gapEnd_]);
        starts_[gapStart_] = starts_[gapEnd_] + total_;
        ++gapStart_;
        ++gapEnd_;
    }
}

void ParaList::grow() {
    const size_t n = size();
    const size_t extra = std::max<size_t>(64, n);
    std::vector<std::unique_ptr<Para>> bigger(n + extra);
    std::vector<int> biggerStarts(n + extra);
    for (size_t i = 0; i < n; ++i) {
        const size_t to = i < gapStart_ ? i : i + extra;
        bigger[to] = std::move(buf_[slot(i)]);
        biggerStarts[to] = starts_[slot(i)];
    }
    buf_ = std::move(bigger);
    starts_ = std::move(biggerStarts);
    gapEnd_ = gapStart_ + extra;
}

void ParaList::insert(size_t pos, std::unique_ptr<Para> p) {
    if (gapStart_ == gapEnd_) grow();
    moveGap(pos);
    starts_[gapStart_] = pos == 0 ? 0 : startOf(pos - 1) + (*this)[pos - 1].fullLength();
    total_ += p->fullLength();
    buf_[gapStart_++] = std::move(p);
}

void ParaList::erase(size_t from, size_t to) {
    moveGap(from);
    for (size_t i = gapEnd_; i < gapEnd_ + (to - from); ++i) {
        total_ -= buf_[i]->fullLength();
        buf_[i].reset();
    }
    gapEnd_ += to - from;
}

void ParaList::setLength(size_t i, int newLength) {
    moveGap(i + 1);
    Para& p = (*this)[i];
    total_ += newLength - p.length;
    p.length = newLength;
}

// ---- Para ----

size_t Para::atomIndexAt(int x) const {
    auto it = std::upper_bound(atoms.begin(), atoms.end(), x, [](int v, const Atom& a) { return v < a.start; });
    return static_cast<size_t>(it - atoms.begin()) - 1;
}

}  // namespace word::ooxml

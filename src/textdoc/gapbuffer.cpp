// The gap buffer of the text box's units.
#include "textdoc/gapbuffer.h"

#include <algorithm>
#include <cstring>

void GapBuffer::assign(const QString &text)
{
    units_ = text;
    gapBegin_ = gapEnd_ = text.size();
}

void GapBuffer::replace(qsizetype from, qsizetype removed, QStringView added)
{
    openGap(from, added.size());
    gapEnd_ += removed;
    std::copy(added.begin(), added.end(), units_.data() + gapBegin_);
    gapBegin_ += added.size();
}

QString GapBuffer::mid(qsizetype from, qsizetype length) const
{
    QString result(length, Qt::Uninitialized);
    copyOut(from, length, result.data());
    return result;
}

QString GapBuffer::text() const
{
    if (gapEnd_ == gapBegin_ && gapEnd_ == units_.size())
        return units_;
    return mid(0, size());
}

void GapBuffer::flatten()
{
    moveGap(size());
    // A shrinking resize keeps the memory: the next edit opens its gap there again.
    units_.resize(gapBegin_);
    gapEnd_ = gapBegin_;
}

void GapBuffer::copyOut(qsizetype from, qsizetype length, QChar *out) const
{
    const QChar *units = units_.constData();
    const qsizetype gap = gapEnd_ - gapBegin_;
    const qsizetype head = std::clamp(gapBegin_ - from, qsizetype(0), length);
    std::copy_n(units + from, head, out);
    std::copy_n(units + from + head + gap, length - head, out + head);
}

void GapBuffer::moveGap(qsizetype to)
{
    const qsizetype gap = gapEnd_ - gapBegin_;
    if (gap > 0 && to != gapBegin_) {
        QChar *units = units_.data();
        if (to < gapBegin_)
            std::memmove(units + to + gap, units + to, (gapBegin_ - to) * sizeof(QChar));
        else
            std::memmove(units + gapBegin_, units + gapEnd_, (to - gapBegin_) * sizeof(QChar));
    }
    gapBegin_ = to;
    gapEnd_ = to + gap;
}

void GapBuffer::openGap(qsizetype at, qsizetype length)
{
    if (gapEnd_ - gapBegin_ < length && gapEnd_ == units_.size() && units_.isDetached()
        && units_.capacity() - units_.size() >= length) {
        // The room a flatten() kept at the end.
        units_.resize(units_.capacity());
        gapEnd_ = units_.size();
    }
    if (gapEnd_ - gapBegin_ >= length && units_.isDetached()) {
        moveGap(at);
        return;
    }
    // Room for many more edits, so that typing copies the text once, not on every key.
    const qsizetype total = size();
    const qsizetype gap = length + std::clamp(total / 8, qsizetype(64), qsizetype(1) << 20);
    QString grown(total + gap, Qt::Uninitialized);
    copyOut(0, at, grown.data());
    copyOut(at, total - at, grown.data() + at + gap);
    units_ = std::move(grown);
    gapBegin_ = at;
    gapEnd_ = at + gap;
}

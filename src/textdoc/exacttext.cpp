// The exact-text model: a gap buffer of units, the CR LF breaks in two stacks, and a count of long runs.
#include "textdoc/exacttext.h"

#include <algorithm>
#include <cstring>

namespace
{

// Where a line may wrap, or a paragraph ends.
bool BreaksRun(QChar c)
{
    return c.isSpace() || c.unicode() == 0xfdd0 || c.unicode() == 0xfdd1;
}

bool IsBreak(QChar c)
{
    switch (c.unicode()) {
    case u'\r':
    case u'\n':
    case QChar::ParagraphSeparator:
    case 0xfdd0:
    case 0xfdd1:
        return true;
    default:
        return false;
    }
}

bool IsCrLf(QStringView text, qsizetype i)
{
    return text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
}

} // namespace

ExactText::ExactText(qsizetype longestRun)
    : longestRun_(longestRun)
{
}

qsizetype ExactText::positionsOf(QStringView text)
{
    qsizetype positions = text.size();
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (IsCrLf(text, i)) {
            --positions;
            ++i;
        }
    }
    return positions;
}

void ExactText::assign(const QString &text)
{
    units_ = text;
    gapBegin_ = gapEnd_ = text.size();
    crLfBefore_.clear();
    crLfAfter_.clear();
    positions_ = 0;
    longRuns_ = 0;
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++positions_) {
        if (IsCrLf(text, i)) {
            crLfBefore_.push_back(positions_);
            ++i;
        }
        run = BreaksRun(text[i]) ? 0 : run + 1;
        longRuns_ += run == longestRun_ + 1;
    }
}

QString ExactText::replace(qsizetype from, qsizetype removed, QStringView added)
{
    const qsizetype exactFrom = toExact(from);
    const qsizetype exactTo = toExact(from + removed);
    QString removedText = mid(exactFrom, exactTo - exactFrom);
    longRuns_ -= longRunsAround(exactFrom, exactTo);

    openGap(exactFrom, added.size());
    gapEnd_ += exactTo - exactFrom;
    std::copy(added.begin(), added.end(), units_.data() + gapBegin_);
    gapBegin_ += added.size();

    splitCrLfs(from);
    while (!crLfAfter_.empty() && positions_ - crLfAfter_.back() < from + removed)
        crLfAfter_.pop_back();
    positions_ += positionsOf(added) - removed;
    for (qsizetype i = 0, position = from; i < added.size(); ++i, ++position) {
        if (IsCrLf(added, i)) {
            crLfBefore_.push_back(position);
            ++i;
        }
    }
    longRuns_ += longRunsAround(exactFrom, exactFrom + added.size());
    return removedText;
}

const QString &ExactText::text() const
{
    if (gapEnd_ != gapBegin_) {
        moveGap(size());
        units_.truncate(gapBegin_);
        gapEnd_ = gapBegin_;
    }
    return units_;
}

QString ExactText::mid(qsizetype from, qsizetype length) const
{
    QString result(length, Qt::Uninitialized);
    copyOut(from, length, result.data());
    return result;
}

qsizetype ExactText::toExact(qsizetype position) const
{
    const auto before = std::lower_bound(crLfBefore_.begin(), crLfBefore_.end(), position);
    const auto after = std::upper_bound(crLfAfter_.begin(), crLfAfter_.end(), positions_ - position);
    return position + (before - crLfBefore_.begin()) + (crLfAfter_.end() - after);
}

qsizetype ExactText::toPosition(qsizetype offset, bool roundUp) const
{
    // The k-th CR LF (from 0) at position p takes the exact units p + k and p + k + 1.
    qsizetype low = 0;
    for (qsizetype high = crLfCount(); low < high;) {
        const qsizetype middle = (low + high) / 2;
        if (crLf(middle) + middle + 2 <= offset)
            low = middle + 1;
        else
            high = middle;
    }
    if (low < crLfCount() && crLf(low) + low + 1 == offset)
        return crLf(low) + (roundUp ? 1 : 0);
    return offset - low;
}

QChar ExactText::shownAt(qsizetype position) const
{
    const QChar c = at(toExact(position));
    return IsBreak(c) ? QChar(QChar::ParagraphSeparator) : c;
}

void ExactText::copyOut(qsizetype from, qsizetype length, QChar *out) const
{
    const QChar *units = units_.constData();
    const qsizetype gap = gapEnd_ - gapBegin_;
    const qsizetype head = std::clamp(gapBegin_ - from, qsizetype(0), length);
    std::copy_n(units + from, head, out);
    std::copy_n(units + from + head + gap, length - head, out + head);
}

void ExactText::moveGap(qsizetype to) const
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

void ExactText::openGap(qsizetype at, qsizetype length)
{
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

qsizetype ExactText::crLf(qsizetype index) const
{
    const auto before = qsizetype(crLfBefore_.size());
    return index < before ? crLfBefore_[index]
                          : positions_ - crLfAfter_[crLfAfter_.size() - 1 - std::size_t(index - before)];
}

void ExactText::splitCrLfs(qsizetype position)
{
    while (!crLfBefore_.empty() && crLfBefore_.back() >= position) {
        crLfAfter_.push_back(positions_ - crLfBefore_.back());
        crLfBefore_.pop_back();
    }
    while (!crLfAfter_.empty() && positions_ - crLfAfter_.back() < position) {
        crLfBefore_.push_back(positions_ - crLfAfter_.back());
        crLfAfter_.pop_back();
    }
}

qsizetype ExactText::longRunsAround(qsizetype from, qsizetype to) const
{
    // Only the runs that touch [from, to) can change; a run reaching out of it is read no further than
    // tells whether it is long.
    qsizetype start = from;
    while (start > 0 && from - start <= longestRun_ && !BreaksRun(at(start - 1)))
        --start;
    qsizetype end = to;
    while (end < size() && end - to <= longestRun_ && !BreaksRun(at(end)))
        ++end;
    qsizetype runs = 0;
    qsizetype run = 0;
    for (qsizetype i = start; i < end; ++i) {
        run = BreaksRun(at(i)) ? 0 : run + 1;
        runs += run == longestRun_ + 1;
    }
    return runs;
}

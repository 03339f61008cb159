// The exact-text model: a gap buffer of units, the CR LF breaks and the joints in two stacks each, and a
// count of overlong words.
#include "textdoc/exacttext.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace
{

// Where a line may wrap, or a paragraph ends.
bool BreaksRun(QChar c)
{
    return c.isSpace() || c.unicode() == 0xfdd0 || c.unicode() == 0xfdd1;
}

} // namespace

bool ExactText::isBreak(QChar c)
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

namespace
{

// Stamps for the units' changes, unique among all texts, so that a text moved into another's place is told
// from it.
quint64 NextStamp()
{
    static std::atomic<quint64> stamps {0};
    return ++stamps;
}

bool IsCrLf(QStringView text, qsizetype i)
{
    return text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
}

} // namespace

ExactText::ExactText(qsizetype longestWord)
    : longestWord_(longestWord)
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
    unitChanges_ = NextStamp();
    units_ = text;
    gapBegin_ = gapEnd_ = text.size();
    crLfs_.clear();
    joints_.clear();
    positions_ = 0;
    overlongWords_ = 0;
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++positions_) {
        if (IsCrLf(text, i)) {
            crLfs_.add(positions_);
            ++i;
        }
        run = BreaksRun(text[i]) ? 0 : run + 1;
        overlongWords_ += run == longestWord_ + 1;
    }
}

QString ExactText::replace(qsizetype from, qsizetype removed, QStringView added)
{
    unitChanges_ = NextStamp();
    const qsizetype exactFrom = toExact(from);
    const qsizetype exactTo = toExact(from + removed);
    QString removedText = mid(exactFrom, exactTo - exactFrom);
    overlongWords_ -= overlongWordsAround(exactFrom, exactTo);

    openGap(exactFrom, added.size());
    gapEnd_ += exactTo - exactFrom;
    std::copy(added.begin(), added.end(), units_.data() + gapBegin_);
    gapBegin_ += added.size();

    for (Marks *marks : {&crLfs_, &joints_}) {
        marks->split(from, positions_);
        marks->dropBefore(from + removed, positions_);
    }
    positions_ += positionsOf(added) - removed;
    for (qsizetype i = 0, position = from; i < added.size(); ++i, ++position) {
        if (IsCrLf(added, i)) {
            crLfs_.add(position);
            ++i;
        }
    }
    overlongWords_ += overlongWordsAround(exactFrom, exactFrom + added.size());
    return removedText;
}

void ExactText::insertJoint(qsizetype position)
{
    crLfs_.split(position, positions_);
    joints_.split(position, positions_);
    ++positions_;
    joints_.add(position);
}

qsizetype ExactText::nextJoint(qsizetype position) const
{
    return joints_.firstFrom(position, positions_);
}

qsizetype ExactText::pieceStart(qsizetype position) const
{
    const qsizetype joint = joints_.lastBelow(position, positions_);
    const qsizetype limit = joint < 0 ? 0 : toExact(joint);
    const qsizetype exact = toExact(position);
    qsizetype i = exact;
    while (i > limit && !isBreak(at(i - 1)))
        --i;
    return position - (exact - i);
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
    return position + crLfs_.below(position, positions_) - joints_.below(position, positions_);
}

namespace
{

// The last position in [0, positions] for which `fits` holds, or -1; it holds for some first of them only.
template <typename Fits> qsizetype LastFitting(qsizetype positions, Fits fits)
{
    qsizetype low = -1;
    qsizetype high = positions;
    while (low < high) {
        const qsizetype middle = low + (high - low + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

} // namespace

qsizetype ExactText::toPosition(qsizetype offset, bool roundUp) const
{
    // Offsets grow with positions, by two over a CR LF and by none over a joint: the first position at or
    // after the offset, or the last at or before it.
    if (roundUp)
        return std::min(
            LastFitting(positions_, [&](qsizetype p) { return toExact(p) < offset; }) + 1, positions_);
    return std::max<qsizetype>(LastFitting(positions_, [&](qsizetype p) { return toExact(p) <= offset; }), 0);
}

qsizetype ExactText::positionOfShown(qsizetype offset) const
{
    return std::max<qsizetype>(
        LastFitting(positions_, [&](qsizetype p) { return shownOffset(p) <= offset; }), 0);
}

QChar ExactText::shownAt(qsizetype position) const
{
    if (isJoint(position))
        return QChar(QChar::ParagraphSeparator);
    const QChar c = at(toExact(position));
    return isBreak(c) ? QChar(QChar::ParagraphSeparator) : c;
}

QString ExactText::shownDifference(QStringView shown) const
{
    qsizetype unit = 0;
    qsizetype joint = nextJoint(0);
    for (qsizetype position = 0; position < positions_; ++position) {
        QChar expected = QChar::ParagraphSeparator;
        const char *what = "a joint";
        if (position == joint) {
            joint = nextJoint(position + 1);
        } else {
            if (unit >= size())
                return QStringLiteral("the exact text ends at position %1 of its %2")
                    .arg(position)
                    .arg(positions_);
            const QChar c = at(unit);
            what = isBreak(c) ? "a break" : "a unit";
            expected = isBreak(c) ? QChar(QChar::ParagraphSeparator) : c;
            unit += crLfs_.contains(position, positions_) ? 2 : 1;
        }
        if (position >= shown.size() || shown[position] != expected)
            return QStringLiteral("at position %1 the document shows %2 where the exact text has %3 (U+%4)")
                .arg(position)
                .arg(position < shown.size()
                        ? QStringLiteral("U+%1").arg(uint(shown[position].unicode()), 4, 16, QLatin1Char('0'))
                        : QStringLiteral("its end"))
                .arg(QLatin1String(what))
                .arg(uint(expected.unicode()), 4, 16, QLatin1Char('0'));
    }
    if (shown.size() != positions_ || unit != size())
        return QStringLiteral(
            "the document has %1 positions where the exact text has %2 in %3 of its %4 units")
            .arg(shown.size())
            .arg(positions_)
            .arg(unit)
            .arg(size());
    return QString();
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

qsizetype ExactText::overlongWordsAround(qsizetype from, qsizetype to) const
{
    // Only the runs that touch [from, to) can change; a run reaching out of it is read no further than
    // tells whether it is long.
    qsizetype start = from;
    while (start > 0 && from - start <= longestWord_ && !BreaksRun(at(start - 1)))
        --start;
    qsizetype end = to;
    while (end < size() && end - to <= longestWord_ && !BreaksRun(at(end)))
        ++end;
    qsizetype runs = 0;
    qsizetype run = 0;
    for (qsizetype i = start; i < end; ++i) {
        run = BreaksRun(at(i)) ? 0 : run + 1;
        runs += run == longestWord_ + 1;
    }
    return runs;
}

void ExactText::Marks::split(qsizetype position, qsizetype positions)
{
    while (!before_.empty() && before_.back() >= position) {
        after_.push_back(positions - before_.back());
        before_.pop_back();
    }
    while (!after_.empty() && positions - after_.back() < position) {
        before_.push_back(positions - after_.back());
        after_.pop_back();
    }
}

void ExactText::Marks::dropBefore(qsizetype to, qsizetype positions)
{
    while (!after_.empty() && positions - after_.back() < to)
        after_.pop_back();
}

qsizetype ExactText::Marks::below(qsizetype position, qsizetype positions) const
{
    const auto before = std::lower_bound(before_.begin(), before_.end(), position);
    const auto after = std::upper_bound(after_.begin(), after_.end(), positions - position);
    return (before - before_.begin()) + (after_.end() - after);
}

bool ExactText::Marks::contains(qsizetype position, qsizetype positions) const
{
    return std::binary_search(before_.begin(), before_.end(), position)
        || std::binary_search(after_.begin(), after_.end(), positions - position);
}

void ExactText::Marks::clear()
{
    before_.clear();
    after_.clear();
}

qsizetype ExactText::Marks::lastBelow(qsizetype position, qsizetype positions) const
{
    const auto before = std::lower_bound(before_.begin(), before_.end(), position);
    const auto after = std::upper_bound(after_.begin(), after_.end(), positions - position);
    return std::max(
        before == before_.begin() ? -1 : *(before - 1), after == after_.end() ? -1 : positions - *after);
}

qsizetype ExactText::Marks::firstFrom(qsizetype position, qsizetype positions) const
{
    const auto before = std::lower_bound(before_.begin(), before_.end(), position);
    const auto after = std::upper_bound(after_.begin(), after_.end(), positions - position);
    return std::min(before == before_.end() ? positions : *before,
        after == after_.begin() ? positions : positions - *(after - 1));
}

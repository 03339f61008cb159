// The exact-text model: the units, and the CR LF breaks and joints that map positions to offsets.
#include "textdoc/exacttext.h"

#include <algorithm>
#include <atomic>

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

// The last position in [0, positions] for which `fits` holds, or -1; it holds for some first of them only.
template <typename Fits> qsizetype LastFitting(qsizetype positions, Fits fits)
{
    qsizetype low = -1;
    qsizetype high = positions;
    while (low < high) {
        const qsizetype middle = low + (high - low + 1) / 2;
        if (fits(Position(middle)))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
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
    units_.assign(text);
    crLfs_.clear();
    joints_.clear();
    // Only a CR can start a CR LF; finding them is a fast search, not a look at every unit.
    qsizetype crLfs = 0;
    for (qsizetype i = text.indexOf(u'\r'); i >= 0; i = text.indexOf(u'\r', i + 1)) {
        if (IsCrLf(text, i))
            crLfs_.add(i - crLfs++);
    }
    positions_ = text.size() - crLfs;
}

QString ExactText::replace(Position from, qsizetype removed, QStringView added)
{
    unitChanges_ = NextStamp();
    const Offset exactFrom = toExact(from);
    const qsizetype units = toExact(from + removed) - exactFrom;
    QString removedText = mid(exactFrom, units);
    units_.replace(exactFrom.value(), units, added);
    for (PositionMarks *marks : {&crLfs_, &joints_}) {
        marks->split(from.value(), positions_);
        marks->dropBefore(from.value() + removed, positions_);
    }
    positions_ += positionsOf(added) - removed;
    for (qsizetype i = 0, position = from.value(); i < added.size(); ++i, ++position) {
        if (IsCrLf(added, i)) {
            crLfs_.add(position);
            ++i;
        }
    }
    return removedText;
}

void ExactText::insertJoint(Position position)
{
    crLfs_.split(position.value(), positions_);
    joints_.split(position.value(), positions_);
    ++positions_;
    joints_.add(position.value());
}

Position ExactText::nextJoint(Position position) const
{
    return Position(joints_.firstFrom(position.value(), positions_));
}

Position ExactText::pieceStart(Position position) const
{
    const qsizetype joint = joints_.lastBelow(position.value(), positions_);
    const qsizetype limit = joint < 0 ? 0 : toExact(Position(joint)).value();
    const qsizetype exact = toExact(position).value();
    qsizetype i = exact;
    while (i > limit && !isBreak(at(i - 1)))
        --i;
    return position - (exact - i);
}

Offset ExactText::toExact(Position position) const
{
    return Offset(position.value() + crLfs_.below(position.value(), positions_)
        - joints_.below(position.value(), positions_));
}

Position ExactText::toPosition(Offset offset, bool roundUp) const
{
    // Offsets grow with positions, by two over a CR LF and by none over a joint: the first position at or
    // after the offset, or the last at or before it.
    if (roundUp)
        return Position(std::min(
            LastFitting(positions_, [&](Position p) { return toExact(p) < offset; }) + 1, positions_));
    return Position(
        std::max<qsizetype>(LastFitting(positions_, [&](Position p) { return toExact(p) <= offset; }), 0));
}

Position ExactText::positionOfShown(qsizetype offset) const
{
    return Position(std::max<qsizetype>(
        LastFitting(positions_, [&](Position p) { return shownOffset(p) <= offset; }), 0));
}

QChar ExactText::shownAt(Position position) const
{
    if (isJoint(position))
        return QChar(QChar::ParagraphSeparator);
    const QChar c = at(toExact(position));
    return isBreak(c) ? QChar(QChar::ParagraphSeparator) : c;
}

QString ExactText::shownDifference(QStringView shown) const
{
    qsizetype unit = 0;
    qsizetype joint = joints_.firstFrom(0, positions_);
    for (qsizetype position = 0; position < positions_; ++position) {
        QChar expected = QChar::ParagraphSeparator;
        const char *what = "a joint";
        if (position == joint) {
            joint = joints_.firstFrom(position + 1, positions_);
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

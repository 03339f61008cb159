// The marks of CR LF breaks and joints, split around the last edit.
#include "textdoc/positionmarks.h"

#include <algorithm>

void PositionMarks::split(qsizetype position, qsizetype positions)
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

void PositionMarks::dropBefore(qsizetype to, qsizetype positions)
{
    while (!after_.empty() && positions - after_.back() < to)
        after_.pop_back();
}

qsizetype PositionMarks::below(qsizetype position, qsizetype positions) const
{
    const auto before = std::lower_bound(before_.begin(), before_.end(), position);
    const auto after = std::upper_bound(after_.begin(), after_.end(), positions - position);
    return (before - before_.begin()) + (after_.end() - after);
}

bool PositionMarks::contains(qsizetype position, qsizetype positions) const
{
    return std::binary_search(before_.begin(), before_.end(), position)
        || std::binary_search(after_.begin(), after_.end(), positions - position);
}

void PositionMarks::clear()
{
    before_.clear();
    after_.clear();
}

qsizetype PositionMarks::lastBelow(qsizetype position, qsizetype positions) const
{
    const auto before = std::lower_bound(before_.begin(), before_.end(), position);
    const auto after = std::upper_bound(after_.begin(), after_.end(), positions - position);
    return std::max(
        before == before_.begin() ? -1 : *(before - 1), after == after_.end() ? -1 : positions - *after);
}

qsizetype PositionMarks::firstFrom(qsizetype position, qsizetype positions) const
{
    const auto before = std::lower_bound(before_.begin(), before_.end(), position);
    const auto after = std::upper_bound(after_.begin(), after_.end(), positions - position);
    return std::min(before == before_.end() ? positions : *before,
        after == after_.begin() ? positions : positions - *(after - 1));
}

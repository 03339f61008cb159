// Marked positions of one kind (the CR LF breaks, the joints) in a text that is edited near one place.
//
// Those before the last edit are kept in order, those after it as distances from the end, nearest last, so
// an edit shifts none of them and costs in proportion to the marks it passes. Every call is told the
// text's count of positions.
#pragma once

#include <vector>

#include <QtGlobal>

class PositionMarks final
{
public:
    // Puts the marks at `position` and past it behind the edit.
    void split(qsizetype position, qsizetype positions);
    // Forgets the marks behind the edit before `to`.
    void dropBefore(qsizetype to, qsizetype positions);
    // Marks a position at the edit: after the marks before it, before those behind it.
    void add(qsizetype position) { before_.push_back(position); }
    void clear();

    qsizetype below(qsizetype position, qsizetype positions) const;
    bool contains(qsizetype position, qsizetype positions) const;
    // The last mark before `position`, or -1.
    qsizetype lastBelow(qsizetype position, qsizetype positions) const;
    // The first mark at or after `position`, or `positions`.
    qsizetype firstFrom(qsizetype position, qsizetype positions) const;

private:
    std::vector<qsizetype> before_;
    std::vector<qsizetype> after_;
};

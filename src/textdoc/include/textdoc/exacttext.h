// The working text exactly as the box holds it, unit for unit, with each paragraph break's own characters.
//
// Qt's document shows every CR, LF, CR LF, U+2029, U+FDD0 and U+FDD1 as one paragraph break and keeps no
// record of which it was. This model keeps the real units and knows which breaks are a CR LF, the one break
// two units long, and which are joints, breaks of no unit that the box puts into a long paragraph to show
// it in pieces; so it maps the document's positions to offsets in the exact text. It is told every change
// in the document's positions and never reads the document back. Edits near the last one cost in proportion
// to their size, not to the text's: the units sit in a gap buffer, the CR LF breaks and the joints are
// position marks.
#pragma once

#include <QString>
#include <QStringView>

#include "textdoc/coordinates.h"
#include "textdoc/gapbuffer.h"
#include "textdoc/positionmarks.h"

class ExactText final
{
public:
    // Document positions that `text` takes once written: each CR LF is one.
    static qsizetype positionsOf(QStringView text);
    // Whether Qt's document starts a paragraph at this unit.
    static bool isBreak(QChar c);

    void assign(const QString &text);
    // The document replaced `removed` positions at `from` with `added`, whose breaks it took as written;
    // gives back the exact units that were removed.
    QString replace(Position from, qsizetype removed, QStringView added);

    // The document took a joint at `position`.
    void insertJoint(Position position);
    bool isJoint(Position position) const { return joints_.contains(position.value(), positions_); }
    qsizetype jointsBelow(Position position) const { return joints_.below(position.value(), positions_); }
    // The first joint at or after `position`, or positions() if there is none.
    Position nextJoint(Position position) const;
    // The first position of the piece that holds `position`: the one after the last break or joint before it.
    Position pieceStart(Position position) const;

    QString text() const { return units_.text(); }
    // From now until the next edit, text() gives the units without a copy.
    void flatten() { units_.flatten(); }
    QString mid(Offset from, qsizetype length) const { return units_.mid(from.value(), length); }
    qsizetype size() const { return units_.size(); }
    QChar at(Offset offset) const { return units_.at(offset.value()); }
    QChar at(qsizetype unit) const { return units_.at(unit); }
    // The end: one past the last position.
    Position positions() const { return Position(positions_); }
    Offset toExact(Position position) const;
    // The position of an exact offset; an offset between the CR and LF of one break gives the break's own
    // position, or the one after it with `roundUp`. At a joint, where two positions have the same offset,
    // it gives the one after the joint, or the one before it with `roundUp`: a range never takes in a joint
    // at its edge.
    Position toPosition(Offset offset, bool roundUp) const;
    // Changes with the units, and is never the same for two states of them, of this text or another.
    quint64 unitChanges() const { return unitChanges_; }
    // Offsets in the text as a box that shows its paragraphs whole shows it: every break one, no joint any.
    qsizetype shownOffset(Position position) const { return position.value() - jointsBelow(position); }
    // The last position at a shown offset: after a joint there.
    Position positionOfShown(qsizetype offset) const;
    // The character the document shows at a position: a paragraph separator for every break and joint.
    QChar shownAt(Position position) const;
    // Where `shown`, the text of a document with its paragraphs separated by paragraph separators, differs
    // from what this text shows position for position; empty if nowhere.
    QString shownDifference(QStringView shown) const;

private:
    GapBuffer units_;
    qsizetype positions_ = 0;
    PositionMarks crLfs_;
    PositionMarks joints_;
    quint64 unitChanges_ = 0;
};

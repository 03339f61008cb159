// The working text exactly as the box holds it, unit for unit, with each paragraph break's own characters.
//
// Qt's document shows every CR, LF, CR LF, U+2029, U+FDD0 and U+FDD1 as one paragraph break and keeps no
// record of which it was. This model keeps the real units and knows which breaks are a CR LF, the one break
// two units long, and which are joints, breaks of no unit that the box puts into a long paragraph to show
// it in pieces; so it maps the document's positions to offsets in the exact text. It is told every change
// in the document's positions and never reads the document back. Edits near the last one cost in proportion
// to their size, not to the text's: the units sit in a gap buffer, the CR LF breaks and the joints in two
// stacks each.
#pragma once

#include <vector>

#include <QString>
#include <QStringView>

class ExactText final
{
public:
    // Counts the words, unbroken runs of units, longer than `longestWord` (too long to wrap at their ends).
    explicit ExactText(qsizetype longestWord);

    // Document positions that `text` takes once written: each CR LF is one.
    static qsizetype positionsOf(QStringView text);

    void assign(const QString &text);
    // The document replaced `removed` positions at `from` with `added`, whose breaks it took as written;
    // gives back the exact units that were removed.
    QString replace(qsizetype from, qsizetype removed, QStringView added);

    // The document took a joint at `position`.
    void insertJoint(qsizetype position);
    bool isJoint(qsizetype position) const { return joints_.contains(position, positions_); }
    qsizetype jointsBelow(qsizetype position) const { return joints_.below(position, positions_); }
    // The first joint at or after `position`, or positions() if there is none.
    qsizetype nextJoint(qsizetype position) const;
    // The first position of the piece that holds `position`: the one after the last break or joint before it.
    qsizetype pieceStart(qsizetype position) const;
    // Whether Qt's document starts a paragraph at this unit.
    static bool isBreak(QChar c);

    const QString &text() const;
    QString mid(qsizetype from, qsizetype length) const;
    qsizetype size() const { return units_.size() - (gapEnd_ - gapBegin_); }
    qsizetype positions() const { return positions_; }
    qsizetype toExact(qsizetype position) const;
    // The position of an exact offset; an offset between the CR and LF of one break gives the break's own
    // position, or the one after it with `roundUp`. At a joint, where two positions have the same offset,
    // it gives the one after the joint, or the one before it with `roundUp`: a range never takes in a joint
    // at its edge.
    qsizetype toPosition(qsizetype offset, bool roundUp) const;
    qsizetype overlongWords() const { return overlongWords_; }
    // Changes with the units, and is never the same for two states of them, of this text or another.
    quint64 unitChanges() const { return unitChanges_; }
    // Offsets in the text as a box that shows its paragraphs whole shows it: every break one, no joint any.
    qsizetype shownOffset(qsizetype position) const { return position - jointsBelow(position); }
    // The last position at a shown offset: after a joint there.
    qsizetype positionOfShown(qsizetype offset) const;
    // The character the document shows at a position: a paragraph separator for every break and joint.
    QChar shownAt(qsizetype position) const;
    // Where `shown`, the text of a document with its paragraphs separated by paragraph separators, differs
    // from what this text shows position for position; empty if nowhere.
    QString shownDifference(QStringView shown) const;

    QChar at(qsizetype i) const { return units_.at(i < gapBegin_ ? i : i + (gapEnd_ - gapBegin_)); }

private:
    void moveGap(qsizetype to) const;
    void copyOut(qsizetype from, qsizetype length, QChar *out) const;
    void openGap(qsizetype at, qsizetype length);
    qsizetype overlongWordsAround(qsizetype from, qsizetype to) const;

    // Positions of one kind: those before the last edit in order, those after it as distances from the end,
    // nearest last, so an edit shifts none of them.
    class Marks
    {
    public:
        // Puts the marks at `position` and past it behind the edit.
        void split(qsizetype position, qsizetype positions);
        // Forgets the marks behind the edit before `to`.
        void dropBefore(qsizetype to, qsizetype positions);
        void add(qsizetype position) { before_.push_back(position); }
        qsizetype below(qsizetype position, qsizetype positions) const;
        bool contains(qsizetype position, qsizetype positions) const;
        // The last mark before `position`, or -1.
        qsizetype lastBelow(qsizetype position, qsizetype positions) const;
        // The first mark at or after `position`, or `positions`.
        qsizetype firstFrom(qsizetype position, qsizetype positions) const;
        void clear();

    private:
        std::vector<qsizetype> before_;
        std::vector<qsizetype> after_;
    };

    qsizetype longestWord_;
    // The units with a gap at [gapBegin_, gapEnd_); text() closes it. Mutable: closing or moving the gap
    // changes no unit.
    mutable QString units_;
    mutable qsizetype gapBegin_ = 0;
    mutable qsizetype gapEnd_ = 0;
    qsizetype positions_ = 0;
    Marks crLfs_;
    Marks joints_;
    qsizetype overlongWords_ = 0;
    quint64 unitChanges_ = 0;
};

// The working text exactly as the box holds it, unit for unit, with each paragraph break's own characters.
//
// Qt's document shows every CR, LF, CR LF, U+2029, U+FDD0 and U+FDD1 as one paragraph break and keeps no
// record of which it was. This model keeps the real units and knows which breaks are a CR LF, the one break
// two units long, so it maps the document's positions to offsets in the exact text. It is told every change
// in the document's positions and never reads the document back. Edits near the last one cost in proportion
// to their size, not to the text's: the units sit in a gap buffer and the CR LF breaks in two stacks.
#pragma once

#include <vector>

#include <QString>
#include <QStringView>

class ExactText final
{
public:
    // Counts the unbroken runs longer than `longestRun` units (words, for wrapping).
    explicit ExactText(qsizetype longestRun);

    // Document positions that `text` takes once written: each CR LF is one.
    static qsizetype positionsOf(QStringView text);

    void assign(const QString &text);
    // The document replaced `removed` positions at `from` with `added`, whose breaks it took as written;
    // gives back the exact units that were removed.
    QString replace(qsizetype from, qsizetype removed, QStringView added);

    const QString &text() const;
    QString mid(qsizetype from, qsizetype length) const;
    qsizetype size() const { return units_.size() - (gapEnd_ - gapBegin_); }
    qsizetype positions() const { return positions_; }
    qsizetype toExact(qsizetype position) const;
    // The position of an exact offset; an offset between the CR and LF of one break gives the break's own
    // position, or the one after it with `roundUp`.
    qsizetype toPosition(qsizetype offset, bool roundUp) const;
    qsizetype longRuns() const { return longRuns_; }
    // The character the document shows at a position: a paragraph separator for every break.
    QChar shownAt(qsizetype position) const;

private:
    QChar at(qsizetype i) const { return units_.at(i < gapBegin_ ? i : i + (gapEnd_ - gapBegin_)); }
    void moveGap(qsizetype to) const;
    void copyOut(qsizetype from, qsizetype length, QChar *out) const;
    void openGap(qsizetype at, qsizetype length);
    qsizetype crLfCount() const { return qsizetype(crLfBefore_.size() + crLfAfter_.size()); }
    qsizetype crLf(qsizetype index) const;
    void splitCrLfs(qsizetype position);
    qsizetype longRunsAround(qsizetype from, qsizetype to) const;

    qsizetype longestRun_;
    // The units with a gap at [gapBegin_, gapEnd_); text() closes it. Mutable: closing or moving the gap
    // changes no unit.
    mutable QString units_;
    mutable qsizetype gapBegin_ = 0;
    mutable qsizetype gapEnd_ = 0;
    qsizetype positions_ = 0;
    // The positions of the CR LF breaks: those before the last edit in order, those after it as distances
    // from the end, nearest last, so an edit shifts none of them.
    std::vector<qsizetype> crLfBefore_;
    std::vector<qsizetype> crLfAfter_;
    qsizetype longRuns_ = 0;
};

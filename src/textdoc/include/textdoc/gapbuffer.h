// Units in a gap buffer: an edit near the last one costs in proportion to its size, not to the text's.
#pragma once

#include <QString>
#include <QStringView>

class GapBuffer final
{
public:
    void assign(const QString &text);
    // Replaces `removed` units at `from` with `added`.
    void replace(qsizetype from, qsizetype removed, QStringView added);

    qsizetype size() const { return units_.size() - (gapEnd_ - gapBegin_); }
    QChar at(qsizetype i) const { return units_.at(i < gapBegin_ ? i : i + (gapEnd_ - gapBegin_)); }
    QString mid(qsizetype from, qsizetype length) const;
    // All the units: the buffer itself when it has no gap, else a copy, which leaves the gap where the
    // next key wants it.
    QString text() const;
    // Closes the gap, keeping its room for the next edits, so that text() shares the buffer from now on.
    void flatten();

private:
    void moveGap(qsizetype to);
    void openGap(qsizetype at, qsizetype length);
    void copyOut(qsizetype from, qsizetype length, QChar *out) const;

    // The units with a gap at [gapBegin_, gapEnd_).
    QString units_;
    qsizetype gapBegin_ = 0;
    qsizetype gapEnd_ = 0;
};

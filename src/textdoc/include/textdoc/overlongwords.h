// Counts the words, unbroken runs of units, longer than a limit, as the text changes. Word wrapping costs
// time quadratic in a word's length, so the box wraps anywhere while there is one.
#pragma once

#include <QString>
#include <QStringView>

#include "textdoc/coordinates.h"

class ExactText;

class OverlongWords final
{
public:
    explicit OverlongWords(qsizetype longest);

    qsizetype count() const { return count_; }
    void countIn(QStringView text) { count_ = runsAround(text, 0, text.size()); }
    // `removed` gave way to `added` at `from` in `text`, which is as the change left it.
    void follow(const ExactText &text, Offset from, QStringView removed, QStringView added);

private:
    // The overlong runs that touch [from, to) of `text`, read no further out of it than tells whether
    // they are long.
    qsizetype runsAround(QStringView text, qsizetype from, qsizetype to) const;

    qsizetype longest_;
    qsizetype count_ = 0;
};

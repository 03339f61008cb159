// The count of overlong words, kept up to date change by change.
#include "textdoc/overlongwords.h"

#include <algorithm>

#include "textdoc/exacttext.h"

namespace
{

// Where a line may wrap, or a paragraph ends.
inline bool BreaksRun(QChar c)
{
    return c.isSpace() || c.unicode() == 0xfdd0 || c.unicode() == 0xfdd1;
}

} // namespace

OverlongWords::OverlongWords(qsizetype longest)
    : longest_(longest)
{
}

void OverlongWords::follow(const ExactText &text, Offset from, QStringView removed, QStringView added)
{
    // The runs that the change touches, and a unit more than the longest word on each side, are all that
    // can change the count.
    const Offset start = std::max(from - (longest_ + 1), Offset(0));
    const Offset end = from + added.size();
    const QString before = text.mid(start, from - start);
    const QString after = text.mid(end, std::min(longest_ + 1, text.size() - end.value()));
    const auto runs = [&](QStringView middle) {
        QString joined;
        joined.reserve(before.size() + middle.size() + after.size());
        joined.append(before).append(middle).append(after);
        return runsAround(joined, before.size(), before.size() + middle.size());
    };
    count_ += runs(added) - runs(removed);
}

qsizetype OverlongWords::runsAround(QStringView text, qsizetype from, qsizetype to) const
{
    qsizetype start = from;
    while (start > 0 && from - start <= longest_ && !BreaksRun(text[start - 1]))
        --start;
    qsizetype end = to;
    while (end < text.size() && end - to <= longest_ && !BreaksRun(text[end]))
        ++end;
    // A whole text is read here at every write of one: a plain loop over its units.
    const QChar *units = text.data();
    qsizetype runs = 0;
    qsizetype run = 0;
    for (qsizetype i = start; i < end; ++i) {
        run = BreaksRun(units[i]) ? 0 : run + 1;
        runs += run == longest_ + 1;
    }
    return runs;
}

// Cluster boundaries and line-break opportunities of a whole paragraph, read through a window of its units.
#include "textdoc/paragraphbounds.h"

#include <algorithm>

#include <QTextBoundaryFinder>

#include "textdoc/exacttext.h"

namespace
{

// No piece is longer than this.
constexpr qsizetype kLongestPiece = qsizetype(1) << 15;
// Qt's syllable rules for Indic scripts start again at any consonant; this many units before an offset are
// enough for them to fall back into step with the whole paragraph.
constexpr qsizetype kResync = 32;
// Candidates are looked for this near the target first, then eight times as far each round.
constexpr qsizetype kNear = 64;

char32_t CodePointAt(const ExactText &text, qsizetype i)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(c, text.at(i + 1));
    return c.unicode();
}

bool IsRegionalIndicator(const ExactText &text, qsizetype i)
{
    const char32_t c = CodePointAt(text, i);
    return c >= 0x1f1e6 && c <= 0x1f1ff;
}

// Whether Qt's cluster rules after the character at `i` look at nothing before it: anything but a mark, a
// joiner, a modifier or a regional indicator, whose clusters reach back over runs of their kind.
bool FreshStart(const ExactText &text, qsizetype i)
{
    if (text.at(i).isLowSurrogate() || IsRegionalIndicator(text, i))
        return false;
    switch (QChar::category(CodePointAt(text, i))) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
    case QChar::Symbol_Modifier:
    case QChar::Letter_Modifier:
        return false;
    default:
        return true;
    }
}

// Whether characters of no script of their own (spaces, digits, emoji, marks) at `offset` come before one of
// a script with Qt's own cluster rules (Indic, Thai and the like). At a text's start Qt reads them in that
// script, and splits them unit by unit; in a paragraph they take the script before them. A piece is never
// longer than this, so no farther character can be the first of its own with a script.
bool TakesTailoredScript(const ExactText &text, qsizetype offset)
{
    // A long run of them (emoji, flags) is asked about at each cut along it: what was read of it serves on.
    static struct {
        const ExactText *text = nullptr;
        quint64 changes = 0;
        qsizetype from = 0;
        qsizetype to = 0; // [from, to) holds no character of a script
        bool ended = false; // the run ends at `to`, at one with a script or at the paragraph's end
        bool tailored = false; // the one with a script there has cluster rules of its own
    } run;
    if (run.text != &text || run.changes != text.unitChanges() || offset < run.from || offset > run.to)
        run = {&text, text.unitChanges(), offset, offset, false, false};
    const qsizetype end = std::min(text.size(), offset + kLongestPiece);
    while (!run.ended && run.to < end) {
        if (ExactText::isBreak(text.at(run.to))) {
            run.ended = true;
            break;
        }
        const char32_t c = CodePointAt(text, run.to);
        const QChar::Script script = QChar::script(c);
        if (script > QChar::Script_Common) {
            run.ended = true;
            run.tailored = (script >= QChar::Script_Devanagari && script <= QChar::Script_Thai)
                || script == QChar::Script_Tibetan || script == QChar::Script_Myanmar
                || script == QChar::Script_Khmer;
            break;
        }
        run.to += c > 0xffff ? 2 : 1;
    }
    return run.ended && run.tailored && run.to > offset && run.to - offset <= kLongestPiece;
}

// Whether Qt, reading from a cluster start at `offset` on, finds the clusters the whole paragraph has. It
// does everywhere but in two places: before a regional indicator, as one that follows a pictograph Qt pairs
// with the one after it, not with the one before, as it does at the start of a text; and before characters
// that would take the script of a later one with cluster rules of its own.
bool PairsAsWhole(const ExactText &text, qsizetype offset)
{
    return offset == 0 || ExactText::isBreak(text.at(offset - 1)) || !IsRegionalIndicator(text, offset)
        || (offset >= 2 && IsRegionalIndicator(text, offset - 2));
}

bool ReadsAsWhole(const ExactText &text, qsizetype offset)
{
    if (offset == 0 || ExactText::isBreak(text.at(offset - 1)))
        return true;
    return PairsAsWhole(text, offset) && !TakesTailoredScript(text, offset);
}

// Where to start reading so that the rules agree with the whole paragraph from `from` on. Characters of no
// script at the start may be read in a later script; any offset among them is asked about on its own.
qsizetype WindowStart(const ExactText &text, qsizetype known, qsizetype from)
{
    const bool knownServes = PairsAsWhole(text, known);
    qsizetype start = std::min(from - kResync, knownServes ? from : known - 1);
    const qsizetype floor = knownServes ? known : 0;
    while (start > floor && !ExactText::isBreak(text.at(start - 1)) && !FreshStart(text, start))
        --start;
    return std::max(start, floor);
}

// The boundaries that Qt finds in [start, to] of the paragraph, line-break opportunities only if asked for.
struct Window {
    Window(const ExactText &text, qsizetype first, qsizetype to, bool withLines)
        : start(first)
        // A little past `to`: a few line-break rules look one or two characters ahead.
        , units(text.mid(Offset(first), std::min(to + kLookAhead, text.size()) - first))
        , clusters(QTextBoundaryFinder::Grapheme, units)
    {
        if (withLines)
            lines = QTextBoundaryFinder(QTextBoundaryFinder::Line, units);
    }
    bool cluster(qsizetype offset)
    {
        clusters.setPosition(offset - start);
        return clusters.isAtBoundary();
    }
    bool line(qsizetype offset)
    {
        lines.setPosition(offset - start);
        return lines.isAtBoundary();
    }

    static constexpr qsizetype kLookAhead = 4;
    qsizetype start;
    QString units;
    QTextBoundaryFinder clusters;
    QTextBoundaryFinder lines;
};

// The offset in [low, high] nearest `target` that `fits`, those at or before the target first, or -1.
template <typename Fits> qsizetype Nearest(qsizetype low, qsizetype target, qsizetype high, Fits fits)
{
    for (qsizetype at = std::min(target, high); at >= low; --at) {
        if (fits(at))
            return at;
    }
    for (qsizetype at = std::max(target + 1, low); at <= high; ++at) {
        if (fits(at))
            return at;
    }
    return -1;
}

} // namespace

bool IsPieceStart(const ExactText &text, qsizetype known, qsizetype offset)
{
    if (offset <= known || offset >= text.size() || ExactText::isBreak(text.at(offset)))
        return true;
    return Window(text, WindowStart(text, known, offset), offset, false).cluster(offset)
        && ReadsAsWhole(text, offset);
}

namespace
{

// The offset in [low, high] nearest `target` on a cluster boundary, and on a line-break opportunity too with
// `lines`; or -1. Reading the whole range costs as much as laying it out: the first window mostly serves.
qsizetype CutNear(
    const ExactText &text, qsizetype known, qsizetype low, qsizetype target, qsizetype high, bool lines)
{
    for (qsizetype reach = kNear;; reach *= 8) {
        const qsizetype from = std::max(low, target - reach);
        const qsizetype to = std::min(high, target + reach);
        // Line-break rules cost more to run: they are looked for near the target only.
        if (lines && reach > kNear * 8)
            return -1;
        Window window(text, WindowStart(text, known, from), to, lines);
        const qsizetype cut = Nearest(from, target, to, [&](qsizetype at) {
            return window.cluster(at) && (!lines || window.line(at)) && ReadsAsWhole(text, at);
        });
        if (cut >= 0 || (from == low && to == high))
            return cut;
    }
}

} // namespace

qsizetype LineCutNear(const ExactText &text, qsizetype known, qsizetype low, qsizetype target, qsizetype high)
{
    return CutNear(text, known, low, target, high, true);
}

qsizetype SpaceCutNear(
    const ExactText &text, qsizetype known, qsizetype low, qsizetype target, qsizetype high)
{
    return Nearest(low, target, high,
        [&](qsizetype at) { return text.at(at - 1).isSpace() && IsPieceStart(text, known, at); });
}

qsizetype ClusterCutNear(
    const ExactText &text, qsizetype known, qsizetype low, qsizetype target, qsizetype high)
{
    return CutNear(text, known, low, target, high, false);
}

qsizetype NoScriptRunStart(const ExactText &text, qsizetype offset)
{
    qsizetype start = offset;
    while (start > 0 && offset - start < kLongestPiece && !ExactText::isBreak(text.at(start - 1))) {
        const bool pair
            = start >= 2 && text.at(start - 1).isLowSurrogate() && text.at(start - 2).isHighSurrogate();
        const qsizetype at = start - (pair ? 2 : 1);
        if (QChar::script(CodePointAt(text, at)) > QChar::Script_Common)
            break;
        start = at;
    }
    return start;
}

qsizetype RegionalIndicatorRunEnd(const ExactText &text, qsizetype offset)
{
    qsizetype end = offset;
    while (end + 1 < text.size() && IsRegionalIndicator(text, end))
        end += 2;
    return end;
}

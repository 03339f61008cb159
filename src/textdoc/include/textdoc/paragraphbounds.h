// Where a long paragraph may be cut into pieces without a trace: on a boundary of grapheme clusters of the
// whole paragraph, and where there is one, on a line-break opportunity. Qt finds both on the text it is
// given, so a piece alone can differ from its paragraph at its edges; these read enough of the paragraph
// around an offset to answer as the whole paragraph would.
#pragma once

#include <QtGlobal>

class ExactText;

// Whether a piece may start at exact offset `offset`: a grapheme cluster of its paragraph starts there, and
// Qt reading the piece alone finds the same clusters in it. `known` is an offset at or before it, in the same
// paragraph, known to be such a place (the paragraph's start will do).
bool IsPieceStart(const ExactText &text, qsizetype known, qsizetype offset);

// Cuts in [low, high] near `target`, all within one paragraph and after `known` (as above), those at or
// before the target first, or -1 if there is none: a line-break opportunity where a piece may start, within
// a few hundred units of the target; after a space; or just a place where a piece may start.
qsizetype LineCutNear(
    const ExactText &text, qsizetype known, qsizetype low, qsizetype target, qsizetype high);
qsizetype SpaceCutNear(
    const ExactText &text, qsizetype known, qsizetype low, qsizetype target, qsizetype high);
qsizetype ClusterCutNear(
    const ExactText &text, qsizetype known, qsizetype low, qsizetype target, qsizetype high);

// The first offset of the run of characters of no script of their own (spaces, digits, emoji, marks) that
// ends at `offset`, looking back no farther than a piece is long. Qt reads a piece that starts among them in
// the script of the character after them, so an edit at `offset` can change how such a piece reads.
qsizetype NoScriptRunStart(const ExactText &text, qsizetype offset);

// The end of the run of regional indicators that goes on from `offset`, if one does. Qt pairs them from the
// run's start, so an edit before or in the run moves every pair after it.
qsizetype RegionalIndicatorRunEnd(const ExactText &text, qsizetype offset);

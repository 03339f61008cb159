// Long paragraphs in pieces: Qt lays out a whole paragraph whenever any of it changes, so the box shows a
// paragraph longer than twice a chunk as pieces of about a chunk, cut after a space where there is one and
// joined by joints that hold no unit of the text.
#pragma once

#include <QList>
#include <QString>

#include "textdoc/coordinates.h"

class ExactText;

struct JointEdit {
    Position position;
    bool added = false; // a joint put in at the position, or else the one there taken out
    bool operator==(const JointEdit &) const = default;
};

// Cuts the pieces that positions [from, to] touch once they are longer than twice `chunk`, and joins a
// piece shorter than half of it to a neighbour of the same paragraph. The joints it adds and takes out go
// into `text` and, in order, to `edits`, for the document to follow.
void FitPieces(ExactText &text, Position from, Position to, qsizetype chunk, QList<JointEdit> &edits);

// The rules every joint keeps once the pieces are fitted: it stands inside a paragraph, between two units,
// where a grapheme cluster of the whole paragraph starts, and the pieces on both sides of it are at least
// half a chunk long. Empty if the text keeps them, else the first one broken and where.
QString BrokenJointRule(const ExactText &text, qsizetype chunk);

// The base directions that Qt gives a paragraph shown whole, which its pieces must keep, from its first
// strong character on: the keys follow QTextBlock::textDirection(), which reads inside isolates, and the
// layout QString::isRightToLeft(), which skips them. Left to right where there is none.
struct ParagraphDirections {
    Qt::LayoutDirection keys = Qt::LeftToRight;
    Qt::LayoutDirection layout = Qt::LeftToRight;
    bool operator==(const ParagraphDirections &) const = default;
};
ParagraphDirections DirectionsOf(const ExactText &text, qsizetype exactStart);

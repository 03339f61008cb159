// The text box's joints: the caret, the selection, the keys and the clicks that select words and paragraphs
// step over them as if they were not there.
#include "ui/rottextbox.h"

#include <algorithm>
#include <utility>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "textdoc/paragraphpieces.h"
#include "ui/deferredlayout.h"

namespace
{

// The far end of the units that a word rule may look at from `offset` in one direction (`step` 1 or -1):
// the run of spaces or of other units there, the run of the other kind after it, and one unit more; or, if
// that is nearer, `atLeast` units. It never goes past the paragraph.
qsizetype Reach(const ExactText &exact, qsizetype offset, qsizetype step, qsizetype atLeast)
{
    const auto next = [&](qsizetype at) {
        const qsizetype i = step > 0 ? at : at - 1;
        return i >= 0 && i < exact.size() ? exact.at(i) : QChar(QChar::ParagraphSeparator);
    };
    qsizetype at = offset;
    for (int runs = 0; !ExactText::isBreak(next(at)) && (runs < 2 || (at - offset) * step < atLeast);
         ++runs) {
        const bool space = next(at).isSpace();
        while (!ExactText::isBreak(next(at)) && next(at).isSpace() == space)
            at += step;
    }
    return ExactText::isBreak(next(at)) ? at : at + step;
}

// Qt's own cursor on the units of a paragraph around `offset`, as a box that shows the paragraph whole has
// it: runs `move` in a document of those units, which is never laid out, and gives back the offsets of the
// cursor's anchor and position. It takes more units if the move reaches the edge of those it has.
template <typename Move>
std::pair<Offset, Offset> MoveInWholeParagraph(const ExactText &exact, Offset around, Move move)
{
    const qsizetype offset = around.value();
    for (qsizetype atLeast = 0;;) {
        const qsizetype from = Reach(exact, offset, -1, atLeast);
        const qsizetype to = Reach(exact, offset, 1, atLeast);
        QTextDocument units;
        units.setPlainText(exact.mid(Offset(from), to - from));
        QTextCursor cursor(&units);
        cursor.setPosition(int(offset - from));
        move(cursor);
        const auto cutShort = [&](int at) {
            return (at == 0 && from > 0 && !ExactText::isBreak(exact.at(from - 1)))
                || (at == to - from && to < exact.size() && !ExactText::isBreak(exact.at(to)));
        };
        if (!cutShort(cursor.anchor()) && !cutShort(cursor.position()))
            return {Offset(from + cursor.anchor()), Offset(from + cursor.position())};
        atLeast = 2 * (to - from);
    }
}

} // namespace

void RotTextBox::setParagraphChunk(qsizetype units)
{
    catchUp();
    const LayoutPause pause(this);
    for (const TextDocument::Write &joint : document_.setParagraphChunk(units))
        write(joint);
    checkShown();
}

void RotTextBox::touched(Position from, qsizetype removed, qsizetype added)
{
    if (!touched_) {
        touched_ = {from, from + added};
        return;
    }
    // Positions past the change move with it; the span only grows, and is read paragraph by paragraph.
    auto &[first, last] = *touched_;
    if (last >= from)
        last = std::max(last + added - removed, from + added);
    first = std::min(first, from);
    last = std::max(last, from + added);
}

void RotTextBox::settleDirections()
{
    if (!touched_ || document_.behind())
        return;
    const auto [touchedFrom, touchedTo] = *std::exchange(touched_, std::nullopt);
    const int from = touchedFrom.toInt();
    const int to = std::min(touchedTo.toInt(), document()->characterCount() - 1);
    const ExactText &exact = document_.exact();
    const auto endsInJoint = [&](const QTextBlock &block) {
        return exact.isJoint(Position(block.position() + block.length() - 1));
    };
    QTextBlock first = document()->findBlock(from);
    while (first.position() > 0 && endsInJoint(first.previous()))
        first = first.previous();
    while (first.isValid() && first.position() <= to) {
        QTextBlock last = first;
        while (endsInJoint(last))
            last = last.next();
        // A paragraph shown whole takes its own direction as Qt finds it.
        QTextBlockFormat format;
        if (last != first) {
            const ParagraphDirections directions
                = DirectionsOf(exact, exact.toExact(Position(first.position())).value());
            format.setLayoutDirection(directions.keys);
            format.setProperty(DeferredLayout::kDirectionProperty, int(directions.layout));
        }
        for (QTextBlock block = first;; block = block.next()) {
            if (block.blockFormat() != format) {
                const QScopedValueRollback writing(writing_, true);
                QTextCursor cursor(block);
                cursor.setPosition(last.position(), QTextCursor::KeepAnchor);
                cursor.setBlockFormat(format);
                break;
            }
            if (block == last)
                break;
        }
        first = last.next();
    }
}

void RotTextBox::stepOffJoint()
{
    QTextCursor cursor = textCursor();
    const auto [start, end]
        = document_.keptOffJoints(Position(cursor.selectionStart()), Position(cursor.selectionEnd()));
    if (start.toInt() == cursor.selectionStart() && end.toInt() == cursor.selectionEnd())
        return;
    const bool forward = cursor.position() == cursor.selectionEnd();
    if (end == start) {
        cursor.setPosition(start.toInt());
    } else {
        cursor.setPosition((forward ? start : end).toInt());
        cursor.setPosition((forward ? end : start).toInt(), QTextCursor::KeepAnchor);
    }
    setTextCursor(cursor);
}

void RotTextBox::keyPressOverJoints(QKeyEvent *event)
{
    const QTextCursor before = textCursor();
    const ExactText &exact = document_.exact();
    {
        const QScopedValueRollback moving(keyMoving_, true);
        const bool deleteWord = event->matches(QKeySequence::DeleteStartOfWord)
            || event->matches(QKeySequence::DeleteEndOfWord);
        if (!before.hasSelection() && deleteWord) {
            // Qt takes out what its word move spans, which must go on over joints as the move does.
            const bool next = event->matches(QKeySequence::DeleteEndOfWord);
            QTextCursor probe = before;
            probe.movePosition(next ? QTextCursor::NextWord : QTextCursor::PreviousWord);
            const Offset from = exact.toExact(Position(before.position()));
            selectExact(from, wordMoveOverJoints(from, Position(probe.position()), next));
            stepOffJoint();
        } else if (!before.hasSelection() && exact.isJoint(Position(before.position() - 1))
            && event->key() == Qt::Key_Backspace) {
            // Backspace at a piece's start would take out the joint, not a unit: it acts from the other side.
            QTextCursor cursor = before;
            cursor.setPosition(before.position() - 1);
            setTextCursor(cursor);
        }
        const quint64 changes = changes_;
        QPlainTextEdit::keyPressEvent(event);
        // A move that only crossed a joint has not moved in the text yet: it goes once more.
        const int moved = textCursor().position();
        if (changes == changes_ && moved != before.position()
            && exact.toExact(Position(moved)) == exact.toExact(Position(before.position())))
            QPlainTextEdit::keyPressEvent(event);
        if (changes == changes_) {
            moveOverWordJoints(event, before.position());
            keepLineOffJoint(event);
        }
    }
    stepOffJoint();
    caretMoved();
}

void RotTextBox::moveOverWordJoints(QKeyEvent *event, int from)
{
    const bool select
        = event->matches(QKeySequence::SelectNextWord) || event->matches(QKeySequence::SelectPreviousWord);
    const bool right
        = event->matches(QKeySequence::SelectNextWord) || event->matches(QKeySequence::MoveToNextWord);
    if (!select && !right && !event->matches(QKeySequence::MoveToPreviousWord))
        return;
    // The keys go left and right as shown: in a right-to-left paragraph, right is back.
    const bool next = right != (document()->findBlock(from).textDirection() == Qt::RightToLeft);
    const ExactText &exact = document_.exact();
    const QTextCursor cursor = textCursor();
    const Offset moved = wordMoveOverJoints(exact.toExact(Position(from)), Position(cursor.position()), next);
    if (moved != exact.toExact(Position(cursor.position())))
        selectExact(select ? exact.toExact(Position(cursor.anchor())) : moved, moved);
}

void RotTextBox::keepLineOffJoint(QKeyEvent *event)
{
    // A move up or down that ends past a piece's short last line lands before its joint, where the caret
    // does not rest; after it is the next line's start, so the caret stays on the line, one unit back.
    static constexpr QKeySequence::StandardKey kVertical[]
        = {QKeySequence::MoveToNextLine, QKeySequence::MoveToPreviousLine, QKeySequence::SelectNextLine,
            QKeySequence::SelectPreviousLine, QKeySequence::MoveToNextPage, QKeySequence::MoveToPreviousPage,
            QKeySequence::SelectNextPage, QKeySequence::SelectPreviousPage};
    QTextCursor cursor = textCursor();
    if (!document_.exact().isJoint(Position(cursor.position())) || cursor.position() > cursor.anchor()
        || std::none_of(std::begin(kVertical), std::end(kVertical),
            [event](QKeySequence::StandardKey key) { return event->matches(key); }))
        return;
    const int x = cursor.verticalMovementX();
    cursor.movePosition(QTextCursor::PreviousCharacter,
        cursor.hasSelection() ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    cursor.setVerticalMovementX(x);
    setTextCursor(cursor);
}

Offset RotTextBox::wordMoveOverJoints(Offset from, Position reached, bool next) const
{
    // Qt's word move stops at the end of a piece; only there can it end short of a whole paragraph's.
    const ExactText &exact = document_.exact();
    if (!exact.isJoint(reached) && !exact.isJoint(reached - 1))
        return exact.toExact(reached);
    return MoveInWholeParagraph(exact, from, [next](QTextCursor &cursor) {
        cursor.movePosition(next ? QTextCursor::NextWord : QTextCursor::PreviousWord);
    }).second;
}

void RotTextBox::selectExact(Offset anchor, Offset position)
{
    // A range's end stays before a joint, and its start, or a caret, after one.
    const ExactText &exact = document_.exact();
    QTextCursor cursor = textCursor();
    cursor.setPosition(exact.toPosition(anchor, anchor > position).toInt());
    cursor.setPosition(exact.toPosition(position, position > anchor).toInt(), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void RotTextBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    doubleClicked_.start();
    doubleClickedAt_ = event->position().toPoint();
    // Qt selects the word within one piece; a word a joint cuts, or that ends at one, goes on past it.
    const QTextCursor cursor = textCursor();
    const ExactText &exact = document_.exact();
    if (!exact.isJoint(Position(cursor.selectionStart() - 1))
        && !exact.isJoint(Position(cursor.selectionEnd())))
        return;
    const Offset at = exact.toExact(Position(cursorForPosition(event->position().toPoint()).position()));
    const auto [anchor, position] = MoveInWholeParagraph(
        exact, at, [](QTextCursor &word) { word.select(QTextCursor::WordUnderCursor); });
    selectExact(anchor, position);
}

void RotTextBox::selectParagraphOverJoints()
{
    // A triple click selects Qt's paragraph, which is one piece of the user's, and its break.
    const QTextCursor cursor = textCursor();
    const ExactText &exact = document_.exact();
    QTextBlock first = document()->findBlock(cursor.selectionStart());
    QTextBlock last = first;
    while (first.position() > 0 && exact.isJoint(Position(first.position() - 1)))
        first = first.previous();
    while (exact.isJoint(Position(last.position() + last.length() - 1)))
        last = last.next();
    const int end = std::min(last.position() + last.length(), document()->characterCount() - 1);
    if (first.position() == cursor.selectionStart() && end == cursor.selectionEnd())
        return;
    QTextCursor paragraph = cursor;
    paragraph.setPosition(first.position());
    paragraph.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(paragraph);
}

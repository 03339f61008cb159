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
std::pair<qsizetype, qsizetype> MoveInWholeParagraph(const ExactText &exact, qsizetype offset, Move move)
{
    for (qsizetype atLeast = 0;;) {
        const qsizetype from = Reach(exact, offset, -1, atLeast);
        const qsizetype to = Reach(exact, offset, 1, atLeast);
        QTextDocument units;
        units.setPlainText(exact.mid(from, to - from));
        QTextCursor cursor(&units);
        cursor.setPosition(int(offset - from));
        move(cursor);
        const auto cutShort = [&](int at) {
            return (at == 0 && from > 0 && !ExactText::isBreak(exact.at(from - 1)))
                || (at == to - from && to < exact.size() && !ExactText::isBreak(exact.at(to)));
        };
        if (!cutShort(cursor.anchor()) && !cutShort(cursor.position()))
            return {from + cursor.anchor(), from + cursor.position()};
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

void RotTextBox::touched(qsizetype from, qsizetype removed, qsizetype added)
{
    if (touchedTo_ < 0) {
        touchedFrom_ = from;
        touchedTo_ = from + added;
        return;
    }
    // Positions past the change move with it; the span only grows, and is read paragraph by paragraph.
    if (touchedTo_ >= from)
        touchedTo_ = std::max(touchedTo_ + added - removed, from + added);
    touchedFrom_ = std::min(touchedFrom_, from);
    touchedTo_ = std::max(touchedTo_, from + added);
}

void RotTextBox::settleDirections()
{
    if (touchedTo_ < 0 || document_.behind())
        return;
    const int from = int(std::exchange(touchedFrom_, -1));
    const int to = int(std::min<qsizetype>(std::exchange(touchedTo_, -1), document()->characterCount() - 1));
    const ExactText &exact = document_.exact();
    const auto endsInJoint
        = [&](const QTextBlock &block) { return exact.isJoint(block.position() + block.length() - 1); };
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
            const ParagraphDirections directions = DirectionsOf(exact, exact.toExact(first.position()));
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
    // Both sides of a joint are the same place in the text. The caret rests only after a joint, and a
    // selection starts after one and ends before one, so that what an edit takes out never ends in a joint
    // that could pass for a typed break.
    QTextCursor cursor = textCursor();
    const ExactText &exact = document_.exact();
    int start = cursor.selectionStart();
    int end = cursor.selectionEnd();
    if (exact.isJoint(start))
        ++start;
    if (end > start && exact.isJoint(end - 1))
        --end;
    if (start == cursor.selectionStart() && end == cursor.selectionEnd())
        return;
    const bool forward = cursor.position() == cursor.selectionEnd();
    if (end <= start) {
        cursor.setPosition(start);
    } else {
        cursor.setPosition(forward ? start : end);
        cursor.setPosition(forward ? end : start, QTextCursor::KeepAnchor);
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
            const qsizetype from = exact.toExact(before.position());
            selectExact(from, wordMoveOverJoints(from, probe.position(), next));
            stepOffJoint();
        } else if (!before.hasSelection() && exact.isJoint(before.position() - 1)
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
            && exact.toExact(moved) == exact.toExact(before.position()))
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
    const qsizetype moved = wordMoveOverJoints(exact.toExact(from), cursor.position(), next);
    if (moved != exact.toExact(cursor.position()))
        selectExact(select ? exact.toExact(cursor.anchor()) : moved, moved);
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
    if (!document_.exact().isJoint(cursor.position()) || cursor.position() > cursor.anchor()
        || std::none_of(std::begin(kVertical), std::end(kVertical),
            [event](QKeySequence::StandardKey key) { return event->matches(key); }))
        return;
    const int x = cursor.verticalMovementX();
    cursor.movePosition(QTextCursor::PreviousCharacter,
        cursor.hasSelection() ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    cursor.setVerticalMovementX(x);
    setTextCursor(cursor);
}

qsizetype RotTextBox::wordMoveOverJoints(qsizetype from, int reached, bool next) const
{
    // Qt's word move stops at the end of a piece; only there can it end short of a whole paragraph's.
    const ExactText &exact = document_.exact();
    if (!exact.isJoint(reached) && !exact.isJoint(reached - 1))
        return exact.toExact(reached);
    return MoveInWholeParagraph(exact, from, [next](QTextCursor &cursor) {
        cursor.movePosition(next ? QTextCursor::NextWord : QTextCursor::PreviousWord);
    }).second;
}

void RotTextBox::selectExact(qsizetype anchor, qsizetype position)
{
    // A range's end stays before a joint, and its start, or a caret, after one.
    const ExactText &exact = document_.exact();
    QTextCursor cursor = textCursor();
    cursor.setPosition(int(exact.toPosition(anchor, anchor > position)));
    cursor.setPosition(int(exact.toPosition(position, position > anchor)), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void RotTextBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    lastDoubleClick_.start();
    // Qt selects the word within one piece; a word a joint cuts, or that ends at one, goes on past it.
    const QTextCursor cursor = textCursor();
    const ExactText &exact = document_.exact();
    if (!exact.isJoint(cursor.selectionStart() - 1) && !exact.isJoint(cursor.selectionEnd()))
        return;
    const qsizetype at = exact.toExact(cursorForPosition(event->position().toPoint()).position());
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
    while (first.position() > 0 && exact.isJoint(first.position() - 1))
        first = first.previous();
    while (exact.isJoint(last.position() + last.length() - 1))
        last = last.next();
    const int end = std::min(last.position() + last.length(), document()->characterCount() - 1);
    if (first.position() == cursor.selectionStart() && end == cursor.selectionEnd())
        return;
    QTextCursor paragraph = cursor;
    paragraph.setPosition(first.position());
    paragraph.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(paragraph);
}

// The text box's joints: the caret, the selection and the keys step over them as if they were not there.
#include "ui/rottextbox.h"

#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QTextCursor>

void RotTextBox::setParagraphChunk(qsizetype units)
{
    catchUp();
    const LayoutPause pause(this);
    for (const TextDocument::Write &joint : document_.setParagraphChunk(units))
        write(joint);
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
        // Backspace at a piece's start would take out the joint, not a unit: it acts from the other side.
        if (!before.hasSelection() && exact.isJoint(before.position() - 1)
            && (event->key() == Qt::Key_Backspace || event->matches(QKeySequence::DeleteStartOfWord))) {
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
        if (changes == changes_)
            moveOverWordJoints(event);
    }
    stepOffJoint();
    caretMoved();
}

void RotTextBox::moveOverWordJoints(QKeyEvent *event)
{
    // A piece cut inside a word, where no space was near, ends no word: word moves go on over it.
    const bool select
        = event->matches(QKeySequence::SelectNextWord) || event->matches(QKeySequence::SelectPreviousWord);
    const bool next
        = event->matches(QKeySequence::SelectNextWord) || event->matches(QKeySequence::MoveToNextWord);
    if (!select && !next && !event->matches(QKeySequence::MoveToPreviousWord))
        return;
    const ExactText &exact = document_.exact();
    QTextCursor cursor = textCursor();
    // Inside an edit block the cursor does not lay out each piece it crosses to find its x.
    cursor.beginEditBlock();
    for (int at = -1; at != cursor.position();) {
        at = cursor.position();
        const qsizetype offset = exact.toExact(at);
        const bool atJoint = exact.isJoint(at) || exact.isJoint(at - 1);
        if (!atJoint || offset == 0 || offset == exact.size() || exact.at(offset - 1).isSpace()
            || exact.at(offset).isSpace())
            break;
        cursor.movePosition(next ? QTextCursor::NextWord : QTextCursor::PreviousWord,
            select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    }
    cursor.endEditBlock();
    if (cursor != textCursor())
        setTextCursor(cursor);
}

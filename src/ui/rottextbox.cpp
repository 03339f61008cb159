// The working text box: keys, mouse, mime data and the context menu, kept in step with the exact text and
// its undo history.
#include "ui/rottextbox.h"

#include <algorithm>
#include <utility>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>

#include "ui/deferredlayout.h"

namespace
{
// Word wrapping searches to the end of an unbreakable run for every line, so a long run costs time
// quadratic in its length; past this many characters wrapping anywhere looks the same and stays fast.
constexpr qsizetype kLongestWrappableRun = 1000;
} // namespace

RotTextBox::RotTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
    , model_(kLongestWrappableRun)
    , shown_(kLongestWrappableRun)
{
    auto *document = new QTextDocument(this);
    // Qt's undo would keep every replaced text, and it loses which break began each paragraph.
    document->setUndoRedoEnabled(false);
    layout_ = new DeferredLayout(document);
    document->setDocumentLayout(layout_);
    setDocument(document);

    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    connect(document, &QTextDocument::contentsChange, this, &RotTextBox::follow);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &RotTextBox::caretMoved);
    connect(this, &QPlainTextEdit::selectionChanged, this, &RotTextBox::caretMoved);
}

RotTextBox::~RotTextBox()
{
    // The document outlives this part of the box and still reports its changes while it is taken down.
    disconnect(document(), nullptr, this, nullptr);
}

void RotTextBox::replaceAll(const QString &text)
{
    history_.closeTyping();
    if (text == model_.text()) {
        placeCaret(0);
        return;
    }
    QString before = groupDepth_ == 0 ? model_.text() : QString();
    if (layout_->paused()) {
        // Nothing is shown under a pause, so the document takes only the last of many writes, when the
        // pause ends; the box's text and its change signal follow every write at once.
        if (!documentBehind_)
            shown_ = model_;
        documentBehind_ = true;
        model_.assign(text);
        emit textChanged();
    } else {
        write(0, model_.positions(), text);
    }
    if (groupDepth_ == 0)
        history_.record({0, text.size(), std::move(before), false});
    placeCaret(0);
}

void RotTextBox::replaceSelection(const QString &text)
{
    history_.closeTyping();
    catchUpDocument();
    const QTextCursor cursor = textCursor();
    const qsizetype from = cursor.selectionStart();
    const qsizetype exactFrom = model_.toExact(from);
    QString removed = model_.mid(exactFrom, model_.toExact(cursor.selectionEnd()) - exactFrom);
    write(from, cursor.selectionEnd(), text);
    if (groupDepth_ == 0 && removed != text)
        history_.record({exactFrom, text.size(), std::move(removed), false});
    // The write may have cut or joined pieces before the caret's place.
    placeCaret(model_.toPosition(exactFrom + text.size(), false));
}

int RotTextBox::selectionLength() const
{
    if (documentBehind_)
        return 0;
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart()
        - (model_.jointsBelow(cursor.selectionEnd()) - model_.jointsBelow(cursor.selectionStart()));
}

QString RotTextBox::selectedText() const
{
    if (documentBehind_)
        return QString();
    const QTextCursor cursor = textCursor();
    const qsizetype from = model_.toExact(cursor.selectionStart());
    return model_.mid(from, model_.toExact(cursor.selectionEnd()) - from);
}

void RotTextBox::undo()
{
    history_.closeTyping();
    if (history_.canUndo())
        swap(history_.takeUndo(), &EditHistory::pushRedo);
}

void RotTextBox::redo()
{
    history_.closeTyping();
    if (history_.canRedo())
        swap(history_.takeRedo(), &EditHistory::pushUndo);
}

void RotTextBox::swap(EditHistory::Step step, void (EditHistory::*keep)(EditHistory::Step))
{
    catchUpDocument();
    // A write that kept the text may have joined a lone CR and an LF into one CR LF break; a step's edge
    // inside it widens to take in the whole break.
    const qsizetype from = model_.toPosition(step.from, false);
    const qsizetype to = std::max(from, model_.toPosition(step.from + step.length, true));
    const qsizetype exactFrom = model_.toExact(from);
    const qsizetype exactTo = model_.toExact(to);
    const qsizetype end = step.from + step.length;
    QString other = std::move(step.other);
    if (exactFrom < step.from)
        other.prepend(model_.mid(exactFrom, step.from - exactFrom));
    if (exactTo > end)
        other.append(model_.mid(end, exactTo - end));
    QString current = model_.mid(exactFrom, exactTo - exactFrom);
    const bool whole = from == 0 && to == model_.positions();
    write(from, to, other);
    (history_.*keep)({exactFrom, other.size(), std::move(current), false});
    placeCaret(whole ? 0 : model_.toPosition(exactFrom + other.size(), false));
}

void RotTextBox::write(qsizetype from, qsizetype to, const QString &text)
{
    const LayoutPause pause(this);
    const QScopedValueRollback writing(writing_, true);
    ++changes_;
    QTextCursor cursor(document());
    // Inside an edit block a cursor does not lay out its paragraph to find its x, which on one huge
    // paragraph costs more than the write. The model is brought up to date before the block ends and the
    // change signals run.
    cursor.beginEditBlock();
    cursor.setPosition(int(from));
    cursor.setPosition(int(to), QTextCursor::KeepAnchor);
    cursor.insertText(text);
    // A whole text is shared, not copied into the model's buffer.
    if (from == 0 && to == model_.positions())
        model_.assign(text);
    else
        model_.replace(from, to - from, text);
    fitPieces(from, from + ExactText::positionsOf(text));
    cursor.endEditBlock();
}

void RotTextBox::follow(int from, int removed, int added)
{
    if (writing_)
        return;
    // Qt counts the closing paragraph mark when a change reaches the end of the document.
    const qsizetype over = std::max<qsizetype>(0, from + removed - model_.positions());
    removed -= int(over);
    added -= int(over);
    // Qt also reports a paragraph's new format, as positions removed and added again. What still shows the
    // same is kept: first at the range's end, then at its start, so that of two breaks side by side the
    // one typed is the new one. A joint shows as a break too; the box keeps joints off the edges of a
    // selection, so what an edit takes out never ends in a joint that could pass for a typed break.
    const QTextDocument *shown = document();
    const auto kept = [&](qsizetype position, int shownPosition) {
        return model_.shownAt(position) == shown->characterAt(shownPosition);
    };
    int tail = 0;
    while (tail < removed && tail < added && kept(from + removed - 1 - tail, from + added - 1 - tail))
        ++tail;
    int head = 0;
    while (head < removed - tail && head < added - tail && kept(from + head, from + head))
        ++head;
    from += head;
    removed -= head + tail;
    added -= head + tail;
    if (removed == 0 && added == 0)
        return;
    // The box writes everything but what the user types or cuts, so what was added here is typed text.
    const QString addedText = documentText(from, added);
    const qsizetype exactFrom = model_.toExact(from);
    QString removedText = model_.replace(from, removed, addedText);
    ++changes_;
    // The caret after what was typed, moved on by the joints put in or taken out before it.
    qsizetype caret = from + added;
    for (const JointEdit &joint : fitPieces(from, from + added)) {
        if (joint.added && joint.position <= caret)
            ++caret;
        else if (!joint.added && joint.position < caret)
            --caret;
    }
    if (model_.isJoint(caret))
        ++caret;
    if (!layout_->paused())
        chooseWrapMode();
    if (groupDepth_ > 0 || removedText == addedText)
        return;
    const bool typing = keyTyping_ && removed + added == 1;
    history_.record({exactFrom, addedText.size(), std::move(removedText), typing});
    typingCaret_ = typing ? caret : -1;
}

QString RotTextBox::documentText(int from, int length) const
{
    // Enter makes a paragraph break, which the box keeps as LF.
    QString text(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i) {
        const QChar c = document()->characterAt(from + i);
        text[i] = c == QChar::ParagraphSeparator ? QChar(u'\n') : c;
    }
    return text;
}

QList<JointEdit> RotTextBox::fitPieces(qsizetype from, qsizetype to)
{
    QList<JointEdit> joints;
    FitPieces(model_, from, to, chunk_, joints);
    if (joints.isEmpty())
        return joints;
    ++changes_;
    const QScopedValueRollback writing(writing_, true);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const JointEdit &joint : joints) {
        cursor.setPosition(int(joint.position));
        if (joint.added) {
            cursor.insertBlock();
        } else {
            cursor.setPosition(int(joint.position) + 1, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
    }
    cursor.endEditBlock();
    return joints;
}

void RotTextBox::setParagraphChunk(qsizetype units)
{
    chunk_ = units;
    catchUpDocument();
    const LayoutPause pause(this);
    fitPieces(0, model_.positions());
}

void RotTextBox::stepOffJoint()
{
    // Both sides of a joint are the same place in the text. The caret rests only after a joint, and a
    // selection starts after one and ends before one, so it never holds a joint at its edge.
    QTextCursor cursor = textCursor();
    int start = cursor.selectionStart();
    int end = cursor.selectionEnd();
    if (model_.isJoint(start))
        ++start;
    if (end > start && model_.isJoint(end - 1))
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

void RotTextBox::caretMoved()
{
    // A key's own moves are settled when it is done.
    if (keyMoving_)
        return;
    if (!writing_ && !documentBehind_)
        stepOffJoint();
    // Typing goes on in one step only while the caret stays where the last typed character left it.
    const QTextCursor cursor = textCursor();
    if (cursor.position() != typingCaret_ || cursor.hasSelection()) {
        history_.closeTyping();
        typingCaret_ = -1;
    }
}

void RotTextBox::placeCaret(qsizetype position)
{
    // Placing the caret lays out the paragraph it is in, so under an outer pause that waits for its end.
    if (layout_->paused()) {
        pendingCaret_ = position;
        return;
    }
    QTextCursor cursor(document());
    cursor.setPosition(int(position));
    setTextCursor(cursor);
}

void RotTextBox::catchUpDocument()
{
    if (!documentBehind_)
        return;
    documentBehind_ = false;
    ExactText shown = std::exchange(shown_, ExactText(kLongestWrappableRun));
    // The same text keeps the document's own breaks, which a fresh write might read otherwise.
    if (shown.text() == model_.text()) {
        model_ = std::move(shown);
        return;
    }
    // Its change signal already ran for this text.
    const QSignalBlocker quiet(this);
    const QString text = model_.text();
    model_ = std::move(shown);
    write(0, model_.positions(), text);
}

void RotTextBox::chooseWrapMode()
{
    const auto mode
        = model_.longRuns() > 0 ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (wordWrapMode() != mode)
        setWordWrapMode(mode);
}

void RotTextBox::keyPressEvent(QKeyEvent *event)
{
    // A key that changes one position with nothing selected is typing; a cut of one character is not.
    const bool selection = textCursor().hasSelection();
    if (selection)
        history_.closeTyping();
    const QScopedValueRollback keying(keyTyping_, !selection);
    const bool ctrlY = event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier;
    if (event->matches(QKeySequence::Undo))
        undo();
    else if (event->matches(QKeySequence::Redo) || ctrlY)
        redo();
    else
        keyPressOverJoints(event);
    emit keyPressed();
}

void RotTextBox::keyPressOverJoints(QKeyEvent *event)
{
    const QTextCursor before = textCursor();
    const bool atPieceStart = !before.hasSelection() && model_.isJoint(before.position() - 1);
    {
        const QScopedValueRollback moving(keyMoving_, true);
        // Backspace there would take out the joint, not a unit: it acts from the joint's other side.
        if (atPieceStart
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
            && model_.toExact(moved) == model_.toExact(before.position()))
            QPlainTextEdit::keyPressEvent(event);
    }
    stepOffJoint();
    caretMoved();
}

void RotTextBox::keyReleaseEvent(QKeyEvent *event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    emit keyReleased();
}

void RotTextBox::mousePressEvent(QMouseEvent *event)
{
    history_.closeTyping();
    QPlainTextEdit::mousePressEvent(event);
}

void RotTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    emit mouseReleased();
}

QMenu *RotTextBox::createStandardContextMenu(const QPoint &position)
{
    QMenu *menu = QPlainTextEdit::createStandardContextMenu(position);
    const struct {
        const char *name;
        void (RotTextBox::*act)();
        bool enabled;
    } replaced[] = {{"edit-undo", &RotTextBox::undo, canUndo()}, {"edit-redo", &RotTextBox::redo, canRedo()}};
    for (const auto &[name, act, enabled] : replaced) {
        QAction *standard = menu->findChild<QAction *>(QLatin1String(name));
        if (!standard)
            continue;
        auto *own = new QAction(standard->icon(), standard->text(), menu);
        own->setObjectName(standard->objectName());
        own->setEnabled(enabled);
        connect(own, &QAction::triggered, this, act);
        menu->insertAction(standard, own);
        delete standard;
    }
    return menu;
}

void RotTextBox::contextMenuEvent(QContextMenuEvent *event)
{
    history_.closeTyping();
    QMenu *menu = createStandardContextMenu(event->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

bool RotTextBox::canInsertFromMimeData(const QMimeData *source) const
{
    // Plain text only: a dropped file is neither read nor turned into its path, an image is ignored.
    const QList<QUrl> urls = source->urls();
    const bool carriesFiles
        = std::any_of(urls.begin(), urls.end(), [](const QUrl &url) { return url.isLocalFile(); });
    return source->hasText() && !carriesFiles;
}

void RotTextBox::insertFromMimeData(const QMimeData *source)
{
    if (canInsertFromMimeData(source))
        replaceSelection(source->text());
    ensureCursorVisible();
}

QMimeData *RotTextBox::createMimeDataFromSelection() const
{
    auto *mime = new QMimeData;
    mime->setText(selectedText());
    return mime;
}

void RotTextBox::dropEvent(QDropEvent *event)
{
    // Qt would take a moved selection out and put the drop in as one change that mixes both; the box writes
    // them itself, so that it knows every unit, and records them as one undo step.
    QDragLeaveEvent leave;
    QPlainTextEdit::dragLeaveEvent(&leave);
    const QMimeData *mime = event->mimeData();
    if (!canInsertFromMimeData(mime)) {
        event->ignore();
        return;
    }
    catchUpDocument();
    history_.closeTyping();
    const qsizetype at = cursorForPosition(event->position().toPoint()).position();
    const QTextCursor selection = textCursor();
    const bool ownMove = (event->source() == this || event->source() == viewport())
        && event->dropAction() == Qt::MoveAction && selection.hasSelection();
    if (!ownMove) {
        QTextCursor cursor(document());
        cursor.setPosition(int(at));
        setTextCursor(cursor);
        replaceSelection(mime->text());
        event->acceptProposedAction();
        return;
    }
    // The drag's source removes nothing itself once the drop reports a copy.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (at >= selection.selectionStart() && at <= selection.selectionEnd())
        return;
    moveWithin(at);
}

void RotTextBox::moveWithin(qsizetype to)
{
    const QTextCursor selection = textCursor();
    const qsizetype from = selection.selectionStart();
    const qsizetype end = selection.selectionEnd();
    const qsizetype spanFrom = model_.toExact(std::min(from, to));
    const qsizetype spanTo = model_.toExact(std::max(end, to));
    QString span = model_.mid(spanFrom, spanTo - spanFrom);
    const qsizetype exactFrom = model_.toExact(from);
    const QString moved = model_.mid(exactFrom, model_.toExact(end) - exactFrom);
    const qsizetype exactTo = model_.toExact(to);
    const qsizetype exactTarget = to > end ? exactTo - moved.size() : exactTo;
    write(from, end, QString());
    const qsizetype target = model_.toPosition(exactTarget, false);
    write(target, target, moved);
    history_.record({spanFrom, spanTo - spanFrom, std::move(span), false});
    placeCaret(model_.toPosition(exactTarget + moved.size(), false));
}

RotTextBox::LayoutPause::LayoutPause(RotTextBox *box)
    : box_(box)
{
    box_->layout_->pause();
}

RotTextBox::LayoutPause::~LayoutPause()
{
    // The wrap mode is settled before the one layout that follows, so a long run is never word-wrapped.
    if (box_->layout_->depth() == 1) {
        box_->catchUpDocument();
        box_->chooseWrapMode();
    }
    box_->layout_->resume();
    if (!box_->layout_->paused() && box_->pendingCaret_ >= 0)
        box_->placeCaret(std::exchange(box_->pendingCaret_, -1));
}

RotTextBox::EditGroup::EditGroup(RotTextBox *box)
    : box_(box)
{
    if (box_->groupDepth_++ == 0)
        box_->groupStart_ = box_->model_.text();
}

RotTextBox::EditGroup::~EditGroup()
{
    if (--box_->groupDepth_ > 0)
        return;
    box_->history_.closeTyping();
    QString start = std::exchange(box_->groupStart_, QString());
    if (box_->model_.text() != start)
        box_->history_.record({0, box_->model_.size(), std::move(start), false});
}

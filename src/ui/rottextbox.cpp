// The working text box's view: keys, mouse, mime data, drops and the context menu, and the changes passed
// to and from its TextDocument.
#include "ui/rottextbox.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>

#include "textdoc/contract.h"
#include "ui/deferredlayout.h"
#include "ui/rottextboxaccessible.h"

namespace
{
// Word wrapping searches to the end of a word for every line, so an overlong word costs time
// quadratic in its length; past this many characters wrapping anywhere looks the same and stays fast.
constexpr qsizetype kLongestWrappableWord = 1000;
} // namespace

RotTextBox::RotTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
    , document_(kHistoryBudget)
    , overlongWords_(kLongestWrappableWord)
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
    RotTextBoxAccessible::install();
    // An event sent while the plain text box under this one was built made Qt's own interface for it.
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(this);
        !dynamic_cast<RotTextBoxAccessible *>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    connect(document, &QTextDocument::contentsChange, this, &RotTextBox::takeUserChange);
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
    const TextDocument::Edit edit = document_.replaceAll(text, layout_->paused());
    // Under a pause the document shows only the last of many writes, when the pause ends; the box's text
    // and its change signal follow every write at once.
    if (edit.heldBack)
        emit textChanged();
    apply(edit);
}

void RotTextBox::replaceSelection(const QString &text)
{
    catchUp();
    const QTextCursor cursor = textCursor();
    apply(document_.replace(Position(cursor.selectionStart()), Position(cursor.selectionEnd()), text));
}

int RotTextBox::selectionLength() const
{
    if (document_.behind())
        return 0;
    const QTextCursor cursor = textCursor();
    const ExactText &exact = document_.exact();
    return int(exact.shownOffset(Position(cursor.selectionEnd()))
        - exact.shownOffset(Position(cursor.selectionStart())));
}

QString RotTextBox::selectedText() const
{
    if (document_.behind())
        return QString();
    const QTextCursor cursor = textCursor();
    const ExactText &exact = document_.exact();
    const Offset from = exact.toExact(Position(cursor.selectionStart()));
    return exact.mid(from, exact.toExact(Position(cursor.selectionEnd())) - from);
}

void RotTextBox::undo()
{
    catchUp();
    apply(document_.undo());
}

void RotTextBox::redo()
{
    catchUp();
    apply(document_.redo());
}

void RotTextBox::apply(const TextDocument::Edit &edit)
{
    followChanges();
    // One layout for all the writes: a text and the joints that cut it into pieces.
    const LayoutPause pause(this);
    for (const TextDocument::Write &each : edit.writes)
        write(each);
    checkShown();
    if (edit.caret)
        placeCaret(*edit.caret);
}

void RotTextBox::write(const TextDocument::Write &write)
{
    const LayoutPause pause(this);
    const QScopedValueRollback writing(writing_, true);
    ++changes_;
    QTextCursor cursor(document());
    // Inside an edit block a cursor does not lay out its paragraph to find its x, which on one huge
    // paragraph costs more than the write.
    cursor.beginEditBlock();
    cursor.setPosition(write.from.toInt());
    cursor.setPosition(write.to.toInt(), QTextCursor::KeepAnchor);
    cursor.insertText(write.text);
    cursor.endEditBlock();
    touched(write.from, write.to - write.from, ExactText::positionsOf(write.text));
}

void RotTextBox::takeUserChange(int from, int removed, int added)
{
    if (writing_)
        return;
    // Read as the document shows it; a change that reaches the end counts the closing paragraph mark,
    // which no cursor selects.
    QTextCursor cursor(document());
    cursor.setPosition(from);
    cursor.setPosition(std::min(from + added, document()->characterCount() - 1), QTextCursor::KeepAnchor);
    QString shown = cursor.selectedText();
    shown.resize(added, QChar::ParagraphSeparator);
    ++changes_;
    // The pieces follow at once; Qt lays out what changed when this returns.
    touched(Position(from), removed, added);
    const std::vector<TextDocument::Write> joints
        = document_.userChanged(Position(from), removed, shown, keyTyping_);
    followChanges();
    for (const TextDocument::Write &joint : joints)
        write(joint);
    checkShown();
    if (!layout_->paused()) {
        chooseWrapMode();
        settleDirections();
        announceChanges();
    }
}

void RotTextBox::caretMoved()
{
    // A key's own moves are settled when it is done.
    if (keyMoving_)
        return;
    if (!writing_ && !document_.behind())
        stepOffJoint();
    const QTextCursor cursor = textCursor();
    document_.caretMoved(Position(cursor.position()), cursor.hasSelection());
}

void RotTextBox::followChanges()
{
    std::vector<TextDocument::Change> changes = document_.takeChanges();
    if (changes.empty())
        return;
    for (const TextDocument::Change &change : changes) {
        // Many whole-text writes in a row cost no scan each: only the last is counted, when asked.
        if (change.whole) {
            uncounted_ = change.added;
            continue;
        }
        countWholeText();
        // Right after the change, while the text around it is as the change left it.
        overlongWords_.follow(document_.exact(), change.from, change.removed, change.added);
    }
    if (QAccessible::isActive())
        unannounced_.insert(unannounced_.end(), std::make_move_iterator(changes.begin()),
            std::make_move_iterator(changes.end()));
}

void RotTextBox::countWholeText()
{
    if (uncounted_)
        overlongWords_.countIn(*std::exchange(uncounted_, std::nullopt));
}

void RotTextBox::announceChanges()
{
    if (document_.behind() || unannounced_.empty())
        return;
    const std::vector<TextDocument::Change> changes = std::exchange(unannounced_, {});
    // A run of whole-text writes, as a command makes under a pause, is told as the one write that shows.
    if (std::all_of(changes.begin(), changes.end(), [](const auto &change) { return change.whole; })) {
        RotTextBoxAccessible::announce(this, 0, changes.front().removed, changes.back().added);
        return;
    }
    const ExactText &exact = document_.exact();
    for (const TextDocument::Change &change : changes)
        RotTextBoxAccessible::announce(
            this, int(exact.shownOffset(exact.toPosition(change.from, false))), change.removed, change.added);
}

void RotTextBox::placeCaret(Position position)
{
    // Placing the caret lays out the paragraph it is in, so under an outer pause that waits for its end.
    if (layout_->paused()) {
        pendingCaret_ = position;
        return;
    }
    QTextCursor cursor(document());
    cursor.setPosition(position.toInt());
    setTextCursor(cursor);
}

void RotTextBox::catchUp()
{
    // The change signal already ran for this text.
    const QSignalBlocker quiet(this);
    const LayoutPause pause(this);
    const std::vector<TextDocument::Write> writes = document_.catchUp();
    for (const TextDocument::Write &each : writes)
        write(each);
    // Called at the end of every pause, also between the writes of one change.
    if (!writes.empty())
        checkShown();
}

void RotTextBox::checkShown() const
{
    if constexpr (Contract::kChecked)
        document_.checkShown(document()->toRawText());
}

void RotTextBox::chooseWrapMode()
{
    countWholeText();
    const auto mode
        = overlongWords_.count() > 0 ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (wordWrapMode() != mode)
        setWordWrapMode(mode);
}

void RotTextBox::keyPressEvent(QKeyEvent *event)
{
    // A key with nothing selected types or deletes, and may join a burst; one over a selection, even a cut
    // of one character, is a step of its own.
    const bool selection = textCursor().hasSelection();
    if (selection)
        document_.endTyping();
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

void RotTextBox::keyReleaseEvent(QKeyEvent *event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    emit keyReleased();
}

void RotTextBox::mousePressEvent(QMouseEvent *event)
{
    document_.endTyping();
    const QTextCursor before = textCursor();
    QPlainTextEdit::mousePressEvent(event);
    // Qt's triple click selects one of its paragraphs, a piece of the user's. A press that leaves a new
    // selection without Shift is one; so is a press by Qt's rules (soon after a double click and near it)
    // that leaves the selection as it was, where the double click had selected that piece already.
    const QTextCursor after = textCursor();
    const bool moved = after.anchor() != before.anchor() || after.position() != before.position();
    const bool soonAndNear = doubleClicked_.isValid()
        && doubleClicked_.elapsed() < QApplication::doubleClickInterval()
        && (event->position().toPoint() - doubleClickedAt_).manhattanLength()
            < QApplication::startDragDistance();
    if (after.hasSelection() && !(event->modifiers() & Qt::ShiftModifier) && (moved || soonAndNear))
        selectParagraphOverJoints();
}

void RotTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    emit mouseReleased();
}

RotTextBox::LayoutPause::LayoutPause(RotTextBox *box)
    : box_(box)
{
    box_->layout_->pause();
}

RotTextBox::LayoutPause::~LayoutPause()
{
    // The wrap mode is settled before the one layout that follows, so an overlong word is never word-wrapped.
    if (box_->layout_->depth() == 1) {
        box_->catchUp();
        box_->chooseWrapMode();
        box_->settleDirections();
        box_->announceChanges();
    }
    box_->layout_->resume();
    if (!box_->layout_->paused() && box_->pendingCaret_)
        box_->placeCaret(*std::exchange(box_->pendingCaret_, std::nullopt));
}

RotTextBox::EditGroup::EditGroup(RotTextBox *box)
    : box_(box)
{
    box_->document_.beginGroup();
}

RotTextBox::EditGroup::~EditGroup()
{
    box_->document_.endGroup();
}

// The working text box as a screen reader reads it: offsets of the text without joints.
#include "ui/rottextboxaccessible.h"

#include <QFontMetrics>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "ui/rottextbox.h"

namespace
{

// The text as Qt's document shows it to a screen reader: every line break one '\n'; `plain` also turns line
// separators into '\n' and no-break spaces into spaces, as QTextDocument::toPlainText() does.
QString Shown(QStringView units, bool plain)
{
    QString shown;
    shown.reserve(units.size());
    for (qsizetype i = 0; i < units.size(); ++i) {
        const QChar c = units[i];
        if (ExactText::isBreak(c)) {
            i += c == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n';
            shown += u'\n';
        } else if (plain && c == QChar::LineSeparator) {
            shown += u'\n';
        } else {
            shown += plain && c == QChar::Nbsp ? QChar(u' ') : c;
        }
    }
    return shown;
}

// The box reports its text's changes itself; the ones its Qt control sends count joints.
bool sendingOwn = false;
QAccessible::UpdateHandler passOn = nullptr;

void FilterUpdates(QAccessibleEvent *event)
{
    const QAccessible::Event type = event->type();
    const bool textChange = type == QAccessible::TextInserted || type == QAccessible::TextRemoved
        || type == QAccessible::TextUpdated;
    if (textChange && !sendingOwn && qobject_cast<RotTextBox *>(event->object()))
        return;
    if (passOn) {
        passOn(event);
        return;
    }
    // Qt's own delivery runs when no handler is installed.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(FilterUpdates);
}

QAccessibleInterface *Create(const QString &className, QObject *object)
{
    if (className == QLatin1String("RotTextBox"))
        return new RotTextBoxAccessible(static_cast<RotTextBox *>(object));
    return nullptr;
}

} // namespace

RotTextBoxAccessible::RotTextBoxAccessible(RotTextBox *box)
    : QAccessibleWidget(box, QAccessible::EditableText)
{
}

void RotTextBoxAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(Create);
        passOn = QAccessible::installUpdateHandler(FilterUpdates);
        return true;
    }();
    Q_UNUSED(installed);
}

RotTextBox *RotTextBoxAccessible::box() const
{
    return static_cast<RotTextBox *>(widget());
}

QAccessible::State RotTextBoxAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.selectableText = true;
    state.multiLine = true;
    state.readOnly = box()->isReadOnly();
    state.editable = !box()->isReadOnly();
    return state;
}

QString RotTextBoxAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Value)
        return QAccessibleWidget::text(t);
    return Shown(box()->text(), true);
}

void *RotTextBoxAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

void RotTextBoxAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    const QTextCursor cursor = box()->textCursor();
    if (selectionIndex != 0 || !cursor.hasSelection() || box()->behind())
        return;
    *startOffset = int(box()->exact().shownOffset(Position(cursor.selectionStart())));
    *endOffset = int(box()->exact().shownOffset(Position(cursor.selectionEnd())));
}

int RotTextBoxAccessible::selectionCount() const
{
    return box()->textCursor().hasSelection() ? 1 : 0;
}

void RotTextBoxAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void RotTextBoxAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = box()->textCursor();
    cursor.clearSelection();
    box()->setTextCursor(cursor);
}

void RotTextBoxAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0 || box()->behind())
        return;
    QTextCursor cursor = box()->textCursor();
    cursor.setPosition(box()->exact().positionOfShown(startOffset).toInt());
    cursor.setPosition(box()->exact().positionOfShown(endOffset).toInt(), QTextCursor::KeepAnchor);
    box()->setTextCursor(cursor);
}

int RotTextBoxAccessible::cursorPosition() const
{
    return box()->behind() ? 0 : int(box()->exact().shownOffset(Position(box()->textCursor().position())));
}

void RotTextBoxAccessible::setCursorPosition(int position)
{
    setSelection(0, position, position);
}

QString RotTextBoxAccessible::text(int startOffset, int endOffset) const
{
    const ExactText &exact = box()->exact();
    const Offset from = exact.toExact(exact.positionOfShown(startOffset));
    const Offset to = exact.toExact(exact.positionOfShown(endOffset));
    return to > from ? Shown(exact.mid(from, to - from), false) : QString();
}

int RotTextBoxAccessible::characterCount() const
{
    const ExactText &exact = box()->exact();
    return int(exact.shownOffset(exact.positions()));
}

QPair<int, int> RotTextBoxAccessible::boundaries(int offset, QAccessible::TextBoundaryType type) const
{
    const ExactText &exact = box()->exact();
    if (type == QAccessible::NoBoundary || box()->behind())
        return {0, characterCount()};
    const int position = exact.positionOfShown(offset).toInt();
    if (type == QAccessible::LineBoundary) {
        // Lines are as shown, where a piece's last line may end early.
        QTextCursor cursor(box()->document());
        cursor.setPosition(position);
        const QPair<int, int> line = QAccessible::qAccessibleTextBoundaryHelper(cursor, type);
        return {int(exact.shownOffset(Position(line.first))), int(exact.shownOffset(Position(line.second)))};
    }
    // Characters, words, sentences and paragraphs as Qt finds them in the paragraph shown whole.
    QTextBlock first = box()->document()->findBlock(position);
    QTextBlock last = first;
    while (first.position() > 0 && exact.isJoint(Position(first.position() - 1)))
        first = first.previous();
    while (exact.isJoint(Position(last.position() + last.length() - 1)))
        last = last.next();
    const int start = int(exact.shownOffset(Position(first.position())));
    const int end = int(exact.shownOffset(Position(last.position() + last.length() - 1)));
    if (type == QAccessible::CharBoundary && offset >= end)
        return {offset, std::min(offset + 1, characterCount())};
    const Offset units = exact.toExact(Position(first.position()));
    QTextDocument paragraph;
    paragraph.setPlainText(
        exact.mid(units, exact.toExact(Position(last.position() + last.length() - 1)) - units));
    QTextCursor cursor(&paragraph);
    cursor.setPosition(offset - start);
    const QPair<int, int> found = QAccessible::qAccessibleTextBoundaryHelper(cursor, type);
    return {start + found.first, start + found.second};
}

QString RotTextBoxAccessible::textBeforeOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset, int *endOffset) const
{
    const QPair<int, int> at = boundaries(offset, boundaryType);
    // Before the first, Qt's own boxes answer with the first.
    const QPair<int, int> before = boundaries(std::max(at.first - 1, 0), boundaryType);
    *startOffset = before.first;
    *endOffset = before.second;
    return text(before.first, before.second);
}

QString RotTextBoxAccessible::textAfterOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset, int *endOffset) const
{
    const QPair<int, int> at = boundaries(offset, boundaryType);
    const QPair<int, int> after = boundaries(at.second, boundaryType);
    *startOffset = after.first;
    *endOffset = after.second;
    return text(after.first, after.second);
}

QString RotTextBoxAccessible::textAtOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset, int *endOffset) const
{
    const QPair<int, int> at = boundaries(offset, boundaryType);
    *startOffset = at.first;
    *endOffset = at.second;
    return text(at.first, at.second);
}

QRect RotTextBoxAccessible::characterRect(int offset) const
{
    if (box()->behind())
        return QRect();
    QTextCursor cursor(box()->document());
    cursor.setPosition(box()->exact().positionOfShown(offset).toInt());
    const QRect caret = box()->cursorRect(cursor);
    const QFontMetrics metrics(box()->document()->defaultFont());
    const QRect rect(
        caret.left(), caret.top(), metrics.horizontalAdvance(text(offset, offset + 1)), caret.height());
    return QRect(box()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

int RotTextBoxAccessible::offsetAtPoint(const QPoint &point) const
{
    if (box()->behind())
        return -1;
    const QPoint at = box()->viewport()->mapFromGlobal(point);
    if (!box()->viewport()->rect().contains(at))
        return -1;
    return int(box()->exact().shownOffset(Position(box()->cursorForPosition(at).position())));
}

void RotTextBoxAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    setSelection(0, startIndex, endIndex);
    box()->ensureCursorVisible();
}

QString RotTextBoxAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    // One font throughout: no run has attributes of its own.
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}

void RotTextBoxAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void RotTextBoxAccessible::insertText(int offset, const QString &text)
{
    replaceText(offset, offset, text);
}

void RotTextBoxAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    if (box()->isReadOnly())
        return;
    setSelection(0, startOffset, endOffset);
    box()->replaceSelection(text);
}

void RotTextBoxAccessible::announce(RotTextBox *box, int from, const QString &removed, const QString &added)
{
    // As Qt's control says it: what was removed as as many spaces, what was added with its breaks.
    const QString gone(ExactText::positionsOf(removed), u' ');
    QString shown = Shown(added, false);
    shown.replace(u'\n', QChar::ParagraphSeparator);
    sendingOwn = true;
    if (gone.isEmpty()) {
        QAccessibleTextInsertEvent event(box, from, shown);
        QAccessible::updateAccessibility(&event);
    } else if (shown.isEmpty()) {
        QAccessibleTextRemoveEvent event(box, from, gone);
        QAccessible::updateAccessibility(&event);
    } else {
        QAccessibleTextUpdateEvent event(box, from, gone, shown);
        QAccessible::updateAccessibility(&event);
    }
    sendingOwn = false;
}

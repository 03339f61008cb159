// The rules that make the box's edits into undo steps, and the writes each command asks of the view.
#include "textdoc/textdocument.h"

#include <algorithm>
#include <utility>

TextDocument::TextDocument(qsizetype longestWord, qsizetype historyBudget)
    : longestWord_(longestWord)
    , exact_(longestWord)
    , shown_(longestWord)
    , history_(historyBudget)
{
}

TextDocument::Edit TextDocument::replaceAll(const QString &text, bool holdBack)
{
    history_.closeTyping();
    if (text == exact_.text())
        return {};
    QString before = groupDepth_ == 0 ? exact_.text() : QString();
    Edit edit;
    if (holdBack) {
        // Nothing is shown meanwhile, so the view's document takes only the last of many writes.
        if (!behind_)
            shown_ = exact_;
        behind_ = true;
        exact_.assign(text);
        edit.heldBack = true;
    } else {
        edit.writes.push_back(writeWhole(text));
    }
    record({0, text.size(), std::move(before), false});
    return edit;
}

TextDocument::Edit TextDocument::replace(qsizetype from, qsizetype to, const QString &text)
{
    Q_ASSERT(!behind_);
    history_.closeTyping();
    const qsizetype exactFrom = exact_.toExact(from);
    QString removed = exact_.mid(exactFrom, exact_.toExact(to) - exactFrom);
    Edit edit {{write(from, to, text)}, from + ExactText::positionsOf(text)};
    if (removed != text)
        record({exactFrom, text.size(), std::move(removed), false});
    return edit;
}

TextDocument::Edit TextDocument::move(qsizetype from, qsizetype to, qsizetype target)
{
    Q_ASSERT(!behind_);
    history_.closeTyping();
    const qsizetype spanFrom = exact_.toExact(std::min(from, target));
    const qsizetype spanTo = exact_.toExact(std::max(to, target));
    QString span = exact_.mid(spanFrom, spanTo - spanFrom);
    const qsizetype exactFrom = exact_.toExact(from);
    const QString moved = exact_.mid(exactFrom, exact_.toExact(to) - exactFrom);
    // Taken out and put back in two writes, so that no break joins its new neighbour.
    Edit edit;
    edit.writes.push_back(write(from, to, QString()));
    const qsizetype at = target > to ? target - (to - from) : target;
    edit.writes.push_back(write(at, at, moved));
    edit.caret = at + ExactText::positionsOf(moved);
    // Moving a letter among the same letters changes nothing.
    if (exact_.mid(spanFrom, spanTo - spanFrom) != span)
        record({spanFrom, spanTo - spanFrom, std::move(span), false});
    return edit;
}

TextDocument::Edit TextDocument::undo()
{
    history_.closeTyping();
    return history_.canUndo() ? swap(history_.takeUndo(), &EditHistory::pushRedo) : Edit {{}, -1};
}

TextDocument::Edit TextDocument::redo()
{
    history_.closeTyping();
    return history_.canRedo() ? swap(history_.takeRedo(), &EditHistory::pushUndo) : Edit {{}, -1};
}

TextDocument::Edit TextDocument::swap(EditHistory::Step step, void (EditHistory::*keep)(EditHistory::Step))
{
    Q_ASSERT(!behind_);
    // A write that kept the text may have joined a lone CR and an LF into one CR LF break; a step's edge
    // inside it widens to take in the whole break.
    const qsizetype from = exact_.toPosition(step.from, false);
    const qsizetype to = exact_.toPosition(step.from + step.length, true);
    const qsizetype exactFrom = exact_.toExact(from);
    const qsizetype exactTo = exact_.toExact(to);
    const qsizetype end = step.from + step.length;
    QString other = std::move(step.other);
    if (exactFrom < step.from)
        other.prepend(exact_.mid(exactFrom, step.from - exactFrom));
    if (exactTo > end)
        other.append(exact_.mid(end, exactTo - end));
    QString current = exact_.mid(exactFrom, exactTo - exactFrom);
    const bool whole = from == 0 && to == exact_.positions();
    Edit edit {{write(from, to, other)}, whole ? 0 : from + ExactText::positionsOf(other)};
    (history_.*keep)({exactFrom, other.size(), std::move(current), false});
    return edit;
}

std::vector<TextDocument::Write> TextDocument::catchUp()
{
    if (!behind_)
        return {};
    // The same text keeps the document's own breaks, which a fresh write might read otherwise.
    if (shown_.text() == exact_.text()) {
        behind_ = false;
        exact_ = std::exchange(shown_, ExactText(longestWord_));
        return {};
    }
    return {writeWhole(exact_.text())};
}

void TextDocument::userChanged(qsizetype from, qsizetype removed, QStringView added, bool keyed)
{
    // Qt counts the closing paragraph mark when a change reaches the end of the document.
    const qsizetype over = std::max<qsizetype>(0, from + removed - exact_.positions());
    removed -= over;
    added.chop(over);
    // Qt also reports a paragraph's new format, as positions removed and added again. What still shows the
    // same is kept: first at the range's end, then at its start, so that of two breaks side by side the
    // one typed is the new one.
    qsizetype tail = 0;
    while (tail < removed && tail < added.size()
        && exact_.shownAt(from + removed - 1 - tail) == added[added.size() - 1 - tail])
        ++tail;
    qsizetype head = 0;
    while (head < removed - tail && head < added.size() - tail && exact_.shownAt(from + head) == added[head])
        ++head;
    from += head;
    removed -= head + tail;
    added = added.sliced(head, added.size() - head - tail);
    if (removed == 0 && added.isEmpty())
        return;
    // The view writes everything but what the user types or deletes, and Enter makes a paragraph break,
    // which the box keeps as LF.
    QString addedText = added.toString();
    addedText.replace(QChar::ParagraphSeparator, u'\n');
    const qsizetype exactFrom = exact_.toExact(from);
    QString removedText = exact_.replace(from, removed, addedText);
    if (removedText == addedText)
        return;
    // A key that only adds or only removes is typing, whatever it removes: a surrogate pair, a CR LF.
    const bool typing = keyed && (removed == 0 || added.isEmpty());
    record({exactFrom, addedText.size(), std::move(removedText), typing});
    typingCaret_ = typing ? from + added.size() : -1;
}

void TextDocument::caretMoved(qsizetype position, bool selection)
{
    if (position != typingCaret_ || selection) {
        history_.closeTyping();
        typingCaret_ = -1;
    }
}

void TextDocument::beginGroup()
{
    if (groupDepth_++ == 0)
        groupStart_ = exact_.text();
}

void TextDocument::endGroup()
{
    if (--groupDepth_ > 0)
        return;
    history_.closeTyping();
    QString start = std::exchange(groupStart_, QString());
    if (exact_.text() != start)
        record({0, exact_.size(), std::move(start), false});
}

TextDocument::Write TextDocument::writeWhole(const QString &text)
{
    // Over what the view's document shows, which may be an older text.
    const qsizetype shown = behind_ ? shown_.positions() : exact_.positions();
    behind_ = false;
    shown_ = ExactText(longestWord_);
    exact_.assign(text);
    return {0, shown, text};
}

TextDocument::Write TextDocument::write(qsizetype from, qsizetype to, const QString &text)
{
    // A whole text is shared, not copied into the exact text's buffer.
    if (from == 0 && to == exact_.positions())
        exact_.assign(text);
    else
        exact_.replace(from, to - from, text);
    return {from, to, text};
}

void TextDocument::record(EditHistory::Step step)
{
    // A group's writes become one step when it ends.
    if (groupDepth_ == 0)
        history_.record(std::move(step));
}

// The rules that make the box's edits into undo steps, and the writes each command asks of the view.
#include "textdoc/textdocument.h"

#include <algorithm>
#include <utility>

#include "textdoc/contract.h"
#include "textdoc/paragraphpieces.h"

TextDocument::TextDocument(qsizetype historyBudget)
    : history_(historyBudget)
{
}

TextDocument::Edit TextDocument::replaceAll(const QString &text, bool holdBack)
{
    history_.closeTyping();
    Edit edit {{}, Position(0)};
    // Kept for undo as it is, not copied out of the gap.
    QString before = this->text();
    if (text == before)
        return edit;
    changes_.push_back({Offset(0), before, text, true});
    if (holdBack) {
        // Nothing is shown meanwhile, so the view's document takes only the last of many writes.
        held_.hold(exact_, text);
        edit.heldBack = true;
    } else {
        writeWhole(edit.writes, text);
    }
    record({Offset(0), text.size(), groupDepth_ == 0 ? std::move(before) : QString(), false});
    return edit;
}

TextDocument::Edit TextDocument::replace(Position from, Position to, const QString &text)
{
    requireCaughtUp("a replace");
    history_.closeTyping();
    const Offset exactFrom = exact_.toExact(from);
    QString removed = exact_.mid(exactFrom, exact_.toExact(to) - exactFrom);
    Edit edit;
    write(edit.writes, from, to, text);
    // The pieces may have changed before the caret's place: it is found by its offset.
    edit.caret = exact_.toPosition(exactFrom + text.size(), false);
    if (removed != text) {
        changes_.push_back({exactFrom, removed, text});
        record({exactFrom, text.size(), std::move(removed), false});
    }
    return edit;
}

TextDocument::Edit TextDocument::move(Position from, Position to, Position target)
{
    requireCaughtUp("a move");
    history_.closeTyping();
    const Offset spanFrom = exact_.toExact(std::min(from, target));
    const Offset spanTo = exact_.toExact(std::max(to, target));
    QString span = exact_.mid(spanFrom, spanTo - spanFrom);
    const Offset exactFrom = exact_.toExact(from);
    const QString moved = exact_.mid(exactFrom, exact_.toExact(to) - exactFrom);
    const Offset exactTarget = exact_.toExact(target) - (target > to ? moved.size() : 0);
    // Taken out and put back in two writes, so that no break joins its new neighbour.
    Edit edit;
    write(edit.writes, from, to, QString());
    const Position at = exact_.toPosition(exactTarget, false);
    write(edit.writes, at, at, moved);
    edit.caret = exact_.toPosition(exactTarget + moved.size(), false);
    // Moving a letter among the same letters changes nothing.
    if (QString now = exact_.mid(spanFrom, spanTo - spanFrom); now != span) {
        changes_.push_back({spanFrom, span, std::move(now)});
        record({spanFrom, spanTo - spanFrom, std::move(span), false});
    }
    return edit;
}

TextDocument::Edit TextDocument::undo()
{
    history_.closeTyping();
    return history_.canUndo() ? swap(history_.takeUndo(), &EditHistory::pushRedo) : Edit {};
}

TextDocument::Edit TextDocument::redo()
{
    history_.closeTyping();
    return history_.canRedo() ? swap(history_.takeRedo(), &EditHistory::pushUndo) : Edit {};
}

TextDocument::Edit TextDocument::swap(EditHistory::Step step, void (EditHistory::*keep)(EditHistory::Step))
{
    requireCaughtUp("an undo or redo");
    // A write that kept the text may have joined a lone CR and an LF into one CR LF break; a step's edge
    // inside it widens to take in the whole break.
    const Position from = exact_.toPosition(step.from, false);
    const Position to = std::max(from, exact_.toPosition(step.from + step.length, true));
    const Offset exactFrom = exact_.toExact(from);
    const Offset exactTo = exact_.toExact(to);
    const Offset end = step.from + step.length;
    QString other = std::move(step.other);
    if (exactFrom < step.from)
        other.prepend(exact_.mid(exactFrom, step.from - exactFrom));
    if (exactTo > end)
        other.append(exact_.mid(end, exactTo - end));
    QString current = exact_.mid(exactFrom, exactTo - exactFrom);
    const bool whole = from == Position(0) && to == exact_.positions();
    Edit edit;
    write(edit.writes, from, to, other);
    edit.caret = whole ? Position(0) : exact_.toPosition(exactFrom + other.size(), false);
    changes_.push_back({exactFrom, current, other});
    (history_.*keep)({exactFrom, other.size(), std::move(current), false});
    return edit;
}

std::vector<TextDocument::Write> TextDocument::catchUp()
{
    if (!held_.active())
        return {};
    // The same text keeps the document's own breaks, which a fresh write might read otherwise.
    if (held_.shown().text() == held_.text()) {
        exact_ = held_.release();
        return {};
    }
    std::vector<Write> writes;
    // A copy: the hold ends, and its text with it, before the write reads it.
    writeWhole(writes, QString(held_.text()));
    return writes;
}

std::vector<TextDocument::Write> TextDocument::setParagraphChunk(qsizetype units)
{
    requireCaughtUp("a new chunk");
    chunk_ = units;
    std::vector<Write> writes;
    fitPieces(writes, Position(0), exact_.positions());
    return writes;
}

std::vector<TextDocument::Write> TextDocument::userChanged(
    Position from, qsizetype removed, QStringView added, bool keyed)
{
    requireCaughtUp("a user's edit");
    // Qt counts the closing paragraph mark when a change reaches the end of the document.
    const qsizetype over = std::max<qsizetype>(0, (from + removed) - exact_.positions());
    removed -= over;
    added.chop(over);
    // Qt also reports a paragraph's new format, as positions removed and added again. What still shows the
    // same is kept: first at the range's end, then at its start, so that of two breaks side by side the
    // one typed is the new one. A joint shows as a break too: the view keeps joints off a selection's
    // edges, so what the user takes out never ends in a joint that could pass for a typed break.
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
        return {};
    // The view writes everything but what the user types or deletes, and Enter makes a paragraph break,
    // which the box keeps as LF.
    QString addedText = added.toString();
    addedText.replace(QChar::ParagraphSeparator, u'\n');
    const Offset exactFrom = exact_.toExact(from);
    QString removedText = exact_.replace(from, removed, addedText);
    std::vector<Write> joints;
    fitPieces(joints, from, from + added.size());
    if (removedText == addedText)
        return joints;
    changes_.push_back({exactFrom, removedText, addedText});
    // A key that only adds or only removes is typing, whatever it removes: a surrogate pair, a CR LF.
    const bool typing = keyed && (removed == 0 || added.isEmpty());
    record({exactFrom, addedText.size(), std::move(removedText), typing});
    // Where the view's caret stands after the key: past what was typed, and past a joint there.
    const Position caret = exact_.toPosition(exactFrom + addedText.size(), false);
    typingCaret_ = typing ? std::optional(caret) : std::nullopt;
    return joints;
}

void TextDocument::caretMoved(Position position, bool selection)
{
    if (position != typingCaret_ || selection) {
        history_.closeTyping();
        typingCaret_.reset();
    }
}

std::pair<Position, Position> TextDocument::keptOffJoints(Position start, Position end) const
{
    const ExactText &text = exact();
    if (text.isJoint(start))
        ++start;
    if (end > start && text.isJoint(end - 1))
        --end;
    return {start, std::max(start, end)};
}

void TextDocument::beginGroup()
{
    if (groupDepth_++ == 0)
        groupStart_ = text();
}

void TextDocument::endGroup()
{
    if (--groupDepth_ > 0)
        return;
    history_.closeTyping();
    QString start = std::exchange(groupStart_, QString());
    if (QString now = text(); now != start)
        record({Offset(0), now.size(), std::move(start), false});
}

void TextDocument::writeWhole(std::vector<Write> &writes, const QString &text)
{
    // Over what the view's document shows, which may be an older text.
    const Position shown = held_.active() ? held_.release().positions() : exact_.positions();
    exact_.assign(text);
    writes.push_back({Position(0), shown, text});
    fitPieces(writes, Position(0), exact_.positions());
}

void TextDocument::write(std::vector<Write> &writes, Position from, Position to, const QString &text)
{
    // A whole text is shared, not copied into the exact text's buffer.
    if (from == Position(0) && to == exact_.positions())
        exact_.assign(text);
    else
        exact_.replace(from, to - from, text);
    writes.push_back({from, to, text});
    fitPieces(writes, from, from + ExactText::positionsOf(text));
}

void TextDocument::fitPieces(std::vector<Write> &writes, Position from, Position to)
{
    QList<JointEdit> joints;
    FitPieces(exact_, from, to, chunk_, joints);
    if constexpr (Contract::kChecked) {
        if (const QString broken = BrokenJointRule(exact_, chunk_); !broken.isEmpty())
            Contract::Broken("every joint keeps the joint rules", broken);
    }
    for (const JointEdit &joint : joints) {
        writes.push_back({joint.position, joint.position + (joint.added ? 0 : 1),
            joint.added ? QString(QChar::ParagraphSeparator) : QString(), true});
    }
}

void TextDocument::requireCaughtUp(const char *command) const
{
    if (Contract::kChecked && held_.active())
        Contract::Broken("the view catches up before any edit but a whole-text write",
            QStringLiteral("%1 came while the view showed an older text").arg(QLatin1String(command)));
}

void TextDocument::checkShown(QStringView shown) const
{
    if constexpr (Contract::kChecked) {
        const ExactText &showing = held_.active() ? held_.shown() : exact_;
        if (const QString difference = showing.shownDifference(shown); !difference.isEmpty())
            Contract::Broken("the view's document shows the exact text", difference);
    }
}

void TextDocument::record(EditHistory::Step step)
{
    // A group's writes become one step when it ends.
    if (groupDepth_ == 0)
        history_.record(std::move(step));
}

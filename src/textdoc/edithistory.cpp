// Swap steps, typing merge and the memory budget of the text box's history.
#include "textdoc/edithistory.h"

EditHistory::EditHistory(qsizetype budgetBytes)
    : budget_(budgetBytes)
{
}

void EditHistory::setBudget(qsizetype budgetBytes)
{
    budget_ = budgetBytes;
    trim();
}

qsizetype EditHistory::cost(const Step &step)
{
    return qsizetype(sizeof(Step)) + step.other.size() * qsizetype(sizeof(QChar));
}

void EditHistory::record(Step step)
{
    for (const Step &dropped : redo_)
        bytes_ -= cost(dropped);
    redo_.clear();
    if (step.typing && typingOpen_ && !undo_.empty() && joinTyping(step))
        return;
    typingOpen_ = step.typing;
    push(undo_, std::move(step));
}

bool EditHistory::joinTyping(const Step &step)
{
    Step &top = undo_.back();
    if (!top.typing)
        return false;
    // Typing joins typing, and deleting joins deleting, never the one the other.
    const bool inserted = step.other.isEmpty();
    if (inserted && top.other.isEmpty() && top.from + top.length == step.from) {
        top.length += step.length;
        return true;
    }
    if (inserted || top.length != 0)
        return false;
    // Backspace grows the step to the left, Delete to the right.
    if (step.from + step.other.size() == top.from) {
        top.from = step.from;
        top.other.prepend(step.other);
    } else if (step.from == top.from) {
        top.other.append(step.other);
    } else {
        return false;
    }
    bytes_ += step.other.size() * qsizetype(sizeof(QChar));
    trim();
    return true;
}

EditHistory::Step EditHistory::take(std::deque<Step> &steps)
{
    typingOpen_ = false;
    Step step = std::move(steps.back());
    steps.pop_back();
    bytes_ -= cost(step);
    return step;
}

void EditHistory::push(std::deque<Step> &steps, Step step)
{
    bytes_ += cost(step);
    steps.push_back(std::move(step));
    trim();
}

void EditHistory::trim()
{
    // Only the oldest undo steps go: redo must always reach the newest text, and what it holds was the
    // box's own text a moment ago. The newest undo step stays whatever its size, so that the last thing
    // done can always be undone; the budget bounds the rest.
    while (undo_.size() > 1 && bytes_ - cost(undo_.back()) > budget_) {
        bytes_ -= cost(undo_.front());
        undo_.pop_front();
    }
}

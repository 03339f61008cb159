// The working text box's undo and redo history: swap steps, the oldest undo steps forgotten past a budget.
#pragma once

#include <deque>

#include <QString>

#include "textdoc/coordinates.h"

// A step holds only the side of a change that is not in the box: undoing it swaps the range's
// current text for the stored one and keeps what it replaced for redo, so each step costs one copy.
class EditHistory final
{
public:
    struct Step {
        Offset from; // where the range starts in the exact text
        qsizetype length = 0; // length of the text the range holds now
        QString other; // the exact text the range held on the other side of the change
        bool typing = false; // one character typed or deleted; joins its neighbours
    };

    explicit EditHistory(qsizetype budgetBytes);

    void setBudget(qsizetype budgetBytes);
    qsizetype bytes() const { return bytes_; }
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }

    // A new change: forgets what could be redone, joins typing to the step it continues.
    void record(Step step);
    Step takeUndo() { return take(undo_); }
    Step takeRedo() { return take(redo_); }
    void pushUndo(Step step) { push(undo_, std::move(step)); }
    void pushRedo(Step step) { push(redo_, std::move(step)); }
    // The next typed character starts a step of its own.
    void closeTyping() { typingOpen_ = false; }

private:
    static qsizetype cost(const Step &step);
    bool joinTyping(const Step &step);
    Step take(std::deque<Step> &steps);
    void push(std::deque<Step> &steps, Step step);
    void trim();

    std::deque<Step> undo_;
    std::deque<Step> redo_;
    qsizetype bytes_ = 0;
    qsizetype budget_;
    bool typingOpen_ = false;
};

// The text box's document: the exact text, its undo history, and the rules that make edits into steps.
//
// It never sees a widget. The view reports what the user changed in its own document (typing, deleting) as
// plain (from, removed, added) calls in the positions it shows, and asks for the commands (a paste, a
// whole-text write, undo, redo, a move); for those it gets back the writes that bring its document in step.
// A step is a burst of typing, a burst of Backspace or Delete, one command, or all the writes of a group;
// a safe point (a click, a caret move, a command) ends a burst. The newest step is always kept: the budget
// bounds the others.
//
// Qt lays out a whole paragraph whenever any of it changes, so the document has the view show a paragraph
// longer than twice a chunk as pieces of about a chunk, joined by joints that hold no unit of the text;
// the pieces follow the edits.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include <QString>
#include <QStringView>

#include "textdoc/edithistory.h"
#include "textdoc/exacttext.h"
#include "textdoc/heldbackwrite.h"

class TextDocument final
{
public:
    // Replace the positions [from, to) of the view's document with `text`, its breaks taken as written.
    struct Write {
        Position from;
        Position to;
        QString text;
        // A joint put in (a paragraph separator at `from`) or taken out (the one at `from`).
        bool joint = false;
    };
    // What a command asks of the view: writes in order, each in the positions the one before left, and
    // where the caret goes after them, if it moves.
    struct Edit {
        std::vector<Write> writes;
        std::optional<Position> caret;
        // The text changed, but the view's document keeps what it shows until catchUp().
        bool heldBack = false;
    };

    // A change of the text: `removed` gave way to `added` at exact offset `from`; `whole`: all of it.
    struct Change {
        Offset from;
        QString removed;
        QString added;
        bool whole = false;
    };

    static constexpr qsizetype kParagraphChunk = 16000;

    // The history's budget is in bytes.
    explicit TextDocument(qsizetype historyBudget);

    // The text; a const read copies it while an edit's gap is open, a read that may close the gap does not.
    QString text() const { return held_.active() ? held_.text() : exact_.text(); }
    QString text()
    {
        exact_.flatten();
        return std::as_const(*this).text();
    }
    const ExactText &exact() const { return held_.active() ? held_.exact() : exact_; }
    // The view's document still shows an older text, until catchUp().
    bool behind() const { return held_.active(); }

    // The commands, each one step; writing the text the box holds changes nothing. Before any but
    // replaceAll, the view catches up and only then reads the positions it passes.
    Edit replaceAll(const QString &text, bool holdBack);
    Edit replace(Position from, Position to, const QString &text);
    // Moves the positions [from, to) to `target`, which lies outside them.
    Edit move(Position from, Position to, Position target);
    Edit undo();
    Edit redo();
    std::vector<Write> catchUp();
    // Pieces of about `units` from now on; gives back the joints to put in and take out at once.
    std::vector<Write> setParagraphChunk(qsizetype units);

    // The user changed the view's document: `removed` positions at `from` became the characters `added`
    // as it shows them (every break a paragraph separator). `keyed`: by a key with nothing selected. Gives
    // back the joints the view puts in and takes out after it, as the pieces follow the change.
    std::vector<Write> userChanged(Position from, qsizetype removed, QStringView added, bool keyed);
    // Typing goes on in one step only while the caret stays where the last key left it.
    void caretMoved(Position position, bool selection);

    // A selection as an edit may take it, [start, end): both sides of a joint are the same place in the
    // text, and the caret rests only after one, so a range starts after a joint and ends before one; what
    // an edit takes out then never ends in a joint that could pass for a typed break. A range that goes to
    // nothing between joints is a caret after them.
    std::pair<Position, Position> keptOffJoints(Position start, Position end) const;
    // What changes next starts a step of its own.
    void endTyping() { history_.closeTyping(); }
    // Writes between them are one step, or none if the text ends as it began; they nest.
    void beginGroup();
    void endGroup();

    // With the checks built in: stops with what differs unless `shown`, the view's document's text with
    // paragraph separators between its paragraphs, is what this document has it show. Called after every
    // edit's writes, by the view and by the tests that stand in for it.
    void checkShown(QStringView shown) const;

    // The changes since the last call, for those who follow the text as it changes.
    std::vector<Change> takeChanges() { return std::exchange(changes_, {}); }

    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    void setHistoryBudget(qsizetype bytes) { history_.setBudget(bytes); }
    qsizetype historyBytes() const { return history_.bytes(); }

private:
    void writeWhole(std::vector<Write> &writes, const QString &text);
    void write(std::vector<Write> &writes, Position from, Position to, const QString &text);
    void fitPieces(std::vector<Write> &writes, Position from, Position to);
    Edit swap(EditHistory::Step step, void (EditHistory::*keep)(EditHistory::Step));
    void record(EditHistory::Step step);
    // The view reads the positions it passes from a document that shows this text.
    void requireCaughtUp(const char *command) const;

    // The text, and the positions the view's document shows, unless a write is held back.
    ExactText exact_;
    HeldBackWrite held_;
    EditHistory history_;
    // Where the caret stands after the last typed key, while typing may go on in the same step.
    std::optional<Position> typingCaret_;
    int groupDepth_ = 0;
    qsizetype chunk_ = kParagraphChunk;
    QString groupStart_;
    std::vector<Change> changes_;
};

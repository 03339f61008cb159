// The working text box, the view of a TextDocument: a wrapping plain-text editor that gives back exactly
// the text written into it.
//
// Qt's document is only what is shown. The box passes what the user types or deletes in it to the
// TextDocument, which keeps the exact text, every line break as it came, and decides the undo steps; for
// its own commands the box asks the TextDocument and makes the writes it gives back. Huge texts stay
// responsive: a text with an overlong word wraps anywhere (word wrapping is quadratic on such words), a
// LayoutPause lets a command rewrite the box many times for the cost of one layout, and a long paragraph
// shows as pieces joined by joints that hold no unit. The caret and the keys step over a joint as if it
// were not there.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include <QElapsedTimer>
#include <QPlainTextEdit>

#include "textdoc/overlongwords.h"
#include "textdoc/textdocument.h"
class DeferredLayout;

class RotTextBox final : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit RotTextBox(QWidget *parent = nullptr);
    ~RotTextBox() override;

    // The history gives back the memory of its oldest undo steps past this many bytes, all but the newest.
    static constexpr qsizetype kHistoryBudget = qsizetype(256) << 20;

    // A const read copies the text while typing has an edit's gap open in it; the other closes the gap.
    QString text() const { return document_.text(); }
    QString text() { return document_.text(); }
    // The exact text and where the view's positions fall in it; the view shows an older text while behind.
    const ExactText &exact() const { return document_.exact(); }
    bool behind() const { return document_.behind(); }
    // Replaces the whole text as one undo step, leaving no selection and the caret at the start. Writing
    // the text the box already holds changes nothing.
    void replaceAll(const QString &text);
    // Replaces the selection, or inserts at the caret, as one undo step.
    void replaceSelection(const QString &text);
    int selectionLength() const;
    QString selectedText() const;

    bool canUndo() const { return document_.canUndo(); }
    bool canRedo() const { return document_.canRedo(); }
    void undo();
    void redo();
    // What is typed next starts an undo step of its own.
    void endTypingStep() { document_.endTyping(); }
    void setHistoryBudget(qsizetype bytes) { document_.setHistoryBudget(bytes); }
    qsizetype historyBytes() const { return document_.historyBytes(); }
    // Paragraphs longer than twice this many units show as pieces of about this size.
    void setParagraphChunk(qsizetype units);
    // Undo and Redo act on this box's own history.
    QMenu *createStandardContextMenu(const QPoint &position);

    // Writes made while it lives are one undo step, or none if the text ends as it began.
    class EditGroup
    {
    public:
        explicit EditGroup(RotTextBox *box);
        ~EditGroup();
        EditGroup(const EditGroup &) = delete;
        EditGroup &operator=(const EditGroup &) = delete;

    private:
        RotTextBox *box_;
    };

    // Holds back layout while a command rewrites the box; the layout catches up when it ends.
    class LayoutPause
    {
    public:
        explicit LayoutPause(RotTextBox *box);
        ~LayoutPause();
        LayoutPause(const LayoutPause &) = delete;
        LayoutPause &operator=(const LayoutPause &) = delete;

    private:
        RotTextBox *box_;
    };

signals:
    void mouseReleased();
    void keyPressed();
    void keyReleased();

protected:
    // Clipboard and drag-and-drop carry plain text only, exactly as the box holds it.
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;

    void contextMenuEvent(QContextMenuEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Takes in the changes of the command that gave `edit`, then makes its writes.
    void apply(const TextDocument::Edit &edit);
    void write(const TextDocument::Write &write);
    void takeUserChange(int from, int removed, int added);
    // Follows the document's changes since the last call: the count of overlong words, and what a screen
    // reader is told next.
    void followChanges();
    void countWholeText();
    void caretMoved();
    void stepOffJoint();
    void keyPressOverJoints(QKeyEvent *event);
    void moveOverWordJoints(QKeyEvent *event, int from);
    void keepLineOffJoint(QKeyEvent *event);
    // The offset a word move from offset `from` reaches in a paragraph shown whole, where Qt's reached
    // `reached` in a piece.
    Offset wordMoveOverJoints(Offset from, Position reached, bool next) const;
    void selectExact(Offset anchor, Offset position);
    void selectParagraphOverJoints();
    void placeCaret(Position position);
    void catchUp();
    // With the checks built in, stops unless Qt's document shows what the TextDocument says it does.
    void checkShown() const;
    void chooseWrapMode();
    // Every piece of a paragraph keeps the direction the paragraph has shown whole; this looks at the
    // paragraphs that writes touched since it last did.
    void settleDirections();
    void touched(Position from, qsizetype removed, qsizetype added);
    // Tells a screen reader what the text's last changes were.
    void announceChanges();

    DeferredLayout *layout_;
    TextDocument document_;
    OverlongWords overlongWords_;
    // The last whole text written, while its overlong words are not counted yet.
    std::optional<QString> uncounted_;
    // The changes not yet told to a screen reader.
    std::vector<TextDocument::Change> unannounced_;
    std::optional<Position> pendingCaret_;
    // The positions that writes touched since directions were last settled, if any.
    std::optional<std::pair<Position, Position>> touched_;
    bool writing_ = false;
    bool keyTyping_ = false;
    // While a key moves the caret, which may cross a joint and must then move on.
    bool keyMoving_ = false;
    // When and where the last double click was, for a triple click that leaves Qt's selection as it was.
    QElapsedTimer doubleClicked_;
    QPoint doubleClickedAt_;
    // Counts the changes of the text, so that a key that changed none is known.
    quint64 changes_ = 0;
};

// The working text box: a wrapping plain-text editor that gives back exactly the text written into it.
//
// Qt's document is only the view. The exact text, with every line break as it came, lives in an
// ExactText that follows each change of the document: what the box writes itself it hands over unit for
// unit, what the user types it reads from the document (Enter gives LF). The box owns its undo history
// (Qt's would keep every replaced text); an EditGroup turns a command's many writes into one step. Huge
// texts stay responsive: a text with a very long unbreakable run wraps anywhere (word wrapping is
// quadratic on such runs), a LayoutPause lets a command rewrite the box many times for the cost of
// one layout, and a long paragraph is shown as pieces joined by joints that hold no unit, since Qt lays
// out a whole paragraph whenever any of it changes. The caret and the keys step over joints as if they
// were not there.
#pragma once

#include <QPlainTextEdit>

#include "textdoc/edithistory.h"
#include "textdoc/exacttext.h"
#include "textdoc/paragraphpieces.h"

class DeferredLayout;

class RotTextBox final : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit RotTextBox(QWidget *parent = nullptr);
    ~RotTextBox() override;

    // The history gives back the memory of its oldest undo steps past this many bytes.
    static constexpr qsizetype kHistoryBudget = qsizetype(256) << 20;

    const QString &text() const { return model_.text(); }
    // Replaces the whole text as one undo step, leaving no selection and the caret at the start. Writing
    // the text the box already holds changes nothing.
    void replaceAll(const QString &text);
    // Replaces the selection, or inserts at the caret, as one undo step.
    void replaceSelection(const QString &text);
    int selectionLength() const;
    QString selectedText() const;

    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    void undo();
    void redo();
    // What is typed next starts an undo step of its own.
    void endTypingStep() { history_.closeTyping(); }
    void setHistoryBudget(qsizetype bytes) { history_.setBudget(bytes); }
    qsizetype historyBytes() const { return history_.bytes(); }
    // Paragraphs longer than twice this many units are shown in pieces of about this size.
    static constexpr qsizetype kParagraphChunk = 16000;
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
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void write(qsizetype from, qsizetype to, const QString &text);
    void follow(int from, int removed, int added);
    QString documentText(int from, int length) const;
    void caretMoved();
    void moveWithin(qsizetype to);
    void swap(EditHistory::Step step, void (EditHistory::*keep)(EditHistory::Step));
    void placeCaret(qsizetype position);
    void catchUpDocument();
    void chooseWrapMode();
    QList<JointEdit> fitPieces(qsizetype from, qsizetype to);
    void stepOffJoint();
    void keyPressOverJoints(QKeyEvent *event);

    DeferredLayout *layout_;
    ExactText model_;
    // While a paused command's whole-text writes have not reached the document: the model it shows.
    ExactText shown_;
    bool documentBehind_ = false;
    qsizetype pendingCaret_ = -1;
    EditHistory history_ {kHistoryBudget};
    // Where the caret stands after the last typed character, while typing may go on in the same step.
    qsizetype typingCaret_ = -1;
    bool writing_ = false;
    bool keyTyping_ = false;
    int groupDepth_ = 0;
    qsizetype chunk_ = kParagraphChunk;
    // While a key moves the caret, which may cross a joint and must then move on.
    bool keyMoving_ = false;
    // Counts the changes of the text, so a key that changed none is known.
    quint64 changes_ = 0;
    QString groupStart_;
};

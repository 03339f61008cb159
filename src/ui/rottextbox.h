// The working text box: a wrapping plain-text editor that gives back exactly the text written into it.
//
// Qt turns CR, LF, CR LF and a few other characters into paragraph breaks and reads them all back as
// LF; each paragraph remembers which break began it, so CR LF and the rest come back as they went in.
// A mirror of the exact text is kept in step with every change, so text() costs nothing and undo
// knows exactly what a change removed. The box owns its undo history (Qt's would keep every replaced
// text and forgets the break kinds); an EditGroup turns a command's many writes into one step.
// Huge texts stay responsive: a text with a very long unbreakable run wraps anywhere (word wrapping
// is quadratic on such runs), and a LayoutPause lets a command rewrite the box many times for the
// cost of one layout.
#pragma once

#include <vector>

#include <QPlainTextEdit>

#include "ui/edithistory.h"

class DeferrableLayout;

class RotTextBox final : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit RotTextBox(QWidget *parent = nullptr);
    ~RotTextBox() override;

    // The history gives back the memory of its oldest steps past this many bytes.
    static constexpr qsizetype kHistoryBudget = qsizetype(256) << 20;

    const QString &text() const { return exact_; }
    // Replaces the whole text as one undo step, leaving no selection and the caret at the start.
    void replaceAll(const QString &text);
    // Replaces the selection, or inserts at the caret, as one undo step.
    void replaceSelection(const QString &text);
    int selectionLength() const;
    QString selectedText() const;

    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    void undo();
    void redo();
    void setHistoryBudget(qsizetype bytes) { history_.setBudget(bytes); }
    qsizetype historyBytes() const { return history_.bytes(); }
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

public:
    // Clipboard and drag-and-drop carry plain text only, exactly as the box holds it.
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void insertExact(QTextCursor &cursor, const QString &text);
    QString textBetween(int from, int to) const;
    void chooseWrapMode();
    qsizetype toExact(int position) const;
    int toDocument(qsizetype position, bool roundUp) const;
    void writeExact(int from, int to, const QString &text);
    void follow(int from, int removed, int added);
    void mirror(int from, int removed, int added, const QString &addedText);
    void swap(EditHistory::Step step, void (EditHistory::*keep)(EditHistory::Step));
    void placeCaret(int position);
    void catchUpDocument();

    DeferrableLayout *layout_;
    int pendingCaret_ = -1;
    QString exact_;
    // Set while a paused command's whole-text writes have not reached the document yet.
    bool documentBehind_ = false;
    QString documentText_;
    int documentLength_ = 0;
    // Document positions of the paragraphs that begin after a CR LF, the one break two units long.
    std::vector<int> crLfParagraphs_;
    EditHistory history_ {kHistoryBudget};
    bool writing_ = false;
    bool pasting_ = false;
    int groupDepth_ = 0;
    QString groupStart_;
};

// The working text box: a wrapping plain-text editor that gives back exactly the text written into it.
//
// Qt turns CR, LF, CR LF and a few other characters into paragraph breaks and reads them all back as
// LF; each paragraph remembers which break began it, so CR LF and the rest come back as they went in.
// Huge texts stay responsive: a text with a very long unbreakable run wraps anywhere (word wrapping
// is quadratic on such runs), and a LayoutPause lets a command rewrite the box many times for the
// cost of one layout.
#pragma once

#include <QPlainTextEdit>

class DeferrableLayout;

class RotTextBox final : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit RotTextBox(QWidget *parent = nullptr);

    QString text() const;
    // Replaces the whole text as one undo step (or as part of the previous one), leaving no selection
    // and the caret at the start.
    void replaceAll(const QString &text, bool joinPreviousUndoStep = false);
    // Replaces the selection, or inserts at the caret, as one undo step.
    void replaceSelection(const QString &text);
    int selectionLength() const;
    QString selectedText() const;

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
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void insertExact(QTextCursor &cursor, const QString &text);
    QString textBetween(int from, int to) const;
    void chooseWrapMode();

    DeferrableLayout *layout_;
    bool caretToStartPending_ = false;
};

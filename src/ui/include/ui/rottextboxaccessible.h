// What a screen reader reads of the working text box: the text as a box that shows its paragraphs whole
// would give it, so that no joint between pieces is ever a character or a line break, and every offset,
// the caret's, a selection's, a change's, counts the text without them.
#pragma once

#include <QAccessibleWidget>

class RotTextBox;

class RotTextBoxAccessible final : public QAccessibleWidget,
                                   public QAccessibleTextInterface,
                                   public QAccessibleEditableTextInterface
{
public:
    explicit RotTextBoxAccessible(RotTextBox *box);

    // Makes the box's accessible interface this one, and its change events the box's own; once is enough.
    static void install();

    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
        int *endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
        int *endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
        int *endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

    // Tells a screen reader what changed, in offsets of the whole text.
    static void announce(RotTextBox *box, int from, const QString &removed, const QString &added);

private:
    RotTextBox *box() const;
    QPair<int, int> boundaries(int offset, QAccessible::TextBoundaryType type) const;
};

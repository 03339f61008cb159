// The text box's layout, which a command can hold back while it rewrites the box many times, and which lays
// out a paragraph's pieces in the paragraph's direction.
#pragma once

#include <QPlainTextDocumentLayout>
#include <QTextFormat>

class DeferredLayout final : public QPlainTextDocumentLayout
{
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

    // A block whose format holds a Qt::LayoutDirection here is laid out in it; Qt would find one from the
    // block's own text, which for a piece can differ from its paragraph's.
    static constexpr int kDirectionProperty = QTextFormat::UserProperty;

    void pause();
    // Lays out once what changed while paused.
    void resume();
    bool paused() const { return depth_ > 0; }
    int depth() const { return depth_; }

    QRectF blockBoundingRect(const QTextBlock &block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    void layOutIn(const QTextBlock &block, Qt::LayoutDirection direction) const;

    int depth_ = 0;
    bool pending_ = false;
    // What changed while paused: from where, and up to how far before the document's end; and how long
    // the document was when the pause began.
    int from_ = 0;
    int tail_ = 0;
    int startLength_ = 0;
};

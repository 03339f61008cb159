// The text box's layout, which a command can hold back while it rewrites the box many times.
#pragma once

#include <QPlainTextDocumentLayout>

class DeferredLayout final : public QPlainTextDocumentLayout
{
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

    void pause();
    // Lays out once what changed while paused.
    void resume();
    bool paused() const { return depth_ > 0; }
    int depth() const { return depth_; }

    QRectF blockBoundingRect(const QTextBlock &block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    int depth_ = 0;
    bool pending_ = false;
    // What changed while paused: from where, and up to how far before the document's end; and how long
    // the document was when the pause began.
    int from_ = 0;
    int tail_ = 0;
    int startLength_ = 0;
};

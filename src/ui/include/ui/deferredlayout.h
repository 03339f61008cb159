// The text box's layout, which a command can hold back while it rewrites the box many times.
#pragma once

#include <QPlainTextDocumentLayout>

class DeferredLayout final : public QPlainTextDocumentLayout
{
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

    void pause() { ++depth_; }
    // Lays out the whole document once if it changed while paused.
    void resume();
    bool paused() const { return depth_ > 0; }
    int depth() const { return depth_; }

    QRectF blockBoundingRect(const QTextBlock &block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    int depth_ = 0;
    bool pending_ = false;
};

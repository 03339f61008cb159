// Deferred layout and the kept character analysis of long paragraphs.
#include "ui/deferredlayout.h"

#include <algorithm>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace
{
// Analysing a paragraph this long again costs little next to a paint.
constexpr int kLongestUncachedParagraph = 1 << 16;
} // namespace

void DeferredLayout::pause()
{
    if (depth_++ > 0)
        return;
    startLength_ = document()->characterCount();
    from_ = startLength_;
    tail_ = startLength_;
}

void DeferredLayout::resume()
{
    if (--depth_ > 0 || !pending_)
        return;
    pending_ = false;
    const int length = document()->characterCount();
    QPlainTextDocumentLayout::documentChanged(from_, startLength_ - tail_ - from_, length - tail_ - from_);
}

QRectF DeferredLayout::blockBoundingRect(const QTextBlock &block) const
{
    // Qt drops a paragraph's character analysis after laying it out and after each paint, yet the caret's x
    // needs it: on a paragraph of megabytes each caret placement and each paint would redo it, some 35
    // bytes of fresh memory a character. A long paragraph keeps it until its next layout.
    if (QTextLayout *layout = block.layout())
        layout->setCacheEnabled(block.length() > kLongestUncachedParagraph);
    return QPlainTextDocumentLayout::blockBoundingRect(block);
}

void DeferredLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    if (depth_ > 0) {
        pending_ = true;
        from_ = std::min(from_, from);
        tail_ = std::min(tail_, document()->characterCount() - from - charsAdded);
        return;
    }
    QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
}

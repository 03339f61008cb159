// Deferred layout, and pieces laid out in their paragraph's direction.
#include "ui/deferredlayout.h"

#include <algorithm>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtMath>

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
    const QRectF rect = QPlainTextDocumentLayout::blockBoundingRect(block);
    const QVariant direction = block.blockFormat().property(kDirectionProperty);
    QTextLayout *layout = block.layout();
    if (!direction.isValid() || !layout || layout->lineCount() == 0
        || layout->textOption().textDirection() != Qt::LayoutDirectionAuto)
        return rect;
    // Qt has just laid the piece out in the direction of its own first strong character.
    const auto wanted = Qt::LayoutDirection(direction.toInt());
    if (QStringView(block.text()).isRightToLeft() == (wanted == Qt::RightToLeft)) {
        QTextOption option = layout->textOption();
        option.setTextDirection(wanted);
        layout->setTextOption(option);
        return rect;
    }
    layOutIn(block, wanted);
    return QPlainTextDocumentLayout::blockBoundingRect(block);
}

void DeferredLayout::layOutIn(const QTextBlock &block, Qt::LayoutDirection direction) const
{
    // The lines as QPlainTextDocumentLayout makes them, of the width and at the place it gave them.
    QTextLayout *layout = block.layout();
    const qreal width = layout->lineAt(0).width();
    const QPointF origin = layout->lineAt(0).position();
    QTextOption option = layout->textOption();
    option.setTextDirection(direction);
    layout->setTextOption(option);
    layout->beginLayout();
    for (qreal y = origin.y();;) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLeadingIncluded(true);
        line.setLineWidth(width);
        line.setPosition(QPointF(origin.x(), y));
        y += line.height() + (line.leading() < 0 ? qCeil(line.leading()) : 0);
    }
    layout->endLayout();
    QTextBlock(block).setLineCount(block.isVisible() ? layout->lineCount() : 0);
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

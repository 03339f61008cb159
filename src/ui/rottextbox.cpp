// Exact-text storage, its own undo history, wrap-mode choice and deferred layout for the working text box.
#include "ui/rottextbox.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

class DeferrableLayout final : public QPlainTextDocumentLayout
{
public:
    // Analysing a paragraph this long again costs little next to a paint.
    static constexpr int kLongestUncachedParagraph = 1 << 16;

    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

    void pause() { ++depth_; }
    void resume()
    {
        if (--depth_ > 0 || !pending_)
            return;
        pending_ = false;
        const int length = document()->characterCount();
        QPlainTextDocumentLayout::documentChanged(0, length, length);
    }
    bool paused() const { return depth_ > 0; }
    int depth() const { return depth_; }

    QRectF blockBoundingRect(const QTextBlock &block) const override
    {
        // Qt drops a paragraph's character analysis after laying it out and after each paint, yet the
        // caret's x needs it: on a paragraph of megabytes each caret placement and each paint would redo
        // it, some 35 bytes of fresh memory a character. A long paragraph keeps it until its next layout.
        if (QTextLayout *layout = block.layout())
            layout->setCacheEnabled(block.length() > kLongestUncachedParagraph);
        return QPlainTextDocumentLayout::blockBoundingRect(block);
    }

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override
    {
        if (depth_ > 0) {
            pending_ = true;
            return;
        }
        QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
    }

private:
    int depth_ = 0;
    bool pending_ = false;
};

namespace
{

// Which character sequence began a paragraph, kept in its block's user state. A paragraph the user
// starts with Enter has the default state and reads back as LF.
enum Break { DefaultBreak = -1, Lf = 0, CrLf, Cr, ParagraphSeparator, BeginningOfFrame, EndOfFrame };

const char16_t kParagraphSeparator = 0x2029;
const char16_t kBeginningOfFrame = 0xfdd0;
const char16_t kEndOfFrame = 0xfdd1;

// The sequences that QTextCursor::insertText turns into a paragraph break, in the order it finds them.
template <typename Visit> void ForEachBreak(const QString &text, Visit visit)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        switch (text.at(i).unicode()) {
        case u'\r':
            if (i + 1 < size && text.at(i + 1) == u'\n') {
                ++i;
                visit(CrLf);
            } else {
                visit(Cr);
            }
            break;
        case u'\n':
            visit(Lf);
            break;
        case kParagraphSeparator:
            visit(ParagraphSeparator);
            break;
        case kBeginningOfFrame:
            visit(BeginningOfFrame);
            break;
        case kEndOfFrame:
            visit(EndOfFrame);
            break;
        default:
            break;
        }
    }
}

QStringView BreakText(int state)
{
    static const char16_t crlf[] = u"\r\n";
    static const char16_t others[] = {u'\n', u'\r', kParagraphSeparator, kBeginningOfFrame, kEndOfFrame};
    switch (state) {
    case CrLf:
        return QStringView(crlf, 2);
    case Cr:
        return QStringView(others + 1, 1);
    case ParagraphSeparator:
        return QStringView(others + 2, 1);
    case BeginningOfFrame:
        return QStringView(others + 3, 1);
    case EndOfFrame:
        return QStringView(others + 4, 1);
    default:
        return QStringView(others, 1);
    }
}

// Word wrapping searches to the end of an unbreakable run for every line, so a long run costs time
// quadratic in its length; past this many characters wrapping anywhere looks the same and stays fast.
constexpr qsizetype kLongestWrappableRun = 1000;

bool HasLongUnbreakableRun(const QTextDocument *document)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.length() <= kLongestWrappableRun)
            continue;
        qsizetype run = 0;
        for (const QChar c : block.text()) {
            run = c.isSpace() ? 0 : run + 1;
            if (run > kLongestWrappableRun)
                return true;
        }
    }
    return false;
}

} // namespace

RotTextBox::RotTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    auto *document = new QTextDocument(this);
    // Qt's undo would keep every replaced text, and it loses which break began each paragraph.
    document->setUndoRedoEnabled(false);
    layout_ = new DeferrableLayout(document);
    document->setDocumentLayout(layout_);
    setDocument(document);

    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    connect(document, &QTextDocument::contentsChange, this, &RotTextBox::follow);
    connect(document, &QTextDocument::contentsChanged, this, [this] {
        if (!layout_->paused())
            chooseWrapMode();
    });
}

RotTextBox::~RotTextBox()
{
    // The document outlives this part of the box and still reports its changes while it is taken down.
    disconnect(document(), nullptr, this, nullptr);
}

void RotTextBox::replaceAll(const QString &text)
{
    const QString before = exact_;
    if (layout_->paused()) {
        // Nothing is shown under a pause, so the document takes only the last of many writes, when
        // the pause ends; the box's text and its change signal follow every write at once.
        if (!documentBehind_)
            documentText_ = exact_;
        documentBehind_ = true;
        exact_ = text;
        emit textChanged();
    } else {
        writeExact(0, documentLength_, text);
    }
    history_.closeTyping();
    if (groupDepth_ == 0 && before != text)
        history_.record({0, exact_.size(), before, false});
    placeCaret(0);
}

void RotTextBox::replaceSelection(const QString &text)
{
    QTextCursor cursor = textCursor();
    history_.closeTyping();
    {
        const LayoutPause pause(this);
        pasting_ = true;
        cursor.beginEditBlock();
        insertExact(cursor, text);
        cursor.endEditBlock();
        pasting_ = false;
    }
    setTextCursor(cursor);
}

int RotTextBox::selectionLength() const
{
    if (documentBehind_)
        return 0;
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

QString RotTextBox::selectedText() const
{
    if (documentBehind_)
        return QString();
    const QTextCursor cursor = textCursor();
    const qsizetype from = toExact(cursor.selectionStart());
    return exact_.mid(from, toExact(cursor.selectionEnd()) - from);
}

void RotTextBox::undo()
{
    if (history_.canUndo())
        swap(history_.takeUndo(), &EditHistory::pushRedo);
}

void RotTextBox::redo()
{
    if (history_.canRedo())
        swap(history_.takeRedo(), &EditHistory::pushUndo);
}

void RotTextBox::catchUpDocument()
{
    if (!documentBehind_)
        return;
    documentBehind_ = false;
    const QString shown = std::exchange(documentText_, QString());
    if (shown == exact_)
        return;
    // Its change signal already ran for this text.
    const QSignalBlocker quiet(this);
    const QString text = exact_;
    exact_ = shown;
    writeExact(0, documentLength_, text);
}

void RotTextBox::swap(EditHistory::Step step, void (EditHistory::*keep)(EditHistory::Step))
{
    catchUpDocument();
    // A write that kept the text may have joined a lone CR and LF into one CR LF paragraph break; a
    // step's edge inside it widens to take in the whole break.
    const int from = toDocument(step.from, false);
    const int to = toDocument(step.from + step.length, true);
    const qsizetype exactFrom = toExact(from);
    const qsizetype exactTo = toExact(to);
    const qsizetype end = step.from + step.length;
    QString other = std::move(step.other);
    if (exactFrom < step.from)
        other.prepend(exact_.mid(exactFrom, step.from - exactFrom));
    if (exactTo > end)
        other.append(exact_.mid(end, exactTo - end));
    QString current = exact_.mid(exactFrom, exactTo - exactFrom);
    const bool whole = from == 0 && to == documentLength_;
    const int lengthBefore = documentLength_;
    writeExact(from, to, other);
    (history_.*keep)({exactFrom, other.size(), std::move(current), false});
    placeCaret(whole ? 0 : to + documentLength_ - lengthBefore);
}

void RotTextBox::placeCaret(int position)
{
    // Placing the caret lays out the paragraph it is in, so under an outer pause that waits for its end.
    if (layout_->paused()) {
        pendingCaret_ = position;
        return;
    }
    QTextCursor cursor(document());
    cursor.setPosition(position);
    setTextCursor(cursor);
}

qsizetype RotTextBox::toExact(int position) const
{
    const auto crLfs = std::upper_bound(crLfParagraphs_.begin(), crLfParagraphs_.end(), position);
    return position + (crLfs - crLfParagraphs_.begin());
}

int RotTextBox::toDocument(qsizetype position, bool roundUp) const
{
    // The k-th CR LF break (from 0) of the paragraph at p takes the exact units p - 1 + k and p + k.
    const qsizetype crLfs = qsizetype(crLfParagraphs_.size());
    qsizetype before = 0;
    for (qsizetype high = crLfs; before < high;) {
        const qsizetype middle = (before + high) / 2;
        if (crLfParagraphs_[middle] + middle + 1 <= position)
            before = middle + 1;
        else
            high = middle;
    }
    if (before < crLfs && crLfParagraphs_[before] + before == position)
        return crLfParagraphs_[before] - (roundUp ? 0 : 1);
    return int(position - before);
}

void RotTextBox::writeExact(int from, int to, const QString &text)
{
    const LayoutPause pause(this);
    QTextCursor cursor(document());
    // Inside an edit block a cursor does not lay out its paragraph to find its x, which on one huge
    // paragraph costs more than the write. The mirror is brought up to date before the block ends
    // and the change signals run.
    writing_ = true;
    cursor.beginEditBlock();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    insertExact(cursor, text);
    mirror(from, to - from, cursor.position() - from, text);
    cursor.endEditBlock();
    writing_ = false;
}

void RotTextBox::follow(int from, int removed, int added)
{
    if (writing_)
        return;
    // Qt counts the closing paragraph mark when a change reaches the end of the document.
    const int over = std::max(0, from + removed - documentLength_);
    removed -= over;
    added -= over;
    const qsizetype exactFrom = toExact(from);
    QString removedText = exact_.mid(exactFrom, toExact(from + removed) - exactFrom);
    const QString addedText = textBetween(from, from + added);
    mirror(from, removed, added, addedText);
    if (groupDepth_ > 0 || removedText == addedText)
        return;
    const bool typing = !pasting_ && removed + added == 1;
    history_.record({exactFrom, addedText.size(), std::move(removedText), typing});
}

void RotTextBox::mirror(int from, int removed, int added, const QString &addedText)
{
    const qsizetype exactFrom = toExact(from);
    const qsizetype exactRemoved = toExact(from + removed) - exactFrom;
    if (exactFrom == 0 && exactRemoved == exact_.size())
        exact_ = addedText;
    else
        exact_.replace(exactFrom, exactRemoved, addedText);

    auto first = std::upper_bound(crLfParagraphs_.begin(), crLfParagraphs_.end(), from);
    const auto last = std::upper_bound(first, crLfParagraphs_.end(), from + removed);
    first = crLfParagraphs_.erase(first, last);
    for (auto shifted = first; shifted != crLfParagraphs_.end(); ++shifted)
        *shifted += added - removed;
    std::vector<int> inserted;
    for (QTextBlock block = document()->findBlock(from).next();
         block.isValid() && block.position() <= from + added; block = block.next()) {
        if (block.userState() == CrLf)
            inserted.push_back(block.position());
    }
    crLfParagraphs_.insert(first, inserted.begin(), inserted.end());
    documentLength_ = document()->characterCount() - 1;
}

void RotTextBox::insertExact(QTextCursor &cursor, const QString &text)
{
    const int start = cursor.selectionStart();
    cursor.insertText(text);
    QTextBlock block = document()->findBlock(start);
    ForEachBreak(text, [&block](Break kind) {
        block = block.next();
        block.setUserState(kind);
    });
}

QString RotTextBox::textBetween(int from, int to) const
{
    QString result;
    result.reserve(to - from);
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const int position = block.position();
        if (position > from)
            result += BreakText(block.userState());
        const QString blockText = block.text();
        const int begin = std::max(from, position) - position;
        const int end = std::min<int>(to - position, blockText.size());
        if (end > begin)
            result += QStringView(blockText).mid(begin, end - begin);
    }
    return result;
}

void RotTextBox::chooseWrapMode()
{
    const auto mode = HasLongUnbreakableRun(document()) ? QTextOption::WrapAnywhere
                                                        : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (wordWrapMode() != mode)
        setWordWrapMode(mode);
}

void RotTextBox::keyPressEvent(QKeyEvent *event)
{
    const bool ctrlY = event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier;
    if (event->matches(QKeySequence::Undo))
        undo();
    else if (event->matches(QKeySequence::Redo) || ctrlY)
        redo();
    else
        QPlainTextEdit::keyPressEvent(event);
    emit keyPressed();
}

QMenu *RotTextBox::createStandardContextMenu(const QPoint &position)
{
    QMenu *menu = QPlainTextEdit::createStandardContextMenu(position);
    const struct {
        const char *name;
        void (RotTextBox::*act)();
        bool enabled;
    } replaced[] = {{"edit-undo", &RotTextBox::undo, canUndo()}, {"edit-redo", &RotTextBox::redo, canRedo()}};
    for (const auto &[name, act, enabled] : replaced) {
        QAction *standard = menu->findChild<QAction *>(QLatin1String(name));
        if (!standard)
            continue;
        auto *own = new QAction(standard->icon(), standard->text(), menu);
        own->setObjectName(standard->objectName());
        own->setEnabled(enabled);
        connect(own, &QAction::triggered, this, act);
        menu->insertAction(standard, own);
        delete standard;
    }
    return menu;
}

void RotTextBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu(event->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void RotTextBox::keyReleaseEvent(QKeyEvent *event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    emit keyReleased();
}

void RotTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    emit mouseReleased();
}

bool RotTextBox::canInsertFromMimeData(const QMimeData *source) const
{
    // Plain text only: a dropped file is neither read nor turned into its path, an image is ignored.
    const QList<QUrl> urls = source->urls();
    const bool carriesFiles
        = std::any_of(urls.begin(), urls.end(), [](const QUrl &url) { return url.isLocalFile(); });
    return source->hasText() && !carriesFiles;
}

void RotTextBox::insertFromMimeData(const QMimeData *source)
{
    if (canInsertFromMimeData(source))
        replaceSelection(source->text());
    ensureCursorVisible();
}

QMimeData *RotTextBox::createMimeDataFromSelection() const
{
    auto *mime = new QMimeData;
    mime->setText(selectedText());
    return mime;
}

RotTextBox::LayoutPause::LayoutPause(RotTextBox *box)
    : box_(box)
{
    box_->layout_->pause();
}

RotTextBox::LayoutPause::~LayoutPause()
{
    // The wrap mode is settled before the one layout that follows, so a long run is never word-wrapped.
    if (box_->layout_->depth() == 1) {
        box_->catchUpDocument();
        box_->chooseWrapMode();
    }
    box_->layout_->resume();
    if (!box_->layout_->paused() && box_->pendingCaret_ >= 0)
        box_->placeCaret(std::exchange(box_->pendingCaret_, -1));
}

RotTextBox::EditGroup::EditGroup(RotTextBox *box)
    : box_(box)
{
    if (box_->groupDepth_++ == 0)
        box_->groupStart_ = box_->exact_;
}

RotTextBox::EditGroup::~EditGroup()
{
    if (--box_->groupDepth_ > 0)
        return;
    box_->history_.closeTyping();
    QString start = std::exchange(box_->groupStart_, QString());
    if (box_->exact_ != start)
        box_->history_.record({0, box_->exact_.size(), std::move(start), false});
}

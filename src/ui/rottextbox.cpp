// Exact-text storage, wrap-mode choice and deferred layout for the working text box.
#include "ui/rottextbox.h"

#include <algorithm>

#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

class DeferrableLayout final : public QPlainTextDocumentLayout
{
public:
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
    layout_ = new DeferrableLayout(document);
    document->setDocumentLayout(layout_);
    setDocument(document);

    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    connect(document, &QTextDocument::contentsChanged, this, [this] {
        if (!layout_->paused())
            chooseWrapMode();
    });
}

QString RotTextBox::text() const
{
    return textBetween(0, document()->characterCount() - 1);
}

void RotTextBox::replaceAll(const QString &text, bool joinPreviousUndoStep)
{
    {
        const LayoutPause pause(this);
        QTextCursor cursor(document());
        if (joinPreviousUndoStep)
            cursor.joinPreviousEditBlock();
        else
            cursor.beginEditBlock();
        cursor.select(QTextCursor::Document);
        insertExact(cursor, text);
        cursor.endEditBlock();
    }
    // Placing the caret lays out the paragraph it is in, so under an outer pause that waits for its end.
    if (layout_->paused())
        caretToStartPending_ = true;
    else
        setTextCursor(QTextCursor(document()));
}

void RotTextBox::replaceSelection(const QString &text)
{
    QTextCursor cursor = textCursor();
    {
        const LayoutPause pause(this);
        cursor.beginEditBlock();
        insertExact(cursor, text);
        cursor.endEditBlock();
    }
    setTextCursor(cursor);
}

int RotTextBox::selectionLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

QString RotTextBox::selectedText() const
{
    const QTextCursor cursor = textCursor();
    return textBetween(cursor.selectionStart(), cursor.selectionEnd());
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
    QPlainTextEdit::keyPressEvent(event);
    emit keyPressed();
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
    if (box_->layout_->depth() == 1)
        box_->chooseWrapMode();
    box_->layout_->resume();
    if (!box_->layout_->paused() && box_->caretToStartPending_) {
        box_->caretToStartPending_ = false;
        box_->setTextCursor(QTextCursor(box_->document()));
    }
}

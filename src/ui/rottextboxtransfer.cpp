// The working text box's exchanges with the rest of the desktop: clipboard and drag-and-drop data, drops,
// and the context menu, whose Undo and Redo act on the box's own history.
#include "ui/rottextbox.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

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
    document_.endTyping();
    QMenu *menu = createStandardContextMenu(event->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
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

void RotTextBox::dropEvent(QDropEvent *event)
{
    // Qt would take a moved selection out and put the drop in as one change that mixes both; the box writes
    // them itself, so that it knows every unit, and records them as one undo step.
    QDragLeaveEvent leave;
    QPlainTextEdit::dragLeaveEvent(&leave);
    const QMimeData *mime = event->mimeData();
    if (!canInsertFromMimeData(mime)) {
        event->ignore();
        return;
    }
    catchUp();
    document_.endTyping();
    const qsizetype at = cursorForPosition(event->position().toPoint()).position();
    const QTextCursor selection = textCursor();
    const bool ownMove = (event->source() == this || event->source() == viewport())
        && event->dropAction() == Qt::MoveAction && selection.hasSelection();
    if (!ownMove) {
        QTextCursor cursor(document());
        cursor.setPosition(int(at));
        setTextCursor(cursor);
        replaceSelection(mime->text());
        event->acceptProposedAction();
        return;
    }
    // The drag's source removes nothing itself once the drop reports a copy.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (at < selection.selectionStart() || at > selection.selectionEnd())
        apply(document_.move(
            Position(selection.selectionStart()), Position(selection.selectionEnd()), Position(at)));
}

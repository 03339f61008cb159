// Message boxes over QMessageBox, with a seam for tests.
#include "platform/messagebox.h"

#include <QLabel>
#include <QMessageBox>

namespace platform
{

namespace
{
MessageHandler &Handler()
{
    static MessageHandler handler;
    return handler;
}

QMessageBox::Icon ToQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QString IconName(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QStringLiteral("Information");
    case MessageIcon::Exclamation:
        return QStringLiteral("Warning");
    case MessageIcon::Critical:
        return QStringLiteral("Error");
    }
    return {};
}
} // namespace

void ShowMessage(QWidget *parent, const Message &message)
{
    if (Handler()) {
        Handler()(message);
        return;
    }
    // A plain-text QLabel breaks at LF and has no use for the CR before it.
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(ToQt(message.icon), message.title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    // Screen readers would meet the icon as an image without a name.
    if (auto *icon = box.findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label")))
        icon->setAccessibleName(IconName(message.icon));
    box.exec();
}

void SetMessageHandler(MessageHandler handler)
{
    Handler() = std::move(handler);
}

} // namespace platform

// Loading "wordlist.txt" at start-up.
#include "ui/modFunctions.h"

#include <string_view>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include "platform/messagebox.h"
#include "platform/paths.h"
#include "ui/frmMain.h"
#include "ui/messages.h"
#include "ui/wordlistholder.h"
#include "wordlist/wordlist.h"

namespace modFunctions
{

QString WordListPath()
{
    return QDir::toNativeSeparators(platform::ProgramDirectory() + QStringLiteral("/wordlist.txt"));
}

void LoadWordList(frmMain &form, const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        platform::ShowMessage(nullptr, messages::WordListMissing());
        form.cmdAutoRot->setEnabled(false);
        return;
    }

    // Only a regular file is read: a folder has no lines, and a pipe or device could block start-up.
    QString problem;
    QByteArray bytes;
    if (!info.isFile()) {
        problem = QStringLiteral("it is not a regular file");
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            problem = file.errorString();
        } else {
            bytes = file.readAll();
            if (file.error() != QFileDevice::NoError)
                problem = file.errorString();
        }
    }
    if (!problem.isEmpty()) {
        platform::ShowMessage(nullptr, messages::WordListUnreadable(path, problem));
        form.cmdAutoRot->setEnabled(false);
        return;
    }

    form.lstWords->setItems(ParseWordList(std::string_view(bytes.constData(), bytes.size())));
}

} // namespace modFunctions

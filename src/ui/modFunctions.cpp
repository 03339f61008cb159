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

namespace
{
// No line decodes to more units than it has bytes, so a smaller file always fits the list's offsets.
constexpr qint64 kLargestListBytes = qint64 {1} << 32;
} // namespace

QString WordListPath()
{
    return QDir::toNativeSeparators(platform::ProgramDirectory() + QStringLiteral("/wordlist.txt"));
}

std::variant<QByteArray, ReadFailure> ReadWordListFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return ReadFailure {ReadFailure::Kind::NotRegularFile, {}};
    if (info.size() >= kLargestListBytes)
        return ReadFailure {ReadFailure::Kind::TooLarge, {}};
    // Read rather than mapped: a mapped file that another program shortens while it is parsed would end
    // the process with SIGBUS.
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return ReadFailure {ReadFailure::Kind::System, file.errorString()};
    return bytes;
}

void LoadWordList(frmMain &form, const QString &path)
{
    if (!QFileInfo::exists(path)) {
        platform::ShowMessage(nullptr, messages::WordListMissing());
        form.cmdAutoRot->setEnabled(false);
        return;
    }
    const auto read = ReadWordListFile(path);
    if (const auto *failure = std::get_if<ReadFailure>(&read)) {
        platform::ShowMessage(nullptr, messages::WordListUnreadable(path, *failure));
        form.cmdAutoRot->setEnabled(false);
        return;
    }
    const QByteArray &bytes = std::get<QByteArray>(read);
    form.lstWords->setItems(ParseWordList(std::string_view(bytes.constData(), bytes.size())));
}

} // namespace modFunctions

// Texts of the program's messages.
#include "ui/messages.h"

namespace messages
{

using platform::Message;
using platform::MessageIcon;

namespace
{
const QString kCrLf = QStringLiteral("\r\n");
}

Message ForInputProblem(InputProblem problem)
{
    const QString title = QStringLiteral("Duh!");
    switch (problem) {
    case InputProblem::EmptyText:
        return {
            title, QStringLiteral("It often helps if you enter something to ROT"), MessageIcon::Information};
    case InputProblem::EmptyLevel:
        return {title, QStringLiteral("It often helps if you enter the ROT level you want to use"),
            MessageIcon::Information};
    case InputProblem::LevelNotNumeric:
        return {title,
            QStringLiteral("ROT levels are numeric.  Please enter something numeric and try again."),
            MessageIcon::Information};
    case InputProblem::LevelOutOfRange:
        return {title, QStringLiteral("ROT levels should be between 0 and 26"), MessageIcon::Information};
    case InputProblem::None:
        break;
    }
    return {};
}

Message WordListMissing()
{
    return {QStringLiteral("Error!"),
        QStringLiteral("The file \"wordlist.txt\" was not found.") + kCrLf + kCrLf
            + QStringLiteral("You will not be able to use AutoRot until you create this file and restart the "
                             "program.  This file is included in the download available from ")
            + kSiteDomain,
        MessageIcon::Critical};
}

namespace
{
QString ReasonFor(const WordListFileError &failure)
{
    using Kind = WordListFileError::Kind;
    switch (failure.kind) {
    case Kind::NotRegularFile:
        return QStringLiteral("it is not a regular file");
    case Kind::TooLarge:
        return QStringLiteral("it is 4 GB or larger");
    case Kind::TooLong:
        return QStringLiteral("its entries hold more than %1 characters").arg(WordList::kMaxUnits);
    case Kind::OutOfMemory:
        return QStringLiteral("there is not enough memory to hold it");
    case Kind::Missing:
    case Kind::System:
        break;
    }
    return QString::fromLocal8Bit(failure.systemReason);
}
} // namespace

Message WordListUnreadable(const QString &path, const WordListFileError &failure)
{
    const QString reason = ReasonFor(failure);
    return {QStringLiteral("Error!"),
        QStringLiteral("The file \"%1\" could not be read: %2.").arg(path, reason) + kCrLf + kCrLf
            + QStringLiteral(
                "You will not be able to use AutoRot until this file can be read and you restart "
                "the program."),
        MessageIcon::Critical};
}

Message NothingToAutoRot()
{
    return {QStringLiteral("Error"), QStringLiteral("It helps if you type something to AutoRot.."),
        MessageIcon::Exclamation};
}

Message AutoRotFailed()
{
    return {QStringLiteral("Error"), QStringLiteral("Couldn't AutoRot this text, sorry."),
        MessageIcon::Exclamation};
}

Message AutoRotSucceeded(int level, std::uint64_t matches)
{
    return {QStringLiteral("Success!"),
        QStringLiteral("AutoRot suspects that this text was ciphered with ROT level %1.").arg(level) + kCrLf
            + kCrLf
            + QStringLiteral("AutoRot found %1 word matches within this ROT level.")
                  .arg(static_cast<qulonglong>(matches)),
        MessageIcon::Information};
}

} // namespace messages

// Every message the program shows: titles, texts and icons in one place.
#pragma once

#include <cstdint>

#include <QString>

#include "platform/messagebox.h"
#include "rot/rot.h"
#include "wordlist/wordlistfile.h"

namespace messages
{

// The site that distributes Quindle; its address ends the window caption and its name the word-list message.
inline const QString kSiteDomain = QStringLiteral("quindle.org");
inline const QString kSiteAddress = QStringLiteral("https://") + kSiteDomain;

// The refusal of a level check; None has no message.
platform::Message ForInputProblem(InputProblem problem);

platform::Message WordListMissing();
platform::Message WordListUnreadable(const QString &path, const WordListFileError &failure);

platform::Message NothingToAutoRot();
platform::Message AutoRotFailed();
platform::Message AutoRotSucceeded(int level, std::uint64_t matches);

} // namespace messages

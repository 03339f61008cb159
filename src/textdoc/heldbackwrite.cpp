// The held-back whole-text write of the text box's document.
#include "textdoc/heldbackwrite.h"

#include <utility>

const ExactText &HeldBackWrite::exact() const
{
    if (!isAnalysed_) {
        analysed_.assign(text_);
        isAnalysed_ = true;
    }
    return analysed_;
}

void HeldBackWrite::hold(ExactText &shown, const QString &text)
{
    if (!active_)
        std::swap(shown_, shown);
    active_ = true;
    text_ = text;
    isAnalysed_ = false;
}

ExactText HeldBackWrite::release()
{
    active_ = false;
    text_ = QString();
    analysed_ = ExactText();
    isAnalysed_ = false;
    return std::exchange(shown_, ExactText());
}

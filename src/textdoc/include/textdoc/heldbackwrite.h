// A whole-text write held back from the view: under a pause the view's document shows only the last of many
// writes, when the pause ends, and until then goes on showing an older text. The new text is analysed into
// positions only if they are read meanwhile, so that many writes in a row cost no scan of their texts.
#pragma once

#include <QString>

#include "textdoc/exacttext.h"

class HeldBackWrite final
{
public:
    // The view's document shows an older text.
    bool active() const { return active_; }
    // What the view's document shows while active.
    const ExactText &shown() const { return shown_; }
    const QString &text() const { return text_; }
    // The held text in positions.
    const ExactText &exact() const;

    // Holds `text` back from a view that shows `shown`, which the first hold takes over.
    void hold(ExactText &shown, const QString &text);
    // Ends the hold, and gives back what the view's document shows.
    ExactText release();

private:
    bool active_ = false;
    ExactText shown_;
    QString text_;
    mutable ExactText analysed_;
    mutable bool isAnalysed_ = false;
};

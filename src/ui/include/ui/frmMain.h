// The main and only window: the working text, the ROT level and the buttons that act on them.
//
// Each control event has a short handler that reads the controls, calls the toolkit-free core
// (RotText, the level checks, the word matcher) and writes the result back. The load sequence in the
// constructor fills the hidden word list through modFunctions::LoadWordList and sets the Copy button.
// Messages go through platform::ShowMessage, which tests can answer without a modal box.
#pragma once

#include <QString>
#include <QWidget>

#include "platform/twips.h"
#include "ui/modFunctions.h"
#include "wordlist/wordlist.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RotTextBox;
class WordListHolder;

class frmMain final : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(const QString &wordListPath = modFunctions::WordListPath(), QWidget *parent = nullptr);

    bool ValidateInput();
    void UpdateCopyButton();
    // The two steps of the load sequence that the word-list loader takes: the list's entries, read from the
    // file at `path`, or AutoRot off for the rest of the run.
    void FillWordList(WordList entries, const QString &path);
    void DisableAutoRot();

private:
    void createControls();
    void createRotFrame();
    void createClipboardFrame();
    void setTabOrderAndFocus();
    void describeForAccessibility();
    void connectEvents();
    int twips(int value) const;
    // Names a control after its member and lays it out in twips inside its container.
    template <typename Control>
    Control *place(Control *control, const char *name, int left, int top, int width, int height) const;

    void cmdToRot_Click();
    void cmdFromRot_Click();
    void cmdAutoRot_Click();
    void cmdCopy_Click();
    void cmdPaste_Click();
    void chkFixedFont_Click();

    qreal dpi_ = platform::kDefaultDpi;

    RotTextBox *txtRot = nullptr;
    QCheckBox *chkFixedFont = nullptr;
    WordListHolder *lstWords = nullptr;
    QGroupBox *fraRot = nullptr;
    QPushButton *cmdAutoRot = nullptr;
    QLineEdit *txtRotLvl = nullptr;
    QPushButton *cmdFromRot = nullptr;
    QPushButton *cmdToRot = nullptr;
    QLabel *lblRotLvl = nullptr;
    QGroupBox *fraClipboard = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdPaste = nullptr;
};

// The main window: controls laid out in twips, the load sequence and the control event handlers.
#include "ui/frmMain.h"

#include <cstddef>
#include <optional>
#include <utility>

#include <QAccessibleWidget>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include "platform/clipboard.h"
#include "platform/fonts.h"
#include "platform/messagebox.h"
#include "rot/rot.h"
#include "ui/messages.h"
#include "ui/rottextbox.h"
#include "ui/textconv.h"
#include "ui/wordlistholder.h"
#include "wordlist/search.h"

namespace
{
constexpr int kClientWidth = 7200;
constexpr int kClientHeight = 4680;
// The tightest caption: the stand-in for Tahoma shrinks until it fits.
const QString kRotLevelCaption = QStringLiteral("ROT level:");
constexpr int kRotLevelWidth = 855;

// A wait cursor for as long as a long-running command works.
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// Rotates into `out`'s own storage, which a string held nowhere else keeps from call to call.
void RotTextInto(const QString &text, int level, QString &out)
{
    out.resize(text.size());
    RotText(ToCore(text), level, reinterpret_cast<char16_t *>(out.data()));
}

// Read with the built-in PNG reader: QIcon::addFile sniffs the format by loading every image-format plugin
// (GIF, ICO, JPEG and the libraries they pull in), a few milliseconds of start-up for two small PNGs.
QIcon WindowIcon()
{
    QIcon icon;
    for (const QString &path :
        {QStringLiteral(":/icons/quindle-16.png"), QStringLiteral(":/icons/quindle-32.png")}) {
        QImageReader reader(path, "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

// Screen readers take a top-level window by its frame role; a plain widget would be a mere filler.
QAccessibleInterface *WindowAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("frmMain") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}
} // namespace

frmMain::frmMain(const QString &wordListPath, QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    // Before anything asks for the window's accessible interface, which is made once and kept.
    QAccessible::installFactory(WindowAccessible);
    dpi_ = platform::ScreenDpi();

    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quindle - ") + messages::kSiteAddress);
    setWindowIcon(WindowIcon());
    setFont(platform::UiFont({kRotLevelCaption, kRotLevelWidth, true}));
    setFixedSize(twips(kClientWidth), twips(kClientHeight));
    // Frame captions sit on the frame's top edge, so the controls fit inside at their given offsets. A check
    // box keeps its caption close: the styles' wider gaps push "Fixed width font" past the box's width
    // where the text is hinted wider, as on Windows.
    setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: %1px; }"
                                 "QGroupBox::title { subcontrol-origin: margin; left: %2px; padding: 0 1px; }"
                                 "QCheckBox { spacing: %3px; }")
                      .arg(QFontMetrics(font()).height() / 2)
                      .arg(twips(90))
                      .arg(twips(60)));

    createControls();
    setTabOrderAndFocus();
    describeForAccessibility();
    connectEvents();

    modFunctions::LoadWordList(*this, wordListPath);
    UpdateCopyButton();

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

int frmMain::twips(int value) const
{
    return platform::TwipsToPixels(value, dpi_);
}

template <typename Control>
Control *frmMain::place(Control *control, const char *name, int left, int top, int width, int height) const
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(twips(left), twips(top), twips(width), twips(height));
    // The window's style sheet stops font inheritance, so each control is given the font itself.
    control->setFont(font());
    return control;
}

void frmMain::createControls()
{
    txtRot = place(new RotTextBox(this), "txtRot", 60, 60, 7080, 2655);

    chkFixedFont = place(
        new QCheckBox(QStringLiteral("Fixed width font"), this), "chkFixedFont", 120, 2760, 1515, 255);

    lstWords = new WordListHolder(this);
    lstWords->setObjectName(QStringLiteral("lstWords"));

    createRotFrame();
    createClipboardFrame();
}

void frmMain::createRotFrame()
{
    fraRot = place(new QGroupBox(QStringLiteral("ROT: "), this), "fraRot", 4080, 2820, 3015, 1815);

    cmdAutoRot
        = place(new QPushButton(QStringLiteral("AutoRot"), fraRot), "cmdAutoRot", 1680, 1320, 1215, 375);

    txtRotLvl = place(new QLineEdit(QStringLiteral("13"), fraRot), "txtRotLvl", 420, 660, 615, 285);

    cmdFromRot
        = place(new QPushButton(QStringLiteral("From ROT"), fraRot), "cmdFromRot", 1680, 720, 1215, 375);

    cmdToRot = place(new QPushButton(QStringLiteral("To ROT"), fraRot), "cmdToRot", 1680, 240, 1215, 375);

    lblRotLvl = place(new QLabel(kRotLevelCaption, fraRot), "lblRotLvl", 300, 420, kRotLevelWidth, 255);
    lblRotLvl->setBuddy(txtRotLvl);
    QFont bold = font();
    bold.setBold(true);
    lblRotLvl->setFont(bold);
}

void frmMain::createClipboardFrame()
{
    fraClipboard
        = place(new QGroupBox(QStringLiteral("Clipboard: "), this), "fraClipboard", 2460, 2820, 1455, 1815);

    cmdCopy
        = place(new QPushButton(QStringLiteral("Copy to.."), fraClipboard), "cmdCopy", 120, 540, 1215, 375);

    cmdPaste = place(
        new QPushButton(QStringLiteral("Paste from.."), fraClipboard), "cmdPaste", 120, 1020, 1215, 375);
}

void frmMain::setTabOrderAndFocus()
{
    for (QPushButton *button : {cmdAutoRot, cmdFromRot, cmdToRot, cmdCopy, cmdPaste}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        // Enter presses the focused button, as Space does and as on other desktops; none is the default.
        for (const QKeyCombination key : {Qt::Key_Return, Qt::Key_Enter})
            new QShortcut(key, button, button, &QPushButton::click, Qt::WidgetShortcut);
    }
    fraRot->setFocusPolicy(Qt::NoFocus);
    fraClipboard->setFocusPolicy(Qt::NoFocus);
    lblRotLvl->setFocusPolicy(Qt::NoFocus);

    const QWidget *order[]
        = {txtRot, chkFixedFont, cmdAutoRot, txtRotLvl, cmdFromRot, cmdToRot, cmdCopy, cmdPaste};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(const_cast<QWidget *>(order[i - 1]), const_cast<QWidget *>(order[i]));
    txtRot->setFocus();
}

void frmMain::describeForAccessibility()
{
    txtRot->setAccessibleName(QStringLiteral("Text"));
    chkFixedFont->setAccessibleName(chkFixedFont->text());
    txtRotLvl->setAccessibleName(lblRotLvl->text());
    const std::pair<QPushButton *, QString> buttons[] = {
        {cmdToRot, QStringLiteral("Encipher the whole text with the ROT level")},
        {cmdFromRot, QStringLiteral("Decipher the whole text with the ROT level")},
        {cmdAutoRot, QStringLiteral("Find the ROT level with the word list and decipher the text")},
        {cmdCopy, QStringLiteral("Copy the selected text to the clipboard")},
        {cmdPaste, QStringLiteral("Paste the clipboard's text over the selection")},
    };
    for (const auto &[button, description] : buttons) {
        button->setAccessibleName(button->text());
        button->setAccessibleDescription(description);
    }
}

void frmMain::connectEvents()
{
    connect(txtRot, &QPlainTextEdit::textChanged, this, &frmMain::UpdateCopyButton);
    connect(txtRot, &RotTextBox::mouseReleased, this, &frmMain::UpdateCopyButton);
    connect(txtRot, &RotTextBox::keyPressed, this, &frmMain::UpdateCopyButton);
    connect(txtRot, &RotTextBox::keyReleased, this, &frmMain::UpdateCopyButton);
    // Selections made by Select All in the context menu or by a drag report no key or click.
    connect(txtRot, &QPlainTextEdit::selectionChanged, this, &frmMain::UpdateCopyButton);

    // Typing after a command, even a refused one, starts a new undo step.
    for (QPushButton *command : {cmdToRot, cmdFromRot, cmdAutoRot, cmdPaste})
        connect(command, &QPushButton::clicked, txtRot, &RotTextBox::endTypingStep);

    // Assistive tools toggle the box through its action, which reports no click.
    connect(chkFixedFont, &QCheckBox::toggled, this, &frmMain::chkFixedFont_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &frmMain::cmdCopy_Click);
    connect(cmdPaste, &QPushButton::clicked, this, &frmMain::cmdPaste_Click);
    connect(cmdToRot, &QPushButton::clicked, this, &frmMain::cmdToRot_Click);
    connect(cmdFromRot, &QPushButton::clicked, this, &frmMain::cmdFromRot_Click);
    connect(cmdAutoRot, &QPushButton::clicked, this, &frmMain::cmdAutoRot_Click);
}

bool frmMain::ValidateInput()
{
    const InputProblem problem = CheckInput(ToCore(txtRot->text()), ToCore(txtRotLvl->text()));
    if (problem == InputProblem::None)
        return true;
    platform::ShowMessage(this, messages::ForInputProblem(problem));
    return false;
}

void frmMain::UpdateCopyButton()
{
    cmdCopy->setEnabled(txtRot->selectionLength() > 0);
}

void frmMain::FillWordList(WordList entries, const QString &path)
{
    lstWords->setItems(std::move(entries), path);
}

void frmMain::DisableAutoRot()
{
    cmdAutoRot->setEnabled(false);
}

void frmMain::cmdToRot_Click()
{
    if (!ValidateInput())
        return;
    const QString text = txtRot->text();
    const int level = EncodeLevel(ToCore(txtRotLvl->text()));
    txtRot->replaceAll(ToQt(RotText(ToCore(text), level)));
}

void frmMain::cmdFromRot_Click()
{
    if (!ValidateInput())
        return;
    const QString text = txtRot->text();
    const int level = DecodeLevel(ToCore(txtRotLvl->text()));
    txtRot->replaceAll(ToQt(RotText(ToCore(text), level)));
}

void frmMain::cmdAutoRot_Click()
{
    if (txtRot->document()->isEmpty()) {
        platform::ShowMessage(this, messages::NothingToAutoRot());
        return;
    }
    const QString startText = txtRot->text();
    std::optional<RotationCounts> counts;
    {
        const WaitCursor wait;
        counts = lstWords->countRotations(ToCore(startText));
    }
    if (!counts) {
        // Counted before the box is touched, so the text and the undo history stay as they were.
        platform::ShowMessage(
            this, messages::WordListUnreadable(lstWords->path(), {WordListFileError::Kind::OutOfMemory, {}}));
        DisableAutoRot();
        return;
    }
    // The search's writes and its result are one undo step, and none when the text ends as it began.
    const RotTextBox::EditGroup undoStep(txtRot);
    AutoRotVerdict verdict;
    // Memory the steps have already touched takes the decoding.
    QString decoding;
    {
        const WaitCursor wait;
        // Every step is written into the box, but laid out only once, when the search is over.
        const RotTextBox::LayoutPause pause(txtRot);
        // Two texts in turn: while the box holds one step, the next is rotated into the other's memory.
        QString steps[2];
        const QString *previous = &startText;
        for (int step = 1; step <= kAlphabetSize; ++step) {
            QString &current = steps[step % 2];
            RotTextInto(*previous, 1, current);
            previous = &current;
            txtRot->replaceAll(current);
            verdict.Consider(step, counts->byStep[static_cast<std::size_t>(step - 1)]);
        }
        decoding = std::move(steps[(kAlphabetSize + 1) % 2]);
    }
    if (!verdict.Found()) {
        platform::ShowMessage(this, messages::AutoRotFailed());
        return;
    }
    // The box keeps the starting text while the user reads the verdict; the decoding follows the OK.
    platform::ShowMessage(this, messages::AutoRotSucceeded(verdict.level, verdict.matches));
    RotTextInto(startText, kAlphabetSize - verdict.level, decoding);
    txtRot->replaceAll(decoding);
}

void frmMain::cmdCopy_Click()
{
    if (txtRot->selectionLength() > 0)
        platform::SetClipboardText(txtRot->selectedText());
    txtRot->setFocus();
    UpdateCopyButton();
}

void frmMain::cmdPaste_Click()
{
    txtRot->replaceSelection(platform::ClipboardText());
}

void frmMain::chkFixedFont_Click()
{
    txtRot->setFont(
        chkFixedFont->isChecked() ? platform::FixedWidthFont(txtRot->font()) : platform::ProportionalFont());
    txtRot->setFocus();
}

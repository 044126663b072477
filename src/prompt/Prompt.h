#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QDialog;

namespace nerova {

// Every modal interaction of the program goes through this seam: message boxes,
// questions, the text input box, file and folder choosers and our own modal dialogs.
// Production uses QtPrompt; tests install a scripted implementation that records what
// was shown and answers from a queue, so every flow runs headless.
class Prompt {
public:
    enum class Kind { Information, Warning, Error, Confirmation };
    enum class Button { Ok, Cancel, Yes, No };

    virtual ~Prompt() = default;

    // A message box of the given kind with the given buttons; answers the button pressed.
    // Closing the box without a button answers Cancel, or No when there is no Cancel.
    virtual Button message(Kind kind, const QString& text, const QList<Button>& buttons,
                           const QString& title = {}) = 0;
    // The same box with the button that Enter presses given (one of buttons), for a
    // question whose careless answer cannot be undone. One that shows no box answers as
    // message() does.
    virtual Button messageWithDefault(Kind kind, const QString& text, const QList<Button>& buttons,
                                      Button defaultButton, const QString& title = {});

    // The text input box; nullopt when cancelled.
    virtual std::optional<QString> inputText(const QString& title, const QString& prompt,
                                             const QString& initial = {}) = 0;

    // The open-file dialog. filters are "Name (*.ext)" entries; selectedFilter picks the
    // preselected one. Answers the chosen path, or an empty string when cancelled.
    virtual QString openFile(const QString& title, const QString& directory,
                             const QStringList& filters, const QString& selectedFilter,
                             const QString& defaultSuffix) = 0;

    // The save-file dialog (for "Save as PDF…"). Empty when cancelled.
    virtual QString saveFile(const QString& title, const QString& directory, const QString& filter,
                             const QString& defaultSuffix) = 0;

    // The folder browser. Empty when cancelled.
    virtual QString browseFolder(const QString& title, const QString& prompt,
                                 const QString& startFolder) = 0;

    // Runs one of our own dialogs modally; answers QDialog::Accepted or Rejected.
    virtual int runDialog(QDialog& dialog) = 0;

    // The process-wide seam. A QtPrompt until another is installed.
    static Prompt& instance();
    // Installs p (not owned); nullptr restores the Qt implementation.
    static void install(Prompt* p);

    // Shorthands used throughout the program.
    static void information(const QString& text);
    static void warning(const QString& text);
    static void error(const QString& text);
    // Yes/No question in a box of the given kind; true for Yes. Enter answers defaultButton.
    static bool askYesNo(Kind kind, const QString& text, const QString& title = {},
                         Button defaultButton = Button::Yes);
};

class QtPrompt final : public Prompt {
public:
    Button message(Kind kind, const QString& text, const QList<Button>& buttons,
                   const QString& title) override;
    Button messageWithDefault(Kind kind, const QString& text, const QList<Button>& buttons,
                              Button defaultButton, const QString& title) override;
    std::optional<QString> inputText(const QString& title, const QString& prompt,
                                     const QString& initial) override;
    QString openFile(const QString& title, const QString& directory, const QStringList& filters,
                     const QString& selectedFilter, const QString& defaultSuffix) override;
    QString saveFile(const QString& title, const QString& directory, const QString& filter,
                     const QString& defaultSuffix) override;
    QString browseFolder(const QString& title, const QString& prompt,
                         const QString& startFolder) override;
    int runDialog(QDialog& dialog) override;
};

} // namespace nerova

#pragma once

#include "prompt/Prompt.h"

#include <QDialog>
#include <QQueue>
#include <QStringList>
#include <functional>

namespace nerova::test {

// A prompt seam for tests: records every text shown and answers from queues. A message box
// with no queued answer is one the test did not expect: it fails the running test, naming
// the box, and is closed (Cancel, else No, else its only button). An input box or file
// dialog with no queued answer is cancelled; a dialog of ours with no queued handler is
// rejected. Installs itself on construction and restores the Qt seam on destruction.
class ScriptedPrompt final : public Prompt {
public:
    struct Shown {
        Kind kind;
        QString text;
        QList<Button> buttons;
        QString title;
    };

    ScriptedPrompt();
    ~ScriptedPrompt() override;

    // Queued answers.
    QQueue<Button> buttons;
    QQueue<std::optional<QString>> inputs;
    QQueue<QString> files;   // openFile and saveFile
    QQueue<QString> folders; // browseFolder
    // Handlers for our own dialogs: fill the fields, then return Accepted or Rejected
    // (or call accept()/reject() and return dialog.result()).
    QQueue<std::function<int(QDialog&)>> dialogs;

    // What was shown.
    QList<Shown> messages;
    QStringList inputPrompts;   // "title|prompt"
    QStringList fileRequests;   // "title|directory|filters|selected|suffix"
    QStringList folderRequests; // "title|prompt|start"
    QStringList dialogTitles;   // window titles of dialogs run

    QStringList texts() const;
    QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }
    void clear();

    Button message(Kind kind, const QString& text, const QList<Button>& btns,
                   const QString& title) override;
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

} // namespace nerova::test

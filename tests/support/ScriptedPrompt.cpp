#include "support/ScriptedPrompt.h"

#include <QTest>

namespace nerova::test {

ScriptedPrompt::ScriptedPrompt() {
    Prompt::install(this);
}

ScriptedPrompt::~ScriptedPrompt() {
    Prompt::install(nullptr);
}

QStringList ScriptedPrompt::texts() const {
    QStringList out;
    for (const Shown& s : messages)
        out << s.text;
    return out;
}

void ScriptedPrompt::clear() {
    messages.clear();
    inputPrompts.clear();
    fileRequests.clear();
    folderRequests.clear();
    dialogTitles.clear();
}

Prompt::Button ScriptedPrompt::message(Kind kind, const QString& text, const QList<Button>& btns,
                                       const QString& title) {
    messages.append({kind, text, btns, title});
    if (!buttons.isEmpty())
        return buttons.dequeue();
    // The box may be shown from deep inside the program (a nested event loop, a slot), where
    // a test macro cannot return from the test function; recording the failure here still
    // fails the test, and the program goes on as if the user had closed the box.
    const QByteArray why = "a box nobody expected: " + text.toUtf8();
    if (QTest::currentTestFunction())
        QTest::qFail(why.constData(), __FILE__, __LINE__);
    else
        qWarning("%s", why.constData());
    for (Button b : {Button::Cancel, Button::No}) {
        if (btns.contains(b))
            return b;
    }
    return btns.isEmpty() ? Button::Ok : btns.first();
}

std::optional<QString> ScriptedPrompt::inputText(const QString& title, const QString& prompt,
                                                 const QString&) {
    inputPrompts << title + QLatin1Char('|') + prompt;
    if (inputs.isEmpty())
        return std::nullopt;
    return inputs.dequeue();
}

QString ScriptedPrompt::openFile(const QString& title, const QString& directory,
                                 const QStringList& filters, const QString& selectedFilter,
                                 const QString& defaultSuffix) {
    fileRequests << QStringList{title, directory, filters.join(QLatin1String(";;")), selectedFilter,
                                defaultSuffix}
                        .join(QLatin1Char('|'));
    return files.isEmpty() ? QString() : files.dequeue();
}

QString ScriptedPrompt::saveFile(const QString& title, const QString& directory,
                                 const QString& filter, const QString& defaultSuffix) {
    fileRequests << QStringList{title, directory, filter, QString(), defaultSuffix}.join(
        QLatin1Char('|'));
    return files.isEmpty() ? QString() : files.dequeue();
}

QString ScriptedPrompt::browseFolder(const QString& title, const QString& prompt,
                                     const QString& startFolder) {
    folderRequests << QStringList{title, prompt, startFolder}.join(QLatin1Char('|'));
    return folders.isEmpty() ? QString() : folders.dequeue();
}

int ScriptedPrompt::runDialog(QDialog& dialog) {
    dialogTitles << dialog.windowTitle();
    if (dialogs.isEmpty())
        return QDialog::Rejected;
    auto handler = dialogs.dequeue();
    return handler(dialog);
}

} // namespace nerova::test

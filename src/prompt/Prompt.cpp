#include "prompt/Prompt.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace nerova {

namespace {

Prompt* g_installed = nullptr;

QMessageBox::StandardButton toStandard(Prompt::Button b) {
    switch (b) {
    case Prompt::Button::Ok:
        return QMessageBox::Ok;
    case Prompt::Button::Cancel:
        return QMessageBox::Cancel;
    case Prompt::Button::Yes:
        return QMessageBox::Yes;
    case Prompt::Button::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QString defaultTitle(Prompt::Kind kind) {
    switch (kind) {
    case Prompt::Kind::Information:
        return QStringLiteral("Information");
    case Prompt::Kind::Warning:
        return QStringLiteral("Warning");
    case Prompt::Kind::Error:
        return QStringLiteral("Error");
    case Prompt::Kind::Confirmation:
        return QStringLiteral("Confirm");
    }
    return {};
}

Prompt::Button showBox(Prompt::Kind kind, const QString& text, const QList<Prompt::Button>& buttons,
                       const QString& title, std::optional<Prompt::Button> defaultButton) {
    using Kind = Prompt::Kind;
    using Button = Prompt::Button;
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (kind) {
    case Kind::Information:
        icon = QMessageBox::Information;
        break;
    case Kind::Warning:
        icon = QMessageBox::Warning;
        break;
    case Kind::Error:
        icon = QMessageBox::Critical;
        break;
    case Kind::Confirmation:
        icon = QMessageBox::Question;
        break;
    }
    QMessageBox box(icon, title.isEmpty() ? defaultTitle(kind) : title, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    for (Button b : buttons)
        box.addButton(toStandard(b));
    if (defaultButton && buttons.contains(*defaultButton))
        box.setDefaultButton(toStandard(*defaultButton));
    const auto result = static_cast<QMessageBox::StandardButton>(box.exec());
    for (Button b : buttons) {
        if (toStandard(b) == result)
            return b;
    }
    return buttons.contains(Button::Cancel) ? Button::Cancel : Button::No;
}

} // namespace

Prompt& Prompt::instance() {
    static QtPrompt qtPrompt;
    return g_installed ? *g_installed : static_cast<Prompt&>(qtPrompt);
}

void Prompt::install(Prompt* p) {
    g_installed = p;
}

void Prompt::information(const QString& text) {
    instance().message(Kind::Information, text, {Button::Ok});
}

void Prompt::warning(const QString& text) {
    instance().message(Kind::Warning, text, {Button::Ok});
}

void Prompt::error(const QString& text) {
    instance().message(Kind::Error, text, {Button::Ok});
}

bool Prompt::askYesNo(Kind kind, const QString& text, const QString& title, Button defaultButton) {
    const QList<Button> buttons{Button::Yes, Button::No};
    const Button answer =
        defaultButton == Button::Yes
            ? instance().message(kind, text, buttons, title)
            : instance().messageWithDefault(kind, text, buttons, defaultButton, title);
    return answer == Button::Yes;
}

Prompt::Button Prompt::messageWithDefault(Kind kind, const QString& text,
                                          const QList<Button>& buttons, Button /*defaultButton*/,
                                          const QString& title) {
    return message(kind, text, buttons, title);
}

Prompt::Button QtPrompt::message(Kind kind, const QString& text, const QList<Button>& buttons,
                                 const QString& title) {
    return showBox(kind, text, buttons, title, std::nullopt);
}

Prompt::Button QtPrompt::messageWithDefault(Kind kind, const QString& text,
                                            const QList<Button>& buttons, Button defaultButton,
                                            const QString& title) {
    return showBox(kind, text, buttons, title, defaultButton);
}

std::optional<QString> QtPrompt::inputText(const QString& title, const QString& prompt,
                                           const QString& initial) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                               QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtPrompt::openFile(const QString& title, const QString& directory,
                           const QStringList& filters, const QString& selectedFilter,
                           const QString& defaultSuffix) {
    QFileDialog dlg(QApplication::activeWindow(), title, directory);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setNameFilters(filters);
    if (!selectedFilter.isEmpty())
        dlg.selectNameFilter(selectedFilter);
    dlg.setDefaultSuffix(defaultSuffix);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().constFirst();
}

QString QtPrompt::saveFile(const QString& title, const QString& directory, const QString& filter,
                           const QString& defaultSuffix) {
    QFileDialog dlg(QApplication::activeWindow(), title, directory, filter);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix(defaultSuffix);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().constFirst();
}

QString QtPrompt::browseFolder(const QString& title, const QString& prompt,
                               const QString& startFolder) {
    QFileDialog dlg(QApplication::activeWindow(), title, startFolder);
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly, true);
    dlg.setLabelText(QFileDialog::LookIn, prompt);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().constFirst();
}

int QtPrompt::runDialog(QDialog& dialog) {
    return dialog.exec();
}

} // namespace nerova

#include "reliability/RandomPrompt.h"

#include <QDialog>

namespace nerova::test {

RandomPrompt::RandomPrompt(quint32 seed) : m_rng(seed) {
    Prompt::install(this);
}

RandomPrompt::~RandomPrompt() {
    Prompt::install(nullptr);
}

Prompt::Button RandomPrompt::message(Kind, const QString& text, const QList<Button>& buttons,
                                     const QString&) {
    ++requests;
    ++shown[text.left(120)];
    if (buttons.isEmpty())
        return Button::Ok;
    // Deletes are confirmed now and then only, so that the run keeps rows to work on.
    if (text.startsWith(QLatin1String("Delete")) && buttons.contains(Button::Yes))
        return m_rng.bounded(10) == 0 ? Button::Yes : Button::No;
    return buttons[m_rng.bounded(static_cast<int>(buttons.size()))];
}

std::optional<QString> RandomPrompt::inputText(const QString&, const QString&, const QString&) {
    ++requests;
    switch (m_rng.bounded(5)) {
    case 0:
        return std::nullopt;
    case 1:
        return QString();
    case 2:
        return QStringLiteral("YES");
    case 3:
        return QStringLiteral("  ");
    default: {
        QString s;
        for (int n = 1 + m_rng.bounded(45); n > 0; --n)
            s += QChar(32 + m_rng.bounded(95));
        return s;
    }
    }
}

QString RandomPrompt::pick(const QStringList& offered) {
    ++requests;
    if (offered.isEmpty() || m_rng.bounded(3) == 0)
        return {};
    return offered[m_rng.bounded(static_cast<int>(offered.size()))];
}

QString RandomPrompt::openFile(const QString&, const QString&, const QStringList&, const QString&,
                               const QString&) {
    return pick(filesOffered);
}

QString RandomPrompt::saveFile(const QString&, const QString&, const QString&, const QString&) {
    return pick(filesOffered);
}

QString RandomPrompt::browseFolder(const QString&, const QString&, const QString&) {
    return pick(foldersOffered);
}

int RandomPrompt::runDialog(QDialog& dialog) {
    ++requests;
    ++shown[QStringLiteral("[dialog] ") + dialog.windowTitle()];
    // A dialog opened from inside a dialog is answered at once, so play never nests deeply.
    if (m_depth == 0 && playDialog && m_rng.bounded(2) == 0) {
        ++m_depth;
        dialog.show();
        playDialog(dialog);
        --m_depth;
        if (dialog.isVisible())
            dialog.hide();
        if (dialog.result() == QDialog::Accepted)
            return QDialog::Accepted;
    }
    if (m_rng.bounded(2) == 0) {
        dialog.accept();
        return QDialog::Accepted;
    }
    dialog.reject();
    return QDialog::Rejected;
}

} // namespace nerova::test

#pragma once

#include "prompt/Prompt.h"

#include <QMap>
#include <QRandomGenerator>
#include <QStringList>
#include <functional>

namespace nerova::test {

// A prompt seam that answers at random, for the monkey test: every message box gets one of
// its own buttons (a delete is confirmed only now and then, so rows remain to work on), input boxes
// get nothing, blanks, "YES" or random text, file and folder choosers get nothing or the paths the
// test offers, and our own dialogs are rejected, accepted, or first played with by `playDialog`
// (typing and clicking inside them). Installs itself on construction and restores the Qt seam on
// destruction.
class RandomPrompt final : public Prompt {
public:
    explicit RandomPrompt(quint32 seed);
    ~RandomPrompt() override;
    RandomPrompt(const RandomPrompt&) = delete;
    RandomPrompt& operator=(const RandomPrompt&) = delete;

    QStringList filesOffered;
    QStringList foldersOffered;
    std::function<void(QDialog&)> playDialog;

    // Texts shown, with how often, and how many modal requests came in all.
    QMap<QString, int> shown;
    int requests = 0;
    QRandomGenerator& random() { return m_rng; }

    Button message(Kind kind, const QString& text, const QList<Button>& buttons,
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

private:
    QString pick(const QStringList& offered);

    QRandomGenerator m_rng;
    int m_depth = 0;
};

} // namespace nerova::test

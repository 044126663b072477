#pragma once

#include <QDialog>

namespace nerova {

// Help | About: the product, its version, the libraries it stands on and its licence.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
    QString text() const { return m_text; }

private:
    QString m_text;
};

} // namespace nerova

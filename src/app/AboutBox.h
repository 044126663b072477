#pragma once

#include <QDialog>

namespace nerova {

class Database;

// Help | About: the product, its version, the libraries it stands on, what holds the data
// and its licence.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(Database& db, QWidget* parent = nullptr);
    QString text() const { return m_text; }

private:
    QString m_text;
};

} // namespace nerova

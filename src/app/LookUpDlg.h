#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

namespace nerova {

// "Look Up": asks for the beginning of a company's identifier, name, city or state.
class TLookUpDlg : public QDialog {
    Q_OBJECT
public:
    TLookUpDlg(const QString& criterion, QWidget* parent = nullptr);

    QString text() const; // as typed

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* LookUpFieldLabel = nullptr;
    QLineEdit* LookUpField = nullptr;
};

} // namespace nerova

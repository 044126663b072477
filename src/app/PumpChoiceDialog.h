#pragma once

#include <QDialog>

class QListWidget;

namespace nerova {

// "Pump Serial": lets the user pick one of several pumps whose serial numbers match.
class PumpChoiceDialog : public QDialog {
    Q_OBJECT
public:
    // items: one line per pump, in the order the caller keeps its matches.
    explicit PumpChoiceDialog(const QStringList& items, QWidget* parent = nullptr);

    int chosen() const; // the row picked; -1 for none

private:
    QListWidget* List = nullptr;
};

} // namespace nerova

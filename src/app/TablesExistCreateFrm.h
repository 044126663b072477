#pragma once

#include "data/TablesExistCreate.h"

#include <QWidget>

class QLabel;

namespace nerova {

// The small progress window of the table check and creation. It lives as long as the
// program; creation leaves it showing its last text until the user closes it.
class TTablesExistCreateFrm : public QWidget, public TablesProgress {
    Q_OBJECT
public:
    explicit TTablesExistCreateFrm(QWidget* parent = nullptr);

    void setCaption(const QString& caption) override;
    void setLabel(const QString& text) override;
    void showWindow() override;
    void hideWindow() override;
    void setBusy(bool busy) override;

private:
    QLabel* Label1 = nullptr;
    bool m_busy = false;
};

} // namespace nerova

#pragma once

#include <QObject>
#include <functional>

class QTimer;
class QWidget;

namespace nerova {

class Table;

// Keeps a view of table rows up to date at the least cost: a change of a watched table only
// marks the view out of date; in sight it is refreshed once per burst of changes (a point's
// recalculation writes four fields in a row), out of sight when it is next shown. The
// refresh runs under the command guard.
class LazyRefresh : public QObject {
    Q_OBJECT
public:
    LazyRefresh(QWidget& view, std::function<void()> refresh);

    // Changes of the table's row or fields mark the view out of date.
    void watch(Table* table);
    // Out of date also whenever the view is hidden: for views whose rows can change
    // unseen, through other tables, while they are out of sight.
    void staleWhenHidden() { m_staleWhenHidden = true; }
    void invalidate();
    // The view is being refreshed now: no later refresh is due.
    void refreshing();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_view;
    std::function<void()> m_refresh;
    QTimer* m_later = nullptr;
    bool m_stale = true;
    bool m_staleWhenHidden = false;
};

} // namespace nerova

#include "app/LazyRefresh.h"

#include "controls/CommandGuard.h"
#include "data/Table.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace nerova {

LazyRefresh::LazyRefresh(QWidget& view, std::function<void()> refresh)
    : QObject(&view), m_view(view), m_refresh(std::move(refresh)), m_later(new QTimer(this)) {
    m_later->setSingleShot(true);
    m_later->setInterval(0);
    connect(m_later, &QTimer::timeout, this, [this] { runGuarded(m_refresh); });
    m_view.installEventFilter(this);
}

void LazyRefresh::watch(Table* table) {
    if (!table)
        return;
    connect(table, &Table::recordChanged, this, &LazyRefresh::invalidate);
    connect(table, &Table::fieldChanged, this, &LazyRefresh::invalidate);
}

void LazyRefresh::invalidate() {
    m_stale = true;
    if (m_view.isVisible())
        m_later->start();
}

void LazyRefresh::refreshing() {
    m_later->stop();
    m_stale = false;
}

bool LazyRefresh::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_view) {
        if (event->type() == QEvent::Show && m_stale)
            runGuarded(m_refresh);
        else if (event->type() == QEvent::Hide && m_staleWhenHidden)
            m_stale = true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace nerova

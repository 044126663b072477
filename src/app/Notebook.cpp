#include "app/Notebook.h"

#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace nerova {

Notebook::Notebook(QWidget* parent)
    : QWidget(parent), m_bar(new QTabBar(this)), m_stack(new QStackedWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_bar->setDrawBase(true);
    m_bar->setExpanding(false);
    m_stack->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(m_bar);
    layout->addWidget(m_stack, 1);
    connect(m_bar, &QTabBar::currentChanged, this, &Notebook::onTabChanged);
}

int Notebook::addPage(QWidget* page, const QString& caption) {
    const QSignalBlocker block(m_bar);
    m_stack->addWidget(page);
    const int index = m_bar->addTab(caption);
    if (m_current < 0) {
        m_current = 0;
        m_bar->setCurrentIndex(0);
        m_stack->setCurrentIndex(0);
    }
    return index;
}

int Notebook::count() const {
    return m_bar->count();
}

QWidget* Notebook::page(int index) const {
    return m_stack->widget(index);
}

QString Notebook::caption(int index) const {
    return m_bar->tabText(index);
}

int Notebook::currentIndex() const {
    return m_current;
}

QWidget* Notebook::currentPage() const {
    return m_stack->widget(m_current);
}

bool Notebook::setCurrentIndex(int index) {
    if (index < 0 || index >= count() || index == m_current)
        return index == m_current;
    m_bar->setCurrentIndex(index); // runs the guard through onTabChanged
    return m_current == index;
}

void Notebook::setPageEnabled(int index, bool enabled) {
    m_bar->setTabEnabled(index, enabled);
}

bool Notebook::isPageEnabled(int index) const {
    return m_bar->isTabEnabled(index);
}

void Notebook::onTabChanged(int index) {
    if (m_reverting || index == m_current)
        return;
    if (m_guard && !m_guard(index)) {
        m_reverting = true;
        m_bar->setCurrentIndex(m_current);
        m_reverting = false;
        return;
    }
    m_current = index;
    m_stack->setCurrentIndex(index);
    Q_EMIT currentChanged(index);
}

} // namespace nerova

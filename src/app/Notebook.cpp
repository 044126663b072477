#include "app/Notebook.h"

#include <algorithm>

#include <QFontMetrics>
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
    // Every tab stays in sight: scroll arrows would hide some of the pages. Short captions
    // come first; eliding is the last resort for a very narrow window.
    m_bar->setUsesScrollButtons(false);
    m_bar->setElideMode(Qt::ElideRight);
    m_stack->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(m_bar);
    layout->addWidget(m_stack, 1);
    connect(m_bar, &QTabBar::currentChanged, this, &Notebook::onTabChanged);
}

int Notebook::addPage(QWidget* page, const QString& caption, const QString& shortCaption) {
    const QSignalBlocker block(m_bar);
    m_stack->addWidget(page);
    const int index = m_bar->addTab(caption);
    // A shortened tab keeps its full name for a screen reader, as for the tool tip.
    m_bar->setTabToolTip(index, caption);
    m_bar->setAccessibleTabName(index, caption);
    m_captions.append(caption);
    m_shortCaptions.append(shortCaption.isEmpty() ? caption : shortCaption);
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
    return m_captions.value(index);
}

void Notebook::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitCaptions(width());
}

void Notebook::fitCaptions(int width) {
    for (int i = 0; i < count(); ++i)
        m_bar->setTabText(i, m_captions[i]);
    // Shorten the captions that gain most first, and only as many as the width needs.
    const QFontMetrics metrics = m_bar->fontMetrics();
    QList<int> order;
    for (int i = 0; i < count(); ++i)
        if (m_shortCaptions[i] != m_captions[i])
            order.append(i);
    auto gain = [&](int i) {
        return metrics.horizontalAdvance(m_captions[i]) -
               metrics.horizontalAdvance(m_shortCaptions[i]);
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return gain(a) > gain(b); });
    for (int i : order) {
        if (m_bar->sizeHint().width() <= width)
            return;
        m_bar->setTabText(i, m_shortCaptions[i]);
    }
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

#pragma once

#include <QWidget>
#include <functional>

class QTabBar;
class QStackedWidget;

namespace nerova {

// A page control whose page changes can be refused before the new page is shown: the tab
// bar asks the guard first, and a refused change leaves both the tab and the page as they
// were. (QTabWidget switches its page before anyone can object.)
class Notebook : public QWidget {
    Q_OBJECT
public:
    explicit Notebook(QWidget* parent = nullptr);

    int addPage(QWidget* page, const QString& caption);
    int count() const;
    QWidget* page(int index) const;
    QString caption(int index) const;
    int currentIndex() const;
    QWidget* currentPage() const;
    // Asks the guard, then changes the page; answers whether the page changed.
    bool setCurrentIndex(int index);
    void setPageEnabled(int index, bool enabled);
    bool isPageEnabled(int index) const;
    QTabBar* tabBar() const { return m_bar; }

    // Called with the page to go to; false refuses the change.
    void setGuard(std::function<bool(int to)> guard) { m_guard = std::move(guard); }

Q_SIGNALS:
    void currentChanged(int index); // after the new page is shown

private:
    void onTabChanged(int index);

    QTabBar* m_bar;
    QStackedWidget* m_stack;
    std::function<bool(int)> m_guard;
    int m_current = -1;
    bool m_reverting = false;
};

} // namespace nerova

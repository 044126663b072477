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

    // shortCaption, when given, stands on the tab whenever the full captions do not fit
    // side by side; the full caption stays the tab's tool tip and its accessible name.
    int addPage(QWidget* page, const QString& caption, const QString& shortCaption = {});
    int count() const;
    QWidget* page(int index) const;
    QString caption(int index) const; // the full caption, whatever the tab shows
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

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void onTabChanged(int index);
    void fitCaptions(int width);

    QTabBar* m_bar;
    QStackedWidget* m_stack;
    std::function<bool(int)> m_guard;
    QStringList m_captions;
    QStringList m_shortCaptions;
    int m_current = -1;
    bool m_reverting = false;
};

} // namespace nerova

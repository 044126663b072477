#pragma once

#include "data/Schema.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace nerova {

class TableChain;

// Keeps the rows a window shows as other testers leave them. On an office server, every
// second and a half, one statement reads the version of each level's current row; a row
// another tester saved or deleted since it was read is read again (the levels below follow),
// without a word to the user. Nothing is touched while any level is being edited: a record
// in edit is never changed under the user, and its save meets the usual refusal instead.
// A file database has one program at a time (the single-copy lock), so nothing is checked.
class FreshRowsHolder : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 1500;

    // mayRefresh: asked before each check; false while the window must stay as it is (a
    // modal window open over it).
    FreshRowsHolder(TableChain& chain, std::function<bool()> mayRefresh, QObject* parent = nullptr);

    // Checks at once; answers whether a level was read again.
    bool check();

Q_SIGNALS:
    // A level was read again, the levels below it with it.
    void refreshed(nerova::TableId level);

private:
    TableChain& m_chain;
    std::function<bool()> m_mayRefresh;
    QTimer m_timer;
};

} // namespace nerova

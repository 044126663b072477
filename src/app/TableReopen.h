#pragma once

#include "data/Schema.h"

#include <QVariantList>

#include <array>
#include <functional>

namespace nerova {

class TableChain;

// The keys of the company, location, pump and test the window shows, taken before its
// tables are closed, so that it comes back to them when they are open again.
class RecordPosition {
public:
    // Remembers the current row of each level that has one.
    explicit RecordPosition(TableChain& tables);

    // Moves down the chain onto the remembered rows, as far as they still exist; from the
    // first level whose row is gone on, each level stays on its first row.
    void restore(TableChain& tables) const;

private:
    std::array<QVariantList, kRecordLevelCount> m_keys; // by levelIndex; empty when it had no row
};

// Runs command with the chain's tables closed and reopens them afterwards, back on the
// records shown before. close and open are the window's own steps.
void runWithTablesClosed(TableChain& tables, const std::function<void()>& close,
                         const std::function<void()>& open, const std::function<void()>& command);

} // namespace nerova

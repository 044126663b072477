#pragma once

#include "data/Schema.h"

#include <QString>
#include <QStringList>

namespace nerova {

class TableChain;

// One test picked for a curve: its company, location, pump and test identifiers. A level
// without rows leaves its identifier (and those below it) empty.
struct CurveSelection {
    QString companyId;
    QString locationId;
    QString pumpId;
    QString testId;

    // The identifier of the company, location, pump or test.
    QString& at(TableId level);
    const QString& at(TableId level) const;

    QStringList toList() const { return {companyId, locationId, pumpId, testId}; }
    static CurveSelection fromList(const QStringList& ids);

    // Moves the chain's company, location, pump and test cursors onto the selection, each
    // level located ignoring letter case and only when the level above was found; answers
    // how many levels were found (kRecordLevelCount when all were).
    int locateIn(TableChain& chain) const;

    bool operator==(const CurveSelection&) const = default;
};

} // namespace nerova

#include "print/CurveSelection.h"

#include "data/TableChain.h"

namespace nerova {

QString& CurveSelection::at(TableId level) {
    switch (level) {
    case TableId::Company:
        return companyId;
    case TableId::Location:
        return locationId;
    case TableId::Pump:
        return pumpId;
    case TableId::Test:
    case TableId::Flow:
        break;
    }
    return testId;
}

const QString& CurveSelection::at(TableId level) const {
    return const_cast<CurveSelection*>(this)->at(level);
}

CurveSelection CurveSelection::fromList(const QStringList& ids) {
    CurveSelection s;
    for (const TableId level : kRecordLevels)
        s.at(level) = ids.value(levelIndex(level));
    return s;
}

int CurveSelection::locateIn(TableChain& chain) const {
    for (const TableId level : kRecordLevels) {
        Table& table = chain.table(level);
        if (!table.isOpen() ||
            !table.locate({identifierColumn(level)}, {at(level)}, Qt::CaseInsensitive))
            return levelIndex(level);
    }
    return kRecordLevelCount;
}

} // namespace nerova

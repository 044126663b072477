#include "print/CurveSelection.h"

#include "data/TableChain.h"

namespace nerova {

QString& CurveSelection::at(int level) {
    switch (level) {
    case 1:
        return companyId;
    case 2:
        return locationId;
    case 3:
        return pumpId;
    default:
        return testId;
    }
}

const QString& CurveSelection::at(int level) const {
    return const_cast<CurveSelection*>(this)->at(level);
}

CurveSelection CurveSelection::fromList(const QStringList& ids) {
    CurveSelection s;
    for (int level = 1; level <= 4; ++level)
        s.at(level) = ids.value(level - 1);
    return s;
}

int CurveSelection::locateIn(TableChain& chain) const {
    for (int level = 1; level <= 4; ++level) {
        Table& table = chain.at(level);
        if (!table.isOpen() ||
            !table.locate({identifierColumn(table.id())}, {at(level)}, Qt::CaseInsensitive))
            return level - 1;
    }
    return 4;
}

} // namespace nerova

#include "eval/FlowPointColumns.h"

namespace nerova {

QString flowPointColumn(const char* stem, int n) {
    return QString::fromLatin1(stem).arg(n);
}

QStringList flowPointNumberColumns() {
    QStringList columns;
    columns.reserve(kFlowPointCount * static_cast<int>(kFlowPointNumberStems.size()));
    for (int point = 1; point <= kFlowPointCount; ++point)
        for (const char* stem : kFlowPointNumberStems)
            columns << flowPointColumn(stem, point);
    return columns;
}

} // namespace nerova

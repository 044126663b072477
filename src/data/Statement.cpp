#include "data/Statement.h"

namespace nerova {

QString quoteIdent(const QString& name) {
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

} // namespace nerova

#pragma once

#include "data/Database.h"
#include "data/Table.h"
#include "report/ReportPage.h"

#include <QStringList>
#include <QVariantMap>

namespace nerova::test {

// The identifiers of the demonstration test.
inline const QStringList kDemoTest = {"ABC Paint Company", "*", "01", "20010731"};

// Changes columns of the first row of a table in the database.
inline void change(Database& db, TableId id, const QVariantMap& values) {
    Table table(db, id);
    table.open();
    table.edit();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        table.setValue(it.key(), it.value());
    table.post();
    table.close();
}

// Every text laid out on the pages, in order.
inline QStringList allTexts(const QVector<ReportPage>& pages) {
    QStringList texts;
    for (const ReportPage& page : pages) {
        for (const ReportPageItem& item : page.items)
            texts << item.text;
    }
    return texts;
}

} // namespace nerova::test

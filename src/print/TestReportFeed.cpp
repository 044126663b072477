#include "print/TestReportFeed.h"

#include "print/TestReportRules.h"
#include "report/PdfFile.h"

namespace nerova {

TestReportFeed::TestReportFeed(Database& db, TableId deepest) : m_chain(db), m_deepest(deepest) {}

TestReportFeed::~TestReportFeed() {
    try {
        close();
    } catch (...) {
        // Closing a read-only cursor has nothing to lose; a failure here must not escape
        // a destructor.
    }
}

void TestReportFeed::open() {
    if (!isOpen())
        m_chain.open(m_deepest);
}

void TestReportFeed::close() {
    m_chain.close();
}

bool TestReportFeed::position(const QStringList& ids) {
    open();
    for (const TableId level : kRecordLevels) {
        const int i = levelIndex(level);
        if (!m_chain.table(level).locate({identifierColumn(level)}, {ids.value(i)},
                                         Qt::CaseInsensitive))
            return false;
    }
    if (!hasFlow())
        return true;
    // The flow rows of the test: its first one, as the link already leaves only these.
    QVariantList values;
    for (const TableId level : kRecordLevels)
        values << ids.value(levelIndex(level));
    m_chain.flow.locate(tableDef(TableId::Test).keyNames(), values, Qt::CaseInsensitive);
    return true;
}

const Table& TestReportFeed::headingParty() const {
    return TestReportRules::locationShown(location()) ? location() : company();
}

QString TestReportFeed::headingPartyName() const {
    return headingParty().value(QStringLiteral("Name")).toString();
}

QString TestReportFeed::cityLine(const Table& table) {
    return table.value(QStringLiteral("City")).toString() + QStringLiteral(", ") +
           table.value(QStringLiteral("State")).toString() + QStringLiteral("   ") +
           table.value(QStringLiteral("Zip")).toString();
}

QString TestReportFeed::pdfName(const QString& printout) const {
    return pdfName(company(), pump(), test(), printout);
}

QString TestReportFeed::pdfName(const Table& company, const Table& pump, const Table& test,
                                const QString& printout) {
    QString name = company.asString(QStringLiteral("Name"));
    if (name.trimmed().isEmpty())
        name = company.asString(QStringLiteral("CompanyID"));
    return PdfFile::proposedName(name, pump.asString(QStringLiteral("PumpID")),
                                 test.asDate(QStringLiteral("Test Date")), printout);
}

} // namespace nerova

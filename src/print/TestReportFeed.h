#pragma once

#include "data/TableChain.h"

#include <QString>
#include <QStringList>

namespace nerova {

class Database;

// The cursors a report reads: a chain of its own on the database (company → location →
// pump → test, and flow for the detail report), read-only and independent of the main
// window's cursors, so printing never moves what the user is looking at.
class TestReportFeed {
public:
    // deepest: TableId::Test without the flow cursor, TableId::Flow with it.
    TestReportFeed(Database& db, TableId deepest);
    ~TestReportFeed();

    TestReportFeed(const TestReportFeed&) = delete;
    TestReportFeed& operator=(const TestReportFeed&) = delete;

    void open();
    void close();
    bool isOpen() const { return m_chain.company.isOpen(); }

    // Stands the cursors on the company, location, pump and test with these identifiers
    // (and the flow cursor on that test's first flow row). Letter case is ignored, and each
    // level is searched only among the rows of the level above. A key that is not found
    // leaves its cursor, and every cursor below it, where opening left them; the answer
    // is then false. Opens the cursors when they are closed.
    bool position(const QStringList& ids);

    Table& company() { return m_chain.company; }
    Table& location() { return m_chain.location; }
    Table& pump() { return m_chain.pump; }
    Table& test() { return m_chain.test; }
    Table& flow() { return m_chain.flow; }
    const Table& company() const { return m_chain.company; }
    const Table& location() const { return m_chain.location; }
    const Table& pump() const { return m_chain.pump; }
    const Table& test() const { return m_chain.test; }
    const Table& flow() const { return m_chain.flow; }
    bool hasFlow() const { return m_deepest == TableId::Flow; }

    // The party that heads the pages: the company when the location is marked the same as
    // its company, the location otherwise.
    const Table& headingParty() const;
    QString headingPartyName() const;

    // "City" + ", " + "State" + three blanks + "Zip", each as stored: nothing is trimmed
    // or left out, so a row without any of them still gives ",    ".
    static QString cityLine(const Table& table);

    // The name "Save as PDF…" proposes for a printout of the positioned test: the
    // company's name (its identifier when it has none), the pump, the test date and the
    // printout's name.
    QString pdfName(const QString& printout) const;
    static QString pdfName(const Table& company, const Table& pump, const Table& test,
                           const QString& printout);

private:
    TableChain m_chain;
    TableId m_deepest;
};

} // namespace nerova

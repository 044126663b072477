#pragma once

#include "eval/Evaluation.h"

#include <QString>
#include <QVariantList>

namespace nerova {

class Table;

// A stored test's verdict in brief: what a list of tests shows of each (the History page,
// the tests due). The texts are the ones the Test page and the reports show.
struct TestVerdict {
    TestVerdictKind verdict = TestVerdictKind::NotTested;
    QString verdictText;       // "Pass", "Fail", "Incomplete", "Not tested"
    QString summary;           // "Fail — 2 findings failed"
    QString testRecord;        // "Test record: complete" / "Test record: incomplete"; empty when
                               // not tested
    QStringList recordReasons; // "Pressure Gauge calibrated 2025-06-15, more than 12 months …"
};

// The one way to learn a test's verdict from its test row and its pump row, each read with
// the columns of pumpRatingColumns() and testReadingColumns() (EvaluationRows.h), in that
// order, as a cursor or a plain query reads them (blank is a null value).
TestVerdict testVerdict(const QVariantList& pumpValues, const QVariantList& testValues);
// The same for the rows a pump cursor and a test cursor stand on.
TestVerdict testVerdict(const Table& pump, const Table& test);
// The same of an evaluation already made.
TestVerdict testVerdict(const Evaluation& evaluation);

} // namespace nerova

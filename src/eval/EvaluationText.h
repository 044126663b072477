#pragma once

#include "eval/Evaluation.h"

#include <QList>
#include <QString>

namespace nerova {

// Every text the program shows or prints of an evaluation, so that the Test page, the
// reports, the History page and report and the CSV never word or round one figure two ways.

// A share of the baseline to one decimal, cut rather than rounded, so a share that fails
// its limit never reads as the limit itself: 94.96 reads "94.9". shareText adds " %".
QString shareDigits(double share);
// The share as those texts show it, for arithmetic on what the reader sees (a change since
// the previous test).
double cutShare(double share);
QString shareText(double share);

// Up to two decimals, trailing zeros dropped, thousands grouped by commas: 1,002 / 67.5.
QString figureText(double value);

QString statusText(FindingStatus status);     // "Pass", "Fail", "Not evaluated"
QString verdictText(TestVerdictKind verdict); // "Pass", "Fail", "Incomplete", "Not tested"
// What a rule checks, in a few words: "Baseline curve", "Overload pressure", …
QString ruleText(EvaluationRule rule);

// "Fail — 2 findings failed", "Incomplete — 1 item missing", "Pass", "Not tested".
QString verdictSummary(const Evaluation& evaluation);
// "Test record: complete" or "Test record: incomplete"; empty for a test not yet tested.
QString testRecordText(const Evaluation& evaluation);
// The same with its reasons in brackets, for one line of a table or a CSV field.
QString testRecordLine(const Evaluation& evaluation);

// The limits as a reader knows them: what is checked, and the limit in words.
struct LimitLine {
    QString subject; // "Corrected net pressure at each flow point"
    QString limit;   // "at least 95 % of the baseline"
};
QString limitsHeading(); // "Limits of the annual fire pump test practice (NFPA 25)"
QList<LimitLine> limitLines();

} // namespace nerova

#include "ReportTestSupport.h"
#include "data/Table.h"
#include "prefs/PreferencesRecord.h"
#include "print/DetailReportFrm.h"
#include "print/SummaryReportFrm.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDatabase.h"

#include <QApplication>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace nerova;
using nerova::test::allTexts;
using nerova::test::change;
using nerova::test::kDemoTest;
using nerova::test::ScriptedPrompt;
using nerova::test::TempDatabase;

namespace {

QVector<ReportPage> summaryPages(Database& db, const PreferencesRecord& prefs = {}) {
    TSummaryReportFrm summary(db, prefs);
    // A report of some other row would make every check on it meaningless.
    [&] { QVERIFY2(summary.position(kDemoTest), "demonstration test not found"); }();
    return summary.pages();
}

// The text items on the same line as the item with this text, left to right.
QStringList lineOf(const ReportPage& page, const QString& text) {
    const ReportPageItem* anchor = page.find(text);
    if (!anchor)
        return {};
    QVector<const ReportPageItem*> line;
    for (const ReportPageItem& item : page.items) {
        if (qAbs(item.y - anchor->y) < 0.01)
            line << &item;
    }
    std::sort(line.begin(), line.end(), [](auto a, auto b) { return a->x < b->x; });
    QStringList texts;
    for (const ReportPageItem* item : line)
        texts << item->text;
    return texts;
}

} // namespace

class ReportSummaryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void neverAPageNumber();
    void headerMatchesTheDetailReportButTheDate();
    void dateRowPrintsWhenEmpty();
    void typeRowWithOnlyTheDriverType();
    void demonstrationToPdf();
    void previewClosesWhenPrintingCompletes();
};

void ReportSummaryTest::neverAPageNumber() {
    TempDatabase temp;
    PreferencesRecord prefs;
    prefs.setPrintReportPageNumber(true);
    const auto pages = summaryPages(temp.db(), prefs);
    for (const ReportPage& page : pages) {
        QVERIFY(page.find("Nerova 2002"));
        QVERIFY(page.find("FIRE PUMP TEST REPORT"));
    }
    for (const QString& text : allTexts(pages))
        QVERIFY2(!text.startsWith("Page"), qPrintable(text));
}

void ReportSummaryTest::headerMatchesTheDetailReportButTheDate() {
    TempDatabase temp;
    const auto summary = summaryPages(temp.db()).first();
    TDetailReportFrm detailHolder(temp.db(), PreferencesRecord());
    QVERIFY(detailHolder.position(kDemoTest));
    const auto detail = detailHolder.pages().at(1);
    // Headers are added after the body: the last three items of that size are the header.
    auto header = [](const ReportPage& page) {
        QVector<ReportPageItem> lines;
        for (const ReportPageItem& item : page.items) {
            if (item.font.family == ReportFont::Family::TimesNewRoman && item.font.pointSize == 16)
                lines << item;
        }
        return lines;
    };
    const auto s = header(summary);
    const auto d = header(detail);
    QCOMPARE(s.size(), 3);
    QCOMPARE(d.size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(s.at(i).text, d.at(i).text);
    QVERIFY(s.at(1).font.bold && d.at(1).font.bold);
    QVERIFY(!s.at(2).font.bold);
    QVERIFY(d.at(2).font.bold);
}

void ReportSummaryTest::dateRowPrintsWhenEmpty() {
    TempDatabase temp;
    change(temp.db(), TableId::Test,
           {{"Test Date", QVariant()},
            {"Test Start Time", QVariant()},
            {"Test End Time", QVariant()}});
    const auto pages = summaryPages(temp.db());
    QCOMPARE(lineOf(pages.first(), "Date:  "),
             (QStringList{"Date:  ", "", "Start:  ", "", "End:  ", ""}));
    // The flow-point table follows directly.
    QVERIFY(pages.first().find("Disch")->y > pages.first().find("Date:  ")->y);
}

void ReportSummaryTest::typeRowWithOnlyTheDriverType() {
    TempDatabase temp;
    change(temp.db(), TableId::Pump, {{"Pump Type", QVariant()}, {"Pump RPM", 0.0}});
    auto pages = summaryPages(temp.db());
    QCOMPARE(lineOf(pages.first(), "Pump Type:  "),
             (QStringList{"Pump Type:  ", "", "RPM:  ", "", "Driver Type:  ", "Electric"}));

    change(temp.db(), TableId::Pump, {{"Driver Type", QVariant()}});
    pages = summaryPages(temp.db());
    QVERIFY(!pages.first().find("Pump Type:  "));
}

void ReportSummaryTest::demonstrationToPdf() {
    TempDatabase temp;
    TSummaryReportFrm summary(temp.db(), PreferencesRecord());
    QVERIFY(summary.position(kDemoTest));
    QCOMPARE(summary.pages().size(), 1);
    const QString path = temp.path("summary.pdf");
    QVERIFY(summary.writePdf(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    QVERIFY(pdf.startsWith("%PDF"));
    const QString text = QString::fromLatin1(pdf);
    QCOMPARE(text.count(QRegularExpression("/Type\\s*/Page[^s]")), 1);

    // A folder in place of the file: reported, not pretended.
    QVERIFY(!summary.writePdf(temp.dataDir()));
}

void ReportSummaryTest::previewClosesWhenPrintingCompletes() {
    TempDatabase temp;
    ScriptedPrompt prompt;
    TSummaryReportFrm summary(temp.db(), PreferencesRecord());
    QVERIFY(summary.position(kDemoTest));
    bool shown = false;
    prompt.dialogs.enqueue([&](QDialog& dialog) {
        shown = qobject_cast<QPrintPreviewDialog*>(&dialog) != nullptr;
        summary.SummaryReportPrintingComplete();
        return dialog.result();
    });
    summary.preview();
    QVERIFY(shown);
    QCOMPARE(prompt.dialogs.size(), 0);
}

QTEST_MAIN(ReportSummaryTest)
#include "report_summary_test.moc"

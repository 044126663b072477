#include "report/ReportLayout.h"
#include "report/ReportMetrics.h"

#include <QApplication>
#include <QTest>

#include <algorithm>

using namespace nerova;

namespace {

constexpr double tolerance = 0.01;

ReportRow textRow(const QString& text, bool printed = true) {
    ReportRow row;
    row.add(ReportItem::caption(0, 0, text));
    row.printed = printed;
    return row;
}

ReportSection section(const QString& heading, int rows, ReportSection::Keep keep) {
    ReportSection s;
    s.heading.append(textRow(heading));
    for (int i = 1; i <= rows; ++i)
        s.rows.append(textRow(heading + QStringLiteral(" row %1").arg(i)));
    s.keep = keep;
    return s;
}

// Where a text landed: page index (-1 when absent) and item.
struct Found {
    qsizetype page = -1;
    ReportPageItem item;
};

Found findText(const QVector<ReportPage>& pages, const QString& text) {
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (const ReportPageItem* item = pages.at(i).find(text))
            return {i, *item};
    }
    return {};
}

QString longText(int words) {
    QStringList list;
    for (int i = 0; i < words; ++i)
        list << QStringLiteral("word%1").arg(i);
    return list.join(QLatin1Char(' '));
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rowsThatDoNotPrintTakeNoSpace();
    void memoWrapsAndPushesLaterRows();
    void memoTallerThanAPageContinuesOnTheNext();
    void keepTogether_data();
    void keepTogether();
    void gridBlocksThreeToALineNeverSplit();
    void coverPageHeaderFooterAndPageNumbers();
    void itemsPlacedByMarginAlignmentAndFollowing();
};

void LayoutTest::rowsThatDoNotPrintTakeNoSpace() {
    ReportDocument doc;
    ReportSection first = section(QStringLiteral("First"), 0, ReportSection::Keep::None);
    first.rows << textRow(QStringLiteral("a")) << textRow(QStringLiteral("hidden"), false)
               << textRow(QStringLiteral("b"));
    ReportSection empty;
    empty.spaceBefore = 5;
    empty.heading << textRow(QStringLiteral("gone"), false);
    empty.rows << textRow(QStringLiteral("gone too"), false);
    ReportSection second = section(QStringLiteral("Second"), 0, ReportSection::Keep::None);
    second.spaceBefore = 5;
    doc.sections << first << empty << second;

    const auto pages = ReportLayout::layOut(doc);
    QCOMPARE(pages.size(), 1);
    const double top = doc.page.marginTop;
    QCOMPARE(findText(pages, QStringLiteral("First")).item.y, top);
    QCOMPARE(findText(pages, QStringLiteral("a")).item.y, top + 5);
    QCOMPARE(findText(pages, QStringLiteral("b")).item.y, top + 10);
    QCOMPARE(findText(pages, QStringLiteral("hidden")).page, -1);
    QCOMPARE(findText(pages, QStringLiteral("gone")).page, -1);
    // The empty section leaves neither rows nor its space; the next one has its one gap.
    QCOMPARE(findText(pages, QStringLiteral("Second")).item.y, top + 20);
    QCOMPARE(findText(pages, QStringLiteral("a")).item.x, doc.page.marginLeft);
}

void LayoutTest::memoWrapsAndPushesLaterRows() {
    const ReportFont font = ReportFont::arial(12, true);
    const QString text = longText(40) + QStringLiteral("\n\nafter a blank line");
    ReportDocument doc;
    ReportSection s;
    ReportRow memoRow;
    memoRow.add(ReportItem::caption(0, 37, QStringLiteral("Notes:  "), Qt::AlignRight));
    memoRow.add(ReportItem::memo(37, 60, text, font));
    s.rows << memoRow << textRow(QStringLiteral("next"));
    doc.sections << s;

    const QStringList lines = ReportMetrics::wrap(text, font, 60);
    QVERIFY(lines.size() > 4);
    QCOMPARE(lines.last(), QStringLiteral("after a blank line"));
    QVERIFY(lines.at(lines.size() - 2).isEmpty()); // the typed blank line is kept

    const auto pages = ReportLayout::layOut(doc);
    QCOMPARE(pages.size(), 1);
    const double spacing = ReportMetrics::lineSpacing(font);
    const double top = doc.page.marginTop;
    QStringList printed;
    for (const ReportPageItem& item : pages.first().items) {
        if (item.font == font) {
            QVERIFY(ReportMetrics::textWidth(item.text, font) <= 60 + tolerance);
            QCOMPARE(item.x, doc.page.marginLeft + 37);
            printed << item.text;
        }
    }
    QCOMPARE(printed.join(QLatin1Char(' ')).simplified(),
             (longText(40) + QStringLiteral(" after a blank line")));
    QCOMPARE(findText(pages, QStringLiteral("next")).item.y,
             top + static_cast<double>(lines.size()) * spacing);

    // A short memo does not shrink its row below one line.
    doc.sections[0].rows[0].items[1].text = QStringLiteral("short");
    QCOMPARE(findText(ReportLayout::layOut(doc), QStringLiteral("next")).item.y, top + 5);
}

void LayoutTest::memoTallerThanAPageContinuesOnTheNext() {
    ReportDocument doc;
    ReportSection s = section(QStringLiteral("Test Notes"), 0, ReportSection::Keep::Whole);
    ReportRow notes;
    notes.add(ReportItem::memo(6.3, 171.4, longText(2500)));
    s.rows << notes;
    doc.sections << section(QStringLiteral("Before"), 3, ReportSection::Keep::None) << s;

    const auto pages = ReportLayout::layOut(doc);
    QVERIFY(pages.size() >= 3);
    // Nothing is lost or runs past the foot of a page, and the words stay in order.
    QStringList words;
    for (const ReportPage& page : pages) {
        for (const ReportPageItem& item : page.items) {
            QVERIFY(item.y + item.height <= page.height - doc.page.marginBottom + tolerance);
            if (item.text.startsWith(QLatin1String("word")))
                words << item.text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        }
    }
    QCOMPARE(words.join(QLatin1Char(' ')), longText(2500));
    // The heading stays on page 1 with the start of the memo right below it.
    const Found heading = findText(pages, QStringLiteral("Test Notes"));
    QCOMPARE(heading.page, 0);
    const auto firstLine = std::find_if(
        pages.first().items.cbegin(), pages.first().items.cend(),
        [](const ReportPageItem& item) { return item.text.startsWith(QLatin1String("word0 ")); });
    QVERIFY(firstLine != pages.first().items.cend());
    QCOMPARE(firstLine->y, heading.item.y + 5);
}

void LayoutTest::keepTogether_data() {
    QTest::addColumn<int>("keep");
    QTest::addColumn<int>("fillerRows");
    QTest::addColumn<int>("headingPage");
    QTest::addColumn<int>("lastRowPage");

    // The page body holds 52 rows of 5 mm (279.4 - 6.35 - 12.7 = 260.35 mm).
    QTest::newRow("whole, fits") << int(ReportSection::Keep::Whole) << 40 << 0 << 0;
    QTest::newRow("whole, moves") << int(ReportSection::Keep::Whole) << 47 << 1 << 1;
    QTest::newRow("none, breaks inside") << int(ReportSection::Keep::None) << 47 << 0 << 1;
    QTest::newRow("heading with first row, room for both")
        << int(ReportSection::Keep::HeadingWithFirstRow) << 49 << 0 << 1;
    QTest::newRow("heading with first row, heading alone moves")
        << int(ReportSection::Keep::HeadingWithFirstRow) << 51 << 1 << 1;
    QTest::newRow("whole, taller than a page, keeps heading with first row")
        << int(ReportSection::Keep::Whole) << 51 << 1 << 2;
    // Whatever the section asks, its heading never stands alone at the foot of a page, nor
    // does a row kept with the next one (a sub-heading): the chain moves on together.
    QTest::newRow("none, heading alone moves") << int(ReportSection::Keep::None) << 51 << 1 << 1;
    QTest::newRow("none, chain of heading and kept row moves")
        << int(ReportSection::Keep::None) << 50 << 1 << 1;
}

void LayoutTest::keepTogether() {
    QFETCH(int, keep);
    QFETCH(int, fillerRows);
    QFETCH(int, headingPage);
    QFETCH(int, lastRowPage);

    const bool tall =
        QString::fromLatin1(QTest::currentDataTag()).contains(QLatin1String("taller"));
    const int rows = tall ? 60 : 6;
    ReportDocument doc;
    ReportSection kept =
        section(QStringLiteral("Kept"), rows, static_cast<ReportSection::Keep>(keep));
    kept.rows.first().keepWithNext =
        QString::fromLatin1(QTest::currentDataTag()).contains(QLatin1String("chain"));
    doc.sections << section(QStringLiteral("Filler"), fillerRows - 1, ReportSection::Keep::None)
                 << kept;
    const auto pages = ReportLayout::layOut(doc);

    const Found heading = findText(pages, QStringLiteral("Kept"));
    QCOMPARE(heading.page, headingPage);
    QCOMPARE(findText(pages, QStringLiteral("Kept row %1").arg(rows)).page, lastRowPage);
    if (headingPage > 0)
        QCOMPARE(heading.item.y, doc.page.marginTop); // starts at the top of its new page
}

void LayoutTest::gridBlocksThreeToALineNeverSplit() {
    auto box = [](int point, int lines) {
        ReportBlock block;
        block.width = 61;
        block.framed = true;
        ReportRow title;
        title.height = 4.5;
        title.add(ReportItem::caption(1, 0, QStringLiteral("Flow Point #%1").arg(point)));
        block.rows << title;
        for (int k = 1; k < lines; ++k) {
            ReportRow line;
            line.height = 4.5;
            line.add(ReportItem::field(1, 10, QStringLiteral("%1.%2").arg(point).arg(k),
                                       Qt::AlignRight, ReportFont::arial(10)));
            block.rows << line;
        }
        return block;
    };

    ReportDocument doc;
    // Leave about 70 mm: room for the heading and one line of boxes, not two.
    doc.sections << section(QStringLiteral("Filler"), 37, ReportSection::Keep::None);
    ReportSection grid = section(QStringLiteral("Flow Points"), 0, ReportSection::Keep::None);
    grid.gridColumns = {6.3, 67.2, 128.1};
    grid.gridSpacing = 3;
    for (int point = 2; point <= 8; ++point)
        grid.blocks << box(point, point == 3 ? 12 : 11);
    doc.sections << grid;
    const auto pages = ReportLayout::layOut(doc);

    const double left = doc.page.marginLeft;
    const Found p2 = findText(pages, QStringLiteral("Flow Point #2"));
    const Found p3 = findText(pages, QStringLiteral("Flow Point #3"));
    const Found p4 = findText(pages, QStringLiteral("Flow Point #4"));
    const Found p5 = findText(pages, QStringLiteral("Flow Point #5"));
    const Found p8 = findText(pages, QStringLiteral("Flow Point #8"));
    QCOMPARE(p2.page, 0);
    QCOMPARE(p2.item.x, left + 6.3 + 1);
    QCOMPARE(p3.item.x, left + 67.2 + 1);
    QCOMPARE(p4.item.x, left + 128.1 + 1);
    QCOMPARE(p3.item.y, p2.item.y);
    QCOMPARE(p4.item.y, p2.item.y);
    // The second line does not fit on page 1, so it starts page 2 whole.
    QCOMPARE(p5.page, 1);
    QCOMPARE(p5.item.x, p2.item.x);
    QCOMPARE(p5.item.y, doc.page.marginTop);
    QCOMPARE(p8.page, 1);
    QCOMPARE(p8.item.y, p5.item.y + 11 * 4.5 + 3);
    for (int point = 2; point <= 8; ++point) {
        const qsizetype page = findText(pages, QStringLiteral("Flow Point #%1").arg(point)).page;
        const int lines = point == 3 ? 12 : 11;
        QCOMPARE(findText(pages, QStringLiteral("%1.%2").arg(point).arg(lines - 1)).page, page);
    }
    // Each box carries its frame, as tall as its own rows.
    int frames = 0;
    for (const ReportPage& page : pages) {
        for (const ReportPageItem& item : page.items) {
            if (item.kind == ReportPageItem::Kind::Rectangle) {
                ++frames;
                QCOMPARE(item.width, 61.0);
            }
        }
    }
    QCOMPARE(frames, 7);
}

void LayoutTest::coverPageHeaderFooterAndPageNumbers() {
    ReportDocument doc;
    ReportRow title;
    title.add(ReportItem::caption(0, doc.page.bodyWidth(), QStringLiteral("Fire Pump Test"),
                                  Qt::AlignHCenter, ReportFont::times(48)));
    title.items.last().y = 25.4;
    doc.title = title;
    doc.titleOnOwnPage = true;
    ReportRow header;
    header.height = 30;
    header.add(ReportItem::caption(0, doc.page.bodyWidth(), QStringLiteral("FIRE PUMP TEST REPORT"),
                                   Qt::AlignHCenter, ReportFont::times(16, true)));
    doc.header = header;
    doc.headerOnFirstPage = false;
    ReportRow footer;
    footer.add(ReportItem::caption(0, doc.page.bodyWidth(), QStringLiteral("Page {page}"),
                                   Qt::AlignHCenter, ReportFont::times(10)));
    doc.footer = footer;
    doc.footerOnFirstPage = false;
    doc.sections << section(QStringLiteral("Company"), 80, ReportSection::Keep::None);

    const auto pages = ReportLayout::layOut(doc);
    QCOMPARE(pages.size(), 3);
    // The cover carries its title alone, at its fixed place below the top margin.
    QCOMPARE(pages.at(0).items.size(), 1);
    QCOMPARE(pages.at(0).items.first().y, doc.page.marginTop + 25.4);
    for (int i = 1; i < pages.size(); ++i) {
        const ReportPageItem* head = pages.at(i).find(QStringLiteral("FIRE PUMP TEST REPORT"));
        const ReportPageItem* foot = pages.at(i).find(QStringLiteral("Page %1").arg(i + 1));
        QVERIFY(head && foot);
        QCOMPARE(head->y, doc.page.marginTop);
        QCOMPARE(foot->y, doc.page.height - doc.page.marginBottom - 5);
        // The body stays between header and footer, clear of the footer even on a full page.
        for (const ReportPageItem& item : pages.at(i).items) {
            if (&item != head && &item != foot) {
                QVERIFY(item.y >= doc.page.marginTop + 30 - tolerance);
                QVERIFY(item.y + 5 <= foot->y - 2.0);
            }
        }
    }
    QCOMPARE(findText(pages, QStringLiteral("Company")).page, 1);
    QCOMPARE(findText(pages, QStringLiteral("Company")).item.y, doc.page.marginTop + 30);

    // Without the exception every page has them, the body under the title on page 1.
    doc.titleOnOwnPage = false;
    doc.headerOnFirstPage = true;
    doc.footerOnFirstPage = true;
    doc.footer->items.first().text = QStringLiteral("Page {page} of {pages}");
    const auto plain = ReportLayout::layOut(doc);
    QVERIFY(plain.first().find(QStringLiteral("FIRE PUMP TEST REPORT")));
    QVERIFY(plain.first().find(QStringLiteral("Page 1 of %1").arg(plain.size())));
    QCOMPARE(findText(plain, QStringLiteral("Company")).page, 0);
    QCOMPARE(findText(plain, QStringLiteral("Company")).item.y, doc.page.marginTop + 30 + 5);
}

void LayoutTest::itemsPlacedByMarginAlignmentAndFollowing() {
    const ReportFont bold = ReportFont::arial(12, true);
    ReportDocument doc;
    ReportSection s;
    ReportRow row;
    row.add(ReportItem::caption(0, 37, QStringLiteral("On Pressure:  "), Qt::AlignRight));
    row.add(ReportItem::field(37, 0, QStringLiteral("120")));
    row.add(ReportItem::caption(0, 0, QStringLiteral("  psi")));
    row.items.last().followsPrevious = true;
    s.rows << row;
    doc.sections << s;

    const auto pages = ReportLayout::layOut(doc);
    const double left = doc.page.marginLeft;
    const Found caption = findText(pages, QStringLiteral("On Pressure:  "));
    const Found value = findText(pages, QStringLiteral("120"));
    const Found unit = findText(pages, QStringLiteral("  psi"));
    QCOMPARE(caption.item.x + caption.item.width, left + 37); // ends where the value begins
    QVERIFY(caption.item.alignment & Qt::AlignRight);
    QCOMPARE(value.item.x, left + 37);
    QVERIFY(value.item.font.bold);
    QCOMPARE(unit.item.x, left + 37 + ReportMetrics::textWidth(QStringLiteral("120"), bold));
}

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"

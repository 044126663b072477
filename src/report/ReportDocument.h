#pragma once

#include "report/ReportFont.h"

#include <QRectF>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

class QPainter;

// The document model of a banded report: plain data that a report fills in and
// ReportLayout lays onto pages. All lengths are millimetres. Horizontal positions are
// measured from the left margin; vertical positions inside a row from the row's top.
// Texts are final strings: a report resolves its fields, formats and print rules while it
// builds the document, so the engine knows nothing about tables or preferences.

namespace nerova {

// One thing in a row.
//  - Caption and Field: one line of text, never wrapped. A width of 0 means "as wide as
//    the text"; otherwise the text is aligned inside [x, x + width].
//  - Memo: text wrapped at word boundaries (and at its own line breaks) inside width; the
//    row grows downward to hold every line.
//  - Line: a straight rule from (x, y) to (x + width, y + height).
//  - Rectangle: an outline at (x, y) of width x height.
//  - Drawing: a picture the report paints itself (a plot) into the box at (x, y) of
//    width x height, given in device units on whatever the pages are painted on.
struct ReportItem {
    enum class Kind { Caption, Field, Memo, Line, Rectangle, Drawing };
    using Paint = std::function<void(QPainter&, const QRectF&)>;

    Kind kind = Kind::Caption;
    QString text;
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0; // Line and Rectangle only; text is as high as its font's line
    Qt::Alignment alignment = Qt::AlignLeft;
    ReportFont font;
    // Starts where the text of the previous item of the row ends (x is then an offset),
    // for a unit such as "  psi" that follows a value of any width.
    bool followsPrevious = false;
    // Drawing only; shared, so copying a document never copies what the picture holds.
    std::shared_ptr<const Paint> paint;

    // Captions default to regular type, fields to bold: the look of every form.
    static ReportItem caption(double x, double width, const QString& text,
                              Qt::Alignment alignment = Qt::AlignLeft,
                              const ReportFont& font = ReportFont::arial(12));
    static ReportItem field(double x, double width, const QString& text,
                            Qt::Alignment alignment = Qt::AlignLeft,
                            const ReportFont& font = ReportFont::arial(12, true));
    static ReportItem memo(double x, double width, const QString& text,
                           const ReportFont& font = ReportFont::arial(12, true));
    static ReportItem line(double x, double y, double width, double height);
    static ReportItem rectangle(double x, double y, double width, double height);
    static ReportItem drawing(double x, double y, double width, double height, Paint paint);
};

// One line (or a fixed group of lines) of a report. A row whose print rule failed has
// printed == false and takes no space at all: everything below moves up.
struct ReportRow {
    QVector<ReportItem> items;
    double height = 5.0; // one 12 point line
    bool printed = true;
    // Never the last row on a page: it moves to the next page with the row that follows (a
    // sub-heading). A section's heading rows keep with its first row whatever this says.
    bool keepWithNext = false;

    ReportRow& add(const ReportItem& item) {
        items.append(item);
        return *this;
    }
};

// A fixed-size block for grid sections: its rows stack from its top, and it is never
// split across pages.
struct ReportBlock {
    QVector<ReportRow> rows;
    double width = 0.0;
    double minHeight = 0.0;
    bool framed = false; // draw a rectangle around the block
};

// A heading followed by rows, then (for a grid section) blocks laid columns.size() to a
// line, each line below the tallest block of the line before. A heading never stands alone
// at the foot of a page, whatever the section's Keep.
struct ReportSection {
    enum class Keep {
        None,                // a page may break between any two rows
        Whole,               // start on a new page when the section does not fit
        HeadingWithFirstRow, // never leave the heading alone at the foot of a page
    };

    QVector<ReportRow> heading;
    QVector<ReportRow> rows;
    Keep keep = Keep::None;
    // Starts on a page of its own (a full-page picture at the end of a report).
    bool newPage = false;
    // Empty space above the section, left out at the top of a page and when the section
    // prints nothing.
    double spaceBefore = 0.0;

    QVector<double> gridColumns; // x of each block slot
    QVector<ReportBlock> blocks; // the blocks that print, in reading order
    double gridSpacing = 0.0;    // vertical space between two lines of blocks
};

struct ReportPageSetup {
    double width = 215.9; // US Letter, portrait
    double height = 279.4;
    double marginTop = 6.35;
    double marginBottom = 12.7;
    double marginLeft = 12.7;
    double marginRight = 12.7;

    double bodyWidth() const { return width - marginLeft - marginRight; }
};

struct ReportDocument {
    // Replaced in page header and footer texts by the page's number (counted from the
    // first page, cover included) and by the number of pages.
    static constexpr const char* pageNumberToken = "{page}";
    static constexpr const char* pageCountToken = "{pages}";

    ReportPageSetup page;

    // The title band opens page 1 (below the header if that prints there); its items are
    // placed from the top margin. On its own page, the body starts on page 2.
    std::optional<ReportRow> title;
    bool titleOnOwnPage = false;

    // The header's height (row height or its memos, whichever is taller) is reserved
    // above the body; the footer's below it, ending at the bottom margin.
    std::optional<ReportRow> header;
    bool headerOnFirstPage = true;
    std::optional<ReportRow> footer;
    bool footerOnFirstPage = true;
    // Empty space kept between the last body line and the footer, so that a full page
    // never runs its body into the footer.
    double footerGap = 2.54;

    QVector<ReportSection> sections;
};

} // namespace nerova

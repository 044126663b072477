#include "report/ReportDocument.h"

#include <utility>

namespace nerova {

namespace {

ReportItem textItem(ReportItem::Kind kind, double x, double width, const QString& text,
                    Qt::Alignment alignment, const ReportFont& font) {
    ReportItem item;
    item.kind = kind;
    item.x = x;
    item.width = width;
    item.text = text;
    item.alignment = alignment;
    item.font = font;
    return item;
}

ReportItem shapeItem(ReportItem::Kind kind, double x, double y, double width, double height) {
    ReportItem item;
    item.kind = kind;
    item.x = x;
    item.y = y;
    item.width = width;
    item.height = height;
    return item;
}

} // namespace

ReportItem ReportItem::caption(double x, double width, const QString& text, Qt::Alignment alignment,
                               const ReportFont& font) {
    return textItem(Kind::Caption, x, width, text, alignment, font);
}

ReportItem ReportItem::field(double x, double width, const QString& text, Qt::Alignment alignment,
                             const ReportFont& font) {
    return textItem(Kind::Field, x, width, text, alignment, font);
}

ReportItem ReportItem::memo(double x, double width, const QString& text, const ReportFont& font) {
    return textItem(Kind::Memo, x, width, text, Qt::AlignLeft, font);
}

ReportItem ReportItem::line(double x, double y, double width, double height) {
    return shapeItem(Kind::Line, x, y, width, height);
}

ReportItem ReportItem::rectangle(double x, double y, double width, double height) {
    return shapeItem(Kind::Rectangle, x, y, width, height);
}

ReportItem ReportItem::drawing(double x, double y, double width, double height, Paint paint) {
    ReportItem item = shapeItem(Kind::Drawing, x, y, width, height);
    item.paint = std::make_shared<const Paint>(std::move(paint));
    return item;
}

} // namespace nerova

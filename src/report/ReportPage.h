#pragma once

#include "report/ReportDocument.h"
#include "report/ReportFont.h"

#include <QRectF>
#include <QString>
#include <QVector>

namespace nerova {

// One positioned thing on a laid-out page; x and y in millimetres from the paper's
// top-left corner. A memo arrives as one Text item per wrapped line.
struct ReportPageItem {
    enum class Kind { Text, Line, Rectangle, Drawing };

    Kind kind = Kind::Text;
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
    QString text;
    ReportFont font;
    Qt::Alignment alignment = Qt::AlignLeft;
    std::shared_ptr<const ReportItem::Paint> paint; // Drawing only

    QRectF rect() const { return {x, y, width, height}; }
};

// A laid-out page: what the painter draws and what tests inspect.
struct ReportPage {
    double width = 215.9;
    double height = 279.4;
    QVector<ReportPageItem> items;

    // The first text item whose text is exactly text, or nullptr.
    const ReportPageItem* find(const QString& text) const {
        for (const ReportPageItem& item : items) {
            if (item.kind == ReportPageItem::Kind::Text && item.text == text)
                return &item;
        }
        return nullptr;
    }
};

} // namespace nerova

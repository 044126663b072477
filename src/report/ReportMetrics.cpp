#include "report/ReportMetrics.h"

#include <QFontMetricsF>
#include <QImage>
#include <QTextLayout>

namespace nerova {

namespace {

constexpr double mmPerInch = 25.4;

const QPaintDevice* device() {
    static const QImage image = [] {
        QImage img(1, 1, QImage::Format_RGB32);
        const int dotsPerMetre = qRound(ReportMetrics::dotsPerInch / mmPerInch * 1000.0);
        img.setDotsPerMeterX(dotsPerMetre);
        img.setDotsPerMeterY(dotsPerMetre);
        return img;
    }();
    return &image;
}

double toMm(double dots) {
    return dots * mmPerInch / ReportMetrics::dotsPerInch;
}

double toDots(double mm) {
    return mm * ReportMetrics::dotsPerInch / mmPerInch;
}

QString trimmedRight(const QString& s) {
    qsizetype end = s.size();
    while (end > 0 && s.at(end - 1).isSpace())
        --end;
    return s.left(end);
}

} // namespace

double ReportMetrics::textWidth(const QString& text, const ReportFont& font) {
    const QFontMetricsF fm(font.toQFont(), device());
    return toMm(fm.horizontalAdvance(text));
}

double ReportMetrics::lineHeight(const ReportFont& font) {
    const QFontMetricsF fm(font.toQFont(), device());
    return toMm(fm.height());
}

double ReportMetrics::lineSpacing(const ReportFont& font) {
    const QFontMetricsF fm(font.toQFont(), device());
    return toMm(fm.lineSpacing());
}

QStringList ReportMetrics::wrap(const QString& text, const ReportFont& font, double width) {
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    const QFont qfont = font.toQFont();
    const double widthDots = toDots(width);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    QStringList lines;
    const QStringList paragraphs = normalized.split(QLatin1Char('\n'));
    for (const QString& paragraph : paragraphs) {
        if (paragraph.trimmed().isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(paragraph, qfont, device());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(widthDots);
            lines << trimmedRight(paragraph.mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace nerova

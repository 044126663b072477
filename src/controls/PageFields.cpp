#include "controls/PageFields.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <algorithm>

namespace nerova {

namespace {

constexpr int kShortText = 12; // text fields up to this length are sized to it
constexpr int kLongTextChars = 20;
constexpr int kAddressLength = 60; // the e-mail fields: as wide as a usual address
constexpr int kAddressChars = 32;
constexpr int kListChars = 12; // a list is as wide as its entries, up to this

int charsWide(const FieldEntry& entry, const QWidget* field) {
    switch (entry.kind) {
    case FieldKind::Phone:
        return 13;
    case FieldKind::Time:
        return 9;
    case FieldKind::Date:
        return 14; // room for the calendar button
    case FieldKind::Number:
        return std::max(4, static_cast<int>(entry.picture.size()) + 1);
    case FieldKind::Text:
    case FieldKind::UpperText:
    case FieldKind::Digits: {
        const auto* edit = qobject_cast<const QLineEdit*>(field);
        return edit && edit->maxLength() <= kShortText ? edit->maxLength() + 2 : 0;
    }
    default:
        return 0;
    }
}

// A caption as a screen reader should say it: one line, without the colon.
QString spokenCaption(QString caption) {
    caption.replace(QLatin1Char('\n'), QLatin1Char(' '));
    caption.remove(QLatin1Char('&'));
    if (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    return caption.trimmed();
}

} // namespace

int PageFields::shortWidth(const FieldEntry& entry, const QWidget* field) {
    const int chars = charsWide(entry, field);
    if (chars == 0)
        return 0;
    return field->fontMetrics().averageCharWidth() * chars +
           field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) * 2 + 8;
}

QGridLayout* PageFields::addGrid(QWidget* parent, const QList<FieldEntry>& specs) {
    auto* grid = new QGridLayout(parent);
    addToGrid(grid, 0, parent, specs);
    return grid;
}

void PageFields::addColumns(QWidget* page, const QList<FieldEntry>& specs, int rowsPerColumn) {
    auto* columns = new QHBoxLayout(page);
    QList<FieldEntry> chunk;
    int rows = 0;
    auto flush = [&] {
        if (chunk.isEmpty())
            return;
        auto* grid = new QGridLayout;
        grid->setRowStretch(addToGrid(grid, 0, page, chunk), 1);
        columns->addLayout(grid);
        chunk.clear();
        rows = 0;
    };
    for (const FieldEntry& entry : specs) {
        if (!entry.sameRow && rows == rowsPerColumn)
            flush();
        if (!entry.sameRow)
            ++rows;
        chunk.append(entry);
    }
    flush();
    columns->addStretch(1);
}

int PageFields::addToGrid(QGridLayout* grid, int row, QWidget* parent,
                          const QList<FieldEntry>& specs) {
    int r = row - 1;
    int column = 0;
    for (const FieldEntry& entry : specs) {
        if (entry.sameRow && r >= row) {
            column += 2;
        } else {
            ++r;
            column = 0;
        }
        place(grid, r, column, parent, entry);
    }
    return r + 1;
}

QWidget* PageFields::addGridPage(const QList<FieldEntry>& specs) {
    auto* page = new QWidget;
    QGridLayout* grid = addGrid(page, specs);
    grid->setRowStretch(grid->rowCount(), 1);
    grid->setColumnStretch(grid->columnCount(), 1);
    return page;
}

QWidget* PageFields::addHeadedRows(const QList<HeadedRow>& rows) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    int row = 0;
    qsizetype widest = 0;
    for (const HeadedRow& r : rows) {
        grid->addWidget(label(QObject::tr(r.heading), page), row, 0);
        for (int i = 0; i < r.specs.size(); ++i)
            place(grid, row, 1 + 2 * i, page, r.specs[i]);
        widest = std::max(widest, r.specs.size());
        ++row;
    }
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1 + 2 * static_cast<int>(widest), 1);
    return page;
}

QWidget* PageFields::place(QGridLayout* grid, int row, int column, QWidget* parent,
                           const FieldEntry& entry) {
    QWidget* field = FieldGrid::createField(entry, m_table, parent);
    if (entry.kind != FieldKind::Check && !entry.caption.isEmpty()) {
        QLabel* caption = label(
            entry.caption, parent,
            Qt::AlignRight | (entry.kind == FieldKind::Memo ? Qt::AlignTop : Qt::AlignVCenter));
        caption->setBuddy(field);
        grid->addWidget(caption, row, column);
    }
    if (entry.kind == FieldKind::Memo) {
        // A memo takes the rest of the row's width and the grid's spare height.
        grid->addWidget(field, row, column + 1, 1, -1);
        grid->setRowStretch(row, 1);
    } else {
        auto* box = new QHBoxLayout;
        box->setSpacing(4);
        box->addWidget(field);
        if (const int width = shortWidth(entry, field); width > 0) {
            field->setFixedWidth(width);
        } else if (auto* edit = qobject_cast<QLineEdit*>(field); edit && edit->maxLength() > 0) {
            // Room for a good part of a long text; the column may give it more.
            const int chars = edit->maxLength() == kAddressLength
                                  ? kAddressChars
                                  : std::min(edit->maxLength(), kLongTextChars);
            field->setMinimumWidth(field->fontMetrics().averageCharWidth() * chars);
        }
        if (auto* list = qobject_cast<QComboBox*>(field)) {
            // A screen reader names a list by its current entry; the caption says what it is.
            if (list->accessibleName().isEmpty())
                list->setAccessibleName(spokenCaption(entry.caption));
            qsizetype longest = 6;
            for (const QString& item : entry.items)
                longest = std::max(longest, item.size());
            list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            list->setMinimumContentsLength(
                static_cast<int>(std::min<qsizetype>(longest, kListChars)));
        }
        if (!entry.unit.isEmpty())
            box->addWidget(label(entry.unit, parent));
        if (field->maximumWidth() < QWIDGETSIZE_MAX || entry.kind == FieldKind::Check)
            box->addStretch(1);
        grid->addLayout(box, row, column + 1);
    }
    collect(entry, field);
    return field;
}

QWidget* PageFields::cell(QGridLayout* grid, int row, int column, QWidget* parent,
                          const FieldEntry& entry, const QString& accessibleName, int columnSpan) {
    QWidget* field = FieldGrid::createField(entry, m_table, parent);
    field->setAccessibleName(accessibleName);
    grid->addWidget(field, row, column, 1, columnSpan);
    collect(entry, field);
    return field;
}

void PageFields::chainTabOrder() const {
    for (qsizetype i = 1; i < m_ordered.size(); ++i)
        QWidget::setTabOrder(m_ordered[i - 1], m_ordered[i]);
}

QWidget* PageFields::field(const QString& column) const {
    if (QWidget* exact = m_map.value(column))
        return exact;
    for (auto it = m_map.cbegin(); it != m_map.cend(); ++it)
        if (it.key().compare(column, Qt::CaseInsensitive) == 0)
            return it.value();
    return nullptr;
}

QLabel* PageFields::label(const QString& text, QWidget* parent, Qt::Alignment alignment) {
    auto* l = new QLabel(text, parent);
    l->setAlignment(alignment);
    return l;
}

void PageFields::collect(const FieldEntry& entry, QWidget* field) {
    Q_ASSERT_X(field && !m_map.contains(entry.column), "PageFields", qPrintable(entry.column));
    // The field classes name their column for screen readers; make sure every one does.
    if (field->accessibleDescription().isEmpty())
        field->setAccessibleDescription(entry.column);
    m_map.insert(entry.column, field);
    m_ordered.append(field);
}

} // namespace nerova

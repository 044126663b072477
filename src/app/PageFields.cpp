#include "app/PageFields.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <algorithm>

namespace nerova {

namespace {

// Number fields are as wide as their picture needs, like the ones FieldGrid lays out.
void fitNumberWidth(QWidget* field, const FieldSpec& spec) {
    if (spec.kind != FieldKind::Number)
        return;
    const int chars = std::max(4, static_cast<int>(spec.picture.size()) + 2);
    field->setFixedWidth(field->fontMetrics().averageCharWidth() * chars +
                         field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) * 2 + 8);
}

} // namespace

QGridLayout* PageFields::addGrid(QWidget* parent, const QList<FieldSpec>& specs) {
    auto* grid = new QGridLayout(parent);
    addToGrid(grid, 0, parent, specs);
    return grid;
}

void PageFields::addColumns(QWidget* page, const QList<FieldSpec>& specs, int rowsPerColumn) {
    auto* columns = new QHBoxLayout(page);
    QList<FieldSpec> chunk;
    int rows = 0;
    auto flush = [&] {
        if (chunk.isEmpty())
            return;
        auto* grid = new QGridLayout;
        addToGrid(grid, 0, page, chunk);
        grid->setRowStretch(grid->rowCount(), 1);
        columns->addLayout(grid);
        chunk.clear();
        rows = 0;
    };
    for (const FieldSpec& spec : specs) {
        if (!spec.sameRow && rows == rowsPerColumn)
            flush();
        if (!spec.sameRow)
            ++rows;
        chunk.append(spec);
    }
    flush();
    columns->addStretch(1);
}

int PageFields::addToGrid(QGridLayout* grid, int row, QWidget* parent,
                          const QList<FieldSpec>& specs) {
    FieldMap added;
    const int next = FieldGrid::addToGrid(grid, row, parent, m_table, specs, added);
    for (const FieldSpec& spec : specs)
        collect(spec, added.value(spec.column));
    return next;
}

QWidget* PageFields::place(QGridLayout* grid, int row, int column, QWidget* parent,
                           const FieldSpec& spec) {
    QWidget* field = FieldGrid::createField(spec, m_table, parent);
    if (spec.kind != FieldKind::Check && !spec.caption.isEmpty()) {
        QLabel* caption = label(spec.caption, parent, Qt::AlignRight | Qt::AlignVCenter);
        caption->setBuddy(field);
        grid->addWidget(caption, row, column);
    }
    fitNumberWidth(field, spec);
    grid->addWidget(field, row, column + 1,
                    spec.kind == FieldKind::Number ? Qt::AlignLeft : Qt::Alignment());
    if (!spec.unit.isEmpty())
        grid->addWidget(label(spec.unit, parent), row, column + 2);
    collect(spec, field);
    return field;
}

QWidget* PageFields::cell(QGridLayout* grid, int row, int column, QWidget* parent,
                          const FieldSpec& spec, const QString& accessibleName, int columnSpan) {
    QWidget* field = FieldGrid::createField(spec, m_table, parent);
    field->setAccessibleName(accessibleName);
    grid->addWidget(field, row, column, 1, columnSpan);
    collect(spec, field);
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

void PageFields::collect(const FieldSpec& spec, QWidget* field) {
    Q_ASSERT_X(field && !m_map.contains(spec.column), "PageFields", qPrintable(spec.column));
    // The field classes name their column for screen readers; make sure every one does.
    if (field->accessibleDescription().isEmpty())
        field->setAccessibleDescription(spec.column);
    m_map.insert(spec.column, field);
    m_ordered.append(field);
}

} // namespace nerova

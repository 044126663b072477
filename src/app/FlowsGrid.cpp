#include "app/FlowsGrid.h"

#include "controls/CheckField.h"
#include "controls/FieldLink.h"
#include "controls/NumberField.h"
#include "controls/PageFields.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>

namespace nerova {

namespace {

// The columns of a flow point's row, left to right; "%1" stands for the point number.
// A first header line with a span covers that many columns (the readings of three phases).
struct PointColumn {
    const char* line1;
    int span;
    const char* line2;
    FieldEntry entry;
    bool electrical = false;
};

FieldEntry reading(const char* column, const char* picture) {
    return {.caption = {}, .column = column, .kind = FieldKind::Number, .picture = picture};
}

FieldEntry computed(const char* column, const char* picture) {
    return {.caption = {},
            .column = column,
            .kind = FieldKind::Number,
            .picture = picture,
            .access = FieldAccess::DisplayOnly};
}

const QList<PointColumn> kPointColumns = {
    {"", 1, "Time", {.caption = {}, .column = "Time%1", .kind = FieldKind::Time}},
    {"Disch", 1, "Press", reading("Discharge Pressure%1", "#######.#")},
    {"Suction", 1, "Press", reading("Suction Pressure%1", "#######.#")},
    {"",
     1,
     "Flow",
     {.caption = {},
      .column = "Flow%1",
      .kind = FieldKind::Number,
      .picture = "#,###",
      .access = FieldAccess::ReadOnly}},
    {"", 1, "RPM", reading("RPM%1", "#,###")},
    {"Amperes", 3, "A", reading("Amp%1-1", "#######.#"), true},
    {"", 0, "B", reading("Amp%1-2", "#######.#"), true},
    {"", 0, "C", reading("Amp%1-3", "#######.#"), true},
    {"Volts", 3, "A-B", reading("Volt%1-1", "#######.#"), true},
    {"", 0, "B-C", reading("Volt%1-2", "#######.#"), true},
    {"", 0, "A-C", reading("Volt%1-3", "#######.#"), true},
    {"Net", 1, "Press", computed("Net Pressure%1", "#######.#")},
    {"Corrected", 1, "Flow", computed("Corrected Flow%1", "#,###")},
    {"Corrected", 1, "Press", computed("Corrected Net Pressure%1", "#######.#")},
    {"", 1, "% Flow", computed("Percent Rated Flow%1", "###")},
};

const FieldEntry kVelocityPressure = {
    .caption = "Velocity Pressure", .column = "Velocity Pressure", .kind = FieldKind::Check};

constexpr int kHeaderRows = 2;
constexpr int kSuctionColumn = 2;
constexpr int kTimeColumn = 0;

} // namespace

FlowsGrid::FlowsGrid(PageFields& fields, QWidget* parent) : QWidget(parent), m_fields(fields) {
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(3);
    grid->setHorizontalSpacing(4);

    for (int c = 0; c < kPointColumns.size(); ++c) {
        const PointColumn& column = kPointColumns[c];
        const int gridColumn = c + 1;
        if (column.span > 0 && *column.line1) {
            QLabel* l = PageFields::label(tr(column.line1), this, Qt::AlignCenter);
            grid->addWidget(l, 0, gridColumn, 1, column.span);
            if (column.electrical)
                m_electrical.append(l);
            if (c == kSuctionColumn)
                m_suction[0] = l;
        }
        QLabel* l = PageFields::label(tr(column.line2), this, Qt::AlignCenter);
        grid->addWidget(l, 1, gridColumn);
        if (column.electrical)
            m_electrical.append(l);
        if (c == kSuctionColumn)
            m_suction[1] = l;
        grid->setColumnStretch(gridColumn, c == kTimeColumn ? 5 : 4);
    }

    // Row by row, so that Tab walks through one point's readings before the next.
    for (int n = 1; n <= kPoints; ++n) {
        const int row = kHeaderRows + n - 1;
        grid->addWidget(
            PageFields::label(QString::number(n), this, Qt::AlignRight | Qt::AlignVCenter), row, 0);
        for (int c = 0; c < kPointColumns.size(); ++c) {
            const PointColumn& column = kPointColumns[c];
            FieldEntry entry = column.entry;
            entry.column = entry.column.arg(n);
            const QString header = (QString::fromLatin1(column.line1) + QLatin1Char(' ') +
                                    QString::fromLatin1(column.line2))
                                       .trimmed();
            QWidget* field = m_fields.cell(grid, row, c + 1, this, entry,
                                           QStringLiteral("%1 %2").arg(header).arg(n));
            field->setMinimumWidth(c == kTimeColumn ? PageFields::shortWidth(entry, field) : 30);
            field->setSizePolicy(QSizePolicy::Ignored, field->sizePolicy().verticalPolicy());
            if (column.electrical)
                m_electrical.append(field);
        }
        // A reading that changed, never a mere key: Tab, an arrow or the release of a key
        // pressed elsewhere must not put a saved test into edit.
        for (const char* name : {"Discharge Pressure", "Suction Pressure", "RPM"}) {
            auto* reading = static_cast<NumberField*>(pointField(QLatin1String(name), n));
            connect(&reading->link(), &FieldLink::valueWritten, this,
                    [this, n] { Q_EMIT pointInputChanged(n); });
        }
        auto* flow = static_cast<NumberField*>(flowField(n));
        connect(flow, &NumberField::doubleClicked, this,
                [this, n] { Q_EMIT flowDialogRequested(n); });
        // The keys that open a drop-down open the point's flow dialog too.
        flow->installEventFilter(this);
        flow->setToolTip(tr("Double-click, F4 or Alt+Down: the flow of point %1").arg(n));
    }

    const int belowRows = kHeaderRows + kPoints;
    m_velocityPressure =
        m_fields.cell(grid, belowRows, 1, this, kVelocityPressure, kVelocityPressure.caption, 6);
    connect(&static_cast<CheckField*>(m_velocityPressure)->link(), &FieldLink::valueWritten, this,
            &FlowsGrid::velocityPressureChanged);
    grid->setRowStretch(belowRows + 1, 1);
}

void FlowsGrid::setSuctionHeader(const QString& line1, const QString& line2) {
    m_suction[0]->setText(line1);
    m_suction[1]->setText(line2);
}

QString FlowsGrid::suctionHeaderText() const {
    return m_suction[0]->text() + QLatin1Char('\n') + m_suction[1]->text();
}

void FlowsGrid::setElectricalEnabled(bool enabled) {
    m_electricalEnabled = enabled;
    for (QWidget* w : std::as_const(m_electrical))
        w->setEnabled(enabled);
}

void FlowsGrid::setTimeEnabled(bool enabled) {
    for (int n = 1; n <= kPoints; ++n)
        pointField(QStringLiteral("Time"), n)->setEnabled(enabled);
}

QWidget* FlowsGrid::flowField(int n) const {
    return pointField(QStringLiteral("Flow"), n);
}

QWidget* FlowsGrid::pointField(const QString& name, int n) const {
    return m_fields.field(name + QString::number(n));
}

bool FlowsGrid::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool opens = (key->key() == Qt::Key_F4 && key->modifiers() == Qt::NoModifier) ||
                           (key->key() == Qt::Key_Down && key->modifiers() == Qt::AltModifier);
        if (opens)
            for (int n = 1; n <= kPoints; ++n)
                if (watched == flowField(n)) {
                    Q_EMIT flowDialogRequested(n);
                    return true;
                }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace nerova

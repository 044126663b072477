#include "app/PumpPage.h"

#include "app/HistoryPage.h"
#include "app/Notebook.h"
#include "app/PumpSubPages.h"
#include "data/Table.h"
#include "eval/DomainValues.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace nerova {

namespace {

const QStringList kLabels = {"UL", "FM", "ULC", "UL/FM", "None"};

const QList<FieldEntry> kIdentitySpecs = {
    {"ID:", "PumpID", FieldKind::Text, {}, 40},
    {.caption = "Pump Type:",
     .column = "Pump Type",
     .kind = FieldKind::ListOnly,
     .items = pumpTypeNames()},
    {"RPM:", "Pump RPM", FieldKind::Number, "9999"},
    {"Mfr:", "Pump Mfr", FieldKind::Text, {}, 40},
    {"Model #:", "Pump MN", FieldKind::Text, {}, 80},
    {"Serial #:", "Pump SN", FieldKind::Text, {}, 40},
};

// The rated points: churn (its flow is always 0), 100 % and 150 % of the rated flow.
const FieldEntry kChurnPressure = {.caption = "@",
                                   .column = "Churn Pressure",
                                   .kind = FieldKind::Number,
                                   .picture = "###.#",
                                   .unit = "psi"};
const QList<FieldEntry> kRatingSpecs = {
    {.caption = "100%:",
     .column = "100% Flow",
     .kind = FieldKind::Number,
     .picture = "9999",
     .unit = "gpm"},
    {.caption = "@",
     .column = "100% Pressure",
     .kind = FieldKind::Number,
     .picture = "###.#",
     .unit = "psi",
     .sameRow = true},
    {.caption = "150%:",
     .column = "150% Flow",
     .kind = FieldKind::Number,
     .picture = "9999",
     .unit = "gpm"},
    {.caption = "@",
     .column = "150% Pressure",
     .kind = FieldKind::Number,
     .picture = "###.#",
     .unit = "psi",
     .sameRow = true},
};

const QList<FieldEntry> kDimensionSpecs = {
    {"Pump Elevation:", "Pump Elevation", FieldKind::Number, "##.##", 0, {}, "ft"},
    {"Discharge Elevation:", "Discharge Elevation", FieldKind::Number, "##.##", 0, {}, "ft"},
    {"Suction Elevation:", "Suction Elevation", FieldKind::Number, "##.##", 0, {}, "ft"},
    {"Impeller Diameter:", "Impeller Diameter", FieldKind::Number, "##.###", 0, {}, "in"},
    {"Discharge Pipe Diameter:", "Discharge Diameter", FieldKind::Number, "##.###", 0, {}, "in"},
    {"Suction Pipe Diameter:", "Suction Diameter", FieldKind::Number, "##.###", 0, {}, "in"},
};

const QList<FieldEntry> kEquipmentSpecs = {
    {"Label:", "Label", FieldKind::ListOrText, {}, 0, kLabels},
    {"Inner Bearing:", "Inner Bearing", FieldKind::Text, {}, 10},
    {"Outer Bearing:", "Outer Bearing", FieldKind::Text, {}, 10},
    {"Driver Type:", "Driver Type", FieldKind::ListOrText, {}, 0, driverTypeNames()},
    {"Rotation:", "Rotation", FieldKind::ListOrText, {}, 0, {"Clockwise", "Counterclockwise"}},
    {"Max Discharge Pressure:", "Max Discharge Pressure", FieldKind::Number, "999", 0, {}, "psi"},
};

} // namespace

PumpPage::PumpPage(Table& pump, QWidget* parent) : QWidget(parent), m_fields(pump) {
    auto* identity = new QWidget(this);
    QGridLayout* identityGrid = m_fields.addGrid(identity, kIdentitySpecs);
    identityGrid->setContentsMargins(0, 0, 0, 0);

    // The churn row: its flow is not a field but the fixed 0, which the caption ends with
    // so that it stands where the flows of the rows below end.
    auto* rating = new QWidget(this);
    auto* ratingGrid = new QGridLayout(rating);
    ratingGrid->setContentsMargins(0, 0, 0, 0);
    QLabel* churn = PageFields::label(tr("Rating -  Churn:             0"), rating,
                                      Qt::AlignRight | Qt::AlignVCenter);
    ratingGrid->addWidget(churn, 0, 0, 1, 2);
    m_fields.place(ratingGrid, 0, 2, rating, kChurnPressure);
    m_fields.addToGrid(ratingGrid, 1, rating, kRatingSpecs);
    const QWidget* flow = m_fields.field(QStringLiteral("100% Flow"));
    const int unitWidth = churn->fontMetrics().horizontalAdvance(QStringLiteral(" gpm")) + 4;
    churn->setContentsMargins(0, 0, unitWidth, 0);
    ratingGrid->setColumnMinimumWidth(0, churn->sizeHint().width() - flow->maximumWidth() -
                                             unitWidth - ratingGrid->horizontalSpacing());
    ratingGrid->setColumnStretch(4, 1);

    auto* dimensions = new QWidget(this);
    m_fields.addGrid(dimensions, kDimensionSpecs)->setContentsMargins(0, 0, 0, 0);
    auto* equipment = new QWidget(this);
    m_fields.addGrid(equipment, kEquipmentSpecs)->setContentsMargins(0, 0, 0, 0);
    // The one long caption of this column goes on two lines, so the three columns fit the
    // window's width.
    if (auto* caption = qobject_cast<QLabel*>(
            FieldGrid::captionOf(m_fields.field(QStringLiteral("Max Discharge Pressure")))))
        caption->setWordWrap(true);

    // The rating block sits below the pump's identity and may reach under the dimensions,
    // which leaves the three columns above narrow enough for the window.
    auto* top = new QGridLayout;
    top->setHorizontalSpacing(12);
    top->addWidget(identity, 0, 0);
    top->addWidget(dimensions, 0, 1, Qt::AlignTop);
    top->addWidget(equipment, 0, 2, Qt::AlignTop);
    top->addWidget(rating, 1, 0, 1, 2, Qt::AlignLeft);
    top->setColumnStretch(0, 1);

    m_notebook = new Notebook(this);
    m_notebook->setObjectName(QStringLiteral("PumpNotebook"));
    addPumpSubPages(*m_notebook, m_fields);
    m_history = new HistoryPage(pump);
    m_notebook->addPage(m_history, tr("History"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top);
    layout->addWidget(m_notebook, 1);

    m_fields.chainTabOrder();
    m_identifier = m_fields.field(QStringLiteral("PumpID"));
    m_identifier->setEnabled(false);
}

QComboBox* PumpPage::driverTypeComboBox() const {
    return qobject_cast<QComboBox*>(m_fields.field(QStringLiteral("Driver Type")));
}

} // namespace nerova

#include "app/PumpSubPages.h"

#include "app/Notebook.h"
#include "controls/PageFields.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace nerova {

namespace {

const QStringList kLabels = {"UL", "FM", "ULC", "UL/FM", "None"};

FieldEntry text(const char* caption, const char* column, int maxLength) {
    return {.caption = caption, .column = column, .kind = FieldKind::Text, .maxLength = maxLength};
}

FieldEntry number(const char* caption, const char* column, const char* picture,
                  const char* unit = "") {
    return {.caption = caption,
            .column = column,
            .kind = FieldKind::Number,
            .picture = picture,
            .unit = unit};
}

FieldEntry label(const char* column) {
    return {.caption = "Label:", .column = column, .kind = FieldKind::ListOrText, .items = kLabels};
}

const QList<FieldEntry> kElectricDriver = {
    text("Mfr:", "Electric Driver Mfr", 40),
    text("Model #:", "Electric Driver MN", 80),
    text("Serial #:", "Electric Driver SN", 40),
    number("Horsepower:", "Electric Driver Hp", "#######.##"),
    number("RPM:", "Electric Driver RPM", "9999"),
    number("AMP:", "Electric AMP", "#######.#"),
    number("Volts:", "Electric Volt", "999"),
    number("Service Factor:", "Electric SF", "#######.##"),
    text("Frame:", "Electric Frame", 8),
    label("Electric Driver Label"),
};

const QList<FieldEntry> kDieselDriver = {
    text("Mfr:", "Diesel Driver Mfr", 40),
    text("Model #:", "Diesel Driver MN", 80),
    text("Serial #:", "Diesel Driver SN", 40),
    number("Horsepower:", "Diesel Driver Hp", "9999"),
    number("RPM:", "Diesel Driver RPM", "9999"),
    number("# Cylinders:", "Diesel # Cylinders", "99"),
    number("Fuel Tank Gallons:", "Diesel Fuel Tank Gals", "9999"),
    text("Fuel Tank Location:", "Diesel Fuel Tank Loc", 40),
    label("Diesel Driver Label"),
};

const QList<FieldEntry> kJockey = {
    text("Mfr:", "Jockey Mfr", 40),
    text("Model #:", "Jockey MN", 80),
    text("Serial #:", "Jockey SN", 40),
    number("Horsepower:", "Jockey Hp", "#######.##"),
    number("RPM:", "Jockey RPM", "9999"),
    number("Flow:", "Jockey Flow", "999", "gpm"),
    number("Pressure:", "Jockey Pressure", "999", "psi"),
    number("Suction Diam:", "Jockey Size 1", "#######.##", "in"),
    number("Discharge Diam:", "Jockey Size 2", "#######.##", "in"),
    label("Jockey Label"),
};

const QList<FieldEntry> kPumpController = {
    text("Mfr:", "Cont/Pump Mfr", 40),
    text("Model #:", "Cont/Pump MN", 80),
    text("Serial #:", "Cont/Pump SN", 40),
    number("On Pressure:", "Pump On Pressure", "999", "psi"),
    number("Off Pressure:", "Pump Off Pressure", "999", "psi"),
    number("Run Timer:", "Pump Run Timer Minutes", "9999", "mins"),
    text("Auto Test Frequency:", "Pump Auto Test Frequency", 10),
    text("Auto Test On:", "Pump Auto Test On", 10),
    text("Auto Test Off:", "Pump Auto Test Off", 8),
    label("Cont/Pump Label"),
};

const QList<FieldEntry> kJockeyController = {
    text("Mfr:", "Cont/Jockey Mfr", 40),
    text("Model #:", "Cont/Jockey MN", 80),
    text("Serial #:", "Cont/Jockey SN", 40),
    number("On Pressure:", "Jockey On Pressure", "999", "psi"),
    number("Off Pressure:", "Jockey Off Pressure", "999", "psi"),
    label("Cont/Jockey Label"),
};

const QList<FieldEntry> kBrakeHorsepower = {
    number("Brake Horsepower:", "Brake Horsepower", "#######.##"),
    number("Maximum BHP:", "Maximum BHP", "#######.##"),
    number("at Positive Suction Pressure:", "Positive Suction Pressure", "9999999999", "psi"),
};

// Relief valves: one row per valve, each with its manufacturer, size and pressure.

QList<FieldEntry> reliefValve(const char* mfr, const char* size, const char* pressure) {
    return {text("Mfr:", mfr, 30), number("Size:", size, "#######.##", "in"),
            number("Pressure:", pressure, "9999999999", "psi")};
}

const QList<PageFields::HeadedRow> kReliefValves = {
    {"Pump Pressure -", reliefValve("Pump PRV Mfr", "Pump PRV Size", "Pump PRV Pressure")},
    {"Pump Casing -", reliefValve("Pump CRV Mfr", "Pump CRV Size", "Pump CRV Pressure")},
    {"Jockey Casing -", reliefValve("Jockey CRV Mfr", "Jockey CRV Size", "Jockey CRV Pressure")},
};

const QList<FieldEntry> kTransferSwitch = {
    text("Mfr:", "Trans Sw Mfr", 40),
    text("Model #:", "Trans Sw MN", 80),
    text("Serial #:", "Trans Sw SN", 40),
    text("Emergency Power Source:", "Emergency Power Source", 30),
    number("Transfer Time:", "Transfer Time", "##########", "secs"),
    text("Transfer Switch Location:", "Trans Sw Loc", 40),
};

// Factory curve: ten points, the first the churn point, whose flow is always 0.
constexpr int kCurvePoints = 10;
FieldEntry curveFlow(int n) {
    return {.caption = {},
            .column = QStringLiteral("FC Flow%1").arg(n),
            .kind = FieldKind::Number,
            .picture = "##########"};
}
FieldEntry curvePressure(int n) {
    return {.caption = {},
            .column = QStringLiteral("FC Pressure%1").arg(n),
            .kind = FieldKind::Number,
            .picture = "#######.#"};
}

const QList<FieldEntry> kGear = {
    text("Mfr:", "Gear Mfr", 40),
    text("Model #:", "Gear MN", 40),
    text("Serial #:", "Gear SN", 40),
    text("Ratio:", "Gear Ratio", 10),
    number("Input RPM:", "Gear Input RPM", "9999"),
    number("Output RPM:", "Gear Output RPM", "9999"),
};

const QList<FieldEntry> kNotes = {{"Notes:", "Notes", FieldKind::Memo}};

// Long sub-pages go in two columns so that they fit below the pump's main fields.
constexpr int kRowsPerColumn = 5;

QWidget* columnsPage(PageFields& fields, const QList<FieldEntry>& specs) {
    auto* page = new QWidget;
    fields.addColumns(page, specs, kRowsPerColumn);
    return page;
}

QWidget* factoryCurvePage(PageFields& fields) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(
        PageFields::label(
            QObject::tr("Churn ----------------------------------------> Larger Flows"), page),
        0, 1, 1, kCurvePoints);
    const struct {
        const char* caption;
        int row;
        FieldEntry (*entry)(int);
        const char* unit;
    } rows[] = {{"Flow:", 1, curveFlow, "gpm"}, {"Pressure:", 2, curvePressure, "psi"}};
    for (const auto& r : rows) {
        auto* caption =
            PageFields::label(QObject::tr(r.caption), page, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(caption, r.row, 0);
        for (int n = 1; n <= kCurvePoints; ++n) {
            const FieldEntry entry = r.entry(n);
            QWidget* field = fields.cell(grid, r.row, n, page, entry,
                                         QStringLiteral("%1 %2").arg(caption->text()).arg(n));
            field->setMinimumWidth(40);
            if (n == 1)
                caption->setBuddy(field);
        }
        grid->addWidget(PageFields::label(QObject::tr(r.unit), page), r.row, kCurvePoints + 1);
    }
    // The churn point's flow is 0 by definition.
    fields.field(QStringLiteral("FC Flow1"))->setEnabled(false);
    grid->addWidget(
        PageFields::label(QObject::tr("Insert as many points as needed (up to 10) from the "
                                      "factory pump curve.  Data points must be entered in an"),
                          page),
        3, 0, 1, kCurvePoints + 2);
    grid->addWidget(PageFields::label(QObject::tr("increasing flow order.  No sorting will be "
                                                  "performed."),
                                      page),
                    4, 0, 1, kCurvePoints + 2);
    grid->setRowStretch(5, 1);
    return page;
}

} // namespace

void addPumpSubPages(Notebook& notebook, PageFields& fields) {
    notebook.addPage(columnsPage(fields, kElectricDriver), QObject::tr("Electric Driver"),
                     QObject::tr("Elec."));
    notebook.addPage(columnsPage(fields, kDieselDriver), QObject::tr("Diesel/Gas Driver"),
                     QObject::tr("Diesel"));
    notebook.addPage(columnsPage(fields, kJockey), QObject::tr("Jockey"));
    notebook.addPage(columnsPage(fields, kPumpController), QObject::tr("Pump Controller"),
                     QObject::tr("Pump Ctrl"));
    notebook.addPage(columnsPage(fields, kJockeyController), QObject::tr("Jockey Controller"),
                     QObject::tr("Jockey Ctrl"));
    notebook.addPage(fields.addGridPage(kBrakeHorsepower), QObject::tr("BHP"));
    notebook.addPage(fields.addHeadedRows(kReliefValves), QObject::tr("Relief Valves"),
                     QObject::tr("Relief"));
    notebook.addPage(columnsPage(fields, kTransferSwitch), QObject::tr("Transfer Switch"),
                     QObject::tr("Xfer"));
    notebook.addPage(factoryCurvePage(fields), QObject::tr("Factory Curve"), QObject::tr("Curve"));
    notebook.addPage(columnsPage(fields, kGear), QObject::tr("R.A.Gear"));
    notebook.addPage(fields.addGridPage(kNotes), QObject::tr("Notes"));
}

} // namespace nerova

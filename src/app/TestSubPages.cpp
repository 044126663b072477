#include "app/TestSubPages.h"

#include "app/Notebook.h"
#include "controls/PageFields.h"
#include "prefs/PreferencesRecord.h"

#include <QGridLayout>
#include <QLabel>

namespace nerova {

namespace {

FieldEntry text(const QString& caption, const QString& column, int maxLength,
                bool sameRow = false) {
    return {.caption = caption,
            .column = column,
            .kind = FieldKind::Text,
            .maxLength = maxLength,
            .sameRow = sameRow};
}

FieldEntry phone(const char* caption, const QString& column) {
    return {.caption = caption, .column = column, .kind = FieldKind::Phone};
}

QList<FieldEntry> testerSpecs() {
    QList<FieldEntry> specs;
    for (int k = 1; k <= PreferencesRecord::kTesterCount; ++k) {
        const QString tester = QStringLiteral("Tester%1").arg(k);
        specs += {text(QStringLiteral("Tester %1:").arg(k), tester, 30),
                  text("License:", tester + " License", 30, true),
                  {.caption = "State:",
                   .column = tester + " State",
                   .kind = FieldKind::UpperText,
                   .maxLength = 2,
                   .sameRow = true}};
    }
    return specs;
}

const QList<FieldEntry> kAhj = {
    text("Name:", "AHJ Name", 30),
    text("Title:", "AHJ Title", 30),
    text("Company:", "AHJ Company", 40),
    phone("Phone:", "AHJ Phone"),
    {.caption = "Phone Ext:",
     .column = "AHJ Phone Ext",
     .kind = FieldKind::Digits,
     .maxLength = 5,
     .sameRow = true},
    phone("Fax:", "AHJ Fax"),
    phone("Cell:", "AHJ Cell"),
    text("Email:", "AHJ Email", 60),
};

// Witnesses: a row per witness under the headers; "%1" stands for the witness number.
constexpr int kWitnesses = 3;
const QList<std::pair<const char*, FieldEntry>> kWitnessColumns = {
    {"Name", text({}, "Witness%1 Name", 30)},   {"Company", text({}, "Witness%1 Company", 40)},
    {"Phone", phone("", "Witness%1 Phone")},    {"Fax", phone("", "Witness%1 Fax")},
    {"Email", text({}, "Witness%1 Email", 60)},
};

const QStringList kFluidLevels = {"1/8", "1/4", "3/8", "1/2", "5/8", "3/4", "7/8", "Full"};
const QList<FieldEntry> kDieselFluids = {
    {.caption = "Fuel Tank - Start:",
     .column = "Fuel Tank Start",
     .kind = FieldKind::ListOrText,
     .items = kFluidLevels},
    {.caption = "End:",
     .column = "Fuel Tank End",
     .kind = FieldKind::ListOrText,
     .items = kFluidLevels},
    {.caption = "Oil Level:",
     .column = "Oil Level",
     .kind = FieldKind::ListOrText,
     .items = kFluidLevels},
};

FieldEntry temperature(const char* caption, const char* column) {
    return {.caption = caption,
            .column = column,
            .kind = FieldKind::Number,
            .picture = "##########",
            .unit = QStringLiteral("\u00b0F")};
}

const QList<PageFields::HeadedRow> kTemperatures = {
    {"Pump Bearing Temperature -",
     {temperature("Inner", "Pump Inner Bearing Temp"),
      temperature("Outer", "Pump Outer Bearing Temp")}},
    {"Driver Bearing Temperature -",
     {temperature("Inner", "Driver Inner Bearing Temp"),
      temperature("Outer", "Driver Outer Bearing Temp")}},
};

const QList<FieldEntry> kTransferSwitch = {
    {.caption = "Transfer Time to Full Speed under Peak Load:",
     .column = "Peak Flow Time",
     .kind = FieldKind::Digits,
     .maxLength = 3,
     .unit = "secs"},
    {.caption = "Retransfer Time under No Load:",
     .column = "ReTransfer Time",
     .kind = FieldKind::Digits,
     .maxLength = 3,
     .unit = "secs"},
};

QList<FieldEntry> gauge(const char* caption, const char* type, const char* calibrated) {
    return {text(caption, type, 25),
            {.caption = {}, .column = calibrated, .kind = FieldKind::Date, .sameRow = true}};
}

const QList<FieldEntry> kGauges =
    gauge("Pressure Gauges:", "Pressure Gauge Type", "Pressure Gauge Cal Date") +
    gauge("Volt Meter:", "Volt Meter Type", "Volt Meter Cal Date") +
    gauge("Amp Probe:", "Amp Probe Type", "Amp Probe Cal Date") +
    gauge("Tachometer:", "Tachometer Type", "Tachometer Cal Date");

const QList<FieldEntry> kNotes = {{"Notes:", "Notes", FieldKind::Memo}};

QWidget* witnessesPage(PageFields& fields) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    for (int c = 0; c < kWitnessColumns.size(); ++c)
        grid->addWidget(PageFields::label(QObject::tr(kWitnessColumns[c].first), page), 0, c);
    for (int k = 1; k <= kWitnesses; ++k) {
        for (int c = 0; c < kWitnessColumns.size(); ++c) {
            const auto& [header, pattern] = kWitnessColumns[c];
            FieldEntry entry = pattern;
            entry.column = entry.column.arg(k);
            fields.cell(grid, k, c, page, entry,
                        QStringLiteral("Witness %1 %2").arg(k).arg(QLatin1String(header)));
        }
    }
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 4);
    grid->setColumnStretch(4, 5);
    grid->setRowStretch(kWitnesses + 1, 1);
    return page;
}

QWidget* gaugesPage(PageFields& fields) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(PageFields::label(QObject::tr("Type"), page), 0, 1);
    grid->addWidget(PageFields::label(QObject::tr("Calibration Date"), page), 0, 3);
    const int end = fields.addToGrid(grid, 1, page, kGauges);
    // The dates have no caption of their own: their row caption and header name them.
    for (int i = 0; i < kGauges.size(); i += 2) {
        const QString row = kGauges[i].caption.chopped(1);
        fields.field(kGauges[i + 1].column)
            ->setAccessibleName(QStringLiteral("%1 Calibration Date").arg(row));
        fields.field(kGauges[i].column)->setAccessibleName(QStringLiteral("%1 Type").arg(row));
    }
    grid->setRowStretch(end, 1);
    grid->setColumnStretch(4, 1);
    return page;
}

} // namespace

void addTestSubPages(Notebook& notebook, PageFields& fields) {
    notebook.addPage(fields.addGridPage(testerSpecs()), QObject::tr("Testers"));
    notebook.addPage(fields.addGridPage(kAhj), QObject::tr("AHJ"));
    notebook.addPage(witnessesPage(fields), QObject::tr("Witnesses"));
    notebook.addPage(fields.addGridPage(kDieselFluids), QObject::tr("Diesel Fluids"),
                     QObject::tr("Fluids"));
    notebook.addPage(fields.addHeadedRows(kTemperatures), QObject::tr("Temperatures"),
                     QObject::tr("Temps"));
    notebook.addPage(fields.addGridPage(kTransferSwitch), QObject::tr("Transfer Switch"),
                     QObject::tr("Transfer"));
    notebook.addPage(gaugesPage(fields), QObject::tr("Gauges/Meters"), QObject::tr("Gauges"));
    notebook.addPage(fields.addGridPage(kNotes), QObject::tr("Notes"));
}

} // namespace nerova

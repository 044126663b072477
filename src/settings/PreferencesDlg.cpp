#include "settings/PreferencesDlg.h"

#include "controls/ColorComboBox.h"
#include "controls/LineEntry.h"
#include "controls/NumberPicture.h"
#include "controls/PictureValidator.h"
#include "prefs/PreferencesRecord.h"
#include "settings/UpperCaseValidator.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace nerova {

namespace {

using TextGetter = QString (PreferencesRecord::*)() const;
using TextSetter = void (PreferencesRecord::*)(const QString&);
using FlagGetter = bool (PreferencesRecord::*)() const;
using FlagSetter = void (PreferencesRecord::*)(bool);

struct Instrument {
    const char* caption;
    const char* name; // field name; the entries are <name>TypeField and <name>CalDateField
    TextGetter type;
    TextSetter setType;
    TextGetter calDate;
    TextSetter setCalDate;
};

const Instrument kInstruments[4] = {
    {"Pressure Gauge:", "PressureGauge", &PreferencesRecord::pressureGaugeType,
     &PreferencesRecord::setPressureGaugeType, &PreferencesRecord::pressureGaugeCalDate,
     &PreferencesRecord::setPressureGaugeCalDate},
    {"Volt Meter:", "VoltMeter", &PreferencesRecord::voltMeterType,
     &PreferencesRecord::setVoltMeterType, &PreferencesRecord::voltMeterCalDate,
     &PreferencesRecord::setVoltMeterCalDate},
    {"Amp Probe:", "AmpProbe", &PreferencesRecord::ampProbeType,
     &PreferencesRecord::setAmpProbeType, &PreferencesRecord::ampProbeCalDate,
     &PreferencesRecord::setAmpProbeCalDate},
    {"Tachometer:", "Tachometer", &PreferencesRecord::tachometerType,
     &PreferencesRecord::setTachometerType, &PreferencesRecord::tachometerCalDate,
     &PreferencesRecord::setTachometerCalDate},
};

struct ReportFlag {
    const char* caption;
    const char* id; // Company, Location, Pump, Test
    FlagGetter summary;
    FlagSetter setSummary;
    FlagGetter detail;
    FlagSetter setDetail;
};

const ReportFlag kReportFlags[4] = {
    {"Company ID", "Company", &PreferencesRecord::printSummaryCompanyID,
     &PreferencesRecord::setPrintSummaryCompanyID, &PreferencesRecord::printDetailCompanyID,
     &PreferencesRecord::setPrintDetailCompanyID},
    {"Location ID", "Location", &PreferencesRecord::printSummaryLocationID,
     &PreferencesRecord::setPrintSummaryLocationID, &PreferencesRecord::printDetailLocationID,
     &PreferencesRecord::setPrintDetailLocationID},
    {"Pump ID", "Pump", &PreferencesRecord::printSummaryPumpID,
     &PreferencesRecord::setPrintSummaryPumpID, &PreferencesRecord::printDetailPumpID,
     &PreferencesRecord::setPrintDetailPumpID},
    {"Test ID", "Test", &PreferencesRecord::printSummaryTestID,
     &PreferencesRecord::setPrintSummaryTestID, &PreferencesRecord::printDetailTestID,
     &PreferencesRecord::setPrintDetailTestID},
};

QString s(const char* text) {
    return QString::fromLatin1(text);
}

template <typename W> W* bound(W* widget, const QString& objectName, const QString& field) {
    widget->setObjectName(objectName);
    widget->setAccessibleDescription(field);
    return widget;
}

QLineEdit* textEntry(QWidget* parent, const QString& field, int maxLength) {
    auto* entry = bound(new LineEntry(parent), field + s("Field"), field);
    entry->setMaxLength(maxLength);
    return entry;
}

QLabel* caption(const QString& text, QWidget* parent, QWidget* buddy = nullptr) {
    auto* label = new QLabel(text, parent);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

QCheckBox* checkBox(const QString& text, QWidget* parent, const QString& field) {
    return bound(new QCheckBox(text, parent), field + s("CheckBox"), field);
}

QRadioButton* radio(const QString& text, QWidget* parent, const QString& objectName,
                    const QString& field, QButtonGroup* group) {
    auto* button = bound(new QRadioButton(text, parent), objectName, field);
    group->addButton(button);
    return button;
}

// Checks one of two exclusive choices.
void choose(QRadioButton* whenTrue, QRadioButton* whenFalse, bool value) {
    (value ? whenTrue : whenFalse)->setChecked(true);
}

// The nozzle entries take one digit, a point and three decimals, under the same rule as
// every numeric entry of the main window: 1.75 shows as "1.750" here as there.
const NumberPicture& nozzlePicture() {
    static const NumberPicture picture = [] {
        NumberPicture p(QStringLiteral("#.###"));
        p.setNonNegative(true);
        return p;
    }();
    return picture;
}

QString nozzleText(float value) {
    return nozzlePicture().format(double(value), false);
}

float nozzleValue(const QLineEdit* entry) {
    return float(nozzlePicture().parse(entry->text()).value_or(0.0));
}

// A date entry left blank reads as its separators alone; store that as no date.
QString calDateText(const QLineEdit* entry) {
    const QString text = entry->text();
    for (const QChar c : text) {
        if (c.isDigit())
            return text;
    }
    return {};
}

} // namespace

TPreferencesDlg::TPreferencesDlg(PreferencesRecord& record, QWidget* parent)
    : QDialog(parent), m_record(record) {
    setObjectName(s("PreferencesDlg"));
    setWindowTitle(s("Preferences"));
    // A fixed frame with a caption but no title-bar buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(464, 442);
    QFont dialogFont(s("Arial"));
    dialogFont.setPixelSize(13);
    setFont(dialogFont);

    m_notebook = new QTabWidget(this);
    m_notebook->setObjectName(s("Notebook"));
    m_notebook->setTabPosition(QTabWidget::North);
    m_notebook->setGeometry(10, 8, 445, 393);
    // Eight tabs share the notebook's width without scroll arrows.
    m_notebook->setUsesScrollButtons(false);
    m_notebook->setStyleSheet(s("QTabBar::tab { padding: 3px 2px; }"
                                "QTabBar::tab:selected { font-weight: bold; }"));

    buildCompanyPage();
    buildCurvesPage();
    buildGaugesPage();
    buildGraphPage();
    buildNozzlesPage();
    buildReportsPage();
    buildTestersPage();
    buildTimePage();

    m_okBtn = new QPushButton(s("OK"), this);
    m_okBtn->setObjectName(s("OKBtn"));
    m_okBtn->setGeometry(152, 409, 75, 25);
    m_cancelBtn = new QPushButton(s("Cancel"), this);
    m_cancelBtn->setObjectName(s("CancelBtn"));
    m_cancelBtn->setGeometry(237, 409, 75, 25);
    // Enter never presses a button here: it moves the focus.
    for (QPushButton* button : {m_okBtn, m_cancelBtn}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(m_okBtn, &QPushButton::clicked, this, &TPreferencesDlg::OKBtnClick);
    connect(m_cancelBtn, &QPushButton::clicked, this, &TPreferencesDlg::CancelBtnClick);

    connect(m_plotRatingPoints, &QCheckBox::toggled, this,
            &TPreferencesDlg::PlotRatingPointsCheckBoxClick);
    connect(m_plotFactoryCurve, &QCheckBox::toggled, this,
            &TPreferencesDlg::PlotFactoryCurveCheckBoxClick);

    m_notebook->setCurrentIndex(0);
    watchKeys();
    FormShow();
}

void TPreferencesDlg::buildCompanyPage() {
    auto* page = new QWidget;
    page->setObjectName(s("CompanyPage"));
    auto* grid = new QGridLayout(page);
    for (int i = 0; i < 8; ++i) {
        const int n = i + 1;
        // The entry takes a full line as typed; the record keeps its first 40 characters.
        m_companyInfo[i] = textEntry(page, s("CompanyInfo%1").arg(n), 80);
        const char* size = n == 1 ? "[24 pt.]" : n <= 4 ? "[14 pt.]" : "[12 pt.]";
        grid->addWidget(caption(s("Line %1:").arg(n), page, m_companyInfo[i]), i, 0);
        grid->addWidget(m_companyInfo[i], i, 1);
        grid->addWidget(new QLabel(s(size), page), i, 2);
    }
    grid->setRowStretch(8, 1);
    m_notebook->addTab(page, s("Company"));
}

void TPreferencesDlg::buildCurvesPage() {
    auto* page = new QWidget;
    page->setObjectName(s("CurvesPage"));
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    QFont big = font();
    big.setPixelSize(20);
    big.setBold(true);

    for (int i = 0; i < 5; ++i) {
        const int n = i + 1;
        const int row = i * 2;
        auto* number = new QLabel(n <= 4 ? s("#%1").arg(n) : s("Rating"), page);
        number->setFont(big);
        // "Rating" has no Actual/Corrected choice, so its caption may take their room.
        if (n <= 4)
            grid->addWidget(number, row, 0, 2, 1, Qt::AlignLeft | Qt::AlignVCenter);
        else
            grid->addWidget(number, row, 0, 1, 3, Qt::AlignLeft | Qt::AlignVCenter);

        if (n <= 4) {
            auto* group = new QButtonGroup(page);
            m_actual[i] = radio(s("Actual"), page, s("Actual%1RadioBtn").arg(n),
                                s("Corrected%1").arg(n), group);
            m_corrected[i] = radio(s("Corrected"), page, s("Corrected%1RadioBtn").arg(n),
                                   s("Corrected%1").arg(n), group);
            grid->addWidget(m_actual[i], row, 1);
            grid->addWidget(m_corrected[i], row, 2);
        }
        m_color[i] =
            bound(new ColorComboBox(page), s("Color%1ComboBox").arg(n), s("Color%1").arg(n));
        m_color[i]->setAccessibleName(n <= 4 ? s("Colour of curve %1").arg(n)
                                             : s("Colour of the rating curve"));
        grid->addWidget(m_color[i], row, 3);
        m_legend[i] = textEntry(page, s("Legend%1").arg(n), PreferencesRecord::kLegendLength);
        grid->addWidget(caption(s("Legend:"), page, m_legend[i]), row + 1, 1);
        grid->addWidget(m_legend[i], row + 1, 2, 1, 2);
        if (n >= 2 && n <= 4) {
            m_includeCurve[i - 1] = checkBox(s("Include Curve"), page, s("IncludeCurve%1").arg(n));
            grid->addWidget(m_includeCurve[i - 1], row + 1, 4);
        }
    }

    m_plotRatingPoints = checkBox(s("Plot Rating Points"), page, s("PlotRatingPoints"));
    m_connectRatingPoints = checkBox(s("Connect Rating Points"), page, s("ConnectRatingPoints"));
    m_connectRatingPoints->setEnabled(false);
    m_plotFactoryCurve = checkBox(s("Plot Factory Curve"), page, s("PlotFactoryCurve"));
    auto* connectRow = new QHBoxLayout;
    connectRow->addSpacing(20);
    connectRow->addWidget(m_connectRatingPoints);
    grid->setRowMinimumHeight(10, 8);
    grid->addWidget(m_plotRatingPoints, 11, 0, 1, 3);
    grid->addWidget(m_plotFactoryCurve, 11, 3, 1, 2);
    grid->addLayout(connectRow, 12, 0, 1, 3);
    grid->setRowStretch(13, 1);
    m_notebook->addTab(page, s("Curves"));
}

void TPreferencesDlg::buildGaugesPage() {
    auto* page = new QWidget;
    page->setObjectName(s("GaugesMetersPage"));
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(s("Type"), page), 0, 1);
    grid->addWidget(new QLabel(s("Calibration Date"), page), 0, 2);
    for (int i = 0; i < 4; ++i) {
        const Instrument& inst = kInstruments[i];
        const QString name = s(inst.name);
        // Created row by row so that the focus runs along each row.
        m_instrumentType[i] =
            textEntry(page, name + s("Type"), PreferencesRecord::kInstrumentTypeLength);
        m_calDate[i] = textEntry(page, name + s("CalDate"), PreferencesRecord::kCalDateLength);
        m_calDate[i]->setInputMask(s("00/00/00;_"));
        m_calDate[i]->setAccessibleName(s(inst.caption).chopped(1) + s(" calibration date"));
        m_calDate[i]->setMaximumWidth(90);
        grid->addWidget(caption(s(inst.caption), page, m_instrumentType[i]), i + 1, 0);
        grid->addWidget(m_instrumentType[i], i + 1, 1);
        grid->addWidget(m_calDate[i], i + 1, 2);
    }
    grid->setRowStretch(5, 1);
    m_notebook->addTab(page, s("Gauges/Meters"));
}

void TPreferencesDlg::buildGraphPage() {
    auto* page = new QWidget;
    page->setObjectName(s("GraphPage"));
    auto* grid = new QGridLayout(page);

    auto* lines = new QButtonGroup(page);
    m_curved = radio(s("Curved"), page, s("CurvedRadioBtn"), s("CurvedLines"), lines);
    m_straight = radio(s("Straight"), page, s("StraightRadioBtn"), s("CurvedLines"), lines);
    grid->addWidget(new QLabel(s("Lines -"), page), 0, 0);
    grid->addWidget(m_curved, 0, 1);
    grid->addWidget(m_straight, 0, 2);

    auto* axis = new QButtonGroup(page);
    m_exponential =
        radio(s("Exponential"), page, s("ExponentialRadioBtn"), s("ExponentialXAxis"), axis);
    m_linear = radio(s("Linear"), page, s("LinearRadioBtn"), s("ExponentialXAxis"), axis);
    grid->addWidget(new QLabel(s("X Axis -"), page), 1, 0);
    grid->addWidget(m_exponential, 1, 1);
    grid->addWidget(m_linear, 1, 2);

    m_qualityGroup = new QButtonGroup(page);
    const char* qualities[4] = {"Draft", "Low", "Medium", "High"};
    grid->addWidget(new QLabel(s("Print Quality -"), page), 2, 0);
    for (int i = 0; i < 4; ++i) {
        m_quality[i] = radio(s(qualities[i]), page, s(qualities[i]) + s("RadioBtn"),
                             s("CurvePrintQuality"), m_qualityGroup);
        grid->addWidget(m_quality[i], 2 + i, 1);
    }

    m_printGridLines = checkBox(s("Print Grid Lines"), page, s("PrintGridLines"));
    grid->setRowMinimumHeight(6, 8);
    grid->addWidget(m_printGridLines, 7, 0, 1, 3);
    grid->setRowStretch(8, 1);
    grid->setColumnStretch(3, 1);
    m_notebook->addTab(page, s("Graph"));
}

void TPreferencesDlg::buildNozzlesPage() {
    auto* page = new QWidget;
    page->setObjectName(s("NozzlesPage"));
    auto* grid = new QGridLayout(page);
    m_size = bound(new LineEntry(page), s("SizeField"), s("DefaultNozzleSize"));
    m_coefficent = bound(new LineEntry(page), s("CoefficentField"), s("DefaultNozzleCoefficient"));
    for (QLineEdit* entry : {m_size, m_coefficent}) {
        entry->setValidator(new PictureValidator(nozzlePicture(), entry));
        entry->setMaximumWidth(70);
    }
    grid->addWidget(caption(s("Size:"), page, m_size), 0, 0);
    grid->addWidget(m_size, 0, 1);
    grid->addWidget(caption(s("Coefficent:"), page, m_coefficent), 1, 0);
    grid->addWidget(m_coefficent, 1, 1);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(2, 1);
    m_notebook->addTab(page, s("Nozzles"));
}

void TPreferencesDlg::buildReportsPage() {
    auto* page = new QWidget;
    page->setObjectName(s("ReportsPage"));
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(s("Print IDs on reports?"), page), 0, 0, 1, 2);
    QFont underlined = font();
    underlined.setUnderline(true);
    auto* summary = new QLabel(s("Summary"), page);
    summary->setFont(underlined);
    auto* detail = new QLabel(s("Detail"), page);
    detail->setFont(underlined);
    grid->addWidget(summary, 1, 0);
    grid->addWidget(detail, 1, 1);
    // The summary column first, then the detail column, as the focus moves down each.
    for (int i = 0; i < 4; ++i) {
        m_printSummary[i] = checkBox(s(kReportFlags[i].caption), page,
                                     s("PrintSummary%1ID").arg(s(kReportFlags[i].id)));
        grid->addWidget(m_printSummary[i], 2 + i, 0);
    }
    for (int i = 0; i < 4; ++i) {
        m_printDetail[i] = checkBox(s(kReportFlags[i].caption), page,
                                    s("PrintDetail%1ID").arg(s(kReportFlags[i].id)));
        grid->addWidget(m_printDetail[i], 2 + i, 1);
    }
    m_printPageNumber =
        checkBox(s("Print Page Numbers on Reports"), page, s("PrintReportPageNumber"));
    grid->setRowMinimumHeight(6, 12);
    grid->addWidget(m_printPageNumber, 7, 0, 1, 3);
    grid->setRowStretch(8, 1);
    grid->setColumnStretch(2, 1);
    m_notebook->addTab(page, s("Reports"));
}

void TPreferencesDlg::buildTestersPage() {
    auto* page = new QWidget;
    page->setObjectName(s("TestersPage"));
    auto* grid = new QGridLayout(page);
    auto* testerHeading = new QLabel(s("Tester"), page);
    auto* licenseHeading = new QLabel(s("License"), page);
    auto* stateHeading = new QLabel(s("State"), page);
    grid->addWidget(testerHeading, 0, 0);
    grid->addWidget(licenseHeading, 0, 1);
    grid->addWidget(stateHeading, 0, 2);
    for (int i = 0; i < PreferencesRecord::kTesterCount; ++i) {
        const int n = i + 1;
        // Created row by row so that the focus runs along each row.
        m_tester[i] = textEntry(page, s("Tester%1").arg(n), PreferencesRecord::kTesterLength);
        m_testerLicense[i] =
            textEntry(page, s("Tester%1License").arg(n), PreferencesRecord::kTesterLicenseLength);
        m_testerState[i] =
            textEntry(page, s("Tester%1State").arg(n), PreferencesRecord::kTesterStateLength);
        m_testerState[i]->setValidator(new UpperCaseValidator(m_testerState[i]));
        m_testerState[i]->setMaximumWidth(40);
        m_tester[i]->setAccessibleName(s("Tester %1").arg(n));
        m_testerLicense[i]->setAccessibleName(s("Tester %1 license").arg(n));
        m_testerState[i]->setAccessibleName(s("Tester %1 state").arg(n));
        grid->addWidget(m_tester[i], n, 0);
        grid->addWidget(m_testerLicense[i], n, 1);
        grid->addWidget(m_testerState[i], n, 2);
    }
    testerHeading->setBuddy(m_tester[0]);
    licenseHeading->setBuddy(m_testerLicense[0]);
    stateHeading->setBuddy(m_testerState[0]);
    grid->setRowStretch(5, 1);
    m_notebook->addTab(page, s("Testers"));
}

void TPreferencesDlg::buildTimePage() {
    auto* page = new QWidget;
    page->setObjectName(s("TimePage"));
    auto* box = new QVBoxLayout(page);
    m_useTestTime = checkBox(s("Use Time with the Test Flow Points"), page, s("UseTestTime"));
    box->addWidget(m_useTestTime);
    box->addStretch(1);
    m_notebook->addTab(page, s("Time"));
}

void TPreferencesDlg::watchKeys() {
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool TPreferencesDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            CancelBtnClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TPreferencesDlg::FormShow() {
    const PreferencesRecord& r = m_record;
    for (int i = 0; i < 8; ++i)
        m_companyInfo[i]->setText(r.companyInfo(i + 1));
    m_printGridLines->setChecked(r.printGridLines());
    choose(m_curved, m_straight, r.curvedLines());
    choose(m_exponential, m_linear, r.exponentialXAxis());
    const int quality = r.curvePrintQuality();
    if (quality >= 1 && quality <= 4) {
        m_quality[quality - 1]->setChecked(true);
    } else {
        // An exclusive group refuses to clear its last choice.
        m_qualityGroup->setExclusive(false);
        for (QRadioButton* button : m_quality)
            button->setChecked(false);
        m_qualityGroup->setExclusive(true);
    }
    m_size->setText(nozzleText(r.defaultNozzleSize()));
    m_coefficent->setText(nozzleText(r.defaultNozzleCoefficient()));
    m_useTestTime->setChecked(r.useTestTime());
    for (int i = 0; i < 4; ++i)
        choose(m_corrected[i], m_actual[i], r.corrected(i + 1));
    for (int i = 0; i < 5; ++i)
        m_color[i]->setColorValue(r.color(i + 1));
    for (int i = 0; i < 5; ++i)
        m_legend[i]->setText(r.legend(i + 1));
    for (int i = 0; i < 3; ++i)
        m_includeCurve[i]->setChecked(r.includeCurve(i + 2));
    // Each of these runs its click rule when it changes, so their order matters: a record
    // with both rating points and the factory curve opens with the factory curve alone.
    m_plotRatingPoints->setChecked(r.plotRatingPoints());
    m_connectRatingPoints->setChecked(r.connectRatingPoints());
    m_plotFactoryCurve->setChecked(r.plotFactoryCurve());
    for (int i = 0; i < PreferencesRecord::kTesterCount; ++i)
        m_tester[i]->setText(r.tester(i + 1));
    for (int i = 0; i < PreferencesRecord::kTesterCount; ++i)
        m_testerLicense[i]->setText(r.testerLicense(i + 1));
    for (int i = 0; i < PreferencesRecord::kTesterCount; ++i)
        m_testerState[i]->setText(r.testerState(i + 1));
    // The getters are copied out of the table first: GCC 12's UBSan misreads a call that
    // returns a class straight through an array element's member pointer.
    for (int i = 0; i < 4; ++i) {
        const auto type = kInstruments[i].type;
        m_instrumentType[i]->setText((r.*type)());
    }
    for (int i = 0; i < 4; ++i) {
        const auto calDate = kInstruments[i].calDate;
        m_calDate[i]->setText((r.*calDate)());
    }
    for (int i = 0; i < 4; ++i) {
        const auto summary = kReportFlags[i].summary;
        const auto detail = kReportFlags[i].detail;
        m_printSummary[i]->setChecked((r.*summary)());
        m_printDetail[i]->setChecked((r.*detail)());
    }
    m_printPageNumber->setChecked(r.printReportPageNumber());
}

void TPreferencesDlg::copyToRecord() {
    PreferencesRecord& r = m_record;
    for (int i = 0; i < 8; ++i)
        r.setCompanyInfo(i + 1, m_companyInfo[i]->text());
    r.setPrintGridLines(m_printGridLines->isChecked());
    r.setCurvedLines(m_curved->isChecked());
    r.setExponentialXAxis(m_exponential->isChecked());
    int quality = 4;
    for (int i = 3; i >= 0; --i) {
        if (m_quality[i]->isChecked())
            quality = i + 1;
    }
    r.setCurvePrintQuality(quality);
    r.setDefaultNozzleSize(nozzleValue(m_size));
    r.setDefaultNozzleCoefficient(nozzleValue(m_coefficent));
    r.setUseTestTime(m_useTestTime->isChecked());
    for (int i = 0; i < 4; ++i)
        r.setCorrected(i + 1, m_corrected[i]->isChecked());
    for (int i = 0; i < 5; ++i)
        r.setColor(i + 1, m_color[i]->colorValue());
    for (int i = 0; i < 5; ++i)
        r.setLegend(i + 1, m_legend[i]->text());
    for (int i = 0; i < 3; ++i)
        r.setIncludeCurve(i + 2, m_includeCurve[i]->isChecked());
    r.setPlotRatingPoints(m_plotRatingPoints->isChecked());
    r.setConnectRatingPoints(m_connectRatingPoints->isChecked());
    r.setPlotFactoryCurve(m_plotFactoryCurve->isChecked());
    for (int i = 0; i < PreferencesRecord::kTesterCount; ++i) {
        r.setTester(i + 1, m_tester[i]->text());
        r.setTesterLicense(i + 1, m_testerLicense[i]->text());
        r.setTesterState(i + 1, m_testerState[i]->text());
    }
    for (int i = 0; i < 4; ++i) {
        const auto setType = kInstruments[i].setType;
        const auto setCalDate = kInstruments[i].setCalDate;
        (r.*setType)(m_instrumentType[i]->text());
        (r.*setCalDate)(calDateText(m_calDate[i]));
    }
    for (int i = 0; i < 4; ++i) {
        const auto setSummary = kReportFlags[i].setSummary;
        const auto setDetail = kReportFlags[i].setDetail;
        (r.*setSummary)(m_printSummary[i]->isChecked());
        (r.*setDetail)(m_printDetail[i]->isChecked());
    }
    r.setPrintReportPageNumber(m_printPageNumber->isChecked());
}

void TPreferencesDlg::OKBtnClick() {
    copyToRecord();
    accept();
}

void TPreferencesDlg::CancelBtnClick() {
    reject();
}

void TPreferencesDlg::PlotRatingPointsCheckBoxClick(bool checked) {
    if (checked) {
        m_plotFactoryCurve->setChecked(false);
        m_connectRatingPoints->setEnabled(true);
    } else {
        m_connectRatingPoints->setEnabled(false);
    }
}

void TPreferencesDlg::PlotFactoryCurveCheckBoxClick(bool checked) {
    if (checked) {
        m_plotRatingPoints->setChecked(false);
        m_connectRatingPoints->setChecked(false);
    }
    m_connectRatingPoints->setEnabled(false);
}

} // namespace nerova

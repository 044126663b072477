#include "print/PrintCurveFrm.h"

#include "controls/CommandGuard.h"
#include "eval/EvaluationRows.h"
#include "eval/Thresholds.h"
#include "prefs/PreferencesRecord.h"
#include "print/CurvePoints.h"
#include "print/CurveSheet.h"
#include "print/GraphControl.h"
#include "print/TestReportFeed.h"
#include "prompt/Prompt.h"
#include "report/PdfFile.h"
#include "report/ProgramSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScopeGuard>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace nerova {

namespace {

constexpr int kRatingSeries = 5;
constexpr int kFirstRatingRow = 33;
constexpr int kFactoryPoints = 10;
constexpr double kFlowExponent = 1.85;

// Pattern and marker of each test curve, so curves stay apart without colour.
constexpr int kPattern[4] = {0, 1, 2, 3};
constexpr int kMarker[4] = {12, 11, 10, 9};
constexpr int kRatingMarker = 6;
constexpr int kFirstLimitRow = 50;
constexpr quint32 kLimitColor = 0x808080;

QString pointColumn(const char* name, int n) {
    return QString::fromLatin1(name) + QString::number(n);
}

} // namespace

TPrintCurveFrm::TPrintCurveFrm(Database& db, const PreferencesRecord& prefs, CurveRequest request,
                               QWidget* parent)
    : QDialog(parent), m_db(db), m_prefs(prefs), m_request(std::move(request)), m_chain(db) {
    setObjectName(QStringLiteral("PrintCurveFrm"));
    setWindowTitle(QStringLiteral("Pump Curve(s)"));
    // No system menu: the window ends through Print or Cancel.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    buildControls();
}

TPrintCurveFrm::~TPrintCurveFrm() {
    m_chain.close();
}

void TPrintCurveFrm::buildControls() {
    m_graph = new TFlpGrf(this);

    auto* gridLabel = new QLabel(QStringLiteral("Print Grid Lines?"), this);
    m_gridEdit = new QLineEdit(this);
    m_gridEdit->setObjectName(QStringLiteral("PrintGridLinesEdit"));
    m_gridEdit->setAccessibleDescription(QStringLiteral("PrintGridLines"));
    m_gridEdit->setMaxLength(1);
    m_gridEdit->setFixedWidth(m_gridEdit->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 3);
    m_gridEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[YyNn]")), m_gridEdit));
    gridLabel->setBuddy(m_gridEdit);
    // The spinner beside the entry: either arrow turns Y into N and back.
    m_gridUp = new QToolButton(this);
    m_gridUp->setObjectName(QStringLiteral("PrintGridLinesSpinUp"));
    m_gridUp->setArrowType(Qt::UpArrow);
    m_gridDown = new QToolButton(this);
    m_gridDown->setObjectName(QStringLiteral("PrintGridLinesSpinDown"));
    m_gridDown->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_gridUp, m_gridDown}) {
        b->setFixedSize(16, 11);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this,
                [this] { runGuarded([this] { toggleGridLines(); }); });
    }
    auto* spin = new QVBoxLayout;
    spin->setSpacing(0);
    spin->addWidget(m_gridUp);
    spin->addWidget(m_gridDown);
    connect(m_gridEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { runGuarded([this, text] { gridEdited(text); }); });

    auto* linesBox = new QGroupBox(QStringLiteral("Lines -"), this);
    m_curved = new QRadioButton(QStringLiteral("Curved"), linesBox);
    m_curved->setObjectName(QStringLiteral("CurvedRadioButton"));
    m_straight = new QRadioButton(QStringLiteral("Straight"), linesBox);
    m_straight->setObjectName(QStringLiteral("StraightRadioButton"));
    auto* linesLayout = new QHBoxLayout(linesBox);
    linesLayout->addWidget(m_curved);
    linesLayout->addWidget(m_straight);
    connect(m_curved, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !m_building)
            runGuarded([this] { LinesChange(true); });
    });
    connect(m_straight, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !m_building)
            runGuarded([this] { LinesChange(false); });
    });

    auto* axisBox = new QGroupBox(QStringLiteral("X Axis -"), this);
    m_exponential = new QRadioButton(QStringLiteral("Exponential"), axisBox);
    m_exponential->setObjectName(QStringLiteral("ExponentialRadioButton"));
    m_linear = new QRadioButton(QStringLiteral("Linear"), axisBox);
    m_linear->setObjectName(QStringLiteral("LinearRadioButton"));
    auto* axisLayout = new QHBoxLayout(axisBox);
    axisLayout->addWidget(m_exponential);
    axisLayout->addWidget(m_linear);
    connect(m_exponential, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !m_building)
            runGuarded([this] { XAxisChange(true); });
    });
    connect(m_linear, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !m_building)
            runGuarded([this] { XAxisChange(false); });
    });

    m_baselineLimit = new QCheckBox(
        QStringLiteral("%1% of baseline").arg(threshold(Limit::BaselineMinimumPercent)), this);
    m_baselineLimit->setObjectName(QStringLiteral("BaselineLimitCheckBox"));
    m_baselineLimit->setAccessibleDescription(QStringLiteral("BaselineLimit"));
    connect(m_baselineLimit, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_building)
            runGuarded([this, on] { BaselineLimitChange(on); });
    });

    m_printBtn = new QPushButton(QStringLiteral("Print"), this);
    m_printBtn->setObjectName(QStringLiteral("PrintBtn"));
    m_cancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    m_pdfBtn = new QPushButton(QStringLiteral("Save as PDF…"), this);
    m_pdfBtn->setObjectName(QStringLiteral("SaveAsPdfBtn"));
    m_printBtn->setDefault(true);
    connect(m_printBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { PrintBtnClick(); }); });
    connect(m_cancelBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { CancelBtnClick(); }); });
    connect(m_pdfBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { SaveAsPdfBtnClick(); }); });

    auto* controls = new QHBoxLayout;
    controls->addWidget(gridLabel);
    controls->addWidget(m_gridEdit);
    controls->addLayout(spin);
    controls->addSpacing(12);
    controls->addWidget(linesBox);
    controls->addWidget(axisBox);
    controls->addWidget(m_baselineLimit);
    controls->addStretch(1);
    controls->addWidget(m_pdfBtn);
    controls->addWidget(m_printBtn);
    controls->addWidget(m_cancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_graph, 1);
    layout->addLayout(controls);
    resize(820, 640);
}

void TPrintCurveFrm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        runGuarded([this] { FormShow(); });
}

void TPrintCurveFrm::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        m_chain.close();
}

int TPrintCurveFrm::lineType() const {
    return m_curved->isChecked() ? GraphProperties::kSmooth : GraphProperties::kStraight;
}

bool TPrintCurveFrm::printGridLines() const {
    return m_gridEdit->text().compare(QStringLiteral("Y"), Qt::CaseInsensitive) == 0;
}

void TPrintCurveFrm::FormShow() {
    // Cleared however the building ends, so the options keep answering after a table
    // failed to open.
    m_building = true;
    const auto built = qScopeGuard([this] { m_building = false; });
    m_chain.close();
    try {
        m_chain.open(TableId::Test);
    } catch (...) {
        m_chain.close();
        throw;
    }

    m_gridEdit->setText(m_prefs.printGridLines() ? QStringLiteral("Y") : QStringLiteral("N"));
    (m_prefs.curvedLines() ? m_curved : m_straight)->setChecked(true);
    (m_prefs.exponentialXAxis() ? m_exponential : m_linear)->setChecked(true);
    m_baselineLimit->setChecked(ProgramSettings::flag(QLatin1String(kBaselineLimitKey), false));

    TFlpGrf& g = *m_graph;
    g.setDataInit(6);
    g.setGraphType(5);
    g.setGraphAreaRight(98.0);

    if (!m_request.title2.isEmpty())
        g.setGraphTitle(
            ((m_request.title1 + QLatin1Char(';')).left(81) + m_request.title2).left(161));
    else
        g.setGraphTitle(m_request.title1);

    g.setGraphSubtitle(QString());
    g.setGraphOverlap(1);
    for (const QString& legend : m_request.legend) {
        if (!legend.isEmpty()) {
            g.setLegendColumns(2);
            break;
        }
    }

    g.setColumn(0);
    g.setColumnAxis(0);

    // A sheet mixing measured and corrected curves says which is which in its legend.
    int correctedCurves = 0;
    int includedCurves = 0;
    for (int k = 1; k <= 4; ++k) {
        if (k == 1 || m_request.included[std::size_t(k - 1)]) {
            ++includedCurves;
            correctedCurves += m_request.corrected[std::size_t(k - 1)] ? 1 : 0;
        }
    }
    const CurveSheet::Values values = correctedCurves == includedCurves
                                          ? CurveSheet::Values::Corrected
                                      : correctedCurves == 0 ? CurveSheet::Values::Measured
                                                             : CurveSheet::Values::Both;

    for (int k = 1; k <= 4; ++k) {
        if (k > 1 && !m_request.included[std::size_t(k - 1)])
            continue;
        g.setColumn(k);
        g.setColumnAxis(1);
        g.setColumnType(lineType());
        g.setColumnPattern(kPattern[k - 1]);
        g.setColumnStyle(kMarker[k - 1]);
        g.setColumnLabels(0);
        g.setColumnRowStart((k - 1) * 8 + 1);
        g.setColumnColor(m_request.color[std::size_t(k - 1)]);
        const QString& legend = m_request.legend[std::size_t(k - 1)];
        g.setColumnLegend(
            values == CurveSheet::Values::Both
                ? CurveSheet::mixedLegend(legend, k, m_request.corrected[std::size_t(k - 1)])
                : legend);
        loadCurve(k);
    }

    g.setColumn(kRatingSeries);
    g.setColumnAxis(1);
    if (m_request.plotRatingPoints || m_request.plotFactoryCurve) {
        // Rated points are joined only on request; a factory curve is always a line.
        const bool joined = m_request.plotRatingPoints ? m_request.connectRatingPoints : true;
        g.setColumnType(joined ? lineType() : GraphProperties::kPointsOnly);
        g.setColumnPattern(0);
        g.setColumnColor(m_request.color[4]);
        g.setColumnLegend(m_request.legend[4]);
        g.setColumnStyle(kRatingMarker);
        g.setColumnLabels(0);
    } else {
        g.setColumnType(GraphProperties::kNotDrawn);
        g.setColumnStyle(0);
    }

    g.setAxis(1);
    g.setAxisTitle(CurveSheet::pressureAxisTitle(values, m_ratedSpeed));
    setGridLines();
    g.setAxisScaleManual(true);
    g.setAxisScaleMin(0.0);

    g.setAxis(0);
    g.setAxisTitle(QStringLiteral("Flow (gpm)"));
    setXAxisFunction();
    setGridLines();
    g.setAxisScaleManual(false);
}

void TPrintCurveFrm::loadRating() {
    TFlpGrf& g = *m_graph;
    const Table& pump = m_chain.pump;
    if (m_request.plotRatingPoints) {
        g.setColumn(kRatingSeries);
        g.setColumnRowStart(kFirstRatingRow);
        g.setColumnRowEnd(kFirstRatingRow + 2);
        g.setDataValue(33, 0, 0.0);
        g.setDataValue(33, 1, pump.asFloat(QStringLiteral("Churn Pressure")));
        g.setDataValue(34, 0, pump.asFloat(QStringLiteral("100% Flow")));
        g.setDataValue(34, 1, pump.asFloat(QStringLiteral("100% Pressure")));
        g.setDataValue(35, 0, pump.asFloat(QStringLiteral("150% Flow")));
        g.setDataValue(35, 1, pump.asFloat(QStringLiteral("150% Pressure")));
    } else if (m_request.plotFactoryCurve) {
        g.setColumn(kRatingSeries);
        g.setColumnRowStart(kFirstRatingRow);
        g.setColumnRowEnd(kFirstRatingRow);
        // The factory curve starts one row in; its first row holds no point and the graph
        // passes over it.
        for (int j = 1; j <= kFactoryPoints; ++j) {
            const double pressure = pump.asFloat(pointColumn("FC Pressure", j));
            if (pressure == 0.0)
                break;
            g.setDataValue(kFirstRatingRow + j, 0, pump.asFloat(pointColumn("FC Flow", j)));
            g.setDataValue(kFirstRatingRow + j, 1, pressure);
            g.setColumnRowEnd(kFirstRatingRow + j);
        }
    }
}

// The limit line follows the baseline point by point: the evaluation interpolates
// linearly between them, so straight segments show exactly what a test is held to.
void TPrintCurveFrm::loadBaselineLimit() {
    const PumpRatings ratings = pumpRatingsFrom(m_chain.pump);
    const Baseline baseline =
        pumpBaseline(ratings.factory, ratings.churnPressure, ratings.ratedFlow,
                     ratings.ratedPressure, ratings.peakFlow, ratings.peakPressure);
    const double share = threshold(Limit::BaselineMinimumPercent) / 100.0;
    TFlpGrf& g = *m_graph;
    g.setColumn(kBaselineLimitSeries);
    g.setColumnAxis(1);
    g.setColumnPattern(1);
    g.setColumnStyle(0);
    g.setColumnLabels(0);
    g.setColumnColor(kLimitColor);
    g.setColumnRowStart(kFirstLimitRow);
    g.setColumnRowEnd(kFirstLimitRow - 1);
    int row = kFirstLimitRow;
    for (const CurvePoint& p : baseline.points()) {
        g.setDataValue(row, 0, p.flow);
        g.setDataValue(row, 1, p.pressure * share);
        g.setColumnRowEnd(row++);
    }
    showBaselineLimit();
}

void TPrintCurveFrm::showBaselineLimit() {
    TFlpGrf& g = *m_graph;
    g.setColumn(kBaselineLimitSeries);
    // A pump without a baseline has no limit line, and no legend entry for one either.
    const bool shown = baselineLimit() && g.columnRowEnd() >= g.columnRowStart();
    g.setColumnType(shown ? GraphProperties::kStraight : GraphProperties::kNotDrawn);
    g.setColumnLegend(shown ? m_baselineLimit->text() : QString());
    // Without the line the sheet holds exactly the series it always did.
    g.setSeriesCount(shown ? kBaselineLimitSeries + 1 : kBaselineLimitSeries);
}

bool TPrintCurveFrm::baselineLimit() const {
    return m_baselineLimit->isChecked();
}

void TPrintCurveFrm::BaselineLimitChange(bool on) {
    {
        const QSignalBlocker blocker(m_baselineLimit);
        m_baselineLimit->setChecked(on);
    }
    ProgramSettings::setFlag(QLatin1String(kBaselineLimitKey), on);
    showBaselineLimit();
}

void TPrintCurveFrm::loadCurve(int k) {
    const CurveSelection& selection = m_request.selection[std::size_t(k - 1)];
    // A selection that is no longer found plots wherever the search stopped.
    selection.locateIn(m_chain);
    if (k == 1) {
        loadRating();
        loadBaselineLimit();
        // The rating under the title and the speed the pressures are corrected to are the
        // first curve's pump's, whose rated points the sheet plots.
        m_ratedSpeed = m_chain.pump.asFloat(QStringLiteral("Pump RPM"));
        m_graph->setGraphSubtitle(CurveSheet::ratingLine(m_chain.pump));
    }

    const bool corrected = m_request.corrected[std::size_t(k - 1)];
    const Table& test = m_chain.test;
    CurvePoints::Pairs pairs;
    for (int i = 1; i <= 8; ++i) {
        auto& pair = pairs[std::size_t(i - 1)];
        pair.flow = float(test.asFloat(pointColumn(corrected ? "Corrected Flow" : "Flow", i)));
        pair.pressure = float(
            test.asFloat(pointColumn(corrected ? "Corrected Net Pressure" : "Net Pressure", i)));
    }
    const int n = CurvePoints::arrange(pairs);
    const int b = (k - 1) * 8;
    TFlpGrf& g = *m_graph;
    g.setColumn(k);
    g.setColumnRowEnd(b + n);
    for (int i = 1; i <= n; ++i) {
        g.setDataValue(b + i, 0, double(pairs[std::size_t(i - 1)].flow));
        g.setDataValue(b + i, 1, double(pairs[std::size_t(i - 1)].pressure));
    }
}

void TPrintCurveFrm::setGridLines() {
    const bool on = printGridLines();
    m_graph->setAxisGrid(on);
    if (on)
        m_graph->setAxisGridPattern(1);
}

void TPrintCurveFrm::setXAxisFunction() {
    if (m_exponential->isChecked()) {
        m_graph->setAxisFunction(GraphProperties::kPower);
        m_graph->setAxisFunctionVar(kFlowExponent);
    } else {
        m_graph->setAxisFunction(GraphProperties::kLinear);
    }
}

void TPrintCurveFrm::LinesChange(bool curved) {
    {
        const QSignalBlocker b1(m_curved);
        const QSignalBlocker b2(m_straight);
        (curved ? m_curved : m_straight)->setChecked(true);
    }
    const int type = lineType();
    for (int k = 1; k <= 4; ++k) {
        // Curves left out of the sheet stay without settings.
        if (k > 1 && !m_request.included[std::size_t(k - 1)])
            continue;
        m_graph->setColumn(k);
        m_graph->setColumnType(type);
    }
    // Rating points follow only when they are joined; unjoined points stay markers and a
    // factory curve keeps the line it was drawn with.
    if (m_request.plotRatingPoints && m_request.connectRatingPoints) {
        m_graph->setColumn(kRatingSeries);
        m_graph->setColumnType(type);
    }
}

void TPrintCurveFrm::XAxisChange(bool exponential) {
    {
        const QSignalBlocker b1(m_exponential);
        const QSignalBlocker b2(m_linear);
        (exponential ? m_exponential : m_linear)->setChecked(true);
    }
    m_graph->setAxis(0);
    setXAxisFunction();
}

void TPrintCurveFrm::PrintGridLinesChange(bool on) {
    m_gridEdit->setText(on ? QStringLiteral("Y") : QStringLiteral("N"));
    m_graph->setAxis(1);
    setGridLines();
    m_graph->setAxis(0);
    setGridLines();
}

void TPrintCurveFrm::gridEdited(const QString& text) {
    if (text.isEmpty())
        return;
    PrintGridLinesChange(text.compare(QStringLiteral("Y"), Qt::CaseInsensitive) == 0);
}

void TPrintCurveFrm::toggleGridLines() {
    PrintGridLinesChange(!printGridLines());
}

void TPrintCurveFrm::PrintBtnClick() {
    accept();
}

void TPrintCurveFrm::CancelBtnClick() {
    reject();
}

bool TPrintCurveFrm::SaveAsPdfBtnClick() {
    // The sheet is named after its first curve, whose pump the rated points come from.
    m_request.selection[0].locateIn(m_chain);
    const QString name = TestReportFeed::pdfName(m_chain.company, m_chain.pump, m_chain.test,
                                                 QStringLiteral("Pump Curve"));
    const QString path = PdfFile::ask(Prompt::instance(), name);
    if (path.isEmpty())
        return false;
    if (!m_graph->writePdf(path)) {
        Prompt::error(QStringLiteral("The file \"%1\" could not be written.")
                          .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    PdfFile::saved(path);
    return true;
}

bool TPrintCurveFrm::print() {
    m_graph->setPrintOrientation(0);
    const int quality = m_prefs.curvePrintQuality();
    if (quality >= 1 && quality <= 4)
        m_graph->setPrintQuality(-quality);
    return m_graph->printNow(2);
}

} // namespace nerova

#include "print/PrintDlg.h"

#include "controls/ColorComboBox.h"
#include "controls/CommandGuard.h"
#include "prefs/PreferencesRecord.h"
#include "report/ProgramSettings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace nerova {

namespace {

const char* const kListCaptions[kRecordLevelCount] = {"Company ID", "Location ID", "Pump ID",
                                                      "Test ID"};

QLineEdit* textEntry(QWidget* parent, const QString& name, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name + QStringLiteral("Edit"));
    edit->setAccessibleDescription(name);
    edit->setMaxLength(maxLength);
    return edit;
}

} // namespace

TPrintDlg::TPrintDlg(Database& db, PreferencesRecord& prefs, const QStringList& ids,
                     QWidget* parent)
    : QDialog(parent), m_db(db), m_prefs(prefs), m_startIds(ids), m_chain(db), m_lister(db) {
    setObjectName(QStringLiteral("PrintDlg"));
    setWindowTitle(QStringLiteral("Print Dialog"));
    // No system menu: "Close" is the way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    m_notebook = new QTabWidget(this);
    m_notebook->setObjectName(QStringLiteral("Notebook"));
    for (int curve = 1; curve <= 4; ++curve)
        buildCurvePage(curve);
    buildRatingPage();
    buildButtons();

    auto* buttons = new QGridLayout;
    buttons->addWidget(m_summaryBtn, 0, 0);
    buttons->addWidget(m_curveBtn, 0, 1);
    buttons->addWidget(m_detailBtn, 1, 0);
    buttons->addWidget(m_historyBtn, 1, 1);
    buttons->addWidget(m_includeEvaluation, 2, 0, 1, 2);
    buttons->addWidget(m_includeCurve, 3, 0, 1, 2);
    buttons->addWidget(m_closeBtn, 4, 0, 1, 2, Qt::AlignHCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_notebook, 1);
    layout->addLayout(buttons);

    for (const TableId level : kRecordLevels) {
        connect(&m_chain.table(level), &Table::afterScroll, this,
                [this, level] { TableAfterScroll(level); });
    }
    connect(m_notebook, &QTabWidget::currentChanged, this,
            [this](int index) { runGuarded([this, index] { NotebookPageChanged(index); }); });
}

TPrintDlg::~TPrintDlg() {
    m_chain.close();
    m_lister.close();
}

void TPrintDlg::buildCurvePage(int curve) {
    CurvePage& cp = m_pages[std::size_t(curve - 1)];
    cp.page = new QWidget(m_notebook);
    cp.page->setObjectName(QStringLiteral("Curve%1Page").arg(curve));
    auto* form = new QFormLayout(cp.page);

    for (const TableId level : kRecordLevels) {
        const auto i = std::size_t(levelIndex(level));
        const QString name = identifierColumn(level);
        auto* list = new QListWidget(cp.page);
        list->setObjectName(QStringLiteral("%1List%2").arg(name).arg(curve));
        list->setAccessibleDescription(name);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setFixedHeight(list->fontMetrics().height() * 5);
        auto* label = new QLabel(QLatin1String(kListCaptions[i]), cp.page);
        label->setBuddy(list);
        form->addRow(label, list);
        cp.lists[i] = list;
        connect(list, &QListWidget::currentRowChanged, this, [this, level](int row) {
            runGuarded([this, level, row] { ListRowChanged(level, row); });
        });
    }

    auto* radios = new QWidget(cp.page);
    auto* radioLayout = new QHBoxLayout(radios);
    radioLayout->setContentsMargins(0, 0, 0, 0);
    cp.actual = new QRadioButton(QStringLiteral("Actual"), radios);
    cp.actual->setObjectName(QStringLiteral("Actual%1RadioButton").arg(curve));
    cp.corrected = new QRadioButton(QStringLiteral("Corrected"), radios);
    cp.corrected->setObjectName(QStringLiteral("Corrected%1RadioButton").arg(curve));
    cp.corrected->setAccessibleDescription(QStringLiteral("Corrected%1").arg(curve));
    cp.actual->setChecked(true);
    radioLayout->addWidget(cp.actual);
    radioLayout->addWidget(cp.corrected);
    radioLayout->addStretch(1);
    form->addRow(radios);

    cp.color = new ColorComboBox(cp.page);
    cp.color->setObjectName(QStringLiteral("Color%1ComboBox").arg(curve));
    cp.color->setAccessibleDescription(QStringLiteral("Color%1").arg(curve));
    auto* colorLabel = new QLabel(QStringLiteral("Color:"), cp.page);
    colorLabel->setBuddy(cp.color);
    form->addRow(colorLabel, cp.color);

    cp.legend =
        textEntry(cp.page, QStringLiteral("Legend%1").arg(curve), CurveRequest::kLegendLength);
    auto* legendLabel = new QLabel(QStringLiteral("Legend:"), cp.page);
    legendLabel->setBuddy(cp.legend);
    form->addRow(legendLabel, cp.legend);

    if (curve > 1) {
        cp.include = new QCheckBox(QStringLiteral("Include Curve"), cp.page);
        cp.include->setObjectName(QStringLiteral("IncludeCurve%1CheckBox").arg(curve));
        cp.include->setAccessibleDescription(QStringLiteral("IncludeCurve%1").arg(curve));
        form->addRow(cp.include);
    } else {
        cp.title1 = textEntry(cp.page, QStringLiteral("Title1"), CurveRequest::kTitleLength);
        auto* t1 = new QLabel(QStringLiteral("Title1:"), cp.page);
        t1->setBuddy(cp.title1);
        form->addRow(t1, cp.title1);
        cp.title2 = textEntry(cp.page, QStringLiteral("Title2"), CurveRequest::kTitleLength);
        auto* t2 = new QLabel(QStringLiteral("Title2:"), cp.page);
        t2->setBuddy(cp.title2);
        form->addRow(t2, cp.title2);
    }
    m_notebook->addTab(cp.page, QStringLiteral("Curve %1").arg(curve));
}

void TPrintDlg::buildRatingPage() {
    auto* page = new QWidget(m_notebook);
    page->setObjectName(QStringLiteral("RatingPage"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Curve 1 Pump Only"), page));

    m_plotRatingPoints = new QCheckBox(QStringLiteral("Plot Rating Points"), page);
    m_plotRatingPoints->setObjectName(QStringLiteral("PlotRatingPointsCheckBox"));
    m_plotRatingPoints->setAccessibleDescription(QStringLiteral("PlotRatingPoints"));
    m_connectRatingPoints = new QCheckBox(QStringLiteral("Connect Rating Points"), page);
    m_connectRatingPoints->setObjectName(QStringLiteral("ConnectRatingPointsCheckBox"));
    m_connectRatingPoints->setAccessibleDescription(QStringLiteral("ConnectRatingPoints"));
    m_connectRatingPoints->setEnabled(false);
    m_plotFactoryCurve = new QCheckBox(QStringLiteral("Plot Factory Curve"), page);
    m_plotFactoryCurve->setObjectName(QStringLiteral("PlotFactoryCurveCheckBox"));
    m_plotFactoryCurve->setAccessibleDescription(QStringLiteral("PlotFactoryCurve"));
    layout->addWidget(m_plotRatingPoints);
    layout->addWidget(m_connectRatingPoints);
    layout->addWidget(m_plotFactoryCurve);
    // The rules run on every change, whether the user or the opening steps tick a box, so
    // that the switches always end consistent.
    connect(m_plotRatingPoints, &QCheckBox::toggled, this,
            [this](bool on) { runGuarded([this, on] { PlotRatingPointsCheckBoxClick(on); }); });
    connect(m_plotFactoryCurve, &QCheckBox::toggled, this,
            [this](bool on) { runGuarded([this, on] { PlotFactoryCurveCheckBoxClick(on); }); });

    auto* form = new QFormLayout;
    m_ratingLegend = textEntry(page, QStringLiteral("Legend5"), CurveRequest::kLegendLength);
    auto* legendLabel = new QLabel(QStringLiteral("Legend:"), page);
    legendLabel->setBuddy(m_ratingLegend);
    form->addRow(legendLabel, m_ratingLegend);
    m_ratingColor = new ColorComboBox(page);
    m_ratingColor->setObjectName(QStringLiteral("Color5ComboBox"));
    m_ratingColor->setAccessibleDescription(QStringLiteral("Color5"));
    auto* colorLabel = new QLabel(QStringLiteral("Color:"), page);
    colorLabel->setBuddy(m_ratingColor);
    form->addRow(colorLabel, m_ratingColor);
    layout->addLayout(form);
    layout->addStretch(1);
    m_notebook->addTab(page, QStringLiteral("Rating"));
}

void TPrintDlg::buildButtons() {
    auto button = [this](const QString& text, const QString& name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    m_summaryBtn = button(QStringLiteral("Summary Report"), QStringLiteral("SummaryReportBtn"));
    m_curveBtn = button(QStringLiteral("Curve"), QStringLiteral("CurveBtn"));
    m_detailBtn = button(QStringLiteral("Detail Report"), QStringLiteral("DetailReportBtn"));
    m_closeBtn = button(QStringLiteral("Close"), QStringLiteral("CloseBtn"));
    m_historyBtn = button(QStringLiteral("Pump History"), QStringLiteral("PumpHistoryBtn"));
    m_includeEvaluation = new QCheckBox(QStringLiteral("Include evaluation"), this);
    m_includeEvaluation->setObjectName(QStringLiteral("IncludeEvaluationCheckBox"));
    m_includeEvaluation->setAccessibleDescription(QStringLiteral("IncludeEvaluation"));
    m_includeEvaluation->setChecked(
        ProgramSettings::flag(QLatin1String(kIncludeEvaluationKey), true));
    // Remembered at once, so a report printed next (or another session) follows the box.
    connect(m_includeEvaluation, &QCheckBox::toggled, this, [](bool on) {
        runGuarded([on] { ProgramSettings::setFlag(QLatin1String(kIncludeEvaluationKey), on); });
    });
    m_includeCurve = new QCheckBox(QStringLiteral("Include curve"), this);
    m_includeCurve->setObjectName(QStringLiteral("IncludeCurveCheckBox"));
    m_includeCurve->setAccessibleDescription(QStringLiteral("IncludeCurve"));
    m_includeCurve->setChecked(ProgramSettings::flag(QLatin1String(kIncludeCurveKey), false));
    connect(m_includeCurve, &QCheckBox::toggled, this, [](bool on) {
        runGuarded([on] { ProgramSettings::setFlag(QLatin1String(kIncludeCurveKey), on); });
    });
    connect(m_historyBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { PumpHistoryBtnClick(); }); });
    // A table that cannot be read ends the command with an error box; the dialog stays.
    connect(m_summaryBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { SummaryReportBtnClick(); }); });
    connect(m_curveBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { CurveBtnClick(); }); });
    connect(m_detailBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { DetailReportBtnClick(); }); });
    connect(m_closeBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { CloseBtnClick(); }); });
}

void TPrintDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        runGuarded([this] { FormShow(); });
}

void TPrintDlg::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) {
        m_chain.close();
        m_lister.close();
    }
}

void TPrintDlg::FormShow() {
    m_chain.close();
    m_lister.close();
    {
        // The dialog opens on the first curve page.
        const QSignalBlocker blocker(m_notebook);
        m_notebook->setCurrentIndex(0);
    }
    try {
        m_chain.open(TableId::Test);
        m_lister.open(TableId::Test);
    } catch (...) {
        // Half-open cursors would leave the lists and the reports on rows of whatever
        // opened before the failure; the dialog shows empty lists instead.
        m_chain.close();
        m_lister.close();
        throw;
    }

    for (CurveSelection& s : m_selection)
        s = CurveSelection::fromList(m_startIds);

    for (int n = 1; n <= 4; ++n)
        m_pages[std::size_t(n - 1)].color->setColorValue(m_prefs.color(n));
    m_ratingColor->setColorValue(m_prefs.color(5));
    for (int n = 1; n <= 4; ++n) {
        const CurvePage& cp = m_pages[std::size_t(n - 1)];
        (m_prefs.corrected(n) ? cp.corrected : cp.actual)->setChecked(true);
    }
    for (int n = 2; n <= 4; ++n)
        m_pages[std::size_t(n - 1)].include->setChecked(m_prefs.includeCurve(n));
    m_plotRatingPoints->setChecked(m_prefs.plotRatingPoints());
    m_connectRatingPoints->setChecked(m_prefs.connectRatingPoints());
    m_plotFactoryCurve->setChecked(m_prefs.plotFactoryCurve());
    for (int n = 1; n <= 4; ++n)
        m_pages[std::size_t(n - 1)].legend->setText(m_prefs.legend(n));
    m_ratingLegend->setText(m_prefs.legend(5));

    syncLists(TableId::Company);
    positionPage(1);
    setTitle1();
    setTitle2();
}

void TPrintDlg::PlotRatingPointsCheckBoxClick(bool checked) {
    if (checked) {
        m_plotFactoryCurve->setChecked(false);
        m_connectRatingPoints->setEnabled(true);
    } else {
        m_connectRatingPoints->setEnabled(false);
    }
}

void TPrintDlg::PlotFactoryCurveCheckBoxClick(bool checked) {
    if (checked) {
        m_plotRatingPoints->setChecked(false);
        m_connectRatingPoints->setChecked(false);
    }
    m_connectRatingPoints->setEnabled(false);
}

void TPrintDlg::CloseBtnClick() {
    accept();
}

} // namespace nerova

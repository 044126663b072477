#include "app/TestsDueDialog.h"

#include "app/TestsDueModel.h"
#include "controls/CommandGuard.h"
#include "data/Global.h"
#include "data/LatestTests.h"
#include "eval/TestsDueExport.h"
#include "print/TestsDueReport.h"
#include "prompt/Prompt.h"
#include "report/ProgramSettings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace nerova {

namespace {

const QString kWarningKey = QStringLiteral("TestsDue/WarningDays");
const QString kIntervalKey = QStringLiteral("TestsDue/IntervalMonths");
// The columns are sized by the first rows: measuring more would read and judge their tests
// as well (one read brings as many as this).
constexpr int kSizingRows = kTestsByKeyBatch;

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    // Enter belongs to the list: it picks the pump under the cursor.
    b->setAutoDefault(false);
    return b;
}

QSpinBox* spinBox(int maximum, const QString& suffix, const char* name, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(1, maximum);
    s->setSuffix(suffix);
    return s;
}

QLabel* captionFor(const QString& caption, QWidget* field, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(field);
    QString name = caption;
    name.remove(QLatin1Char('&'));
    field->setAccessibleName(name.remove(QLatin1Char(':')));
    return label;
}

} // namespace

DueSettings TestsDueDialog::savedSettings() {
    DueSettings s;
    s.warningDays = ProgramSettings::number(kWarningKey, s.warningDays);
    s.intervalMonths = ProgramSettings::number(kIntervalKey, s.intervalMonths);
    return s.bounded();
}

void TestsDueDialog::saveSettings(const DueSettings& settings) {
    const DueSettings s = settings.bounded();
    ProgramSettings::setNumber(kWarningKey, s.warningDays);
    ProgramSettings::setNumber(kIntervalKey, s.intervalMonths);
}

TestsDueDialog::TestsDueDialog(Database& db, const QString& testingCompany, QWidget* parent)
    : QDialog(parent), m_db(db), m_testingCompany(testingCompany), m_settings(savedSettings()),
      m_model(new TestsDueModel(db, this)) {
    setObjectName(QStringLiteral("TestsDueDialog"));
    setWindowTitle(tr("Tests Due"));
    resize(1000, 560);

    m_overdue = new QCheckBox(tr("&Overdue"), this);
    m_dueSoon = new QCheckBox(this);
    m_later = new QCheckBox(tr("&Later"), this);
    m_never = new QCheckBox(tr("Ne&ver tested"), this);
    m_overdue->setObjectName(QStringLiteral("OverdueBox"));
    m_dueSoon->setObjectName(QStringLiteral("DueSoonBox"));
    m_later->setObjectName(QStringLiteral("LaterBox"));
    m_never->setObjectName(QStringLiteral("NeverTestedBox"));
    m_overdue->setChecked(true);
    m_dueSoon->setChecked(true);
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("FindField"));
    m_find->setClearButtonEnabled(true);
    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(tr("Show:"), this));
    for (QCheckBox* box : {m_overdue, m_dueSoon, m_later, m_never})
        filters->addWidget(box);
    filters->addStretch(1);
    filters->addWidget(captionFor(tr("&Find:"), m_find, this));
    filters->addWidget(m_find, 1);

    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("PumpsView"));
    m_view->setAccessibleName(tr("Pumps"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    // Rows of one height are laid out without measuring each of thousands.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setResizeContentsPrecision(kSizingRows);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->horizontalHeader()->setSortIndicator(TestsDueModel::DueColumn, Qt::AscendingOrder);
    m_view->setSortingEnabled(true);
    m_view->installEventFilter(this);

    m_ahead = new QLabel(this);
    m_ahead->setObjectName(QStringLiteral("TestsAheadNote"));
    m_ahead->hide();

    m_warning = spinBox(DueSettings::kMaxWarningDays, tr(" days"), "WarningDays", this);
    m_interval = spinBox(DueSettings::kMaxIntervalMonths, tr(" months"), "IntervalMonths", this);
    m_warning->setValue(m_settings.warningDays);
    m_interval->setValue(m_settings.intervalMonths);
    m_counts = new QLabel(this);
    m_counts->setObjectName(QStringLiteral("CountsLabel"));
    auto* settingsRow = new QHBoxLayout;
    settingsRow->addWidget(captionFor(tr("&Warning window:"), m_warning, this));
    settingsRow->addWidget(m_warning);
    settingsRow->addSpacing(16);
    settingsRow->addWidget(captionFor(tr("Test &interval:"), m_interval, this));
    settingsRow->addWidget(m_interval);
    settingsRow->addStretch(1);
    settingsRow->addWidget(m_counts);

    m_print = button(tr("&Print\u2026"), "PrintButton", this);
    m_csv = button(tr("Export &CSV\u2026"), "ExportCsvButton", this);
    m_calendar = button(tr("Export C&alendar\u2026"), "ExportCalendarButton", this);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    close->button(QDialogButtonBox::Close)->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_print);
    buttons->addWidget(m_csv);
    buttons->addWidget(m_calendar);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_ahead);
    layout->addLayout(settingsRow);
    layout->addLayout(buttons);

    for (QCheckBox* box : {m_overdue, m_dueSoon, m_later, m_never})
        connect(box, &QCheckBox::toggled, this, &TestsDueDialog::applyFilter);
    connect(m_find, &QLineEdit::textChanged, this, &TestsDueDialog::applyFilter);
    connect(m_warning, &QSpinBox::valueChanged, this, &TestsDueDialog::settingsChanged);
    connect(m_interval, &QSpinBox::valueChanged, this, &TestsDueDialog::settingsChanged);
    connect(m_view, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { choose(index.row()); });
    connect(m_model, &QAbstractItemModel::modelReset, this, &TestsDueDialog::showCounts);
    connect(m_print, &QPushButton::clicked, this,
            [this] { runGuarded([this] { printReport(); }); });
    connect(m_csv, &QPushButton::clicked, this, [this] { runGuarded([this] { exportCsv(); }); });
    connect(m_calendar, &QPushButton::clicked, this,
            [this] { runGuarded([this] { exportCalendar(); }); });
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);

    m_model->setFilter({DueStatus::Overdue, DueStatus::DueSoon}, {});
    refresh();
    m_view->resizeColumnsToContents();
    m_view->setFocus(Qt::OtherFocusReason);
}

TestsDueDialog::~TestsDueDialog() = default;

void TestsDueDialog::refresh() {
    m_today = today();
    QList<DuePump> pumps = readPumpsDue(m_db, m_today);
    scheduleDue(pumps, m_settings, m_today);
    int ahead = 0;
    for (const DuePump& p : pumps)
        ahead += p.testsAhead;
    m_ahead->setText(ahead == 1 ? tr("One test is dated after today and is not counted as done: "
                                     "check its date (shown with its pump's last test).")
                                : tr("%1 tests are dated after today and are not counted as "
                                     "done: check their dates (shown with their pumps' last "
                                     "tests).")
                                      .arg(ahead));
    m_ahead->setVisible(ahead > 0);
    m_model->setPumps(std::move(pumps), m_settings.warningDays);
    m_dueSoon->setText(QLatin1Char('&') +
                       dueStatusText(DueStatus::DueSoon, m_settings.warningDays));
}

void TestsDueDialog::setSettings(const DueSettings& settings) {
    m_warning->setValue(settings.warningDays);
    m_interval->setValue(settings.intervalMonths);
}

void TestsDueDialog::settingsChanged() {
    m_settings = DueSettings{m_warning->value(), m_interval->value()}.bounded();
    saveSettings(m_settings);
    m_model->reschedule(m_settings, m_today);
    m_dueSoon->setText(QLatin1Char('&') +
                       dueStatusText(DueStatus::DueSoon, m_settings.warningDays));
}

void TestsDueDialog::applyFilter() {
    QSet<DueStatus> statuses;
    if (m_overdue->isChecked())
        statuses << DueStatus::Overdue;
    if (m_dueSoon->isChecked())
        statuses << DueStatus::DueSoon;
    if (m_later->isChecked())
        statuses << DueStatus::Later;
    if (m_never->isChecked())
        statuses << DueStatus::NeverTested;
    m_model->setFilter(statuses, m_find->text());
}

void TestsDueDialog::showCounts() {
    const QLocale locale;
    m_counts->setText(tr("%1 of %2 pumps shown")
                          .arg(locale.toString(m_model->rowCount()),
                               locale.toString(static_cast<qlonglong>(m_model->pumps().size()))));
    if (m_model->rowCount() > 0 && !m_view->currentIndex().isValid())
        m_view->setCurrentIndex(m_model->index(0, 0));
}

void TestsDueDialog::choose(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return;
    const DuePump& p = m_model->pumpAt(row);
    m_chosen = {p.companyId, p.locationId, p.pumpId};
    accept();
}

bool TestsDueDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_view->currentIndex().isValid()) {
            choose(m_view->currentIndex().row());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

ReportDocument TestsDueDialog::reportDocument() const {
    return TestsDueReport::build(m_model->shownPumps(), m_today, m_settings.warningDays,
                                 m_testingCompany);
}

void TestsDueDialog::printReport() {
    TestsDueReport::preview(reportDocument(), m_today, this);
}

QString TestsDueDialog::askFile(const QString& title, const QString& suffix,
                                const QString& filter) {
    const QString name =
        QStringLiteral("Tests Due %1.%2").arg(m_today.toString(Qt::ISODate), suffix);
    const QString start =
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(name);
    QString path = Prompt::instance().saveFile(title, start, filter, suffix);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    return path;
}

void TestsDueDialog::exportCsv() {
    const QString path = askFile(tr("Export CSV"), QStringLiteral("csv"), tr("CSV files (*.csv)"));
    if (!path.isEmpty())
        writeExportFile(path, testsDueCsv(m_model->shownPumps(), m_settings.warningDays));
}

void TestsDueDialog::exportCalendar() {
    const QString path =
        askFile(tr("Export Calendar"), QStringLiteral("ics"), tr("iCalendar files (*.ics)"));
    if (!path.isEmpty())
        writeExportFile(path, testsDueCalendar(m_model->shownPumps(), now()));
}

} // namespace nerova

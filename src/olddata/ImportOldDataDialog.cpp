#include "olddata/ImportOldDataDialog.h"

#include "backup/ArchiveWorker.h"
#include "data/Database.h"
#include "data/EngineError.h"
#include "olddata/OldArchive.h"
#include "prompt/Prompt.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace nerova {

namespace {

const QString kTitle = QStringLiteral("Import Old Data");

QLabel* caption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    QString name = text;
    name.remove(QLatin1Char('&'));
    name.chop(name.endsWith(QLatin1Char(':')) ? 1 : 0);
    buddy->setAccessibleName(name);
    return label;
}

void throwWhenCancelled(const ArchiveWorker& worker) {
    if (worker.cancelled())
        throw EngineError(QStringLiteral("The import was cancelled; nothing was imported."));
}

} // namespace

ImportOldDataDialog::ImportOldDataDialog(Database& db, QWidget* parent)
    : QDialog(parent), m_db(db), m_worker(new ArchiveWorker(this)) {
    setWindowTitle(kTitle);

    m_source = new QLineEdit(this);
    m_source->setReadOnly(true);
    m_folderButton = new QPushButton(QStringLiteral("&Folder…"), this);
    m_archiveButton = new QPushButton(QStringLiteral("&Archive…"), this);
    m_tables = new QTableWidget(0, 5, this);
    m_tables->setHorizontalHeaderLabels({QStringLiteral("File"), QStringLiteral("Records"),
                                         QStringLiteral("Fields"), QStringLiteral("Code page"),
                                         QStringLiteral("Problems")});
    m_tables->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tables->verticalHeader()->hide();
    m_tables->horizontalHeader()->setStretchLastSection(true);
    m_notes = new QPlainTextEdit(this);
    m_notes->setReadOnly(true);
    m_status = new QLabel(QStringLiteral("Choose the folder of the old tables or a backup "
                                         "archive of the former program."),
                          this);
    m_status->setWordWrap(true);
    m_progress = new QProgressBar(this);
    m_importButton = new QPushButton(QStringLiteral("&Import"), this);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_importButton->setEnabled(false);

    auto* source = new QHBoxLayout;
    source->addWidget(m_source, 1);
    source->addWidget(m_folderButton);
    source->addWidget(m_archiveButton);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_importButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption(QStringLiteral("&Old data:"), m_source, this));
    layout->addLayout(source);
    layout->addWidget(caption(QStringLiteral("&Tables found:"), m_tables, this));
    layout->addWidget(m_tables, 2);
    layout->addWidget(caption(QStringLiteral("Fields left out or &blank:"), m_notes, this));
    layout->addWidget(m_notes, 1);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    resize(720, 480);
    setBusy(false);

    connect(m_folderButton, &QPushButton::clicked, this, &ImportOldDataDialog::chooseFolder);
    connect(m_archiveButton, &QPushButton::clicked, this, &ImportOldDataDialog::chooseArchive);
    connect(m_importButton, &QPushButton::clicked, this, &ImportOldDataDialog::importNow);
    connect(m_cancelButton, &QPushButton::clicked, this, &ImportOldDataDialog::reject);
    connect(m_worker, &ArchiveWorker::progressed, this,
            [this](qint64 done, qint64 total, const QString& subject) {
                if (!m_worker->isRunning())
                    return;
                m_status->setText(subject);
                showProgress(*m_progress, done, total);
            });
}

ImportOldDataDialog::~ImportOldDataDialog() = default;

QString ImportOldDataDialog::archiveFilter() {
    return QStringLiteral("NRVA 2002 Backups (NRVA2002DataBackup*.zip)");
}

const OldDataSurvey& ImportOldDataDialog::survey() const {
    static const OldDataSurvey none;
    return m_data ? m_data->lastSurvey() : none;
}

void ImportOldDataDialog::reject() {
    if (m_worker->isRunning())
        m_worker->cancel();
    else
        QDialog::reject();
}

void ImportOldDataDialog::setBusy(bool busy) {
    m_progress->setVisible(busy);
    m_folderButton->setEnabled(!busy);
    m_archiveButton->setEnabled(!busy);
    m_importButton->setEnabled(!busy && m_data && m_data->lastSurvey().importable());
    if (busy)
        showProgress(*m_progress, 0, 0);
}

void ImportOldDataDialog::chooseFolder() {
    const QString folder = Prompt::instance().browseFolder(
        kTitle, QStringLiteral("Select the folder that holds the old tables"), QDir::homePath());
    if (!folder.isEmpty())
        setSource(folder);
}

void ImportOldDataDialog::chooseArchive() {
    const QString file = Prompt::instance().openFile(
        QStringLiteral("Select the Old Backup File"), QDir::homePath(),
        {archiveFilter(), QStringLiteral("All Files (*)")}, archiveFilter(), QStringLiteral("zip"));
    if (!file.isEmpty())
        setSource(file);
}

bool ImportOldDataDialog::setSource(const QString& path) {
    m_source->setText(QDir::toNativeSeparators(path));
    m_data.reset();
    m_archive.reset();
    const bool archive = !QFileInfo(path).isDir();
    if (archive)
        m_archive = std::make_unique<OldArchive>();
    setBusy(true);
    const QString error = m_worker->run([&](ArchiveWorker& w) -> QString {
        QString folder = path;
        if (archive) {
            w.report(0, 0, QStringLiteral("Unpacking %1 ...").arg(QFileInfo(path).fileName()));
            if (const Result r = m_archive->unpack(path); !r)
                return r.error();
            folder = m_archive->folder();
        }
        auto surveyed = std::make_unique<OldData>(folder);
        surveyed->survey([&](TableId id, qint64 done, qint64 total) {
            throwWhenCancelled(w);
            w.report(done, total, QStringLiteral("Reading %1 ...").arg(tableDef(id).fileName()));
        });
        m_data = std::move(surveyed);
        return {};
    });
    setBusy(false);
    showSurvey();
    if (!error.isEmpty()) {
        m_status->setText(error);
        if (!m_worker->cancelled())
            Prompt::error(error);
        return false;
    }
    return m_data && m_data->lastSurvey().importable();
}

void ImportOldDataDialog::showSurvey() {
    const OldDataSurvey& s = survey();
    const QLocale english(QLocale::English);
    m_tables->setRowCount(static_cast<int>(s.tables.size()));
    for (int row = 0; row < s.tables.size(); ++row) {
        const OldTableReport& t = s.tables[row];
        const QStringList cells = {
            t.fileName, t.found ? english.toString(t.records) : QStringLiteral("–"),
            t.found ? QString::number(t.fields) : QStringLiteral("–"),
            !t.found     ? QStringLiteral("–")
            : t.codePage ? QString::number(t.codePage)
                         : QStringLiteral("none (1252)"),
            t.problems.isEmpty() ? QStringLiteral("none") : t.problems.join(QLatin1Char('\n'))};
        for (int col = 0; col < cells.size(); ++col)
            m_tables->setItem(row, col, new QTableWidgetItem(cells[col]));
    }
    m_tables->resizeColumnsToContents();
    m_tables->resizeRowsToContents();
    const QStringList notes = s.fieldNotes();
    m_notes->setPlainText(notes.isEmpty() ? QStringLiteral("None: every field has its column.")
                                          : notes.join(QLatin1Char('\n')));
    if (!m_data)
        return;
    m_status->setText(s.importable()
                          ? QStringLiteral("The old tables can be imported.")
                          : QStringLiteral("The old tables cannot be imported as they are: "
                                           "see the problems above. Nothing was changed."));
    m_importButton->setEnabled(s.importable());
}

bool ImportOldDataDialog::importNow() {
    if (!m_data || !m_data->lastSurvey().importable())
        return false;
    const OldDataSurvey& s = m_data->lastSurvey();
    QString question;
    try {
        question = importQuestion(s, m_db.displayName(), rowCounts(m_db));
    } catch (const EngineError& e) {
        Prompt::error(e.text());
        return false;
    }
    const QStringList notes = s.fieldNotes();
    if (!notes.isEmpty())
        question += QStringLiteral("\n\nLeft out or left blank, as listed:\n") +
                    notes.join(QLatin1Char('\n'));
    if (!Prompt::askYesNo(Prompt::Kind::Confirmation, question, kTitle))
        return false;

    setBusy(true);
    m_importButton->setEnabled(false);
    QList<TableTally> tallies;
    const QString error = m_worker->run([&](ArchiveWorker& w) -> QString {
        tallies = m_data->importInto(m_db, CopyMode::Replace, [&](TableId id, qint64 done) {
            throwWhenCancelled(w);
            w.report(done, s.records(id),
                     QStringLiteral("Importing %1 ...").arg(tableDef(id).fileName()));
        });
        return {};
    });
    setBusy(false);
    if (!error.isEmpty()) {
        m_status->setText(error);
        if (!m_worker->cancelled())
            Prompt::error(error);
        return false;
    }
    QList<qint64> counts;
    for (const TableTally& t : std::as_const(tallies))
        counts << t.rows;
    Prompt::information(
        QStringLiteral("The old data was imported: %1.").arg(rowCountsText(counts)));
    accept();
    return true;
}

} // namespace nerova

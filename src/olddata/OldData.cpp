#include "olddata/OldData.h"

#include "data/Database.h"
#include "data/EngineError.h"

#include <QDir>
#include <QLocale>

namespace nerova {

namespace {

// The file of an old table family in folder, found whatever its letter case.
QString familyFile(const QString& folder, TableId id, const char* extension) {
    return findFileNoCase(folder,
                          QString::fromLatin1(tableDef(id).baseName) + QLatin1String(extension));
}

} // namespace

bool OldDataSurvey::importable() const {
    return tables.size() == kTableCount && problems().isEmpty();
}

qint64 OldDataSurvey::records(TableId id) const {
    for (const OldTableReport& t : tables)
        if (t.id == id)
            return t.records;
    return 0;
}

QStringList OldDataSurvey::problems() const {
    QStringList all;
    for (const OldTableReport& t : tables)
        all << t.problems;
    return all;
}

QStringList OldDataSurvey::fieldNotes() const {
    QStringList notes;
    for (const OldTableReport& t : tables) {
        for (const QString& f : t.leftOut)
            notes << QStringLiteral("%1: \"%2\" is not a column of ours and is left out.")
                         .arg(t.fileName, f);
        for (const QString& c : t.leftBlank)
            notes << QStringLiteral("%1: \"%2\" is not in the old table and is left blank.")
                         .arg(t.fileName, c);
    }
    return notes;
}

OldData::OldData(const QString& folder) : m_folder(QDir::cleanPath(folder)) {}

OldData::~OldData() = default;

const OldDataSurvey& OldData::survey(const Progress& progress) {
    m_survey = OldDataSurvey();
    m_survey.folder = m_folder;
    for (const TableId id : kAllTables) {
        if (progress)
            progress(id, 0, 0);
        auto& table = m_tables[static_cast<std::size_t>(levelIndex(id))];
        table = std::make_unique<OldTable>(id, familyFile(m_folder, id, ".db"),
                                           familyFile(m_folder, id, ".mb"), m_scratch.path());
        m_survey.tables << table->survey([&](qint64 done, qint64 total) {
            if (progress)
                progress(id, done, total);
        });
    }
    return m_survey;
}

void OldData::readRows(TableId id, const std::function<void(const QVariantList&)>& row) {
    const auto& table = m_tables[static_cast<std::size_t>(levelIndex(id))];
    if (!table)
        throw EngineError(QStringLiteral("The old tables were not read before the import."));
    table->readRows(row);
}

QList<TableTally> OldData::importInto(Database& to, CopyMode mode, const CopyProgress& progress) {
    if (!m_survey.importable())
        throw EngineError(QStringLiteral("The old tables have problems; nothing was imported."));
    return writeRows(*this, to, mode, progress);
}

QString rowCountsText(const QList<qint64>& counts) {
    static const char* const one[] = {"company", "location", "pump", "test", "flow row"};
    static const char* const many[] = {"companies", "locations", "pumps", "tests", "flow rows"};
    const QLocale english(QLocale::English);
    QStringList parts;
    for (int i = 0; i < kTableCount; ++i) {
        const qint64 n = i < counts.size() ? counts[i] : 0;
        parts << QStringLiteral("%1 %2").arg(english.toString(n),
                                             QString::fromLatin1(n == 1 ? one[i] : many[i]));
    }
    const QString last = parts.takeLast();
    return parts.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

QString importQuestion(const OldDataSurvey& survey, const QString& target,
                       const QList<qint64>& targetRows) {
    QList<qint64> counts;
    for (const TableId id : kAllTables)
        counts << survey.records(id);
    qint64 held = 0;
    for (const qint64 n : targetRows)
        held += n;
    const QString now = held == 0 ? QStringLiteral("The tables there are empty.")
                                  : QStringLiteral("The tables there now hold %1; they will be "
                                                   "replaced.")
                                        .arg(rowCountsText(targetRows));
    return QStringLiteral("Import %1 into %2? %3").arg(rowCountsText(counts), target, now);
}

} // namespace nerova

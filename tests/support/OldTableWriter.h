#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <cstdio>

typedef struct px_doc pxdoc_t;

namespace nerova::testing {

// One field of an old-style table: its name, pxlib's field type (pxfAlpha, pxfNumber, …) and
// its length in bytes (0 takes the type's own length; for a memo, the part kept in the record
// plus the ten bytes that point into the memo file).
struct OldField {
    QByteArray name;
    int type = 0;
    int length = 0;
    int decimals = 0; // BCD only
};

// Writes a table of the former program's kind with pxlib's own writing functions, as the
// tests and the benchmark need them: a .db file, and a .mb file when a memo field is used.
// Values are given per field: null for a blank, QString for text (encoded to the table's
// code page here), double / int for numbers, bool, QDate, QTime, QDateTime. Raw QByteArray
// values go into the record unconverted.
class OldTableWriter {
public:
    // codePage is written into the header (0 leaves it out, as some old files do). With
    // expectedRecords, the table is built in memory and written out by close(): pxlib seeks
    // and rereads its file for every record it adds, which makes a table of 100,000
    // records take an hour on disk and seconds in memory.
    OldTableWriter(const QString& dbPath, const QList<OldField>& fields, int keyFields,
                   int codePage = 1252, qint64 expectedRecords = 0);
    ~OldTableWriter();
    OldTableWriter(const OldTableWriter&) = delete;
    OldTableWriter& operator=(const OldTableWriter&) = delete;

    void append(const QVariantList& values);
    // Closes the files; the memo file is padded to whole 4 KiB blocks, which pxlib's writer
    // leaves short after a long memo and its reader then refuses.
    void close();

    // The field list of one of our tables as the former program declared it.
    static QList<OldField> fieldsOf(int tableIndex);

private:
    QByteArray encode(const QString& text) const;

    pxdoc_t* m_doc = nullptr;
    QList<OldField> m_fields;
    QString m_dbPath;
    QString m_memoPath;
    std::FILE* m_memory = nullptr;
    QByteArray m_buffer;
    int m_codePage;
    int m_recordSize = 0;
};

} // namespace nerova::testing

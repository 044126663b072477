#pragma once

#include "data/Result.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <cstdio>
#include <optional>

typedef struct px_doc pxdoc_t;

namespace nerova {

// One field of an old table as its header declares it.
struct ParadoxField {
    QString name;
    int type = 0;     // pxlib's field type: pxfAlpha, pxfNumber, …
    int length = 0;   // bytes in the record
    int decimals = 0; // BCD only
    int offset = 0;   // where it starts in the record
};

// One table file of the former program (a Paradox .db, with its .mb for memos), read through
// pxlib and never written: pxlib opens it for reading only, and the memo file it is given is
// a private copy. Around pxlib 0.6.8's faults:
// - it aborts the process when it opens a memo file whose size is a whole number of 4 KiB
//   blocks (it reads 12 bytes into a 9-byte block header while listing the blocks); a copy
//   one byte longer makes it skip that listing, and memos are still read block by block;
// - a file cut short reads without any error, the missing records all blank: the length
//   the header promises is checked against the file's;
// - its blank test for 4-byte values reads 8 bytes: a field of zero bytes is taken as blank
//   here before pxlib is asked for its value.
class ParadoxFile {
public:
    ParadoxFile();
    ~ParadoxFile();
    ParadoxFile(const ParadoxFile&) = delete;
    ParadoxFile& operator=(const ParadoxFile&) = delete;

    // memoPath may be empty (no memo file). The private copy of the memo file goes into
    // scratchDir. A failure says why, for the user.
    Result open(const QString& dbPath, const QString& memoPath, const QString& scratchDir);
    void close();

    int recordCount() const { return m_recordCount; }
    int recordSize() const { return m_recordSize; }
    int codePage() const { return m_codePage; } // as the header says; 0 when it says none
    const QList<ParadoxField>& fields() const { return m_fields; }
    bool hasMemoFile() const { return m_hasMemo; }

    // Reads record recno (0-based) into record; false with the reason in lastError().
    bool read(int recno, QByteArray& record);

    static bool isBlank(const char* data, int length);
    // A Date field's value (days since the start of year 1) as a date; a Timestamp's
    // (milliseconds since then) as date and time. Invalid when out of any calendar.
    static QDate dateOfDays(long days);
    static QDateTime dateTimeOfMilliseconds(double ms);
    // The values of one field of a record read above; nullopt for a blank. The text is in
    // the table's code page; a failure sets lastError() and answers nullopt with ok false.
    std::optional<QByteArray> alpha(const ParadoxField& f, const char* record);
    std::optional<double> number(const ParadoxField& f, const char* record, bool& ok);
    std::optional<long> integer(const ParadoxField& f, const char* record, bool& ok);
    std::optional<bool> logical(const ParadoxField& f, const char* record);
    std::optional<QByteArray> memo(const ParadoxField& f, const char* record, bool& ok);

    QString lastError() const { return m_error; }

    // pxlib's error handler; public only for its C callback.
    void noteError(const char* message);

private:
    pxdoc_t* m_doc = nullptr;
    std::FILE* m_fp = nullptr;
    QList<ParadoxField> m_fields;
    int m_recordCount = 0;
    int m_recordSize = 0;
    int m_codePage = 0;
    bool m_hasMemo = false;
    QString m_error;
    QString m_pxMessage;
};

// A field type as the user knows it ("Alpha", "Number", "Memo", …).
QString paradoxTypeName(int type);

} // namespace nerova

#pragma once

#include "data/Result.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

struct zip;
class QFileDevice;

namespace nerova {

// A thin owner of one libzip archive, holding the few choices the backup makes: entries
// under the names given, deflated at level 9, each with its file's modification time and
// Unix mode, no comment and no password. Failures answer a failed Result with the
// archiver's own text (kept in lastError() as well), so that the caller can report one file
// and go on with the next.
class ZipArchiver {
public:
    // The version of the ZIP library the program runs with, for the About box.
    static QString libraryVersion();

    struct Entry {
        std::uint64_t index = 0;
        QString name; // as stored, folder parts included
        std::uint64_t size = 0;
        std::uint64_t compressedSize = 0;
        QDateTime modified;
        std::uint32_t crc = 0;
        int method = 0;               // ZIP_CM_* of the entry
        std::uint8_t opsys = 0;       // ZIP_OPSYS_* of the external attributes
        std::uint32_t attributes = 0; // external attributes as stored
    };

    ZipArchiver() = default;
    ~ZipArchiver(); // discards an archive still open: an unfinished archive is never written
    ZipArchiver(const ZipArchiver&) = delete;
    ZipArchiver& operator=(const ZipArchiver&) = delete;

    // Starts a new archive at path; a file of that name is replaced only when close()
    // succeeds.
    Result create(const QString& path);
    // Opens an existing archive for reading, checking its directory for consistency.
    Result openForReading(const QString& path);
    // After openForReading failed because the archive holds one name twice: that name.
    QString duplicateName() const { return m_duplicate; }
    bool isOpen() const { return m_zip != nullptr; }

    // Adds the file at filePath under entryName. The file is checked for reading now; its
    // contents are compressed when the archive is closed.
    Result addFile(const QString& filePath, const QString& entryName);
    int entryCount() const;

    // Called from the thread that closes the archive: progress with the fraction done
    // (libzip gives every entry an equal share, its own data counted within it), and
    // cancelled, asked between blocks, stopping the archive when it answers true.
    struct CloseObserver {
        std::function<void(double)> progress;
        std::function<bool()> cancelled;
    };

    // Writes the central directory and closes the archive. An archive with no entries
    // is not written at all (libzip's rule): callers that need a file must add one.
    // Cancelled, nothing is written and the archive is discarded.
    Result close(const CloseObserver& observer = {});
    // Closes without writing anything.
    void discard();

    QList<Entry> entries() const;

    // Extracts one entry into out (open for writing, at its start): all its data is read
    // so that the CRC check runs; a CRC mismatch, a read error or more data than the
    // directory announced is a failure. The file keeps the time and permissions it was
    // created with: what the archive says about them is not trusted. chunk, when given,
    // hears of every block written and stops the extraction by answering false.
    Result extract(std::uint64_t index, QFileDevice& out,
                   const std::function<bool(qint64)>& chunk = {});
    // The first bytes of an entry (fewer when it is shorter), to tell what kind of file it
    // holds without extracting it; the CRC is not checked on so little.
    Result peek(std::uint64_t index, qint64 count, QByteArray& out);
    // The same into a file at path, created or truncated; removed again on failure.
    Result extract(std::uint64_t index, const QString& path);

    // An entry stored with a Unix file type other than a plain file (a symbolic link, a
    // device): its data is no file's contents and is never extracted as one.
    static bool isSpecialFile(const Entry& entry);

    QString lastError() const { return m_error; }

private:
    Result fail(const QString& subject, const QString& message);
    QString archiveErrorText() const;
    static QString findDuplicateName(const QString& path);

    zip* m_zip = nullptr;
    QString m_path;
    QString m_error;
    QString m_duplicate;
};

} // namespace nerova

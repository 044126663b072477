#include "olddata/ParadoxFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "olddata/PxLib.h"
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace nerova {

namespace {

void collectError(pxdoc_t*, int, const char* message, void* data) {
    if (data)
        static_cast<ParadoxFile*>(data)->noteError(message);
}

// pxlib seeks before every record it reads, and a seek of a plain stdio file drops its
// buffer and costs two system calls: that was a third of an import. This stream hands
// pxlib the file through a window of a megabyte read with pread, so a seek within the
// window costs nothing. The file is opened for reading only.
struct WindowedFile {
    int fd = -1;
    off64_t pos = 0;
    off64_t start = 0; // of the window in the file
    std::vector<char> window;
    std::size_t filled = 0;

    static ssize_t read(void* cookie, char* out, std::size_t n) {
        auto* f = static_cast<WindowedFile*>(cookie);
        std::size_t done = 0;
        while (done < n) {
            if (f->pos < f->start || f->pos >= f->start + static_cast<off64_t>(f->filled)) {
                const ssize_t got = ::pread(f->fd, f->window.data(), f->window.size(), f->pos);
                if (got < 0)
                    return done > 0 ? static_cast<ssize_t>(done) : -1;
                f->start = f->pos;
                f->filled = static_cast<std::size_t>(got);
                if (got == 0)
                    break;
            }
            const auto at = static_cast<std::size_t>(f->pos - f->start);
            const std::size_t take = std::min(n - done, f->filled - at);
            std::memcpy(out + done, f->window.data() + at, take);
            done += take;
            f->pos += static_cast<off64_t>(take);
        }
        return static_cast<ssize_t>(done);
    }
    static int seek(void* cookie, off64_t* offset, int whence) {
        auto* f = static_cast<WindowedFile*>(cookie);
        off64_t base = 0;
        if (whence == SEEK_CUR)
            base = f->pos;
        else if (whence == SEEK_END)
            base = ::lseek64(f->fd, 0, SEEK_END);
        if (base < 0 || base + *offset < 0)
            return -1;
        f->pos = base + *offset;
        *offset = f->pos;
        return 0;
    }
    static int close(void* cookie) {
        auto* f = static_cast<WindowedFile*>(cookie);
        const int r = ::close(f->fd);
        delete f;
        return r;
    }
};

std::FILE* openWindowed(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    auto* f = new WindowedFile;
    f->fd = fd;
    f->window.resize(1024 * 1024);
    std::FILE* fp = fopencookie(
        f, "r", {&WindowedFile::read, nullptr, &WindowedFile::seek, &WindowedFile::close});
    if (!fp)
        WindowedFile::close(f);
    return fp;
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).fileName());
}

QString counted(qint64 n) {
    return QLocale(QLocale::English).toString(n);
}

} // namespace

QString paradoxTypeName(int type) {
    switch (type) {
    case pxfAlpha:
        return QStringLiteral("Alpha");
    case pxfDate:
        return QStringLiteral("Date");
    case pxfShort:
        return QStringLiteral("Short");
    case pxfLong:
        return QStringLiteral("Long");
    case pxfCurrency:
        return QStringLiteral("Money");
    case pxfNumber:
        return QStringLiteral("Number");
    case pxfLogical:
        return QStringLiteral("Logical");
    case pxfMemoBLOb:
        return QStringLiteral("Memo");
    case pxfBLOb:
        return QStringLiteral("Binary");
    case pxfFmtMemoBLOb:
        return QStringLiteral("Formatted Memo");
    case pxfOLE:
        return QStringLiteral("OLE");
    case pxfGraphic:
        return QStringLiteral("Graphic");
    case pxfTime:
        return QStringLiteral("Time");
    case pxfTimestamp:
        return QStringLiteral("Timestamp");
    case pxfAutoInc:
        return QStringLiteral("AutoInc");
    case pxfBCD:
        return QStringLiteral("BCD");
    case pxfBytes:
        return QStringLiteral("Bytes");
    default:
        return QStringLiteral("type %1").arg(type);
    }
}

ParadoxFile::ParadoxFile() {
    static std::once_flag booted;
    std::call_once(booted, [] { PX_boot(); });
}

ParadoxFile::~ParadoxFile() {
    close();
}

void ParadoxFile::noteError(const char* message) {
    m_pxMessage = QString::fromLocal8Bit(message).trimmed();
}

void ParadoxFile::close() {
    if (m_doc) {
        PX_close(m_doc);
        PX_delete(m_doc);
        m_doc = nullptr;
    }
    if (m_fp) {
        std::fclose(m_fp);
        m_fp = nullptr;
    }
    m_fields.clear();
    m_recordCount = 0;
    m_recordSize = 0;
    m_hasMemo = false;
}

Result ParadoxFile::open(const QString& dbPath, const QString& memoPath,
                         const QString& scratchDir) {
    close();
    const QString name = shown(dbPath);
    m_doc = PX_new3(collectError, nullptr, nullptr, nullptr, this);
    if (!m_doc)
        return Result::failure(QStringLiteral("%1 cannot be read: out of memory.").arg(name));
    m_pxMessage.clear();
    m_fp = openWindowed(dbPath);
    if (!m_fp) {
        close();
        return Result::failure(QStringLiteral("%1 cannot be read: %2")
                                   .arg(name, QString::fromLocal8Bit(std::strerror(errno))));
    }
    if (PX_open_fp(m_doc, m_fp) < 0) {
        const QString why = m_pxMessage;
        close();
        return Result::failure(QStringLiteral("%1: the header is damaged (%2).").arg(name, why));
    }
    const pxhead_t* h = m_doc->px_head;
    if (h->px_filetype != pxfFileTypIndexDB && h->px_filetype != pxfFileTypNonIndexDB) {
        close();
        return Result::failure(QStringLiteral("%1 is not a table file.").arg(name));
    }
    const int blockKiB = h->px_maxtablesize;
    int sum = 0;
    bool fieldsSound = h->px_numfields > 0 && h->px_fields;
    for (int i = 0; fieldsSound && i < h->px_numfields; ++i) {
        const pxfield_t& f = h->px_fields[i];
        ParadoxField pf;
        pf.name = QString::fromLatin1(f.px_fname ? f.px_fname : "");
        pf.type = static_cast<unsigned char>(f.px_ftype);
        pf.length = f.px_flen;
        pf.decimals = f.px_fdc;
        pf.offset = sum;
        fieldsSound = pf.length > 0 && !pf.name.isEmpty();
        sum += pf.length;
        m_fields << pf;
    }
    const bool blockSound = blockKiB == 1 || blockKiB == 2 || blockKiB == 4 || blockKiB == 8 ||
                            blockKiB == 16 || blockKiB == 32;
    if (!fieldsSound || sum != h->px_recordsize || !blockSound || h->px_numrecords < 0 ||
        h->px_headersize <= 0) {
        close();
        return Result::failure(
            QStringLiteral("%1: the header is damaged (its fields do not add up).").arg(name));
    }
    m_recordCount = h->px_numrecords;
    m_recordSize = h->px_recordsize;
    m_codePage = h->px_doscodepage;

    // pxlib reads a file cut short without a word: its missing records come back blank.
    const qint64 promised = static_cast<qint64>(h->px_headersize) +
                            static_cast<qint64>(h->px_fileblocks) * blockKiB * 1024;
    const qint64 size = QFileInfo(dbPath).size();
    const qint64 perBlock = (blockKiB * 1024 - 6) / m_recordSize;
    if (size < promised) {
        close();
        return Result::failure(
            QStringLiteral("%1 is cut short: its header promises %2 bytes, the file holds %3.")
                .arg(name, counted(promised), counted(size)));
    }
    if (static_cast<qint64>(m_recordCount) > perBlock * static_cast<qint64>(h->px_fileblocks)) {
        close();
        return Result::failure(
            QStringLiteral("%1: the header is damaged (%2 records in %3 blocks).")
                .arg(name, counted(m_recordCount), counted(h->px_fileblocks)));
    }

    if (!memoPath.isEmpty()) {
        // pxlib's reader of 0.6.8 overruns its stack on a memo file of whole 4 KiB blocks;
        // one byte more and it leaves that step out.
        const QString copy = scratchDir + QLatin1Char('/') + QFileInfo(memoPath).fileName();
        QFile::remove(copy);
        QFile out(copy);
        // Old files often come read-only (from a CD, an archive); the copy is ours to extend.
        const bool copied =
            QFile::copy(memoPath, copy) &&
            QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::ReadOwner |
                                            QFileDevice::WriteOwner);
        if (!copied || !out.open(QIODevice::ReadWrite) ||
            (out.size() % 4096 == 0 && (!out.seek(out.size()) || out.write("\0", 1) != 1))) {
            close();
            return Result::failure(
                QStringLiteral("%1 cannot be read: %2").arg(shown(memoPath), out.errorString()));
        }
        out.close();
        m_pxMessage.clear();
        if (PX_set_blob_file(m_doc, QFile::encodeName(copy).constData()) < 0) {
            const QString why = m_pxMessage;
            close();
            return Result::failure(
                QStringLiteral("%1: the memo file is damaged (%2).").arg(shown(memoPath), why));
        }
        m_hasMemo = true;
    }
    return {};
}

bool ParadoxFile::read(int recno, QByteArray& record) {
    if (record.size() != m_recordSize)
        record.resize(m_recordSize);
    m_pxMessage.clear();
    if (!m_doc || !PX_get_record(m_doc, recno, record.data())) {
        m_error = m_pxMessage.isEmpty() ? QStringLiteral("the record cannot be read") : m_pxMessage;
        return false;
    }
    return true;
}

bool ParadoxFile::isBlank(const char* data, int length) {
    for (int i = 0; i < length; ++i)
        if (data[i] != 0)
            return false;
    return true;
}

QDate ParadoxFile::dateOfDays(long days) {
    // Beyond a few thousand years a day count is damage, not a date.
    if (days <= 0 || days > 4000L * 366)
        return {};
    int year = 0;
    int month = 0;
    int day = 0;
    PX_SdnToGregorian(days + 1721425, &year, &month, &day);
    return QDate(year, month, day);
}

QDateTime ParadoxFile::dateTimeOfMilliseconds(double ms) {
    if (!(ms > 0) || ms > 4000.0 * 366 * 86400000.0)
        return {};
    const double days = std::floor(ms / 86400000.0);
    const QDate date = dateOfDays(static_cast<long>(days));
    const auto ofDay = static_cast<int>(ms - days * 86400000.0);
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(ofDay));
}

std::optional<QByteArray> ParadoxFile::alpha(const ParadoxField& f, const char* record) {
    const char* at = record + f.offset;
    const auto n = static_cast<qsizetype>(::strnlen(at, static_cast<std::size_t>(f.length)));
    if (n == 0)
        return std::nullopt;
    return QByteArray(at, n);
}

std::optional<double> ParadoxFile::number(const ParadoxField& f, const char* record, bool& ok) {
    ok = true;
    char* at = const_cast<char*>(record) + f.offset;
    if (isBlank(at, f.length))
        return std::nullopt;
    m_pxMessage.clear();
    int r = -1;
    double value = 0;
    switch (f.type) {
    case pxfNumber:
    case pxfCurrency:
    case pxfTimestamp:
        r = PX_get_data_double(m_doc, at, f.length, &value);
        break;
    case pxfShort: {
        short s = 0;
        r = PX_get_data_short(m_doc, at, f.length, &s);
        value = s;
        break;
    }
    case pxfBCD: {
        char* text = nullptr;
        r = PX_get_data_bcd(m_doc, reinterpret_cast<unsigned char*>(at), f.decimals, &text);
        if (r > 0 && text) {
            value = QByteArray(text).toDouble(&ok);
            m_doc->free(m_doc, text);
        }
        break;
    }
    default: {
        const std::optional<long> i = integer(f, record, ok);
        return i ? std::optional<double>(static_cast<double>(*i)) : std::nullopt;
    }
    }
    if (r == 0)
        return std::nullopt;
    if (r < 0 || !ok || !std::isfinite(value)) {
        ok = false;
        m_error = m_pxMessage.isEmpty() ? QStringLiteral("not a number") : m_pxMessage;
        return std::nullopt;
    }
    return value;
}

std::optional<long> ParadoxFile::integer(const ParadoxField& f, const char* record, bool& ok) {
    ok = true;
    char* at = const_cast<char*>(record) + f.offset;
    if (isBlank(at, f.length))
        return std::nullopt;
    long value = 0;
    m_pxMessage.clear();
    const int r = PX_get_data_long(m_doc, at, f.length, &value);
    if (r < 0) {
        ok = false;
        m_error = m_pxMessage;
        return std::nullopt;
    }
    if (r == 0)
        return std::nullopt;
    return value;
}

std::optional<bool> ParadoxFile::logical(const ParadoxField& f, const char* record) {
    char* at = const_cast<char*>(record) + f.offset;
    if (isBlank(at, f.length))
        return std::nullopt;
    char value = 0;
    if (PX_get_data_byte(m_doc, at, f.length, &value) <= 0)
        return std::nullopt;
    return value != 0;
}

std::optional<QByteArray> ParadoxFile::memo(const ParadoxField& f, const char* record, bool& ok) {
    ok = true;
    char* at = const_cast<char*>(record) + f.offset;
    if (isBlank(at, f.length))
        return std::nullopt;
    int mod = 0;
    int size = 0;
    char* value = nullptr;
    m_pxMessage.clear();
    const int r = PX_get_data_blob(m_doc, at, f.length, &mod, &size, &value);
    if (r < 0) {
        ok = false;
        m_error = m_pxMessage.isEmpty() ? QStringLiteral("the memo cannot be read") : m_pxMessage;
        return std::nullopt;
    }
    if (r == 0 || !value || size <= 0) {
        if (value)
            m_doc->free(m_doc, value);
        return std::nullopt;
    }
    QByteArray bytes(value, size);
    m_doc->free(m_doc, value);
    // A memo is text: it ends at its first zero byte, as the former program showed it.
    const qsizetype end = bytes.indexOf('\0');
    if (end >= 0)
        bytes.truncate(end);
    if (bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

} // namespace nerova

#include "backup/ZipArchiver.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <cstring>
#include <vector>

#include <sys/stat.h>
#include <zip.h>

namespace nerova {

namespace {

QString libzipText(zip_error_t* error) {
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

QString libzipText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    QString text = libzipText(&error);
    zip_error_fini(&error);
    return text;
}

} // namespace

ZipArchiver::~ZipArchiver() {
    discard();
}

Result ZipArchiver::fail(const QString& subject, const QString& message) {
    m_error = subject.isEmpty() ? message : subject + QStringLiteral(": ") + message;
    return Result::failure(m_error);
}

QString ZipArchiver::archiveErrorText() const {
    return m_zip ? libzipText(zip_get_error(m_zip)) : QString();
}

Result ZipArchiver::create(const QString& path) {
    discard();
    m_path = path;
    int code = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!m_zip)
        return fail(QDir::toNativeSeparators(path), libzipText(code));
    return {};
}

Result ZipArchiver::openForReading(const QString& path) {
    discard();
    m_duplicate.clear();
    m_path = path;
    int code = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!m_zip && code == ZIP_ER_EXISTS)
        m_duplicate = findDuplicateName(path);
    if (!m_zip)
        return fail(QDir::toNativeSeparators(path), libzipText(code));
    return {};
}

QString ZipArchiver::findDuplicateName(const QString& path) {
    // Opened again without the consistency check, which refuses such an archive outright,
    // only to learn which name it repeats.
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!za)
        return {};
    QSet<QString> seen;
    QString found;
    const zip_int64_t count = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < count && found.isEmpty(); ++i) {
        const char* raw = zip_get_name(za, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        const QString name = raw ? QString::fromUtf8(raw) : QString();
        if (seen.contains(name))
            found = name;
        seen.insert(name);
    }
    zip_discard(za);
    return found;
}

Result ZipArchiver::addFile(const QString& filePath, const QString& entryName) {
    const QString shown = QDir::toNativeSeparators(filePath);
    if (!m_zip)
        return fail(shown, libzipText(ZIP_ER_INVAL));

    const QByteArray local = QFile::encodeName(filePath);
    struct stat st {};
    if (::stat(local.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return fail(shown, libzipText(ZIP_ER_OPEN));

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_file_create(local.constData(), 0, -1, &error);
    if (!source) {
        QString text = libzipText(&error);
        zip_error_fini(&error);
        return fail(shown, text);
    }
    zip_error_fini(&error);

    // The data is only read when the archive is written; open the source now so that a
    // file we cannot read is reported here and left out, not found while closing.
    if (zip_source_open(source) != 0) {
        QString text = libzipText(zip_source_error(source));
        zip_source_free(source);
        return fail(shown, text);
    }
    zip_source_close(source);

    const zip_int64_t index =
        zip_file_add(m_zip, entryName.toUtf8().constData(), source, ZIP_FL_ENC_GUESS);
    if (index < 0) {
        zip_source_free(source); // still ours when adding failed
        return fail(shown, archiveErrorText());
    }
    const auto at = static_cast<zip_uint64_t>(index);
    if (zip_set_file_compression(m_zip, at, ZIP_CM_DEFLATE, 9) != 0 ||
        zip_file_set_mtime(m_zip, at, st.st_mtime, 0) != 0 ||
        zip_file_set_external_attributes(m_zip, at, 0, ZIP_OPSYS_UNIX,
                                         static_cast<zip_uint32_t>(st.st_mode & 0xFFFF) << 16) !=
            0) {
        QString text = archiveErrorText();
        zip_delete(m_zip, at);
        return fail(shown, text);
    }
    return {};
}

int ZipArchiver::entryCount() const {
    return m_zip ? static_cast<int>(zip_get_num_entries(m_zip, 0)) : 0;
}

Result ZipArchiver::close(const CloseObserver& observer) {
    if (!m_zip)
        return fail(QDir::toNativeSeparators(m_path), libzipText(ZIP_ER_INVAL));
    // libzip keeps the pointers only until the archive is closed or discarded, both below.
    if (observer.progress)
        zip_register_progress_callback_with_state(
            m_zip, 0.002,
            [](zip_t*, double done, void* state) {
                (*static_cast<const std::function<void(double)>*>(state))(done);
            },
            nullptr, const_cast<std::function<void(double)>*>(&observer.progress));
    if (observer.cancelled)
        zip_register_cancel_callback_with_state(
            m_zip,
            [](zip_t*, void* state) {
                return (*static_cast<const std::function<bool()>*>(state))() ? 1 : 0;
            },
            nullptr, const_cast<std::function<bool()>*>(&observer.cancelled));
    if (zip_close(m_zip) != 0) {
        QString text = archiveErrorText();
        discard();
        return fail(QDir::toNativeSeparators(m_path), text);
    }
    m_zip = nullptr;
    return {};
}

void ZipArchiver::discard() {
    if (m_zip) {
        zip_discard(m_zip);
        m_zip = nullptr;
    }
}

QList<ZipArchiver::Entry> ZipArchiver::entries() const {
    QList<Entry> out;
    if (!m_zip)
        return out;
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto at = static_cast<zip_uint64_t>(i);
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(m_zip, at, ZIP_FL_ENC_GUESS, &st) != 0)
            continue; // deleted in this session; never the case when reading
        Entry e;
        e.index = at;
        if (st.valid & ZIP_STAT_NAME)
            e.name = QString::fromUtf8(st.name);
        if (st.valid & ZIP_STAT_SIZE)
            e.size = st.size;
        if (st.valid & ZIP_STAT_COMP_SIZE)
            e.compressedSize = st.comp_size;
        if (st.valid & ZIP_STAT_MTIME)
            e.modified = QDateTime::fromSecsSinceEpoch(st.mtime);
        if (st.valid & ZIP_STAT_CRC)
            e.crc = st.crc;
        if (st.valid & ZIP_STAT_COMP_METHOD)
            e.method = st.comp_method;
        zip_file_get_external_attributes(m_zip, at, 0, &e.opsys, &e.attributes);
        out.append(e);
    }
    return out;
}

namespace {
// A write the disk takes only in part leaves Qt without a reason; the system has one.
QString writeError(const QFileDevice& out) {
    const int err = errno;
    return err ? QString::fromLocal8Bit(std::strerror(err)) : out.errorString();
}
} // namespace

Result ZipArchiver::extract(std::uint64_t index, QFileDevice& out,
                            const std::function<bool(qint64)>& chunk) {
    if (!m_zip)
        return fail(QString(), libzipText(ZIP_ER_INVAL));
    const char* rawName = zip_get_name(m_zip, index, ZIP_FL_ENC_GUESS);
    const QString name = rawName ? QString::fromUtf8(rawName) : QString::number(index);

    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(m_zip, index, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        return fail(name, archiveErrorText());

    zip_file_t* file = zip_fopen_index(m_zip, index, 0);
    if (!file)
        return fail(name, archiveErrorText());

    // libzip verifies the CRC when the last byte has been read, so read to the end even
    // when the caller would be content with less.
    std::vector<char> buffer(256 * 1024);
    zip_uint64_t written = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(file, buffer.data(), buffer.size());
        if (n < 0) {
            QString text = libzipText(zip_file_get_error(file));
            zip_fclose(file);
            return fail(name, text);
        }
        if (n == 0)
            break;
        // The directory's size is what the free-space check trusted: never write more.
        written += static_cast<zip_uint64_t>(n);
        if (written > st.size) {
            zip_fclose(file);
            return fail(name, libzipText(ZIP_ER_INCONS));
        }
        errno = 0;
        if (out.write(buffer.data(), n) != n) {
            zip_fclose(file);
            return fail(name, writeError(out));
        }
        if (chunk && !chunk(n)) {
            zip_fclose(file);
            return fail(name, libzipText(ZIP_ER_CANCELLED));
        }
    }
    const int closed = zip_fclose(file);
    if (closed != 0)
        return fail(name, libzipText(closed));
    errno = 0;
    if (!out.flush())
        return fail(name, writeError(out));
    return {};
}

Result ZipArchiver::peek(std::uint64_t index, qint64 count, QByteArray& out) {
    out.clear();
    if (!m_zip)
        return fail(QString(), libzipText(ZIP_ER_INVAL));
    const char* rawName = zip_get_name(m_zip, index, ZIP_FL_ENC_GUESS);
    const QString name = rawName ? QString::fromUtf8(rawName) : QString::number(index);
    zip_file_t* file = zip_fopen_index(m_zip, index, 0);
    if (!file)
        return fail(name, archiveErrorText());
    out.resize(count);
    const zip_int64_t n = zip_fread(file, out.data(), static_cast<zip_uint64_t>(count));
    const QString text = n < 0 ? libzipText(zip_file_get_error(file)) : QString();
    zip_fclose(file);
    if (n < 0) {
        out.clear();
        return fail(name, text);
    }
    out.resize(static_cast<qsizetype>(n));
    return {};
}

bool ZipArchiver::isSpecialFile(const Entry& entry) {
    if (entry.opsys != ZIP_OPSYS_UNIX)
        return false;
    const mode_t type = (entry.attributes >> 16) & S_IFMT;
    return type != 0 && type != S_IFREG;
}

Result ZipArchiver::extract(std::uint64_t index, const QString& path) {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(QDir::toNativeSeparators(path), out.errorString());
    if (Result r = extract(index, out); !r) {
        out.remove();
        return r;
    }
    out.close();
    return {};
}

QString ZipArchiver::libraryVersion() {
    return QString::fromLatin1(zip_libzip_version());
}

} // namespace nerova

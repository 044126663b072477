#include "prefs/PreferencesRecord.h"

#include "data/EngineError.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace nerova {

namespace {

// Offsets of the numbered fields.
constexpr int kCompanyInfoOffset = 0;    // 8 x 41
constexpr int kCorrectedOffset = 345;    // 4 x 1
constexpr int kColorOffset = 352;        // 5 x 4
constexpr int kLegendOffset = 372;       // 5 x 41
constexpr int kIncludeCurveOffset = 577; // curves 2..4, 1 byte each
constexpr int kTesterOffset = 583;       // 4 x 31
constexpr int kLicenseOffset = 707;      // 4 x 31
constexpr int kStateOffset = 831;        // 4 x 3

int numbered(int n, int first, int last, int base, int stride) {
    if (n < first || n > last)
        throw std::out_of_range("preferences field number out of range");
    return base + (n - first) * stride;
}

QString systemText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

// The file counts as writable only when its owner may write it. Root could open a
// read-only file anyway; honouring the bit keeps a write-protected settings file intact
// whoever runs the program.
bool ownerWritable(const QFile& file) {
    return file.permissions().testFlag(QFileDevice::WriteOwner);
}

QString preferencesPath(const QString& dir) {
    return QDir(dir).filePath(QString::fromLatin1(kPreferencesFileName));
}

} // namespace

void PreferencesRecord::applyDefaults() {
    setPrintGridLines(true);
    setCurvedLines(true);
    setExponentialXAxis(true);
    setUseTestTime(false);
    for (int n = 1; n <= 4; ++n)
        setCorrected(n, true);
    for (int n = 2; n <= 4; ++n)
        setIncludeCurve(n, false);
    setPlotRatingPoints(false);
    setConnectRatingPoints(false);
    setPlotFactoryCurve(false);
    for (int offset = 983; offset <= 991; ++offset)
        setFlag(offset, true);
}

QByteArray PreferencesRecord::bytes() const {
    return QByteArray(reinterpret_cast<const char*>(m_bytes.data()), kSize);
}

void PreferencesRecord::setBytes(const QByteArray& data) {
    clear();
    std::memcpy(m_bytes.data(), data.constData(), std::min<std::size_t>(data.size(), kSize));
}

QString PreferencesRecord::companyInfo(int n) const {
    return text(numbered(n, 1, 8, kCompanyInfoOffset, 41), kCompanyInfoLength);
}
void PreferencesRecord::setCompanyInfo(int n, const QString& t) {
    setText(numbered(n, 1, 8, kCompanyInfoOffset, 41), kCompanyInfoLength, t);
}

bool PreferencesRecord::corrected(int n) const {
    return flag(numbered(n, 1, 4, kCorrectedOffset, 1));
}
void PreferencesRecord::setCorrected(int n, bool on) {
    setFlag(numbered(n, 1, 4, kCorrectedOffset, 1), on);
}

quint32 PreferencesRecord::color(int n) const {
    return uint32(numbered(n, 1, 5, kColorOffset, 4));
}
void PreferencesRecord::setColor(int n, quint32 rgb) {
    setUint32(numbered(n, 1, 5, kColorOffset, 4), rgb);
}

QString PreferencesRecord::legend(int n) const {
    return text(numbered(n, 1, 5, kLegendOffset, 41), kLegendLength);
}
void PreferencesRecord::setLegend(int n, const QString& t) {
    setText(numbered(n, 1, 5, kLegendOffset, 41), kLegendLength, t);
}

bool PreferencesRecord::includeCurve(int n) const {
    return flag(numbered(n, 2, 4, kIncludeCurveOffset, 1));
}
void PreferencesRecord::setIncludeCurve(int n, bool on) {
    setFlag(numbered(n, 2, 4, kIncludeCurveOffset, 1), on);
}

QString PreferencesRecord::tester(int n) const {
    return text(numbered(n, 1, kTesterCount, kTesterOffset, 31), kTesterLength);
}
void PreferencesRecord::setTester(int n, const QString& t) {
    setText(numbered(n, 1, kTesterCount, kTesterOffset, 31), kTesterLength, t);
}
QString PreferencesRecord::testerLicense(int n) const {
    return text(numbered(n, 1, kTesterCount, kLicenseOffset, 31), kTesterLicenseLength);
}
void PreferencesRecord::setTesterLicense(int n, const QString& t) {
    setText(numbered(n, 1, kTesterCount, kLicenseOffset, 31), kTesterLicenseLength, t);
}
QString PreferencesRecord::testerState(int n) const {
    return text(numbered(n, 1, kTesterCount, kStateOffset, 3), kTesterStateLength);
}
void PreferencesRecord::setTesterState(int n, const QString& t) {
    setText(numbered(n, 1, kTesterCount, kStateOffset, 3), kTesterStateLength, t);
}

bool PreferencesRecord::flag(int offset) const {
    return byteAt(offset) != 0;
}

void PreferencesRecord::setFlag(int offset, bool on) {
    m_bytes[static_cast<std::size_t>(offset)] = on ? 1 : 0;
}

qint32 PreferencesRecord::int32(int offset) const {
    return qFromLittleEndian<qint32>(m_bytes.data() + offset);
}
void PreferencesRecord::setInt32(int offset, qint32 value) {
    qToLittleEndian<qint32>(value, m_bytes.data() + offset);
}
quint32 PreferencesRecord::uint32(int offset) const {
    return qFromLittleEndian<quint32>(m_bytes.data() + offset);
}
void PreferencesRecord::setUint32(int offset, quint32 value) {
    qToLittleEndian<quint32>(value, m_bytes.data() + offset);
}

float PreferencesRecord::single(int offset) const {
    const quint32 raw = uint32(offset);
    float value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}
void PreferencesRecord::setSingle(int offset, float value) {
    quint32 raw;
    std::memcpy(&raw, &value, sizeof raw);
    setUint32(offset, raw);
}

QString PreferencesRecord::text(int offset, int maxLength) const {
    // A damaged length byte must never make us read into the next field.
    const int length = std::min<int>(byteAt(offset), maxLength);
    return QString::fromLatin1(reinterpret_cast<const char*>(m_bytes.data() + offset + 1), length);
}

void PreferencesRecord::setText(int offset, int maxLength, const QString& value) {
    const QByteArray latin1 = value.left(maxLength).toLatin1();
    const int length = static_cast<int>(latin1.size());
    m_bytes[static_cast<std::size_t>(offset)] = static_cast<quint8>(length);
    std::memcpy(m_bytes.data() + offset + 1, latin1.constData(), static_cast<std::size_t>(length));
}

PreferencesRecord& preferences() {
    static PreferencesRecord record;
    return record;
}

namespace {

// Reads exactly the record from an existing file that we may also write. False when the
// file is missing, not writable or too short; bytes a short read delivered stay in place.
bool readExisting(PreferencesRecord& record, const QString& path) {
    QFile file(path);
    if (!file.exists() || !ownerWritable(file))
        return false;
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return false;
    qint64 total = 0;
    while (total < PreferencesRecord::kSize) {
        const qint64 got = file.read(reinterpret_cast<char*>(record.data()) + total,
                                     PreferencesRecord::kSize - total);
        if (got <= 0)
            break;
        total += got;
    }
    return total == PreferencesRecord::kSize;
}

void writeRecord(QFile& file, const PreferencesRecord& record, const QString& path) {
    errno = 0;
    const qint64 written =
        file.write(reinterpret_cast<const char*>(record.data()), PreferencesRecord::kSize);
    if (written != PreferencesRecord::kSize || !file.flush()) {
        // A write the disk takes only in part leaves Qt without a reason; the system has one.
        const int err = errno;
        const QString reason = err ? systemText(err) : file.errorString();
        file.close();
        throw EngineError(QStringLiteral("Cannot write file %1.\n%2").arg(path, reason));
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw EngineError(
            QStringLiteral("Cannot write file %1.\n%2").arg(path, file.errorString()));
}

} // namespace

void LoadPreferences(PreferencesRecord& record, const QString& dir) {
    record.clear();
    const QString path = preferencesPath(dir);
    if (readExisting(record, path))
        return;

    QFile file(path);
    if (file.exists() && !ownerWritable(file))
        throw EngineError(
            QStringLiteral("Cannot create file %1.\n%2").arg(path, systemText(EACCES)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EngineError(
            QStringLiteral("Cannot create file %1.\n%2").arg(path, file.errorString()));
    record.applyDefaults();
    writeRecord(file, record, path);
}

void LoadPreferences(const QString& dir) {
    LoadPreferences(preferences(), dir);
}

void SavePreferences(const PreferencesRecord& record, const QString& dir) {
    const QString path = preferencesPath(dir);
    QFile file(path);
    if (!file.exists())
        throw EngineError(QStringLiteral("Cannot open file %1.\n%2").arg(path, systemText(ENOENT)));
    if (!ownerWritable(file))
        throw EngineError(QStringLiteral("Cannot open file %1.\n%2").arg(path, systemText(EACCES)));
    if (!file.open(QIODevice::ReadOnly | QIODevice::ExistingOnly))
        throw EngineError(QStringLiteral("Cannot open file %1.\n%2").arg(path, file.errorString()));
    // A longer file keeps whatever follows the record. The new contents replace the file in
    // one step, so a write the disk refuses half-way leaves the old file whole.
    QByteArray content = file.readAll();
    file.close();
    content.replace(0, std::min<qsizetype>(content.size(), PreferencesRecord::kSize),
                    record.bytes());
    QSaveFile out(path);
    out.setDirectWriteFallback(true); // a folder that takes no new files: write in place
    // Unbuffered, so a write the disk takes only in part shows in the count written
    // (QSaveFile would otherwise commit the cut file as if it were whole).
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw EngineError(QStringLiteral("Cannot open file %1.\n%2").arg(path, out.errorString()));
    qint64 done = 0;
    errno = 0;
    while (done < content.size()) {
        const qint64 n = out.write(content.constData() + done, content.size() - done);
        if (n <= 0)
            break;
        done += n;
    }
    if (done != content.size() || !out.commit()) {
        const int err = errno;
        const QString reason = err ? systemText(err) : out.errorString();
        out.cancelWriting();
        throw EngineError(QStringLiteral("Cannot write file %1.\n%2").arg(path, reason));
    }
}

void SavePreferences(const QString& dir) {
    SavePreferences(preferences(), dir);
}

} // namespace nerova

#include "support/OldTableWriter.h"

#include "data/Schema.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTime>

#include "olddata/PxLib.h"
#include <cstring>
#include <iconv.h>
#include <stdexcept>
#include <vector>

namespace nerova::testing {

namespace {

int typeLength(int type) {
    switch (type) {
    case pxfShort:
        return 2;
    case pxfLong:
    case pxfAutoInc:
    case pxfDate:
    case pxfTime:
        return 4;
    case pxfNumber:
    case pxfCurrency:
    case pxfTimestamp:
        return 8;
    case pxfLogical:
        return 1;
    case pxfBCD:
        return 17;
    default:
        return 0;
    }
}

long sdnDays(const QDate& d) {
    return PX_GregorianToSdn(d.year(), d.month(), d.day()) - 1721425;
}

} // namespace

OldTableWriter::OldTableWriter(const QString& dbPath, const QList<OldField>& fields, int keyFields,
                               int codePage, qint64 expectedRecords)
    : m_fields(fields), m_dbPath(dbPath), m_codePage(codePage) {
    for (OldField& f : m_fields)
        if (f.length == 0)
            f.length = typeLength(f.type);
    m_doc = PX_new();
    // pxlib frees the field array and its names with the document, so both are its own.
    auto* pxf = static_cast<pxfield_t*>(
        m_doc->malloc(m_doc, sizeof(pxfield_t) * m_fields.size(), "fields"));
    bool memo = false;
    for (int i = 0; i < m_fields.size(); ++i) {
        pxf[i].px_fname = PX_strdup(m_doc, m_fields[i].name.constData());
        pxf[i].px_ftype = static_cast<char>(m_fields[i].type);
        pxf[i].px_flen = m_fields[i].length;
        pxf[i].px_fdc = m_fields[i].decimals;
        m_recordSize += m_fields[i].length;
        memo = memo || m_fields[i].type == pxfMemoBLOb || m_fields[i].type == pxfFmtMemoBLOb;
    }
    const QByteArray path = QFile::encodeName(dbPath);
    const int type = keyFields > 0 ? pxfFileTypIndexDB : pxfFileTypNonIndexDB;
    if (expectedRecords > 0) {
        // Room for every record in blocks that are at worst half full, and the header.
        m_buffer.fill('\0', expectedRecords * m_recordSize * 2 + 64 * 1024 * 4);
        m_memory = fmemopen(m_buffer.data(), static_cast<std::size_t>(m_buffer.size()), "w+");
        if (!m_memory ||
            PX_create_fp(m_doc, pxf, static_cast<int>(m_fields.size()), m_memory, type) < 0)
            throw std::runtime_error("PX_create_fp failed");
        PX_set_parameter(m_doc, "tablename", QFileInfo(dbPath).fileName().toLatin1().constData());
    } else if (PX_create_file(m_doc, pxf, static_cast<int>(m_fields.size()), path.constData(),
                              type) < 0) {
        throw std::runtime_error("PX_create_file failed");
    }
    if (keyFields > 0)
        PX_set_value(m_doc, "numprimkeys", static_cast<float>(keyFields));
    m_doc->px_head->px_doscodepage = codePage;
    if (memo) {
        m_memoPath = dbPath;
        m_memoPath.replace(m_memoPath.size() - 3, 3, QStringLiteral(".mb"));
        if (PX_set_blob_file(m_doc, QFile::encodeName(m_memoPath).constData()) < 0)
            throw std::runtime_error("PX_set_blob_file failed");
    }
}

OldTableWriter::~OldTableWriter() {
    close();
}

QByteArray OldTableWriter::encode(const QString& text) const {
    const QByteArray utf8 = text.toUtf8();
    const QByteArray codePage = "CP" + QByteArray::number(m_codePage ? m_codePage : 1252);
    iconv_t cd = iconv_open(codePage.constData(), "UTF-8");
    QByteArray out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = static_cast<size_t>(utf8.size());
    char* to = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    const size_t r = iconv(cd, &in, &inLeft, &to, &outLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1))
        throw std::runtime_error("text not in the code page");
    out.truncate(out.size() - static_cast<qsizetype>(outLeft));
    return out;
}

void OldTableWriter::append(const QVariantList& values) {
    std::vector<char> record(static_cast<std::size_t>(m_recordSize), '\0');
    int offset = 0;
    for (int i = 0; i < m_fields.size(); ++i) {
        const OldField& f = m_fields[i];
        char* at = record.data() + offset;
        offset += f.length;
        const QVariant v = i < values.size() ? values[i] : QVariant();
        if (v.isNull())
            continue; // all zero bytes: blank
        if (v.typeId() == QMetaType::QByteArray) {
            const QByteArray raw = v.toByteArray();
            std::memcpy(at, raw.constData(), std::min<std::size_t>(raw.size(), f.length));
            continue;
        }
        switch (f.type) {
        case pxfAlpha: {
            QByteArray bytes = encode(v.toString());
            PX_put_data_alpha(m_doc, at, f.length, bytes.data());
            break;
        }
        case pxfMemoBLOb:
        case pxfFmtMemoBLOb: {
            QByteArray bytes = encode(v.toString());
            if (PX_put_data_blob(m_doc, at, f.length, bytes.data(),
                                 static_cast<int>(bytes.size())) < 0)
                throw std::runtime_error("PX_put_data_blob failed");
            break;
        }
        case pxfNumber:
        case pxfCurrency:
            PX_put_data_double(m_doc, at, f.length, v.toDouble());
            break;
        case pxfShort:
            PX_put_data_short(m_doc, at, f.length, static_cast<short>(v.toInt()));
            break;
        case pxfLong:
        case pxfAutoInc:
            PX_put_data_long(m_doc, at, f.length, v.toInt());
            break;
        case pxfLogical:
            PX_put_data_byte(m_doc, at, f.length, v.toBool() ? 1 : 0);
            break;
        case pxfDate:
            PX_put_data_long(m_doc, at, f.length, static_cast<int>(sdnDays(v.toDate())));
            break;
        case pxfTime:
            PX_put_data_long(m_doc, at, f.length, v.toTime().msecsSinceStartOfDay());
            break;
        case pxfTimestamp: {
            const QDateTime dt = v.toDateTime();
            pxval_t* ts =
                PX_make_timestamp(m_doc, dt.date().year(), dt.date().month(), dt.date().day(),
                                  dt.time().hour(), dt.time().minute(), dt.time().second());
            PX_put_data_double(m_doc, at, f.length, ts->value.dval);
            FREE_PXVAL(m_doc, ts);
            break;
        }
        case pxfBCD: {
            QByteArray text = v.toString().toLatin1();
            PX_put_data_bcd(m_doc, at, f.decimals, text.data());
            break;
        }
        default:
            throw std::runtime_error("field type not written here");
        }
    }
    if (PX_put_record(m_doc, record.data()) < 0)
        throw std::runtime_error("PX_put_record failed");
}

void OldTableWriter::close() {
    if (!m_doc)
        return;
    qint64 size = 0;
    if (m_memory)
        size = static_cast<qint64>(m_doc->px_head->px_headersize) +
               static_cast<qint64>(m_doc->px_head->px_fileblocks) *
                   m_doc->px_head->px_maxtablesize * 1024;
    PX_close(m_doc);
    PX_delete(m_doc);
    m_doc = nullptr;
    if (m_memory) {
        std::fflush(m_memory);
        QFile out(m_dbPath);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(m_buffer.constData(), size) != size)
            throw std::runtime_error("the table cannot be written");
        out.close();
        std::fclose(m_memory);
        m_memory = nullptr;
        m_buffer.clear();
    }
    if (!m_memoPath.isEmpty()) {
        QFile mb(m_memoPath);
        const qint64 memoSize = mb.size();
        if (memoSize % 4096 != 0)
            mb.resize(memoSize + (4096 - memoSize % 4096));
    }
}

QList<OldField> OldTableWriter::fieldsOf(int tableIndex) {
    const TableDef& def = tableDef(static_cast<TableId>(tableIndex));
    QList<OldField> fields;
    for (const ColumnDef& c : def.columns) {
        OldField f;
        f.name = c.name;
        switch (c.type) {
        case ColumnType::Alpha:
            f.type = pxfAlpha;
            f.length = c.size;
            break;
        case ColumnType::Number:
            f.type = pxfNumber;
            break;
        case ColumnType::Logical:
            f.type = pxfLogical;
            break;
        case ColumnType::Date:
            f.type = pxfDate;
            break;
        case ColumnType::Time:
            f.type = pxfTime;
            break;
        case ColumnType::Memo:
            f.type = pxfMemoBLOb;
            f.length = c.size + 10;
            break;
        }
        // The former program kept the flow table's pump identifier to 30 characters.
        if (def.id == TableId::Flow && f.name == "PumpID")
            f.length = 30;
        fields << f;
    }
    return fields;
}

} // namespace nerova::testing

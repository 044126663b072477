#include "olddata/CodePageText.h"

#include <iconv.h>

namespace nerova {

CodePageText::CodePageText(int codePage) : m_codePage(codePage > 0 ? codePage : 1252) {
    const QByteArray name = "CP" + QByteArray::number(m_codePage);
    iconv_t cd = iconv_open("UTF-8", name.constData());
    if (cd != reinterpret_cast<iconv_t>(-1))
        m_cd = cd;
}

CodePageText::~CodePageText() {
    if (m_cd)
        iconv_close(static_cast<iconv_t>(m_cd));
}

std::optional<QString> CodePageText::decode(const QByteArray& bytes) {
    bool ascii = true;
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return QString::fromLatin1(bytes);
    if (!m_cd)
        return std::nullopt;
    auto cd = static_cast<iconv_t>(m_cd);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QByteArray out(bytes.size() * 4, '\0');
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* to = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    if (iconv(cd, &in, &inLeft, &to, &outLeft) == static_cast<size_t>(-1))
        return std::nullopt;
    out.truncate(out.size() - static_cast<qsizetype>(outLeft));
    return QString::fromUtf8(out);
}

} // namespace nerova

#include "data/CaseFold.h"

#include "data/EngineError.h"

#include <QChar>
#include <QString>
#include <sqlite3.h>

namespace nerova {

namespace {

// Decodes the UTF-8 character at s[i] and advances i. A malformed byte stands for itself,
// moved beyond the Unicode range so it never equals a real character.
char32_t nextChar(const unsigned char* s, int n, int& i) {
    const unsigned char c = s[i];
    if (c < 0x80) {
        ++i;
        return c;
    }
    int extra = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        cp = c & 0x07;
    } else {
        ++i;
        return 0x110000u + c;
    }
    if (i + extra >= n) { // cut short at the end of the text
        ++i;
        return 0x110000u + c;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char cc = s[i + k];
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return 0x110000u + c;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += extra + 1;
    return cp;
}

char32_t fold(char32_t c) {
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    return c > 0x10FFFF ? c : QChar::toCaseFolded(c);
}

int collate(void*, int lengthA, const void* a, int lengthB, const void* b) {
    return compareCaseFolded(static_cast<const char*>(a), lengthA, static_cast<const char*>(b),
                             lengthB);
}

} // namespace

int compareCaseFolded(const char* a, int lengthA, const char* b, int lengthB) {
    const auto* sa = reinterpret_cast<const unsigned char*>(a);
    const auto* sb = reinterpret_cast<const unsigned char*>(b);
    int i = 0;
    int j = 0;
    while (i < lengthA && j < lengthB) {
        const char32_t ca = fold(nextChar(sa, lengthA, i));
        const char32_t cb = fold(nextChar(sb, lengthB, j));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i < lengthA)
        return 1;
    return j < lengthB ? -1 : 0;
}

void registerCaseFold(sqlite3* db) {
    if (sqlite3_create_collation_v2(db, kCaseFoldCollation, SQLITE_UTF8, nullptr, collate,
                                    nullptr) != SQLITE_OK)
        throw EngineError(QStringLiteral("Cannot register the letter-case comparison: %1")
                              .arg(QString::fromUtf8(sqlite3_errmsg(db))));
}

} // namespace nerova

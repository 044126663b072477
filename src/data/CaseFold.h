#pragma once

struct sqlite3;

namespace nerova {

// SQLite's NOCASE folds only A to Z, so "Ärger GmbH" and "ärger gmbh" would count as two
// different names. Every comparison of ours that ignores letter case uses this collation
// instead: both texts are folded character by character as QChar::toCaseFolded does, the
// same folding as QString::compare with Qt::CaseInsensitive. It is registered on the
// connection and named only in our queries, never in a table file, so the files stay
// readable by any sqlite3 tool.
inline constexpr const char* kCaseFoldCollation = "CASEFOLD";

void registerCaseFold(sqlite3* db);

// The collation's order: negative, zero or positive, like memcmp. Exposed for tests.
int compareCaseFolded(const char* a, int lengthA, const char* b, int lengthB);

} // namespace nerova

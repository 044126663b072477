#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace nerova {

// Turns the single-byte text of an old table into Unicode, from the code page its header
// names (1252, the former program's own, when the header names none). Plain ASCII, which is
// most of any table, takes a short way.
class CodePageText {
public:
    explicit CodePageText(int codePage);
    ~CodePageText();
    CodePageText(const CodePageText&) = delete;
    CodePageText& operator=(const CodePageText&) = delete;

    bool known() const { return m_cd != nullptr; }
    int codePage() const { return m_codePage; }
    // nullopt when the bytes are not text of that code page.
    std::optional<QString> decode(const QByteArray& bytes);

private:
    int m_codePage;
    void* m_cd = nullptr;
};

} // namespace nerova

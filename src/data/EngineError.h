#pragma once

#include <QString>
#include <stdexcept>

namespace nerova {

// The one error type of the table engine and of file input/output. Its text is written for
// the user; the event loop's general handler shows it in an error box.
class EngineError : public std::runtime_error {
public:
    enum class Code {
        General,
        KeyViolation,
        RequiredField,
        Busy,
        ReadOnly,
        DiskFull,
        Io,
        Damaged,
        Missing,
        State,
        Conflict // the row was changed or deleted by another program since it was read
    };

    explicit EngineError(const QString& text, Code code = Code::General)
        : std::runtime_error(text.toStdString()), m_text(text), m_code(code) {}
    const QString& text() const { return m_text; }
    Code code() const { return m_code; }

private:
    QString m_text;
    Code m_code;
};

} // namespace nerova

#pragma once

#include <QString>
#include <utility>

namespace nerova {

// The outcome of an operation that answers failure instead of throwing (archiving, placing
// restored files): success, or failure with the text the user is shown. Tested like the
// bool it stands for.
class Result {
public:
    Result() = default; // success
    static Result failure(QString text) {
        Result r;
        r.m_ok = false;
        r.m_error = std::move(text);
        return r;
    }

    bool ok() const { return m_ok; }
    operator bool() const { return m_ok; } // NOLINT: tested as the bool it replaces
    const QString& error() const { return m_error; }

private:
    bool m_ok = true;
    QString m_error;
};

} // namespace nerova

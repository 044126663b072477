#pragma once

#include "data/PgConnection.h"
#include "data/Statement.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

namespace nerova {

// A value as the text PostgreSQL reads for a parameter or a COPY field.
QByteArray pgParameterText(const QVariant& v);

// A statement of the office server, prepared on the connection the first time it runs (and
// again after the connection was made anew). A streamed one hands its rows over one at a
// time as they arrive; nothing else may run on the connection until it has stepped to its
// end or been reset.
std::shared_ptr<Statement> makePgStatement(std::shared_ptr<PgConnection> conn, const QString& sql,
                                           bool streamed = false);

// Runs statements of makePgStatement (none streamed) in one round trip; see
// Backend::runTogether.
void runPgStatementsTogether(const std::vector<Statement*>& statements);

} // namespace nerova

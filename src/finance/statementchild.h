#pragma once

#include "finance/statementreader.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <optional>

namespace zorv {

// Reading a statement in a child process (the program zorv-statement-reader), so that a
// "Cancelar" ends the reading at once by ending the child, and the library's own temporary
// copy of the statement lands in a private folder rather than in the shared temporary
// folder: the child's $TMPDIR is a folder of its own inside the owner-only work folder,
// removed when the child has ended.

// The reading program: beside the running program, or among its companions when installed.
QString statementReaderProgram();

// Reads `path` with `program`; stops the child and returns an error once `cancelled` is set.
StatementReadResult readStatementInChild(const QString &program, const QString &path,
                                         const std::atomic_bool &cancelled);

// What the child writes for its parent, and the parent's reading of it; nothing when the
// bytes are not a whole result.
QByteArray encodeStatementResult(const StatementReadResult &result);
std::optional<StatementReadResult> decodeStatementResult(const QByteArray &bytes);

} // namespace zorv

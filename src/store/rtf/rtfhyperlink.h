#pragma once

#include <QString>

namespace zorv::rtf {

// The href of a HYPERLINK field instruction ("#name" for a bookmark, "\l"), or an empty
// text for other fields.
QString hyperlinkTarget(const QString &instruction);

} // namespace zorv::rtf

#pragma once

#include <QStringList>

#include <functional>

class QEvent;

namespace zorv {

// Takes a drag of local files (its enter, move or drop event) for `handler`: the files are
// linked where the source offers that, else copied, never moved, so the file manager never
// deletes its file after the drop; on the drop itself `handler` gets their native paths in
// the order given. False for drags that carry no local file (text between fields), which
// stay the controls' own.
bool takeFileDrop(QEvent *event, const std::function<void(const QStringList &)> &handler);

} // namespace zorv

#include "filedrop.h"

#include "guarded.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace zorv {

namespace {

QStringList localFiles(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile())
            paths << QDir::toNativeSeparators(url.toLocalFile());
    }
    return paths;
}

Qt::DropAction linkOrCopy(Qt::DropActions possible)
{
    if (possible & Qt::LinkAction)
        return Qt::LinkAction;
    if (possible & Qt::CopyAction)
        return Qt::CopyAction;
    return Qt::IgnoreAction;
}

} // namespace

bool takeFileDrop(QEvent *event, const std::function<void(const QStringList &)> &handler)
{
    auto *drop = static_cast<QDropEvent *>(event); // the enter and move events are drops too
    const QStringList files = localFiles(drop->mimeData());
    if (files.isEmpty())
        return false;
    const Qt::DropAction action = linkOrCopy(drop->possibleActions());
    if (action == Qt::IgnoreAction) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(action);
    drop->accept();
    if (event->type() == QEvent::Drop && handler)
        guarded([&] { handler(files); });
    return true;
}

} // namespace zorv

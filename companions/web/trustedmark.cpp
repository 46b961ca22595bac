// The desktop's own headers come first: they use names that Qt's headers define as macros.
#ifdef ZORV_HAVE_GIO
#include <gio/gio.h>
#endif

#include "trustedmark.h"

#include <QFile>

namespace zorv {

bool hasDesktopTrustMark(const QString &file)
{
#ifdef ZORV_HAVE_GIO
    GFile *gfile = g_file_new_for_path(QFile::encodeName(file).constData());
    GFileInfo *info = g_file_query_info(gfile, "metadata::trusted", G_FILE_QUERY_INFO_NONE, nullptr, nullptr);
    bool trusted = false;
    if (info) {
        const char *value = g_file_info_get_attribute_string(info, "metadata::trusted");
        trusted = value && (g_strcmp0(value, "true") == 0 || g_strcmp0(value, "yes") == 0);
        g_object_unref(info);
    }
    g_object_unref(gfile);
    return trusted;
#else
    Q_UNUSED(file);
    return false;
#endif
}

} // namespace zorv

#pragma once

#include <QLoggingCategory>

// One logging category per area. A failure the user sees (a write, a read, a backup, a
// restore, an import or a launch that did not happen) also leaves one warning here, naming the
// file and the reason, never the content of the user's data. Messages go through Qt's default
// handler to standard error or the journal; QT_LOGGING_RULES turns categories on or off.
Q_DECLARE_LOGGING_CATEGORY(lcStore)
Q_DECLARE_LOGGING_CATEGORY(lcBackup)
Q_DECLARE_LOGGING_CATEGORY(lcImport)
Q_DECLARE_LOGGING_CATEGORY(lcLauncher)
Q_DECLARE_LOGGING_CATEGORY(lcFinance)
Q_DECLARE_LOGGING_CATEGORY(lcReports)
Q_DECLARE_LOGGING_CATEGORY(lcOrganizer)
Q_DECLARE_LOGGING_CATEGORY(lcMedia)
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
Q_DECLARE_LOGGING_CATEGORY(lcApp)

#include "logging.h"

Q_LOGGING_CATEGORY(lcStore, "zorv.store")
Q_LOGGING_CATEGORY(lcBackup, "zorv.backup")
Q_LOGGING_CATEGORY(lcImport, "zorv.import")
Q_LOGGING_CATEGORY(lcLauncher, "zorv.launcher")
Q_LOGGING_CATEGORY(lcFinance, "zorv.finance")
Q_LOGGING_CATEGORY(lcReports, "zorv.reports")
Q_LOGGING_CATEGORY(lcOrganizer, "zorv.organizer")
Q_LOGGING_CATEGORY(lcMedia, "zorv.media")
Q_LOGGING_CATEGORY(lcSettings, "zorv.settings")
Q_LOGGING_CATEGORY(lcApp, "zorv.app")

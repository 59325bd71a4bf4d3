#pragma once

#include <QLoggingCategory>

// Failures of background work of the document service (autosave, autosave load).
Q_DECLARE_LOGGING_CATEGORY(lcService)

#pragma once

#include <QLoggingCategory>

// Launches handed to the running instance.
Q_DECLARE_LOGGING_CATEGORY(lcLaunch)

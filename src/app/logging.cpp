#include "logging.h"

Q_LOGGING_CATEGORY(lcLaunch, "Brivel.launch", QtWarningMsg)

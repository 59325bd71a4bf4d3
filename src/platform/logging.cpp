#include "logging.h"

Q_LOGGING_CATEGORY(lcPlatform, "brivel.platform", QtWarningMsg)

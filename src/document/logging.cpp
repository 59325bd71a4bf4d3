#include "logging.h"

Q_LOGGING_CATEGORY(lcService, "BrivelService", QtWarningMsg)

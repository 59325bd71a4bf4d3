#pragma once

#include <functional>

// The whole life of the process: hands the launch to a running Brivel, or becomes it and runs
// until quit. The hook runs once the application object exists (the start-up benchmark uses it).
int brivelMain(int argc, char *argv[], const std::function<void()> &onApplicationCreated = {});

#include "fontwarmup.h"

#include <fontconfig/fontconfig.h>

#include <thread>

namespace FontWarmUp {
namespace {

std::thread &reader()
{
    static std::thread thread;
    return thread;
}

} // namespace

void start()
{
    if (!reader().joinable())
        reader() = std::thread([] { FcInit(); });
}

void finish()
{
    // Qt reads the configuration anew if it asks before this reading is done: wait for it.
    if (reader().joinable())
        reader().join();
}

} // namespace FontWarmUp

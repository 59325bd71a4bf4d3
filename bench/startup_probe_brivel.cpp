// Brivel's start-up exactly as the brivel executable runs it, reporting its first frame.

#include "startupprobe.h"

#include "app/brivelmain.h"

int main(int argc, char *argv[])
{
    return brivelMain(argc, argv, StartupProbe::install);
}

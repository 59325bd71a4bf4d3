#include "app/brivelmain.h"

int main(int argc, char *argv[])
{
    return brivelMain(argc, argv);
}

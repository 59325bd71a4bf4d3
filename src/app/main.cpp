#include "app/shell/brivelmain.h"

int main(int argc, char *argv[])
{
    return brivelMain(argc, argv);
}

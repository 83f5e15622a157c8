#include "startup/uStartup.h"

int main(int argc, char **argv)
{
    return RunKelmo4(argc, argv);
}

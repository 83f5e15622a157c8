// The real start-up of ケルモ４ (the same code as the program), ended as soon as the main
// window has painted; prints the moment on stdout. Started by kelmo4-bench.
#include "startup/uStartup.h"
#include "common/QuitWhenShown.h"

#include <QCoreApplication>

namespace {
void InstallWatch() { QuitWhenMainWindowShown(); }
} // namespace
Q_COREAPP_STARTUP_FUNCTION(InstallWatch)

int main(int argc, char **argv)
{
    return RunKelmo4(argc, argv);
}

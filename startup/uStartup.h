#pragma once

// Starts the desktop program: working folder, windows, defaults, then the event loop.
int RunKelmo4(int argc, char **argv);

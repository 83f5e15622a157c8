#pragma once

// For the start-up benchmark: once the first main window has painted, prints the monotonic
// clock in seconds on stdout and ends the event loop. Call before the application object
// exists (from a Q_COREAPP_STARTUP_FUNCTION) or right after.
void QuitWhenMainWindowShown();

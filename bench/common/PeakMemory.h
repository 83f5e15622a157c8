#pragma once

#include <cstdio>

// The high-water mark of this process's own memory (VmHWM), in KiB. ru_maxrss would also
// count the parent's when the process was started by vfork and exec, as posix_spawn does.
inline long PeakKiB()
{
    std::FILE *status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1)
            break;
    }
    std::fclose(status);
    return kib;
}

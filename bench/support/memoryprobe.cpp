// Reading the resident set from /proc/self/status, resetting its peak through clear_refs.
#include "memoryprobe.h"

#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <sys/resource.h>

namespace {

// A "VmRSS:    1234 kB" line of /proc/self/status, in megabytes; -1 when missing.
double statusMB(const char *key) {
    FILE *status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return -1;
    char line[256];
    double result = -1;
    const std::size_t keyLength = std::strlen(key);
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, key, keyLength) == 0 && line[keyLength] == ':') {
            long kilobytes = 0;
            if (std::sscanf(line + keyLength + 1, "%ld", &kilobytes) == 1)
                result = static_cast<double>(kilobytes) / 1024.0;
            break;
        }
    }
    std::fclose(status);
    return result;
}

bool resetPeak() {
    FILE *refs = std::fopen("/proc/self/clear_refs", "w");
    if (refs == nullptr)
        return false;
    const bool written = std::fputs("5", refs) >= 0;
    return std::fclose(refs) == 0 && written;
}

double lifetimePeakMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

} // namespace

MemoryProbe::MemoryProbe() {
    malloc_trim(0);
    startMB_ = residentMB();
    peakReset_ = resetPeak();
}

double MemoryProbe::residentMB() {
    return statusMB("VmRSS");
}

double MemoryProbe::peakMB() const {
    // Without a resettable peak the lifetime peak is the best bound there is.
    const double peak = peakReset_ ? statusMB("VmHWM") : lifetimePeakMB();
    return peak > residentMB() ? peak : residentMB();
}

double MemoryProbe::peakAboveStartMB() const {
    const double above = peakMB() - startMB_;
    return above > 0 ? above : 0;
}

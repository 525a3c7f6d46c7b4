// Peak memory of one benchmark: the resident set at the start, the peak reset there, and the
// highest resident set reached since (VmHWM, which /proc/self/clear_refs resets).
#pragma once

class MemoryProbe {
public:
    // Hands freed heap back to the system first, so that the start is not flattered by
    // memory an earlier benchmark left behind.
    MemoryProbe();
    // Megabytes above the start at the highest point since construction.
    double peakAboveStartMB() const;
    // Megabytes of the whole process: now, and at its highest since construction.
    static double residentMB();
    double peakMB() const;
    double startMB() const { return startMB_; }

private:
    double startMB_;
    bool peakReset_;
};

#pragma once

#include <QString>

// What the benchmarks read of their own process and of the machine, from /proc.
namespace ProcessFigures {

// Resident set of this process in MB.
double residentMegabytes();
// The three load averages, "1.02 0.87 0.90"; "?" where /proc cannot be read. Printed beside
// every figure: this machine is shared.
QString loadAverage();
// Quits the application once standard input closes: how a child that plays the peers learns
// that its parent, the measured process, ended.
void quitWhenInputCloses();

} // namespace ProcessFigures

// The results of a benchmark program as rows of a table: each operation's Quillmart time
// beside its raw-SQLite time, written to a file that bench/run gathers into one table.
#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

// Benchmarks are named "<operation>/quillmart" and "<operation>/raw".
struct BenchResult {
    std::string name;
    double seconds = 0; // real time per iteration (the median when repeated)
    std::string error;
    std::map<std::string, double> counters;
};

// Shows the usual console output and keeps each result (the median of repetitions).
class TableReporter : public benchmark::ConsoleReporter {
public:
    explicit TableReporter(bool colour) : ConsoleReporter(colour ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run> &runs) override;
    const std::vector<BenchResult> &results() const { return results_; }
    // One line per result: name, seconds, error, then key=value counters, tab-separated.
    bool write(const std::string &path) const;

private:
    std::vector<BenchResult> results_;
};

// Reads the files that TableReporter wrote and prints one Markdown table of operations.
// rawHeading names the baseline's column ("raw SQLite", "raw libpq").
bool printTable(const std::vector<std::string> &paths, const std::string &rawHeading);

// Collecting results, writing them as tab-separated lines, and printing the operations table.
#include "tablereporter.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

const std::string kQuillmart = "/quillmart";
const std::string kRaw = "/raw";

bool endsWith(const std::string &text, const std::string &end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string format(const char *pattern, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

// Three significant digits in a unit that suits: 1.23 s, 245 ms, 12.3 ms, 0.41 ms, 35 µs.
std::string duration(double seconds) {
    const double ms = seconds * 1000;
    if (seconds >= 1)
        return format("%.2f s", seconds);
    if (ms >= 100)
        return format("%.0f ms", ms);
    if (ms >= 10)
        return format("%.1f ms", ms);
    if (ms >= 0.1)
        return format("%.2f ms", ms);
    return format("%.0f µs", ms * 1000);
}

std::string megabytes(double mb) {
    return mb >= 10 ? format("%.0f MB", mb) : format("%.1f MB", mb);
}

struct Row {
    std::string operation;
    const BenchResult *quillmart = nullptr;
    const BenchResult *raw = nullptr;
};

std::string notes(const Row &row) {
    std::vector<std::string> parts;
    if (row.quillmart == nullptr)
        return "";
    const auto &c = row.quillmart->counters;
    auto has = [&c](const char *key) { return c.count(key) != 0; };
    if (has("rows"))
        parts.push_back(format("%.0f rows", c.at("rows")));
    if (has("B_per_row"))
        parts.push_back(format("%.0f B/row", c.at("B_per_row")));
    if (has("screenful_ms"))
        parts.push_back("first screenful at " + duration(c.at("screenful_ms") / 1000));
    if (has("paint_ms"))
        parts.push_back("painted in " + duration(c.at("paint_ms") / 1000));
    // A figure of both sides: "commits per sale: 1 (raw 1)".
    auto withRaw = [&row](const char *key, const char *pattern, const std::string &unit) {
        std::string text = format(pattern, row.quillmart->counters.at(key)) + unit;
        if (row.raw && row.raw->counters.count(key))
            text += " (raw " + format(pattern, row.raw->counters.at(key)) + ")";
        return text;
    };
    if (has("commits"))
        parts.push_back("commits per sale: " + withRaw("commits", "%.2g", ""));
    if (has("sales_per_s"))
        parts.push_back(withRaw("sales_per_s", "%.0f", " sales/s"));
    if (has("syncs") && c.at("syncs") > 0) {
        std::string syncs = format("%.2g disk syncs", c.at("syncs"));
        if (row.raw && row.raw->counters.count("syncs"))
            syncs += format(" (raw %.2g)", row.raw->counters.at("syncs"));
        parts.push_back(syncs);
        // A durable commit waits for the disk, whose speed varies; the processor time is
        // what the program itself spends.
        if (has("cpu_s") && row.raw && row.raw->counters.count("cpu_s"))
            parts.push_back("CPU " + duration(c.at("cpu_s")) + " (raw " +
                            duration(row.raw->counters.at("cpu_s")) + ")");
    }
    if (has("shop_MB") && has("backup_MB"))
        parts.push_back("shop " + megabytes(c.at("shop_MB")) + ", backup " +
                        megabytes(c.at("backup_MB")) +
                        format(" (%.1f%% of it)", 100 * c.at("backup_MB") / c.at("shop_MB")));
    if (has("history_MB"))
        parts.push_back("a year's history (at most 21 backups) " + megabytes(c.at("history_MB")));
    if (has("runs"))
        parts.push_back(format("median of %.0f runs", c.at("runs")));
    if (has("close_backup_s"))
        parts.push_back("with the day's first backup at close: " +
                        duration(c.at("close_backup_s")));
    if (has("process_MB"))
        parts.push_back("whole process " + megabytes(c.at("process_MB")));
    if (has("recordsets_MB"))
        parts.push_back("record sets " + megabytes(c.at("recordsets_MB")));
    if (has("sqlite_MB"))
        parts.push_back("SQLite " + megabytes(c.at("sqlite_MB")));
    std::string joined;
    for (const std::string &part : parts)
        joined += (joined.empty() ? "" : "; ") + part;
    return joined;
}

std::vector<BenchResult> readResults(const std::string &path, bool &ok) {
    std::vector<BenchResult> results;
    std::ifstream in(path);
    if (!in) {
        ok = false;
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return results;
    }
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        BenchResult result;
        std::string seconds, counter;
        std::getline(fields, result.name, '\t');
        std::getline(fields, seconds, '\t');
        std::getline(fields, result.error, '\t');
        result.seconds = std::strtod(seconds.c_str(), nullptr);
        while (std::getline(fields, counter, '\t')) {
            const auto equals = counter.find('=');
            if (equals != std::string::npos)
                result.counters[counter.substr(0, equals)] =
                    std::strtod(counter.c_str() + equals + 1, nullptr);
        }
        if (!result.name.empty())
            results.push_back(result);
    }
    return results;
}

} // namespace

void TableReporter::ReportRuns(const std::vector<Run> &runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
        const bool repeated = run.repetitions > 1;
        if (repeated && !(run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") &&
            !run.error_occurred)
            continue;
        BenchResult result;
        result.name = run.run_name.function_name;
        result.seconds =
            run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        result.error = run.error_occurred ? run.error_message : "";
        for (const auto &counter : run.counters)
            result.counters[counter.first] = counter.second.value;
        result.counters["cpu_s"] =
            run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        auto same = [&result](const BenchResult &r) { return r.name == result.name; };
        auto found = std::find_if(results_.begin(), results_.end(), same);
        if (found == results_.end())
            results_.push_back(result);
        else if (run.run_type == Run::RT_Aggregate || !result.error.empty())
            *found = result;
    }
}

bool TableReporter::write(const std::string &path) const {
    std::ofstream out(path);
    for (const BenchResult &result : results_) {
        std::string error = result.error;
        std::replace(error.begin(), error.end(), '\t', ' ');
        std::replace(error.begin(), error.end(), '\n', ' ');
        out << result.name << '\t' << format("%.9g", result.seconds) << '\t' << error;
        for (const auto &counter : result.counters)
            out << '\t' << counter.first << '=' << format("%.9g", counter.second);
        out << '\n';
    }
    return static_cast<bool>(out);
}

bool printTable(const std::vector<std::string> &paths, const std::string &rawHeading) {
    bool ok = true;
    std::vector<BenchResult> all;
    for (const std::string &path : paths) {
        std::vector<BenchResult> results = readResults(path, ok);
        all.insert(all.end(), results.begin(), results.end());
    }
    std::vector<Row> rows;
    for (const BenchResult &result : all) {
        const bool isQuillmart = endsWith(result.name, kQuillmart);
        const bool isRaw = endsWith(result.name, kRaw);
        const std::string operation =
            isQuillmart ? result.name.substr(0, result.name.size() - kQuillmart.size())
            : isRaw     ? result.name.substr(0, result.name.size() - kRaw.size())
                        : result.name;
        auto it = std::find_if(rows.begin(), rows.end(),
                               [&operation](const Row &row) { return row.operation == operation; });
        if (it == rows.end())
            it = rows.insert(rows.end(), Row{operation});
        (isRaw ? it->raw : it->quillmart) = &result;
    }
    std::vector<std::vector<std::string>> cells = {
        {"Operation", "Quillmart", rawHeading, "ratio", "peak memory", "notes"}};
    for (const Row &row : rows) {
        auto time = [](const BenchResult *r) {
            return r == nullptr        ? "-"
                   : !r->error.empty() ? "failed: " + r->error
                                       : duration(r->seconds);
        };
        // No ratio where the raw side has nothing to read (a screen that loads no rows).
        const bool bothRan =
            row.quillmart && row.raw && row.quillmart->error.empty() && row.raw->error.empty() &&
            row.raw->seconds > 0 &&
            !(row.raw->counters.count("rows") && row.raw->counters.at("rows") == 0);
        const std::string ratio =
            bothRan ? format("%.2fx", row.quillmart->seconds / row.raw->seconds) : "-";
        const std::string peak = row.quillmart && row.quillmart->counters.count("peak_MB")
                                     ? megabytes(row.quillmart->counters.at("peak_MB"))
                                     : "-";
        cells.push_back(
            {row.operation, time(row.quillmart), time(row.raw), ratio, peak, notes(row)});
    }
    // Column widths in characters, not bytes (µs).
    auto width = [](const std::string &text) {
        return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xc0) != 0x80;
        }));
    };
    std::vector<std::size_t> widths(cells.front().size(), 0);
    for (const auto &line : cells)
        for (std::size_t i = 0; i < line.size(); ++i)
            widths[i] = std::max(widths[i], width(line[i]));
    auto printLine = [&](const std::vector<std::string> &line) {
        std::string text = "|";
        for (std::size_t i = 0; i < line.size(); ++i)
            text += " " + line[i] + std::string(widths[i] - width(line[i]), ' ') + " |";
        std::puts(text.c_str());
    };
    printLine(cells.front());
    std::string rule = "|";
    for (std::size_t w : widths)
        rule += std::string(w + 2, '-') + "|";
    std::puts(rule.c_str());
    for (std::size_t i = 1; i < cells.size(); ++i)
        printLine(cells[i]);
    for (const BenchResult &result : all)
        if (!result.error.empty()) {
            std::fprintf(stderr, "failed: %s: %s\n", result.name.c_str(), result.error.c_str());
            ok = false;
        }
    return ok;
}

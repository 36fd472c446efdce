// Batch files and the batch runner.

#include "Batch.h"

#include "CommandLine.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace korvane::cli {
namespace {

// The whole input, refusing a line or a file beyond their limits while
// reading, so an endless source such as /dev/zero ends the run quickly.
Result<std::string> readAll(const Reader& reader) {
    std::string text;
    std::size_t lineStart = 0;
    long long lines = 1;
    char buffer[65536];
    for (;;) {
        const std::size_t got = reader(buffer, sizeof buffer);
        if (got == 0)
            return text;
        const std::size_t from = text.size();
        text.append(buffer, got);
        for (std::size_t i = from; i < text.size(); ++i)
            if (text[i] == '\n') {
                lineStart = i + 1;
                ++lines;
            }
        if (text.size() - lineStart > MAX_LINE_BYTES)
            return Error{ErrorCode::InvalidData,
                         "line " + std::to_string(lines) + " of the batch is longer than 1 MiB"};
        if (text.size() > MAX_BATCH_BYTES)
            return Error{ErrorCode::InvalidData, "the batch is larger than 1 GiB"};
    }
}

struct Record {
    long long line = 0;
    std::vector<std::string> cells;
};

// RFC 4180 records: commas between cells, quotes around cells that hold
// commas, quotes or line ends, "" for a quote; CR LF or LF line ends.
Result<std::vector<Record>> csvRecords(const std::string& text) {
    std::vector<Record> records;
    Record current;
    std::string cell;
    long long line = 1;
    current.line = 1;
    bool quoted = false, wasQuoted = false;
    auto endRecord = [&] {
        current.cells.push_back(std::move(cell));
        cell.clear();
        const bool blank = current.cells.size() == 1 && current.cells[0].empty() && !wasQuoted;
        if (!blank)
            records.push_back(std::move(current));
        current = Record{};
        current.line = line;
        wasQuoted = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n')
                    ++line;
                cell += c;
            }
            continue;
        }
        if (c == '"' && cell.empty()) {
            quoted = wasQuoted = true;
        } else if (c == ',') {
            current.cells.push_back(std::move(cell));
            cell.clear();
        } else if (c == '\n') {
            ++line;
            if (!cell.empty() && cell.back() == '\r')
                cell.pop_back();
            endRecord();
        } else {
            cell += c;
        }
    }
    if (quoted)
        return Error{ErrorCode::InvalidData, "the CSV record of line " + std::to_string(current.line) +
                                                 " has a quote that never closes"};
    if (!cell.empty() || !current.cells.empty() || wasQuoted)
        endRecord();
    return records;
}

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.pop_back();
    std::size_t start = 0;
    while (start < s.size() && (s[start] == ' ' || s[start] == '\t'))
        ++start;
    return s.substr(start);
}

Result<std::vector<BatchRow>> csvRows(const std::string& text, const Settings& base) {
    Result<std::vector<Record>> records = csvRecords(text);
    if (!records)
        return records.error();
    if (records->empty())
        return std::vector<BatchRow>{};
    // The header: "data", "file" (or "output"), and option names with or without their dashes.
    const Record& header = records->front();
    int dataColumn = -1, fileColumn = -1;
    std::vector<std::string> columns;
    for (std::size_t i = 0; i < header.cells.size(); ++i) {
        std::string name = trimmed(header.cells[i]);
        while (!name.empty() && name[0] == '-')
            name.erase(0, 1);
        if (name == "data" && dataColumn < 0)
            dataColumn = static_cast<int>(i);
        else if ((name == "file" || name == "output") && fileColumn < 0)
            fileColumn = static_cast<int>(i);
        else if (!knownColumn(name))
            return invalidOption("the CSV column '" + name.substr(0, 40) +
                                 "' is not data, file or an option that shapes a symbol (korvane --help)");
        columns.push_back(name);
    }
    if (dataColumn < 0)
        return invalidOption("the CSV header row has no \"data\" column");
    const bool options = columns.size() > static_cast<std::size_t>(1 + (fileColumn >= 0 ? 1 : 0));

    std::vector<BatchRow> rows;
    for (std::size_t r = 1; r < records->size(); ++r) {
        Record& record = (*records)[r];
        BatchRow row;
        row.line = record.line;
        row.n = static_cast<long long>(rows.size()) + 1;
        if (record.cells.size() != header.cells.size()) {
            row.error = invalidOption("the record has " + std::to_string(record.cells.size()) +
                                      " cells; the header has " + std::to_string(header.cells.size()));
            rows.push_back(std::move(row));
            continue;
        }
        row.data = std::move(record.cells[static_cast<std::size_t>(dataColumn)]);
        if (fileColumn >= 0)
            row.file = std::move(record.cells[static_cast<std::size_t>(fileColumn)]);
        if (options) {
            auto own = std::make_shared<Settings>(base);
            for (std::size_t c = 0; c < columns.size() && !row.error; ++c) {
                if (static_cast<int>(c) == dataColumn || static_cast<int>(c) == fileColumn)
                    continue;
                const Status applied = applyColumn(*own, columns[c], record.cells[c]);
                if (!applied)
                    row.error = applied.error();
            }
            row.settings = std::move(own);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// Whether a relative name has a ".." component.
bool climbsOut(const std::string& name) {
    for (std::size_t at = 0; at <= name.size();) {
        std::size_t end = name.find('/', at);
        if (end == std::string::npos)
            end = name.size();
        if (name.compare(at, end - at, "..") == 0 && end - at == 2)
            return true;
        at = end + 1;
    }
    return false;
}

std::vector<BatchRow> lineRows(const std::string& text) {
    std::vector<BatchRow> rows;
    rows.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    long long line = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        ++line;
        std::size_t stop = end;
        if (stop > at && text[stop - 1] == '\r')
            --stop;
        if (stop > at) {
            BatchRow row;
            row.line = line;
            row.n = static_cast<long long>(rows.size()) + 1;
            row.data = text.substr(at, stop - at);
            rows.push_back(std::move(row));
        }
        at = end + 1;
    }
    return rows;
}

class Runner : public CommitGate {
public:
    Runner(std::size_t count, const RunOptions& options) : done_(count), options_(options) {}

    void run(const std::function<RowOutcome(std::size_t, CommitGate&)>& work) {
        auto worker = [&] {
            for (;;) {
                const std::size_t row = next_.fetch_add(1);
                if (row >= done_.size())
                    return;
                RowOutcome outcome;
                if (stopped_.load())
                    outcome.skipped = true;
                else
                    outcome = work(row, *this);
                finish(row, std::move(outcome));
            }
        };
        const std::size_t threads = std::min<std::size_t>(static_cast<std::size_t>(std::max(options_.jobs, 1)),
                                                          done_.size());
        std::vector<std::thread> pool;
        for (std::size_t t = 1; t < threads; ++t)
            pool.emplace_back(worker);
        worker();
        for (std::thread& t : pool)
            t.join();
    }

    bool commit(std::size_t row) override {
        if (!options_.failFast)
            return true;
        std::unique_lock<std::mutex> lock(mutex_);
        emitted_.wait(lock, [&] { return cursor_ >= row; });
        return !stopped_.load();
    }

private:
    void finish(std::size_t row, RowOutcome outcome) {
        std::lock_guard<std::mutex> lock(mutex_);
        done_[row] = std::move(outcome);
        bool advanced = false;
        while (cursor_ < done_.size() && done_[cursor_]) {
            const RowOutcome& o = *done_[cursor_];
            if ((options_.failFast && o.status != 0 && !o.skipped) || o.stopsBatch)
                stopped_.store(true);
            if (options_.emit)
                options_.emit(cursor_, o);
            done_[cursor_] = RowOutcome{};  // emitted: keep memory flat on long batches
            ++cursor_;
            advanced = true;
        }
        if (advanced)
            emitted_.notify_all();
    }

    std::vector<std::optional<RowOutcome>> done_;
    const RunOptions& options_;
    std::mutex mutex_;
    std::condition_variable emitted_;
    std::size_t cursor_ = 0;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> stopped_{false};
};

}  // namespace

Result<std::vector<BatchRow>> readBatch(const Reader& reader, bool csv, const Settings& base) {
    Result<std::string> text = readAll(reader);
    if (!text)
        return text.error();
    // Spreadsheets save "CSV UTF-8" and text files with a byte-order mark in
    // front; it is no part of the first value or column name.
    if (text->compare(0, 3, "\xEF\xBB\xBF") == 0)
        text->erase(0, 3);
    if (csv)
        return csvRows(*text, base);
    return lineRows(*text);
}

void nameOutputs(std::vector<BatchRow>& rows, const NameTemplate& names, bool allowPaths) {
    std::unordered_map<std::string, long long> taken;
    for (BatchRow& row : rows) {
        row.output = names.expand({row.n, row.line, row.data, 0});
        if (!row.file.empty()) {
            // {data} is made safe for a file name, so the last '/' of the
            // expansion ends the template's own folder.
            const std::size_t slash = row.output.find_last_of('/');
            const std::string folder = slash == std::string::npos ? "" : row.output.substr(0, slash + 1);
            if (row.file[0] == '/' && allowPaths) {
                row.output = row.file;
            } else {
                row.output = folder + row.file;
                if (!allowPaths) {
                    row.confinedTo = folder.empty() ? "." : folder.substr(0, folder.size() > 1 ? folder.size() - 1 : 1);
                    if (!row.error && (row.file[0] == '/' || climbsOut(row.file)))
                        row.error = invalidOption("the file cell \"" + row.file.substr(0, 200) +
                                                  "\" names a file outside the folder of -o (" + *row.confinedTo +
                                                  "); --allow-paths allows it");
                }
            }
        }
        if (row.error)
            continue;
        const auto [at, fresh] = taken.emplace(canonicalName(row.output), row.line);
        if (!fresh)
            row.error = Error{ErrorCode::WriteFailed, row.output.substr(0, 200) + " is written by line " +
                                                          std::to_string(at->second) + " already"};
    }
}

void runRows(std::size_t count, const RunOptions& options,
             const std::function<RowOutcome(std::size_t, CommitGate&)>& work) {
    if (count == 0)
        return;
    Runner runner(count, options);
    runner.run(work);
}

}  // namespace korvane::cli

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

struct Record {
    long long line = 0;
    std::vector<std::string> cells;
};

// RFC 4180 records: commas between cells, quotes around cells that hold
// commas, quotes or line ends, "" for a quote; CR LF or LF line ends. Fed a
// piece of the file at a time; a record may span pieces.
class CsvParser {
public:
    void feed(std::string_view text, std::vector<Record>& out) {
        for (const char c : text)
            take(c, out);
    }
    Status end(std::vector<Record>& out) {
        if (quoteSeen_) {  // a closing quote was the file's last character
            quoteSeen_ = false;
            quoted_ = false;
        }
        if (quoted_)
            return Error{ErrorCode::InvalidData, "the CSV record of line " + std::to_string(current_.line) +
                                                     " has a quote that never closes"};
        if (!cell_.empty() || !current_.cells.empty() || wasQuoted_)
            endRecord(out);
        return Done{};
    }

private:
    void take(char c, std::vector<Record>& out) {
        if (quoteSeen_) {
            quoteSeen_ = false;
            if (c == '"') {  // "" within quotes
                cell_ += '"';
                return;
            }
            quoted_ = false;  // the quote closed the cell; c is read outside it
        }
        if (quoted_) {
            if (c == '"') {
                quoteSeen_ = true;
            } else {
                if (c == '\n')
                    ++line_;
                cell_ += c;
            }
            return;
        }
        if (c == '"' && cell_.empty()) {
            quoted_ = wasQuoted_ = true;
        } else if (c == ',') {
            current_.cells.push_back(std::move(cell_));
            cell_.clear();
        } else if (c == '\n') {
            ++line_;
            if (!cell_.empty() && cell_.back() == '\r')
                cell_.pop_back();
            endRecord(out);
        } else {
            cell_ += c;
        }
    }
    void endRecord(std::vector<Record>& out) {
        current_.cells.push_back(std::move(cell_));
        cell_.clear();
        const bool blank = current_.cells.size() == 1 && current_.cells[0].empty() && !wasQuoted_;
        if (!blank)
            out.push_back(std::move(current_));
        current_ = Record{};
        current_.line = line_;
        wasQuoted_ = false;
    }

    Record current_{1, {}};
    std::string cell_;
    long long line_ = 1;
    bool quoted_ = false, wasQuoted_ = false, quoteSeen_ = false;
};

namespace {

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.pop_back();
    std::size_t start = 0;
    while (start < s.size() && (s[start] == ' ' || s[start] == '\t'))
        ++start;
    return s.substr(start);
}

}  // namespace

// The header: "data", "file" (or "output"), and option names with or without their dashes.
Status CsvColumns::read(const Record& header) {
    cells = header.cells.size();
    for (std::size_t i = 0; i < header.cells.size(); ++i) {
        std::string name = trimmed(header.cells[i]);
        while (!name.empty() && name[0] == '-')
            name.erase(0, 1);
        if (name == "data" && data < 0)
            data = static_cast<int>(i);
        else if ((name == "file" || name == "output") && file < 0)
            file = static_cast<int>(i);
        else if (!knownColumn(name))
            return invalidOption("the CSV column '" + name.substr(0, 40) +
                                 "' is not data, file or an option that shapes a symbol (korvane --help)");
        names.push_back(name);
    }
    if (data < 0)
        return invalidOption("the CSV header row has no \"data\" column");
    options = names.size() > static_cast<std::size_t>(1 + (file >= 0 ? 1 : 0));
    return Done{};
}

namespace {

BatchRow csvRow(Record& record, const CsvColumns& columns, const Settings& base) {
    BatchRow row;
    row.line = record.line;
    if (record.cells.size() != columns.cells) {
        row.error = invalidOption("the record has " + std::to_string(record.cells.size()) + " cells; the header has " +
                                  std::to_string(columns.cells));
        return row;
    }
    row.data = std::move(record.cells[static_cast<std::size_t>(columns.data)]);
    if (columns.file >= 0)
        row.file = std::move(record.cells[static_cast<std::size_t>(columns.file)]);
    if (columns.options) {
        auto own = std::make_shared<Settings>(base);
        for (std::size_t c = 0; c < columns.names.size() && !row.error; ++c) {
            if (static_cast<int>(c) == columns.data || static_cast<int>(c) == columns.file)
                continue;
            const Status applied = applyColumn(*own, columns.names[c], record.cells[c]);
            if (!applied)
                row.error = applied.error();
        }
        row.settings = std::move(own);
    }
    return row;
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

BatchStream::BatchStream(Reader reader, bool csv, const Settings& base, std::function<std::string()> readFailure)
    : reader_(std::move(reader)), readFailure_(std::move(readFailure)), csv_(csv), base_(base),
      parser_(std::make_unique<CsvParser>()) {}

BatchStream::~BatchStream() = default;

// Reads on until `most` rows are at hand or the input ends, refusing a line
// or an input beyond their limits while reading, so that an endless source
// such as /dev/zero ends the run quickly.
Status BatchStream::fill(std::size_t most) {
    char buffer[65536];
    while (!ended_ && ready_.size() - taken_ < most) {
        const std::size_t got = reader_(buffer, sizeof buffer);
        std::string_view piece(buffer, got);
        if (!bomChecked_) {
            // A byte-order mark, as spreadsheets save "CSV UTF-8", is no part
            // of the data; its three bytes may come in more than one piece.
            head_.append(piece);
            if (got > 0 && head_.size() < 3)
                continue;
            bomChecked_ = true;
            if (head_.compare(0, 3, "\xEF\xBB\xBF") == 0)
                head_.erase(0, 3);
            piece = head_;
        }
        if (Status read = take(piece); !read)
            return read;
        head_.clear();
        if (got == 0)
            return finish();
    }
    return Done{};
}

// One piece of the input: CSV records or lines, the limits checked.
Status BatchStream::take(std::string_view piece) {
    bytes_ += piece.size();
    if (bytes_ > MAX_BATCH_BYTES)
        return Error{ErrorCode::InvalidData, "the batch is larger than 1 GiB"};
    if (csv_) {
        std::vector<Record> records;
        parser_->feed(piece, records);
        take(records);
    }
    // Lines are counted here for CSV too, for the line-length limit.
    for (std::size_t at = 0; at < piece.size();) {
        const std::size_t end = piece.find('\n', at);
        if (end == std::string_view::npos) {
            if (!csv_)
                pending_.append(piece.substr(at));
            pendingBytes_ += piece.size() - at;
            break;
        }
        ++lines_;
        if (!csv_) {
            pending_.append(piece.substr(at, end - at));
            lineRow(pending_);
            pending_.clear();
        }
        pendingBytes_ = 0;
        at = end + 1;
    }
    if (pendingBytes_ > MAX_LINE_BYTES)
        return Error{ErrorCode::InvalidData, "line " + std::to_string(lines_ + 1) + " of the batch is longer than 1 MiB"};
    return Done{};
}

// The end of the input: the last record, or the last line without a line end.
Status BatchStream::finish() {
    ended_ = true;
    if (readFailure_)
        if (const std::string why = readFailure_(); !why.empty())
            return Error{ErrorCode::InvalidOption, why};
    if (csv_) {
        std::vector<Record> records;
        if (Status s = parser_->end(records); !s)
            return s;
        take(records);
    } else if (!pending_.empty()) {
        lineRow(pending_);
        pending_.clear();
    }
    return Done{};
}

void BatchStream::lineRow(const std::string& line) {
    std::size_t stop = line.size();
    if (stop > 0 && line[stop - 1] == '\r')
        --stop;
    if (stop == 0)
        return;
    BatchRow row;
    row.line = lines_ + (ended_ ? 1 : 0);
    row.n = ++rows_;
    row.data = line.substr(0, stop);
    ready_.push_back(std::move(row));
}

void BatchStream::take(std::vector<Record>& records) {
    for (Record& record : records) {
        if (!header_) {
            header_ = true;
            headerStatus_ = columns_.read(record);
            continue;
        }
        if (!headerStatus_)
            return;
        BatchRow row = csvRow(record, columns_, base_);
        row.n = ++rows_;
        ready_.push_back(std::move(row));
    }
}

Result<std::vector<BatchRow>> BatchStream::next(std::size_t most) {
    if (Status filled = fill(most); !filled)
        return filled.error();
    if (!headerStatus_)
        return headerStatus_.error();
    const std::size_t n = std::min(most, ready_.size() - taken_);
    std::vector<BatchRow> out(std::make_move_iterator(ready_.begin() + static_cast<std::ptrdiff_t>(taken_)),
                              std::make_move_iterator(ready_.begin() + static_cast<std::ptrdiff_t>(taken_ + n)));
    taken_ += n;
    if (taken_ == ready_.size()) {
        ready_.clear();
        taken_ = 0;
    }
    return out;
}

Result<long long> BatchStream::skipRest() {
    long long skipped = 0;
    for (;;) {
        Result<std::vector<BatchRow>> rows = next(4096);
        if (!rows)
            return rows.error();
        if (rows->empty())
            return skipped;
        skipped += static_cast<long long>(rows->size());
    }
}

Result<std::vector<BatchRow>> readBatch(const Reader& reader, bool csv, const Settings& base) {
    BatchStream stream(reader, csv, base);
    std::vector<BatchRow> rows;
    for (;;) {
        Result<std::vector<BatchRow>> more = stream.next(65536);
        if (!more)
            return more.error();
        if (more->empty())
            return rows;
        if (rows.empty())
            rows = std::move(*more);
        else
            rows.insert(rows.end(), std::make_move_iterator(more->begin()), std::make_move_iterator(more->end()));
    }
}

void nameOutputs(std::vector<BatchRow>& rows, const NameTemplate& names, bool allowPaths) {
    std::unordered_map<std::string, long long> taken;
    for (BatchRow& row : rows) {
        row.output = names.expand({row.n, row.line, row.data, 0, row.data});
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

#pragma once
// Batches: reading the rows of a batch file (one value per line, or CSV with
// a header row), naming their outputs, and running them on several threads
// with their messages and reports in row order, as one thread would give them.

#include "OutputNames.h"
#include "Settings.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::cli {

// Fills a buffer from a file or standard input; 0 at the end.
using Reader = std::function<std::size_t(char*, std::size_t)>;

constexpr std::size_t MAX_LINE_BYTES = 1u << 20;     // a value of a MiB is past any symbol
constexpr std::size_t MAX_BATCH_BYTES = 1u << 30;

struct BatchRow {
    long long line = 0;  // the line of the batch file the row starts on
    long long n = 0;     // the row's number, from 1
    std::string data;
    std::string file;    // a CSV "file" cell
    std::shared_ptr<const Settings> settings;  // the row's own settings (CSV option cells); null: the run's
    std::optional<Error> error;  // found before the row runs: a bad cell, a name already taken
    std::string output;          // the file the row writes
    // A name from a "file" cell stays inside the folder of -o (unless
    // --allow-paths): that folder, which the write checks links against.
    std::optional<std::string> confinedTo;
};

struct Record;
class CsvParser;

// The columns a CSV header row names.
struct CsvColumns {
    std::size_t cells = 0;
    int data = -1, file = -1;
    std::vector<std::string> names;
    bool options = false;  // columns beyond data and file: rows get settings of their own
    Status read(const Record& header);
};

// The rows of a batch read a window at a time, so that a batch of any length
// runs in the memory of a window. Errors for the whole batch: a line over
// MAX_LINE_BYTES, an input over MAX_BATCH_BYTES, a CSV header without "data"
// or with a column that is no option (InvalidOption), a quote that never
// closes. A bad cell is the error of its row.
class BatchStream {
public:
    // `readFailure`, asked at the end of the input, names a read error that
    // ended it early ("" for none).
    BatchStream(Reader reader, bool csv, const Settings& base, std::function<std::string()> readFailure = nullptr);
    ~BatchStream();
    // The next rows, at most `most`; none at the end.
    Result<std::vector<BatchRow>> next(std::size_t most);
    // Reads the rest, counting its rows.
    Result<long long> skipRest();

private:
    Status fill(std::size_t most);
    Status take(std::string_view piece);
    Status finish();
    void lineRow(const std::string& line);
    void take(std::vector<Record>& records);

    Reader reader_;
    std::function<std::string()> readFailure_;
    bool csv_;
    const Settings& base_;
    std::unique_ptr<CsvParser> parser_;
    CsvColumns columns_;
    bool header_ = false;
    Status headerStatus_ = Done{};
    std::string head_;               // the first bytes, until a byte-order mark is ruled out
    bool bomChecked_ = false;
    std::string pending_;            // the line read in part
    std::size_t pendingBytes_ = 0;   // its length so far
    std::size_t bytes_ = 0;
    long long lines_ = 0;            // complete lines read
    long long rows_ = 0;
    bool ended_ = false;
    std::vector<BatchRow> ready_;
    std::size_t taken_ = 0;
};

// Reads every row (the errors are those of BatchStream).
Result<std::vector<BatchRow>> readBatch(const Reader& reader, bool csv, const Settings& base);

// Gives every row its output name: the template expanded, or its "file" cell
// in the folder the template names. Label lists come from other people, so a
// cell that is an absolute path or climbs out with ".." is the row's error
// unless `allowPaths` (then an absolute path is taken as it is). A name an
// earlier row has already taken is the later row's error.
void nameOutputs(std::vector<BatchRow>& rows, const NameTemplate& names, bool allowPaths = false);

struct RowOutcome {
    int status = 0;       // the exit status the row stands for; 0 written
    std::string message;  // its line for standard error, without "korvane: line N: "; may be a warning
    std::string report;   // its JSON line, with --json
    bool skipped = false; // not run: --fail-fast stopped the batch before it
    // The cause is no row's own (the output folder is missing, the disk is
    // full): every later row would fail alike, so the batch stops here.
    bool stopsBatch = false;
};

// Handed to a row's work: in a --fail-fast batch, commit() waits until every
// earlier row has finished and says whether the batch still runs; the row
// writes its file only when it does. Otherwise it returns true at once.
class CommitGate {
public:
    virtual ~CommitGate() = default;
    virtual bool commit(std::size_t row) = 0;
};

struct RunOptions {
    int jobs = 1;
    bool failFast = false;
    // Called in row order, on one thread at a time, as rows finish.
    std::function<void(std::size_t row, const RowOutcome&)> emit;
};

// Runs work(row, gate) for rows 0..count-1 on `jobs` threads. After an
// outcome that stops the batch (--fail-fast and a failure, or stopsBatch),
// rows not yet begun are skipped.
void runRows(std::size_t count, const RunOptions& options,
             const std::function<RowOutcome(std::size_t, CommitGate&)>& work);

}  // namespace korvane::cli

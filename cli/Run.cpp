// The command's flow: one symbol, a batch of files, or label sheets.

#include "Run.h"

#include "Gs1Command.h"

#include "Batch.h"
#include "CommandLine.h"
#include "OutputFile.h"
#include "Pipeline.h"
#include "Progress.h"
#include "Report.h"
#include "Sheet.h"


#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace korvane::cli {
namespace {

constexpr std::size_t MAX_INPUT_BYTES = 16u << 20;  // far past any symbol's capacity

struct Failed {
    int status;
    std::string message;
};

// "1 label", "2 labels": the count word agrees with its number.
std::string counted(long long n, const std::string& word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

int fail(Console& c, int status, const std::string& message) {
    std::string line = "korvane: " + message;
    for (char& ch : line)
        if (ch == '\n' || ch == '\r')
            ch = ' ';
    c.err(line + "\n");
    return status;
}

// A failure before any symbol was made: its line, and with --json its report
// too, so that a program reading the reports learns of every failure.
int refuse(Console& c, bool json, int status, const std::string& message) {
    if (json) {
        const Error error{status == EXIT_OUTPUT ? ErrorCode::WriteFailed
                          : status == EXIT_DATA ? ErrorCode::InvalidData
                                                : ErrorCode::InvalidOption,
                          message};
        ReportEntry entry;
        entry.error = &error;
        entry.status = status;
        c.out(jsonReport(entry));
    }
    return fail(c, status, message);
}

// Whether the arguments ask for --json, for a command line that did not parse.
bool jsonAsked(int argc, const char* const* argv) {
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        const std::string_view a = argv[i];
        if (a == "--")
            return false;
        if (a == "--json")
            return true;
    }
    return false;
}

std::string shown(const std::string& path) { return path.size() > 200 ? path.substr(0, 200) + "..." : path; }

// A file's bytes, up to `limit`.
class File {
public:
    explicit File(const std::string& path) : file_(std::fopen(path.c_str(), "rb")), error_(errno) {}
    ~File() {
        if (file_)
            std::fclose(file_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool open() const { return file_ != nullptr; }
    std::string why() const { return std::strerror(error_); }
    std::size_t read(char* buffer, std::size_t size) {
        const std::size_t got = std::fread(buffer, 1, size, file_);
        if (got == 0 && std::ferror(file_))
            error_ = errno;
        return got;
    }
    bool failed() const { return file_ && std::ferror(file_); }

private:
    std::FILE* file_;
    int error_;
};

Result<std::string> readLimited(const Reader& reader, std::size_t limit) {
    std::string data;
    char buffer[65536];
    for (;;) {
        const std::size_t got = reader(buffer, sizeof buffer);
        if (got == 0)
            return data;
        data.append(buffer, got);
        if (data.size() > limit)
            return Error{ErrorCode::InvalidData, "the data is larger than 16 MiB"};
    }
}

// The data of a single symbol: the argument, --input, or standard input.
Result<std::string> singleData(const Invocation& inv, Console& console) {
    if (inv.data)
        return *inv.data;
    Reader stdinReader = [&](char* b, std::size_t n) { return console.read(b, n); };
    if (!inv.input.empty() && inv.input != "-") {
        File file(inv.input);
        if (!file.open())
            return Error{ErrorCode::InvalidOption, "cannot read " + shown(inv.input) + ": " + file.why()};
        Result<std::string> data = readLimited([&](char* b, std::size_t n) { return file.read(b, n); }, MAX_INPUT_BYTES);
        if (data && file.failed())
            return Error{ErrorCode::InvalidOption, "cannot read " + shown(inv.input) + ": " + file.why()};
        return data;
    }
    if (inv.input.empty() && console.inputIsTerminal())
        return Error{ErrorCode::InvalidOption, "no data: give it as an argument, with --input FILE or on standard input"};
    Result<std::string> data = readLimited(stdinReader, MAX_INPUT_BYTES);
    if (data && inv.input.empty()) {
        // Text from a pipe or a terminal ends with a line end that is no part of it.
        if (!data->empty() && data->back() == '\n')
            data->pop_back();
        if (!data->empty() && data->back() == '\r')
            data->pop_back();
    }
    return data;
}

// The format of an output: --format, else the extension; standard output is SVG.
Result<Format> formatFor(const Settings& s, const std::string& path) {
    if (s.format) {
        // SVG in a file called .png is a file no viewer opens: a slip, unless asked for.
        const std::optional<Format> named = path == "-" ? std::nullopt : formatForPath(path);
        if (named && *named != *s.format && !s.forceFormat)
            return Error{ErrorCode::InvalidOption, "--format " + std::string(formatName(*s.format)) +
                                                       " contradicts the extension of \"" + shown(path) + "\"" +
                                                       "; give --force-format to write it there all the same"};
        return *s.format;
    }
    if (path == "-")
        return Format::Svg;
    if (const std::optional<Format> f = formatForPath(path))
        return *f;
    return Error{ErrorCode::InvalidOption, "cannot tell the format of " + shown(path) +
                                               ": give --format or an extension .svg, .pdf, .eps, .png, .emf or .bmp"};
}

// Writes the bytes whole to `path`, or to standard output for "-".
Status writeOutput(Console& console, const std::vector<std::uint8_t>& bytes, const std::string& path) {
    if (path == "-") {
        console.out(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        return Done{};
    }
    const Status written = writeOutputFile(bytes, path);
    if (!written && written.error().message.find(shown(path)) == std::string::npos)
        return Error{ErrorCode::WriteFailed, "cannot write " + shown(path) + ": " + written.error().message};
    return written;
}

void warn(Console& console, const std::string& prefix, const std::vector<std::string>& warnings) {
    for (const std::string& w : warnings)
        fail(console, 0, prefix + "warning: " + w);
}

// What every symbol of a run asks for; the caller adds the format or stops at the drawing.
MakeRequest requestFor(const Invocation& inv, const Settings& settings, std::string_view data) {
    MakeRequest request;
    request.settings = &settings;
    request.data = data;
    request.verify = inv.verify;
    request.keepFailed = inv.keepFailed;
    request.grade = inv.grade ? &*inv.grade : nullptr;
    request.minGrade = inv.minGrade;
    return request;
}

int runSingle(const Invocation& inv, Console& console) {
    const Result<Format> format = formatFor(inv.settings, inv.output);
    if (!format)
        return refuse(console, inv.json, EXIT_USAGE, format.error().message);
    const Result<std::string> data = singleData(inv, console);
    if (!data)
        return refuse(console, inv.json, exitStatusFor(data.error().code), data.error().message);

    MakeRequest request = requestFor(inv, inv.settings, *data);
    request.format = *format;
    MakeResult made = makeSymbol(request);

    ReportEntry entry;
    entry.input = *data;
    entry.format = formatName(*format);
    entry.made = made.made ? &*made.made : nullptr;
    const bool write = made.writes();
    int status = made.error ? exitStatusFor(made.error->code) : EXIT_WRITTEN;
    std::optional<Error> error = made.error;
    if (write) {
        const Status written = writeOutput(console, made.made->bytes, inv.output);
        if (!written) {
            error = written.error();
            status = EXIT_OUTPUT;
        } else {
            entry.file = inv.output;
        }
    }
    entry.error = error ? &*error : nullptr;
    entry.status = status;
    if (inv.json)
        console.out(jsonReport(entry));
    if (status != EXIT_WRITTEN)
        return fail(console, status, error->message);
    warn(console, "", made.made->warnings);
    if (made.made->quality && !inv.json) {
        const QualityGrade& q = *made.made->quality;
        fail(console, 0, q.graded ? "grade " + q.text + " (" + q.letter + ") printed as " + q.profile.name + ": " + q.reason
                                  : "not graded: " + q.reason);
    }
    return EXIT_WRITTEN;
}

Reader batchReader(const Invocation& inv, Console& console, std::unique_ptr<File>& file) {
    if (inv.batch == "-")
        return [&console](char* b, std::size_t n) { return console.read(b, n); };
    file = std::make_unique<File>(inv.batch);
    File* f = file.get();
    return [f](char* b, std::size_t n) { return f->open() ? f->read(b, n) : 0; };
}

// What every batch shares: its rows read and named, the JSON and error output in order.
struct BatchRun {
    const Invocation& inv;
    Console& console;
    std::vector<BatchRow> rows;  // all of them, or the window a sheet run has read
    std::size_t base = 0;        // the index of rows[0] in the batch
    int status = EXIT_WRITTEN;
    std::size_t failed = 0, written = 0, skipped = 0, finished = 0;

    const Settings& settingsOf(const BatchRow& row) const { return row.settings ? *row.settings : inv.settings; }

    bool stopped = false;  // by a cause no row's own: later rows failing of it are not reported again

    void emit(const BatchRow& row, const RowOutcome& o) {
        if (o.skipped) {
            ++skipped;
            return;
        }
        if (!o.report.empty())
            console.out(o.report);
        if (o.status != 0) {
            ++failed;
            if (status == EXIT_WRITTEN)
                status = o.status;
        } else {
            ++written;
        }
        if (o.stopsBatch) {
            if (stopped)
                return;  // rows already under way when the batch stopped: the same cause
            stopped = true;
        }
        // One line per message: a row's error, or each of its warnings.
        for (std::size_t at = 0; at < o.message.size();) {
            std::size_t end = o.message.find('\n', at);
            if (end == std::string::npos)
                end = o.message.size();
            fail(console, 0, "line " + std::to_string(row.line) + ": " + o.message.substr(at, end - at));
            at = end + 1;
        }
    }
};

std::string rowReport(const BatchRun& run, const BatchRow& row, const std::string& file, const std::string& format,
                      const Made* made, const Error* error, int status, int page = 0) {
    if (!run.inv.json)
        return {};
    ReportEntry e;
    e.line = row.line;
    e.n = row.n;
    e.input = row.data;
    e.file = file;
    e.format = format;
    e.page = page;
    e.made = made;
    e.error = error;
    e.status = status;
    return jsonReport(e);
}

RowOutcome rowFailure(const BatchRun& run, const BatchRow& row, const Error& error, const Made* made = nullptr,
                      const std::string& format = "") {
    RowOutcome o;
    o.status = exitStatusFor(error.code);
    o.message = error.message;
    o.report = rowReport(run, row, "", format, made, &error, o.status);
    return o;
}

std::string warningLines(const std::vector<std::string>& warnings) {
    std::string text;
    for (const std::string& w : warnings) {
        std::string one = w;
        for (char& c : one)
            if (c == '\n' || c == '\r')
                c = ' ';
        text += (text.empty() ? "" : "\n") + ("warning: " + one);
    }
    return text;
}

// A row not run: --fail-fast stopped the batch before it.
RowOutcome skippedRow() {
    RowOutcome o;
    o.skipped = true;
    return o;
}

// The outcome of a row whose symbol was made: its warnings, or the failed
// verification --keep-failed kept it with.
RowOutcome madeRow(const MakeResult& made) {
    RowOutcome o;
    if (made.error) {
        o.status = exitStatusFor(made.error->code);
        o.message = made.error->message;
    } else {
        o.message = warningLines(made.made->warnings);
    }
    return o;
}

using RowWork = std::function<RowOutcome(std::size_t, const BatchRow&, const Settings&, CommitGate&)>;

// Runs `work` for every row that has no error of its own (those fail as they
// are) on the threads --jobs asks for, --fail-fast stopping at the first
// failure, and emits the outcomes in row order below the progress bar.
// `hold(i, o)` sees each outcome first and may take out of it what is printed
// later.
void runEachRow(BatchRun& run, Progress& progress, const RowWork& work,
                const std::function<void(std::size_t, RowOutcome&)>& hold = nullptr) {
    RunOptions options;
    options.jobs = run.inv.jobs;
    options.failFast = run.inv.failFast;
    options.emit = [&](std::size_t i, const RowOutcome& outcome) {
        const auto show = [&](const RowOutcome& o) {
            if (!o.message.empty() || !o.report.empty())
                progress.clear();  // a message gets a line of its own; the bar comes back below it
            run.emit(run.rows[i], o);
            progress.update(++run.finished);
        };
        if (!hold)
            return show(outcome);
        RowOutcome held = outcome;
        hold(run.base + i, held);
        show(held);
    };
    // The work sees a row's index in the batch; the runner counts in the window.
    struct InBatch : CommitGate {
        CommitGate& gate;
        std::size_t base;
        InBatch(CommitGate& g, std::size_t b) : gate(g), base(b) {}
        bool commit(std::size_t row) override { return gate.commit(row - base); }
    };
    runRows(run.rows.size(), options, [&](std::size_t i, CommitGate& gate) {
        const BatchRow& row = run.rows[i];
        if (row.error)
            return rowFailure(run, row, *row.error);
        InBatch inBatch(gate, run.base);
        return work(run.base + i, row, run.settingsOf(row), inBatch);
    });
    progress.clear();
}

int runFiles(BatchRun& run) {
    const Invocation& inv = run.inv;
    if (inv.output == "-")
        return refuse(run.console, inv.json, EXIT_USAGE,
                      "a batch writes one file per value; give -o a template such as label-{n:05}.svg");
    const Result<NameTemplate> names = NameTemplate::parse(inv.output);
    if (!names)
        return refuse(run.console, inv.json, EXIT_USAGE, "--output: " + names.error().message);
    std::size_t unnamed = 0;
    for (const BatchRow& row : run.rows)
        unnamed += row.file.empty() ? 1 : 0;
    if (unnamed > 1 && !names->hasFields())
        return refuse(run.console, inv.json, EXIT_USAGE,
                    "-o " + shown(inv.output) + " names one file for " + std::to_string(unnamed) +
                        " values; put {n}, {line} or {data} in it, such as label-{n:05}.svg");
    nameOutputs(run.rows, *names, inv.allowPaths);
    // Whether every row the template names writes into one folder, which a
    // failure of that folder then fails for all of them.
    const std::size_t slash = inv.output.find_last_of('/');
    const Result<NameTemplate> folderPart =
        NameTemplate::parse(slash == std::string::npos ? std::string() : inv.output.substr(0, slash));
    const bool fixedFolder = folderPart && !folderPart->hasFields();

    Progress progress(run.console, run.rows.size());
    runEachRow(run, progress, [&](std::size_t i, const BatchRow& row, const Settings& settings, CommitGate& gate) {
        const Result<Format> format = formatFor(settings, row.output);
        if (!format)
            return rowFailure(run, row, format.error());
        MakeRequest request = requestFor(inv, settings, row.data);
        request.format = *format;
        const MakeResult made = makeSymbol(request);
        if (!made.writes())
            return rowFailure(run, row, *made.error, made.made ? &*made.made : nullptr, formatName(*format));
        if (!gate.commit(i))
            return skippedRow();
        if (row.confinedTo)
            if (const Status inside = insideFolder(*row.confinedTo, row.output); !inside)
                return rowFailure(run, row, inside.error(), &*made.made, formatName(*format));
        const Status written = writeOutput(run.console, made.made->bytes, row.output);
        if (!written) {
            RowOutcome o = rowFailure(run, row, written.error(), &*made.made, formatName(*format));
            o.stopsBatch = row.file.empty() && fixedFolder && folderUnusable(row.output);
            return o;
        }
        RowOutcome o = madeRow(made);
        o.report = rowReport(run, row, row.output, formatName(*format), &*made.made, made.error ? &*made.error : nullptr,
                             o.status);
        return o;
    });
    char summary[160];
    std::snprintf(summary, sizeof summary, "%zu written, %zu failed%s in %.2f s", run.written, run.failed,
                  run.skipped > 0 ? (", " + std::to_string(run.skipped) + " not reached").c_str() : "",
                  progress.seconds());
    fail(run.console, 0, summary);
    return run.status;
}

// Standard output as a byte sink, through the console like every other output.
class ConsoleSink : public ByteSink {
public:
    explicit ConsoleSink(Console& console) : console_(console) {}
    Status append(std::string_view bytes) override {
        console_.out(bytes);
        return Done{};
    }

private:
    Console& console_;
};

// One message for many labels: the first line it came from and how often.
struct Tally {
    std::string message;
    long long firstLine = 0;
    std::size_t count = 0;
};

// Messages in the order they first came, each counted, so that a cause shared
// by thousands of labels is one line.
class Tallies {
public:
    void add(const std::string& message, long long line) {
        const auto [at, fresh] = index_.emplace(message, tallies_.size());
        if (fresh)
            tallies_.push_back({message, line, 0});
        ++tallies_[at->second].count;
    }
    const std::vector<Tally>& all() const { return tallies_; }

private:
    std::unordered_map<std::string, std::size_t> index_;
    std::vector<Tally> tallies_;
};

// A label made on a worker thread, waiting for its turn on the page.
struct MadeLabel {
    std::optional<Made> made;
    std::optional<Error> kept;  // --keep-failed: placed though verification failed
    std::optional<Overflow> overflow;  // too large for a cell, even fitted
};

// A JSON report held until the page or file it names is written.
struct HeldReport {
    BatchRow row;  // its line, number and data
    std::string report;
    bool placed = false;  // on a page: replaced by a failure report if the page is not written
};

// Label sheets: rows made into labels on the --jobs threads, placed in row
// order on pages that the library writes as they fill, so memory holds a page
// or two rather than the batch. Each step below reads on its own.
class SheetRun {
public:
    SheetRun(BatchRun& run, BatchStream& stream) : run_(run), inv_(run.inv), sheet_(*run.inv.sheet), stream_(stream) {}

    int run() {
        if (const int status = prepare(); status != EXIT_WRITTEN)
            return status;
        Progress progress(run_.console, knownTotal_);
        // A window of rows at a time, so that memory holds a window and a page
        // or two however long the batch.
        do {
            runEachRow(
                run_, progress,
                [this](std::size_t i, const BatchRow& row, const Settings& s, CommitGate& gate) {
                    return makeLabel(i, row, s, gate);
                },
                [this](std::size_t i, RowOutcome& o) { place(i, o); });
            run_.base += run_.rows.size();
            run_.rows.clear();
        } while (!stopped_.load() && !(inv_.failFast && run_.failed > 0) && nextWindow());
        countRest();
        finish();
        return report(progress.seconds());
    }

private:
    // The page, the format, the names and the output: every error the run as
    // a whole can have before a label is made.
    int prepare() {
        const Result<SheetGeometry> geometry = sheetGeometry(sheetOptions(sheet_, inv_.settings));
        if (!geometry)
            return fail(run_.console, EXIT_USAGE, "--sheet: " + geometry.error().message + roomForCells(geometry.error()));
        geometry_ = *geometry;
        const Result<Format> format = formatFor(inv_.settings, inv_.output);
        if (!format)
            return fail(run_.console, EXIT_USAGE, format.error().message);
        format_ = *format;
        if (inv_.output == "-" && format_ != Format::Pdf)
            return fail(run_.console, EXIT_USAGE, "sheets other than PDF are one file per page; give -o a file name");
        const Result<NameTemplate> names = NameTemplate::parse(inv_.output);
        if (!names)
            return fail(run_.console, EXIT_USAGE, "--output: " + names.error().message);
        names_ = *names;
        // One page or several is known from the first window, which holds
        // more than a page where the batch has more: a single page keeps the
        // name as given.
        const std::size_t asked = std::max<std::size_t>(WINDOW, static_cast<std::size_t>(geometry_.perPage()) + 1);
        Result<std::vector<BatchRow>> first = stream_.next(asked);
        if (!first)
            return refuse(run_.console, inv_.json, exitStatusFor(first.error().code), first.error().message);
        if (first->empty())
            return refuse(run_.console, inv_.json, EXIT_DATA, "the batch holds no values");
        run_.rows = std::move(*first);
        manyPages_ = run_.rows.size() > static_cast<std::size_t>(geometry_.perPage());
        knownTotal_ = run_.rows.size() < asked ? run_.rows.size() : 0;
        return openOutput();
    }

    static constexpr std::size_t WINDOW = 4096;

    bool nextWindow() {
        Result<std::vector<BatchRow>> rows = stream_.next(WINDOW);
        if (!rows) {
            batchError_ = rows.error();
            return false;
        }
        run_.rows = std::move(*rows);
        return !run_.rows.empty();
    }

    // The rows the run did not reach, counted for the summary.
    void countRest() {
        if (!batchError_) {
            const Result<long long> rest = stream_.skipRest();
            if (rest)
                unread_ = static_cast<std::size_t>(*rest);
            else
                batchError_ = rest.error();
        }
        total_ = run_.base + run_.rows.size() + unread_;
    }

    // Margins and gaps are what leave no room for cells; a page too large for
    // the resolution needs no hint.
    static std::string roomForCells(const Error& e) {
        return e.message.find("no room") == std::string::npos
                   ? std::string()
                   : "; smaller --margins or --gap, or fewer cells in --grid would make room";
    }

    int openOutput() {
        if (format_ != Format::Pdf) {
            output_ = pageFiles(format_, [this](long long page) { return pageName(page); }, inv_.settings.write);
        } else if (inv_.output == "-") {
            sink_ = std::make_unique<ConsoleSink>(run_.console);
            output_ = pdfPages(*sink_, inv_.settings.write);
        } else {
            Result<std::unique_ptr<FileSink>> file = FileSink::open(pageName(1));
            if (!file) {
                writeError_ = file.error();
                return finishUnwritten();
            }
            file_ = std::move(*file);
            output_ = pdfPages(*file_, inv_.settings.write);
        }
        writer_.emplace(geometry_, *output_);
        return EXIT_WRITTEN;
    }

    // Nothing could be written: the cause, and a summary that says so.
    int finishUnwritten() {
        fail(run_.console, 0, writeError_->message);
        countRest();
        char summary[160];
        std::snprintf(summary, sizeof summary, "no sheet written: %zu labels not written in 0.00 s", total_);
        fail(run_.console, 0, summary);
        return EXIT_OUTPUT;
    }

    std::string pageName(long long page) const {
        if (format_ == Format::Pdf || names_.uses(Field::Page))
            return names_.expand({page, 0, "", page, ""});
        return manyPages_ ? withPageNumber(inv_.output, page) : inv_.output;
    }

    // On a worker thread: the row's symbol laid out for a cell, fitted when
    // the row does not give its own X.
    RowOutcome makeLabel(std::size_t i, const BatchRow& row, const Settings& settings, CommitGate& gate) {
        if (stopped_.load())
            return skippedRow();
        if (settings.layout.foreground != inv_.settings.layout.foreground ||
            settings.layout.background != inv_.settings.layout.background || settings.layout.dpi != inv_.settings.layout.dpi)
            return rowFailure(run_, row,
                              Error{ErrorCode::InvalidOption, "the labels of a sheet share its colours and resolution"});
        MadeLabel label;
        MakeRequest request = requestFor(inv_, settings, row.data);
        request.render = false;
        request.layout = [&](const Symbol& symbol, const LayoutOptions& options) {
            return layoutInCell(symbol, options, settings, label);
        };
        MakeResult made = makeSymbol(request);
        if (!made.writes()) {
            RowOutcome o = rowFailure(run_, row, *made.error, made.made ? &*made.made : nullptr);
            if (label.overflow) {
                // An option error (status 2): the data is fine, the sheet leaves
                // no room. Counted, and told once with a hint after the run.
                o.message.clear();
                std::lock_guard<std::mutex> lock(mutex_);
                labels_[i] = std::move(label);
            }
            return o;
        }
        if (!gate.commit(i))
            return skippedRow();
        RowOutcome o;
        if (made.error) {
            o.status = exitStatusFor(made.error->code);
            o.message = made.error->message;
        }
        label.made = std::move(made.made);
        label.kept = made.error;
        std::lock_guard<std::mutex> lock(mutex_);
        labels_[i] = std::move(label);
        return o;
    }

    Result<Drawing> layoutInCell(const Symbol& symbol, const LayoutOptions& options, const Settings& settings,
                                 MadeLabel& label) const {
        Result<Drawing> asked = layout(symbol, options);
        if (!asked || geometry_.fits(asked->width, asked->height))
            return asked;
        Result<Drawing> fitted = layoutForCell(symbol, options, geometry_, !settings.layout.xDim);
        const Overflow overflow{asked->width, asked->height + geometry_.textLine, settings.layout.xDim.has_value(),
                                settings.layout.height.has_value()};
        if (!fitted) {
            // The label's own size, not a layout error at a smaller X.
            if (fitted.error().message.rfind("the label is ", 0) == 0)
                label.overflow = overflow;
        } else if (!fitted->warnings.empty() && fitted->xMm < symbologyInfo(symbol.symbology).minXMm * 0.999) {
            fitted->warnings.front() += "; " + roomHint(sheet_, geometry_, overflow) + " for a larger X";
        }
        return fitted;
    }

    // In row order: the label placed on its page, its warnings counted, its
    // report held until its page is written.
    void place(std::size_t i, RowOutcome& o) {
        if (o.skipped)
            return;
        MadeLabel label;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (const auto at = labels_.find(i); at != labels_.end()) {
                label = std::move(at->second);
                labels_.erase(at);
            }
        }
        const BatchRow& row = run_.rows[i - run_.base];
        if (label.overflow && overflows_++ == 0) {
            overflow_ = *label.overflow;
            overflowFirst_ = row.line;
        }
        if (!label.made) {
            hold(row, std::move(o.report), false);
            o.report.clear();
            return;
        }
        if (writeError_)
            return hold(row, "", true);  // made after the output failed: reported as not written
        for (const std::string& w : label.made->warnings)
            warnings_.add(w, row.line);
        const long long page = writer_->nextPage();
        // {data}: what the symbol carries, as its human-readable text shows it
        // (matrix symbols have none: their data); {input}: the row as typed.
        const Symbol& symbol = label.made->symbol;
        const std::string_view encoded = symbol.text.empty() ? symbol.facts.data : symbol.text;
        const std::string text =
            sheet_.labelText.empty()
                ? std::string()
                : sheet_.labelTemplate.expand({row.n, row.line, encoded.substr(0, 200), 0,
                                               std::string_view(row.data).substr(0, 200)},
                                              true);
        const int status = label.kept ? EXIT_VERIFY : EXIT_WRITTEN;
        hold(row, rowReport(run_, row, pageName(page), formatName(format_), &*label.made,
                            label.kept ? &*label.kept : nullptr, status, static_cast<int>(page)),
             true);
        if (const Status added = writer_->add(label.made->drawing, text); !added) {
            writeError_ = added.error();
            stopped_.store(true);
            return;
        }
        if (format_ != Format::Pdf && writer_->pagesDone() >= page) {
            written_ = writer_->labels();
            releaseReports(nullptr);
        }
    }

    void hold(const BatchRow& row, std::string report, bool placed) {
        if (!inv_.json)
            return;
        HeldReport h;
        h.row.line = row.line;
        h.row.n = row.n;
        h.row.data = row.data;
        h.report = std::move(report);
        h.placed = placed;
        held_.push_back(std::move(h));
    }

    // The held reports: as they are when their pages were written, as
    // failures for `unwritten` when they were not.
    void releaseReports(const Error* unwritten) {
        for (HeldReport& h : held_) {
            if (h.placed && unwritten)
                h.report = rowReport(run_, h.row, "", formatName(format_), nullptr, unwritten,
                                     exitStatusFor(unwritten->code));
            run_.console.out(h.report);
        }
        held_.clear();
    }

    // The last page, and the file made whole; nothing of it with --fail-fast
    // stopping at a bad row or without any label.
    void finish() {
        stoppedByRow_ = inv_.failFast && run_.failed > 0;
        // A PDF: all of it or nothing, as without --fail-fast or with the whole batch read first.
        const bool abandon = (stoppedByRow_ || batchError_) && file_;
        if (!writeError_ && writer_->labels() > 0 && !abandon) {
            Status done = writer_->finish();
            if (done && file_)
                done = file_->commit();
            if (done)
                written_ = writer_->labels();
            else
                writeError_ = done.error();
        }
        if (writeError_)
            fail(run_.console, 0, writeError_->message);
        if (batchError_)
            fail(run_.console, 0, batchError_->message);
        const Error notRun{ErrorCode::InvalidData, batchError_ ? "not written: " + batchError_->message
                                                               : "not written: --fail-fast stopped the batch at a bad row"};
        releaseReports(writeError_ ? &*writeError_ : written_ < writer_->labels() ? &notRun : nullptr);
        file_.reset();  // not committed: its temporary file goes
    }

    // The counted messages, then the summary; the exit status.
    int report(double seconds) {
        for (const Tally& t : warnings_.all()) {
            if (t.count == 1)
                fail(run_.console, 0, "line " + std::to_string(t.firstLine) + ": warning: " + t.message);
            else
                fail(run_.console, 0, "warning: " + t.message + " (" + std::to_string(t.count) +
                                          " labels, the first on line " + std::to_string(t.firstLine) + ")");
        }
        if (overflows_ > 0)
            fail(run_.console, 0, overflowLine());
        fail(run_.console, 0, summary(seconds));
        if (writeError_)
            return EXIT_OUTPUT;
        if (batchError_)
            return exitStatusFor(batchError_->code);
        if (run_.status != EXIT_WRITTEN)
            return run_.status;
        return written_ == 0 ? EXIT_DATA : EXIT_WRITTEN;
    }

    // What was written, what failed and what was not written.
    std::string summary(double seconds) const {
        const std::string failed = std::to_string(run_.failed) + " failed";
        const std::size_t unwritten = total_ - run_.failed - static_cast<std::size_t>(written_);
        const bool cut = writeError_ || stoppedByRow_ || batchError_;  // rows the run did not write out
        std::string line;
        if (written_ > 0)
            line = counted(written_, "label") + " on " + counted(writer_->pagesDone(), "page") + ", " + failed +
                   (cut && unwritten > 0 ? ", " + std::to_string(unwritten) + " not written" : "");
        else if (cut)
            line = "no sheet written: " + counted(static_cast<long long>(unwritten), "label") + " not written, " + failed;
        else
            line = "no sheet written: " + counted(writer_->labels(), "label") + ", " + failed;
        if (stoppedByRow_)
            line += " (--fail-fast stopped the batch at a bad row)";
        char time[32];
        std::snprintf(time, sizeof time, " in %.2f s", seconds);
        return line + time;
    }

    std::string overflowLine() const {
        std::string line = std::to_string(overflows_) + (overflows_ == 1 ? " label does" : " labels do") +
                           " not fit a cell of the sheet, the first on line " + std::to_string(overflowFirst_) + ": ";
        char sizes[160];
        std::snprintf(sizes, sizeof sizes, "%.1f x %.1f mm, a cell %.1f x %.1f mm",
                      overflow_.width * 25.4 / geometry_.dpi, overflow_.height * 25.4 / geometry_.dpi,
                      geometry_.cellWidth * 25.4 / geometry_.dpi, geometry_.cellHeight * 25.4 / geometry_.dpi);
        return line + sizes + "; " + roomHint(sheet_, geometry_, overflow_);
    }

    BatchRun& run_;
    const Invocation& inv_;
    const SheetSettings& sheet_;
    BatchStream& stream_;
    std::size_t knownTotal_ = 0;  // the batch's rows when the first window held them all, else 0
    std::size_t unread_ = 0;      // rows after the last window run
    std::size_t total_ = 0;
    std::optional<Error> batchError_;  // found in a later window: the batch is refused, its PDF not written
    SheetGeometry geometry_;
    Format format_ = Format::Pdf;
    NameTemplate names_;
    bool manyPages_ = false;

    std::unique_ptr<ByteSink> sink_;
    std::unique_ptr<FileSink> file_;
    std::unique_ptr<PageOutput> output_;
    std::optional<SheetWriter> writer_;

    std::mutex mutex_;  // labels_, which the workers fill
    std::unordered_map<std::size_t, MadeLabel> labels_;
    std::atomic<bool> stopped_{false};  // the output failed: make no more labels

    Tallies warnings_;
    std::size_t overflows_ = 0;
    long long overflowFirst_ = 0;
    Overflow overflow_;  // the first label too large
    bool stoppedByRow_ = false;
    std::vector<HeldReport> held_;
    long long written_ = 0;  // labels on pages written
    std::optional<Error> writeError_;
};


int runBatch(const Invocation& inv, Console& console) {
    std::unique_ptr<File> file;
    const Reader reader = batchReader(inv, console, file);
    if (file && !file->open())
        return refuse(console, inv.json, EXIT_USAGE, "cannot read " + shown(inv.batch) + ": " + file->why());
    if (inv.sheet) {
        BatchStream stream(reader, inv.csv, inv.settings, [&]() -> std::string {
            return file && file->failed() ? "cannot read " + shown(inv.batch) + ": " + file->why() : "";
        });
        BatchRun run{inv, console, {}};
        return SheetRun(run, stream).run();
    }
    Result<std::vector<BatchRow>> rows = readBatch(reader, inv.csv, inv.settings);
    if (file && file->failed())
        return refuse(console, inv.json, EXIT_USAGE, "cannot read " + shown(inv.batch) + ": " + file->why());
    if (!rows)
        return refuse(console, inv.json, exitStatusFor(rows.error().code), rows.error().message);
    if (rows->empty())
        return refuse(console, inv.json, EXIT_DATA, "the batch holds no values");
    BatchRun run{inv, console, std::move(*rows)};
    return runFiles(run);
}

std::string symbologyTable() {
    std::string text = "Symbologies (name, aliases; what they take; options that apply):\n";
    const SymbologyInfo* all = allSymbologies();
    for (int i = 0; i < SYMBOLOGY_COUNT; ++i) {
        const SymbologyInfo& s = all[i];
        text += "\n  " + std::string(s.name);
        for (std::string_view a : s.aliases)
            if (!a.empty())
                text += ", " + std::string(a);
        text += "  (" + std::string(s.title) + ")\n    takes " + std::string(s.characters) + "\n    check: ";
        text += s.check == CheckRule::None         ? "none"
                : s.check == CheckRule::Optional   ? "optional (--check)"
                : s.check == CheckRule::OptionalOn ? "on by default (--no-check)"
                                                   : "always";
        const std::vector<std::string_view> carries = capabilityNames(s);
        if (!carries.empty()) {
            text += "\n    carries:";
            for (std::string_view c : carries)
                text += " " + std::string(c);
        }
        text += "\n    options:";
        for (const std::string& o : optionsFor(s.id))
            text += " " + o;
        text += "\n";
    }
    text += "\nEvery symbology also takes the layout options: --dpi, --x-dim, --bwr, --quiet-zone, --no-text,\n"
            "--font-size, --font, --fg, --bg, --rotate.\n";
    return text;
}

}  // namespace

int runKorvane(int argc, const char* const* argv, Console& console) {
    if (argc >= 2 && std::string_view(argv[1]) == "gs1")
        return runGs1(argc - 1, argv + 1, console);
    const Result<Invocation> parsed = parseCommandLine(argc, argv);
    if (!parsed)
        return refuse(console, jsonAsked(argc, argv), EXIT_USAGE, parsed.error().message);
    const Invocation& inv = *parsed;
    switch (inv.action) {
    case Action::Help:
    case Action::Version: console.out(inv.text); return EXIT_WRITTEN;
    case Action::List: console.out(inv.json ? jsonSymbologyList() : symbologyTable()); return EXIT_WRITTEN;
    case Action::Encode: break;
    }
    return inv.batch.empty() ? runSingle(inv, console) : runBatch(inv, console);
}

}  // namespace korvane::cli

// The command's flow: one symbol, a batch of files, or label sheets.

#include "Run.h"

#include "Batch.h"
#include "CommandLine.h"
#include "OutputFile.h"
#include "Pipeline.h"
#include "Progress.h"
#include "Report.h"
#include "Sheet.h"


#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>

namespace korvane::cli {
namespace {

constexpr std::size_t MAX_INPUT_BYTES = 16u << 20;  // far past any symbol's capacity

struct Failed {
    int status;
    std::string message;
};

int fail(Console& c, int status, const std::string& message) {
    std::string line = "korvane: " + message;
    for (char& ch : line)
        if (ch == '\n' || ch == '\r')
            ch = ' ';
    c.err(line + "\n");
    return status;
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
    if (s.format)
        return *s.format;
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
        return fail(console, EXIT_USAGE, format.error().message);
    const Result<std::string> data = singleData(inv, console);
    if (!data)
        return fail(console, exitStatusFor(data.error().code), data.error().message);

    MakeRequest request = requestFor(inv, inv.settings, *data);
    request.format = *format;
    MakeResult made = makeSymbol(request);

    ReportEntry entry;
    entry.input = *data;
    entry.format = formatName(*format);
    entry.made = made.made ? &*made.made : nullptr;
    const bool write = made.made && !made.made->bytes.empty() &&
                       (!made.error || (made.error->code == ErrorCode::VerifyFailed && inv.keepFailed));
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
        fail(console, 0, q.graded ? "grade " + q.text + " (" + q.letter + ") printed as " + q.profile.name
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
    std::vector<BatchRow> rows;
    int status = EXIT_WRITTEN;
    std::size_t failed = 0, written = 0, skipped = 0;

    const Settings& settingsOf(const BatchRow& row) const { return row.settings ? *row.settings : inv.settings; }

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
    std::size_t finished = 0;
    RunOptions options;
    options.jobs = run.inv.jobs;
    options.failFast = run.inv.failFast;
    options.emit = [&](std::size_t i, const RowOutcome& outcome) {
        const auto show = [&](const RowOutcome& o) {
            if (!o.message.empty() || !o.report.empty())
                progress.clear();  // a message gets a line of its own; the bar comes back below it
            run.emit(run.rows[i], o);
            progress.update(++finished);
        };
        if (!hold)
            return show(outcome);
        RowOutcome held = outcome;
        hold(i, held);
        show(held);
    };
    runRows(run.rows.size(), options, [&](std::size_t i, CommitGate& gate) {
        const BatchRow& row = run.rows[i];
        if (row.error)
            return rowFailure(run, row, *row.error);
        return work(i, row, run.settingsOf(row), gate);
    });
    progress.clear();
}

int runFiles(BatchRun& run) {
    const Invocation& inv = run.inv;
    if (inv.output == "-")
        return fail(run.console, EXIT_USAGE,
                    "a batch writes one file per value; give -o a template such as label-{n:05}.svg");
    const Result<NameTemplate> names = NameTemplate::parse(inv.output);
    if (!names)
        return fail(run.console, EXIT_USAGE, "--output: " + names.error().message);
    std::size_t unnamed = 0;
    for (const BatchRow& row : run.rows)
        unnamed += row.file.empty() ? 1 : 0;
    if (unnamed > 1 && !names->hasFields())
        return fail(run.console, EXIT_USAGE,
                    "-o " + shown(inv.output) + " names one file for " + std::to_string(unnamed) +
                        " values; put {n}, {line} or {data} in it, such as label-{n:05}.svg");
    nameOutputs(run.rows, *names);

    Progress progress(run.console, run.rows.size());
    runEachRow(run, progress, [&](std::size_t i, const BatchRow& row, const Settings& settings, CommitGate& gate) {
        const Result<Format> format = formatFor(settings, row.output);
        if (!format)
            return rowFailure(run, row, format.error());
        MakeRequest request = requestFor(inv, settings, row.data);
        request.format = *format;
        const MakeResult made = makeSymbol(request);
        const bool keep = made.error && made.error->code == ErrorCode::VerifyFailed && inv.keepFailed && made.made &&
                          !made.made->bytes.empty();
        if (made.error && !keep)
            return rowFailure(run, row, *made.error, made.made ? &*made.made : nullptr, formatName(*format));
        if (!gate.commit(i))
            return skippedRow();
        const Status written = writeOutput(run.console, made.made->bytes, row.output);
        if (!written)
            return rowFailure(run, row, written.error(), &*made.made, formatName(*format));
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

int runSheets(BatchRun& run) {
    const Invocation& inv = run.inv;
    const SheetSettings& sheet = *inv.sheet;
    const Result<SheetGeometry> geometry = sheetGeometry(sheet, inv.settings.dpi);
    if (!geometry)
        return fail(run.console, EXIT_USAGE, geometry.error().message);
    const Result<Format> format = formatFor(inv.settings, inv.output);
    if (!format)
        return fail(run.console, EXIT_USAGE, format.error().message);
    if (inv.output == "-" && *format != Format::Pdf)
        return fail(run.console, EXIT_USAGE, "sheets other than PDF are one file per page; give -o a file name");
    const Result<NameTemplate> names = NameTemplate::parse(inv.output);
    if (!names)
        return fail(run.console, EXIT_USAGE, "--output: " + names.error().message);
    const Result<NameTemplate> labelText = NameTemplate::parse(sheet.labelText);

    std::vector<std::optional<Made>> labels(run.rows.size());
    std::vector<std::optional<Error>> kept(run.rows.size());  // --keep-failed: placed though verification failed
    std::vector<std::string> reports(run.rows.size());
    Progress progress(run.console, run.rows.size());
    const auto sheetRow = [&](std::size_t i, const BatchRow& row, const Settings& settings, CommitGate& gate) {
        if (settings.layout.foreground != inv.settings.layout.foreground ||
            settings.layout.background != inv.settings.layout.background || settings.dpi != inv.settings.dpi)
            return rowFailure(run, row, Error{ErrorCode::InvalidOption,
                                              "the labels of a sheet share its colours and resolution"});
        MakeRequest request = requestFor(inv, settings, row.data);
        request.render = false;
        MakeResult made = makeSymbol(request);
        const bool keep = made.error && made.error->code == ErrorCode::VerifyFailed && inv.keepFailed && made.made;
        if (made.error && !keep)
            return rowFailure(run, row, *made.error, made.made ? &*made.made : nullptr);
        if (const Status fits = labelFits(*geometry, made.made->drawing); !fits)
            return rowFailure(run, row, fits.error(), &*made.made);
        if (!gate.commit(i))
            return skippedRow();
        RowOutcome o = madeRow(made);
        labels[i] = std::move(made.made);
        kept[i] = made.error;
        return o;
    };
    runEachRow(run, progress, sheetRow, [&](std::size_t i, RowOutcome& o) {
        reports[i] = std::move(o.report);  // printed once the pages are written
        o.report.clear();
    });

    if (inv.failFast && run.failed > 0) {
        for (const std::string& r : reports)
            run.console.out(r);
        char summary[160];
        std::snprintf(summary, sizeof summary, "no sheet written: --fail-fast stopped the batch at a bad row; %zu failed in %.2f s",
                      run.failed, progress.seconds());
        fail(run.console, 0, summary);
        return run.status;
    }
    std::vector<SheetLabel> placed;
    std::vector<std::size_t> rowOf;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (!labels[i])
            continue;
        SheetLabel l;
        l.drawing = &labels[i]->drawing;
        if (!sheet.labelText.empty()) {
            const BatchRow& row = run.rows[i];
            l.text = labelText->expand({row.n, row.line, std::string_view(row.data).substr(0, 200), 0}, true);
        }
        placed.push_back(l);
        rowOf.push_back(i);
    }
    if (placed.empty()) {
        char summary[160];
        std::snprintf(summary, sizeof summary, "no sheet written: 0 labels, %zu failed in %.2f s", run.failed,
                      progress.seconds());
        fail(run.console, 0, summary);
        return run.status == EXIT_WRITTEN ? EXIT_DATA : run.status;
    }
    const std::vector<Drawing> pages =
        composePages(*geometry, placed, inv.settings.layout.foreground, inv.settings.layout.background);

    // Page files: one PDF, or one file per page.
    std::vector<std::string> pageFiles;
    int writeStatus = EXIT_WRITTEN;
    if (*format == Format::Pdf) {
        const std::string path = names->expand({1, 0, "", 1});
        const Result<Written> pdf = writePdfPages(pages, inv.settings.write);
        Status written = pdf ? writeOutput(run.console, pdf->bytes, path) : Status(pdf.error());
        if (!written) {
            fail(run.console, 0, written.error().message);
            writeStatus = exitStatusFor(written.error().code);
        }
        pageFiles.assign(pages.size(), written ? path : std::string());
    } else {
        for (std::size_t p = 0; p < pages.size() && writeStatus == EXIT_WRITTEN; ++p) {
            const long long page = static_cast<long long>(p) + 1;
            const std::string path = names->uses(Field::Page) ? names->expand({page, 0, "", page})
                                     : pages.size() > 1       ? withPageNumber(inv.output, page)
                                                              : inv.output;
            const Result<Written> bytes = write(pages[p], *format, inv.settings.write);
            const Status written = bytes ? writeOutput(run.console, bytes->bytes, path) : Status(bytes.error());
            if (!written) {
                fail(run.console, 0, written.error().message);
                writeStatus = exitStatusFor(written.error().code);
                break;
            }
            pageFiles.push_back(path);
        }
        pageFiles.resize(pages.size());
    }
    const std::size_t perPage = static_cast<std::size_t>(geometry->perPage());
    if (inv.json) {
        std::size_t k = 0;
        for (std::size_t i = 0; i < run.rows.size(); ++i) {
            if (labels[i] && k < rowOf.size() && rowOf[k] == i) {
                const std::size_t page = k / perPage;
                const std::string& file = pageFiles[page];
                const int status = kept[i] ? EXIT_VERIFY : file.empty() ? writeStatus : EXIT_WRITTEN;
                run.console.out(rowReport(run, run.rows[i], file, formatName(*format), &*labels[i],
                                          kept[i] ? &*kept[i] : nullptr, status, static_cast<int>(page) + 1));
                ++k;
            } else if (!reports[i].empty()) {
                run.console.out(reports[i]);
            }
        }
    }
    char summary[200];
    std::snprintf(summary, sizeof summary, "%zu labels on %zu pages, %zu failed in %.2f s", placed.size(), pages.size(),
                  run.failed, progress.seconds());
    fail(run.console, 0, summary);
    if (run.status != EXIT_WRITTEN)
        return run.status;
    return writeStatus;
}

int runBatch(const Invocation& inv, Console& console) {
    std::unique_ptr<File> file;
    const Reader reader = batchReader(inv, console, file);
    if (file && !file->open())
        return fail(console, EXIT_USAGE, "cannot read " + shown(inv.batch) + ": " + file->why());
    Result<std::vector<BatchRow>> rows = readBatch(reader, inv.csv, inv.settings);
    if (file && file->failed())
        return fail(console, EXIT_USAGE, "cannot read " + shown(inv.batch) + ": " + file->why());
    if (!rows)
        return fail(console, exitStatusFor(rows.error().code), rows.error().message);
    if (rows->empty())
        return fail(console, EXIT_DATA, "the batch holds no values");
    BatchRun run{inv, console, std::move(*rows)};
    return inv.sheet ? runSheets(run) : runFiles(run);
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
    const Result<Invocation> parsed = parseCommandLine(argc, argv);
    if (!parsed)
        return fail(console, EXIT_USAGE, parsed.error().message);
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

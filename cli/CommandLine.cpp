// The korvane command line, parsed with CLI11. The options that shape a symbol
// come from the table in Settings.cpp, so a CSV batch's columns and the
// command line share their parsing and their messages.

#include "CommandLine.h"

#include <korvane/Version.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <thread>

namespace korvane::cli {
namespace {

constexpr int MAX_JOBS = 256;

const char* const DESCRIPTION =
    "korvane: linear and two-dimensional barcodes as SVG, PDF, EPS, PNG, EMF or BMP files.\n\n"
    "  korvane -b ean13 -o label.pdf 590123412345\n"
    "  korvane -b aztec --ecc 40 -o ticket.png \"Seat 14C, gate 22\"\n"
    "  echo 5901234123457 | korvane -b ean13 -o - > label.svg\n"
    "  korvane -b gs1-128 --json -o gs1.svg \"(01)09501101530003(10)AB12\"\n"
    "  korvane -b ean13 --batch codes.txt -o \"label-{n:05}.svg\"\n"
    "  korvane gs1 dl \"(01)09506000134352(10)ABC1(17)270101\"\n"
    "  korvane -b code128 --batch codes.txt --sheet A4 --grid 3x8 --cut-marks -o labels.pdf\n";

const char* const FOOTER = R"(DATA
  The data is the argument (or -d DATA, as zint takes it); or the bytes of
  --input FILE as they are (- for
  standard input); or else standard input, less one final line end. Data that
  begins with '-' follows "--". Tilde escapes apply only with --escapes.

UNITS
  Lengths take a unit: mm, cm, in, mil (0.001 in), pt (1/72 in), or px (dots
  at the chosen --dpi; with --dpi none, pixels). A number alone is mm, except
  for --quiet-zone, where it counts modules. --height and --quiet-zone also
  take modules as 50x. Examples: 0.33mm, 13mil, 0.013in, 1pt, 4px.
  Colours: RRGGBB or RRGGBBAA in hexadecimal (an optional #), or black, white,
  red, green, blue, navy, yellow, cyan, magenta, gray, brown, orange; --bg none
  makes the background transparent. For print, cmyk:C,M,Y,K in whole percent
  (cmyk:0,0,0,100 is black on the black plate alone) stays CMYK in PDF and EPS;
  greys, black and white go there as grey levels.

OUTPUT
  -o FILE names the file (default barcode.svg); -o - writes to standard output
  (SVG unless --format says otherwise). The format comes from the extension or
  --format. Files are written whole, through a temporary file renamed into
  place: a failure leaves no file behind.

BATCHES
  --batch FILE (- for standard input) takes one value per line; empty lines
  are skipped. With --csv the file has a header row: a "data" column, an
  optional "file" column naming each output, and columns named after the
  options above (symbology, x-dim, height, fg, no-text, ...) whose cells apply
  to their row (an empty cell leaves the option as the command line has it;
  a flag's cell is 1, yes, true or on to set it). -o is then a template:
  {n} the row's number (from 1), {line} its line in the file, {data} (or
  {input}) the value made safe for a file name, with a width as in {n:05};
  {{ and }} are braces.
  A "file" cell names a file in the folder of -o; one that leaves it (an
  absolute path, "..", a symbolic link out of it) fails its row unless
  --allow-paths is given.
  Two rows that would write the same file are an error for the second. A bad
  row is reported with its line and the batch goes on (--fail-fast stops at
  it, and nothing after it is written). Rows run on --jobs threads (default:
  every core); the files are the same as with one. A progress bar shows on
  standard error when it is a terminal; a summary line closes the batch.

LABEL SHEETS
  --sheet A4|A5|A3|A6|Letter|Legal|WxH (100x150mm, 4x6in) with --grid CxR places
  the batch's symbols on pages, left to right, top to bottom, each centred in
  its cell: one PDF for all pages, or one file per page for the other formats
  ({page} in -o, or -N before the extension). --margins T[,R[,B[,L]]] (default
  10mm), --gap H[,V] between cells, --label-text TEMPLATE prints a line under
  each label ({n}, {line}, {data} the data as encoded, with its check digits,
  {input} as typed), --cut-marks draws marks in the margins.

VERIFICATION AND REPORTS
  --verify reads every symbol back before writing it; one that fails is not
  written (unless --keep-failed) and the run exits with status 4. --json
  prints one JSON object per symbol, one per line, on standard output: the
  symbology, the data as encoded, the text, check characters, size in modules
  and mm, X reached, quiet zones, Aztec facts, warnings, the verdict.
  --grade [PROFILE] grades each symbol as a verifier would, printed by
  PROFILE (ideal, thermal203, thermal300, laser600 or DPI[,GAIN[,BLUR]]);
  --min-grade C fails a symbol graded below C as --verify does.

EXIT STATUS
  0  every symbol written
  1  the data cannot be encoded (the message names the character and its
     position, or the capacity needed and available)
  2  usage error (an unknown option, a missing or bad value)
  3  the output cannot be written
  4  verification failed
  In a batch, the status of the first row that failed. Every failure prints
  one line on standard error, starting "korvane: " (batch rows: "korvane: line
  N: ").
)";

// CLI11 reports in one line already; a stray line break would break the
// one-line rule, so it becomes a space.
std::string oneLine(std::string s) {
    for (char& c : s)
        if (c == '\n' || c == '\r')
            c = ' ';
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

std::string optionNames(const SymbolOption& o) {
    return (o.shortName.empty() ? "" : "-" + std::string(o.shortName) + ",") + "--" + std::string(o.name);
}

// The first error met while applying the options; CLI11 keeps parsing after a
// callback returns, so the first one is kept here and reported afterwards.
struct FirstError {
    std::optional<std::string> message;
    void keep(const Status& s) {
        if (!s && !message)
            message = s.error().message;
    }
};

Result<Length> lengthOf(const std::string& option, const std::string& v, Unit bare) {
    Result<Length> l = parseLength(v, bare);
    if (!l)
        return Error{ErrorCode::InvalidOption, "--" + option + ": " + l.error().message};
    return l;
}

// CLI11 checks every new option against all the earlier ones, so an App of
// sixty options costs far more to build than a symbol takes to make, and the
// command runs once per symbol. A run therefore registers the options its
// arguments name (every one of them for --help); CLI11 parses the arguments
// all the same, and an option not registered is as unknown to it as one that
// does not exist.
class Wanted {
public:
    Wanted(int argc, const char* const* argv) {
        for (int i = 1; i < argc; ++i) {
            const std::string_view a = argv[i] != nullptr ? argv[i] : "";
            if (a.size() > 2 && a[0] == '-' && a[1] == '-') {
                names_.emplace_back(a.substr(2, a.find('=') == std::string_view::npos ? a.npos : a.find('=') - 2));
                everything_ = everything_ || names_.back() == "help";
            } else if (a.size() >= 2 && a[0] == '-' && a[1] != '-') {
                // A cluster ("-bx") or a value run on ("-x0.33mm"): every letter may be an option.
                shortLetters_.append(a.substr(1));
                everything_ = everything_ || a.find('h') != std::string_view::npos;
            }
        }
    }
    // `names` as CLI11 takes them: "-b,--symbology".
    bool operator()(std::string_view names) const {
        if (everything_)
            return true;
        for (std::string_view rest = names; !rest.empty();) {
            const std::size_t comma = rest.find(',');
            const std::string_view name = rest.substr(0, comma);
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
            if (name.size() == 2 && name[0] == '-' && shortLetters_.find(name[1]) != std::string::npos)
                return true;
            if (name.size() > 2 && std::find(names_.begin(), names_.end(), name.substr(2)) != names_.end())
                return true;
        }
        return false;
    }

private:
    std::vector<std::string_view> names_;
    std::string shortLetters_;
    bool everything_ = false;
};

}  // namespace

bool knownColumn(const std::string& name) { return findSymbolOption(name) != nullptr; }

Status applyColumn(Settings& settings, const std::string& name, const std::string& cell) {
    const SymbolOption* o = findSymbolOption(name);
    if (o == nullptr)
        return Error{ErrorCode::InvalidOption, "'" + name + "' is no option"};
    if (o->valueName.empty()) {
        const std::string v = lower(cell);
        if (v.empty() || v == "0" || v == "no" || v == "false" || v == "off")
            return Done{};
        if (v != "1" && v != "yes" && v != "true" && v != "on")
            return Error{ErrorCode::InvalidOption, "--" + name + " takes 1, yes, true or on (or 0, no, false, off)"};
        return o->apply(settings, "");
    }
    if (cell.empty())
        return Done{};
    return o->apply(settings, cell);
}

namespace {

// The values typed for the options that are checked together once parsing ends.
struct Typed {
    std::string data;        // the positional argument
    std::string dataOption;  // -d/--data, zint's spelling
    bool list = false;
    std::string jobs;
    std::string sheet, grid, margins, gap, labelText;
    bool cutMarks = false;
    std::string gradeProfile, minGrade;
};

// The options a run registers with CLI11 (only those its arguments name, see
// Wanted), and how many times each was given.
class Options {
public:
    Options(CLI::App& app, int argc, const char* const* argv) : app_(app), wanted_(argc, argv) {}

    void positional(std::string& data) {
        registered_.emplace_back("data", app_.add_option("data", data, "the data to encode (else --input or standard input)")
                                             ->type_name("DATA"));
    }
    void value(const char* names, std::string& target, const char* help, const char* type) {
        if (wanted_(names))
            keep(names, app_.add_option(names, target, help)->type_name(type));
    }
    void flag(const char* names, bool& target, const char* help) {
        if (wanted_(names))
            keep(names, app_.add_flag(names, target, help));
    }
    // An option whose value may be left out ("--grade" or "--grade thermal203").
    void optionalValue(const char* names, std::string& target, const char* help, const char* type) {
        if (wanted_(names))
            keep(names, app_.add_option(names, target, help)->expected(0, 1)->type_name(type));
    }
    // An option of the table in Settings.cpp, applied to `settings` as CLI11 meets it.
    void symbolOption(const SymbolOption& o, Settings& settings, FirstError& first) {
        const std::string names = optionNames(o);
        if (!wanted_(names))
            return;
        const SymbolOption* option = &o;
        if (o.valueName.empty()) {
            keep(names, app_.add_flag_callback(
                            names, [&settings, &first, option] { first.keep(option->apply(settings, "")); },
                            std::string(o.help)));
        } else {
            keep(names, app_.add_option_function<std::string>(
                                names,
                                [&settings, &first, option](const std::string& v) {
                                    first.keep(option->apply(settings, v));
                                },
                                std::string(o.help))
                            ->type_name(std::string(o.valueName)));
        }
    }
    // By the name counts are asked by ("--input", "data"): CLI11's own look-up
    // compares every name of every option.
    std::size_t count(std::string_view name) const {
        for (const auto& [n, o] : registered_)
            if (n == name)
                return o->count();
        return 0;
    }

private:
    void keep(std::string_view names, const CLI::Option* o) {
        registered_.emplace_back(std::string(names.substr(names.find("--"))), o);
    }

    CLI::App& app_;
    const Wanted wanted_;
    std::vector<std::pair<std::string, const CLI::Option*>> registered_;
};

Error usage(std::string message) { return Error{ErrorCode::InvalidOption, std::move(message)}; }

// zint's options that have a counterpart here under another name: people
// bring their zint command lines along.
std::string zintHint(int argc, const char* const* argv) {
    static const std::pair<std::string_view, std::string_view> ZINT[] = {
        {"scale", "--x-dim (and --dpi)"}, {"barcode", "-b/--symbology"}, {"filetype", "--format"},
        {"notext", "--no-text"},          {"esc", "--escapes"},          {"whitesp", "--quiet-zone"},
        {"vwhitesp", "--quiet-zone H,V"}, {"secure", "--ecc"},           {"vers", "--aztec-size"},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i] != nullptr ? argv[i] : "";
        if (a == "--")
            break;
        if (a.size() < 3 || a.substr(0, 2) != "--")
            continue;
        const std::string_view name = a.substr(2, a.find('=') == std::string_view::npos ? a.npos : a.find('=') - 2);
        for (const auto& [zint, ours] : ZINT)
            if (name == zint)
                return "--" + std::string(zint) + " is zint's option; korvane's is " + std::string(ours);
    }
    return "";
}

// Data that begins with '-' reads as an option: say where it goes instead.
std::string dashedDataHint(const CLI::ParseError& e) {
    if (dynamic_cast<const CLI::ExtrasError*>(&e) == nullptr)
        return "";
    const std::string message = e.what();
    const std::size_t listed = message.find(": ");
    for (std::size_t at = listed; at != std::string::npos && at + 2 < message.size(); at = message.find(' ', at + 1)) {
        const std::size_t from = at + 1 + (message[at] == ':');
        if (from + 1 < message.size() && message[from] == '-' && message[from + 1] != '-') {
            const std::string word = message.substr(from, message.find(' ', from) - from);
            return "; data that begins with '-' goes after --, as in: korvane -o out.svg -- " + word;
        }
    }
    return "";
}

// The help text's frame: description, footer, help and version flags.
void describe(CLI::App& app) {
    app.footer(FOOTER);
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.get_formatter()->column_width(30);
    app.set_help_flag("-h,--help", "print this help and exit");
    app.set_version_flag("--version", std::string("korvane ") + KORVANE_VERSION_STRING, "print the version and exit");
}

void registerOptions(Options& options, Invocation& inv, Typed& typed, FirstError& first) {
    options.positional(typed.data);
    options.value("-d,--data", typed.dataOption, "the data to encode, as zint's -d takes it", "DATA");
    options.value("-o,--output", inv.output, "output file, - for standard output, a template for batches", "FILE");
    options.value("-i,--input", inv.input, "read the data from FILE as it is (- for standard input)", "FILE");
    for (const SymbolOption& o : symbolOptions())
        options.symbolOption(o, inv.settings, first);

    options.flag("--list", typed.list, "list the symbologies, their aliases, characters and options");
    options.flag("--json", inv.json, "print a JSON report of each symbol on standard output");
    options.flag("--verify", inv.verify, "read every symbol back; write only those that read correctly");
    options.flag("--keep-failed", inv.keepFailed,
                 "with --verify or --min-grade, write symbols that fail too (status 4 still)");
    options.optionalValue("--grade", typed.gradeProfile,
                          "grade each symbol (ISO/IEC 15416/15415) as printed by PROFILE: ideal, thermal203, "
                          "thermal300, laser600 or DPI[,GAIN[,BLUR]] (default ideal)",
                          "[PROFILE]");
    options.value("--min-grade", typed.minGrade, "fail a symbol graded below GRADE (A-D or 0-4): status 4, not written",
                  "GRADE");

    options.value("--batch", inv.batch, "one symbol per line of FILE (- for standard input)", "FILE");
    options.flag("--csv", inv.csv, "the batch file is CSV with a header row (see BATCHES)");
    options.value("-j,--jobs", typed.jobs, "threads for a batch (default: every core)", "N");
    options.flag("--fail-fast", inv.failFast, "stop a batch at its first bad row");
    options.flag("--allow-paths", inv.allowPaths, "a CSV's file cells may name files outside the folder of -o");

    options.value("--sheet", typed.sheet, "place the batch on pages: A4, Letter, WxH, ...", "PAGE");
    options.value("--grid", typed.grid, "labels per page, columns x rows (default 1x1)", "CxR");
    options.value("--margins", typed.margins, "page margins T[,R[,B[,L]]] (default 10mm)", "LENGTHS");
    options.value("--gap", typed.gap, "space between cells H[,V] (default 0)", "LENGTHS");
    options.value("--label-text", typed.labelText, "a line under each label: {n}, {line}, {data} (as encoded), {input} (as typed)",
                  "TEMPLATE");
    options.flag("--cut-marks", typed.cutMarks, "cut marks in the page margins");
}

// CLI11's parse: nothing when it went through, else the finished result
// (the help or version text, or the usage error).
std::optional<Result<Invocation>> parseArguments(CLI::App& app, int argc, const char* const* argv, Invocation& inv) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        inv.action = Action::Help;
        inv.text = app.help();
        return inv;
    } catch (const CLI::CallForVersion& e) {
        inv.action = Action::Version;
        inv.text = std::string(e.what()) + "\n";
        return inv;
    } catch (const CLI::ParseError& e) {
        // A zint option is named alone: CLI11 would also call its value unexpected.
        if (const std::string zint = zintHint(argc, argv); !zint.empty())
            return usage(zint + " (korvane --help lists the options)");
        return usage(oneLine(e.what()) + dashedDataHint(e) + " (korvane --help lists the options)");
    }
    return std::nullopt;
}

Status checkExclusions(const Options& options) {
    if (options.count("--check") > 0 && options.count("--no-check") > 0)
        return usage("--check and --no-check exclude each other");
    if (options.count("--compact") > 0 && options.count("--full-range") > 0)
        return usage("--compact and --full-range exclude each other");
    return Done{};
}

// Where the data comes from and where the symbol goes.
Status settleDataAndOutput(const Options& options, Typed& typed, Invocation& inv) {
    const std::size_t dataGiven = options.count("data") + options.count("--data");
    if (options.count("data") > 0)
        inv.data = std::move(typed.data);
    else if (options.count("--data") > 0)
        inv.data = std::move(typed.dataOption);
    inv.outputGiven = options.count("--output") > 0;
    if (!inv.outputGiven && inv.settings.format)
        inv.output = std::string("barcode.") + formatName(*inv.settings.format);

    const std::size_t sources = (dataGiven > 0 ? 1 : 0) + (options.count("--input") > 0 ? 1 : 0) +
                                (options.count("--batch") > 0 ? 1 : 0);
    if (sources > 1 || dataGiven > 1)
        return usage("give the data one way: as an argument, with -d, with --input or with --batch");
    if (inv.input.empty() && options.count("--input") > 0)
        return usage("--input: the file name is empty");
    if (inv.batch.empty() && options.count("--batch") > 0)
        return usage("--batch: the file name is empty");
    if (inv.csv && inv.batch.empty())
        return usage("--csv describes a --batch file; give --batch FILE");
    if (options.count("--grade") > 0 || options.count("--min-grade") > 0) {
        const Result<PrinterProfile> profile = printerProfile(typed.gradeProfile.empty() ? "ideal" : typed.gradeProfile);
        if (!profile)
            return usage("--grade: " + profile.error().message + " (give the data before --grade, or after --)");
        inv.grade = *profile;
    }
    if (options.count("--min-grade") > 0) {
        const std::string& g = typed.minGrade;
        static constexpr std::string_view LETTERS = "FDCBA";
        const std::size_t letter =
            g.size() == 1 ? LETTERS.find(static_cast<char>(std::toupper(static_cast<unsigned char>(g[0]))))
                          : std::string_view::npos;
        if (letter != std::string_view::npos && letter > 0) {
            inv.minGrade = static_cast<double>(letter) - 0.5;  // a grade letter's range starts half a grade below
        } else {
            char* end = nullptr;
            const double v = std::strtod(g.c_str(), &end);
            if (g.empty() || end != g.c_str() + g.size() || !(v >= 0 && v <= 4))
                return usage("--min-grade: give a letter A-D or a grade 0 to 4, not \"" + g.substr(0, 20) + "\"");
            inv.minGrade = v;
        }
    }
    if (inv.keepFailed && !inv.verify && inv.minGrade < 0)
        return usage("--keep-failed applies with --verify or --min-grade");
    if (inv.output.empty())
        return usage("--output: the file name is empty");
    if (inv.json && inv.output == "-")
        return usage("--json and -o - would both write to standard output");
    return Done{};
}

Status settleBatch(const Options& options, const Typed& typed, Invocation& inv) {
    if (!typed.jobs.empty()) {
        const Result<long long> n = parseInteger(typed.jobs, 1, MAX_JOBS);
        if (!n)
            return usage("--jobs: " + n.error().message);
        inv.jobs = static_cast<int>(*n);
    }
    if (options.count("--jobs") > 0 && inv.batch.empty())
        return usage("--jobs applies to a --batch");
    if (inv.jobs == 0)
        inv.jobs = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, static_cast<unsigned>(MAX_JOBS)));
    if (inv.failFast && inv.batch.empty())
        return usage("--fail-fast applies to a --batch");
    if (inv.allowPaths && !inv.csv)
        return usage("--allow-paths applies to the file cells of a --csv batch");
    return Done{};
}

// --gap H[,V]: lengths on paper.
Status parseGap(const std::string& gap, SheetSettings& s) {
    const std::size_t comma = gap.find(',');
    const Result<Length> h = lengthOf("gap", gap.substr(0, comma), Unit::Mm);
    if (!h)
        return h.error();
    s.gapH = s.gapV = *h;
    if (comma != std::string::npos) {
        const Result<Length> v = lengthOf("gap", gap.substr(comma + 1), Unit::Mm);
        if (!v)
            return v.error();
        s.gapV = *v;
    }
    if (s.gapH.unit == Unit::Px || s.gapV.unit == Unit::Px)
        return usage("--gap: sheet gaps are lengths on paper, not px");
    return Done{};
}

// The sheet, when --sheet asks for one; its options without it are an error.
Result<std::optional<SheetSettings>> sheetSettings(const Options& options, const Typed& typed, const Invocation& inv) {
    const bool sheetOptions = options.count("--grid") + options.count("--margins") + options.count("--gap") +
                                  options.count("--label-text") + options.count("--cut-marks") >
                              0;
    if (options.count("--sheet") == 0) {
        if (sheetOptions)
            return usage("--grid, --margins, --gap, --label-text and --cut-marks describe a --sheet");
        return std::optional<SheetSettings>();
    }
    if (inv.batch.empty())
        return usage("--sheet places the symbols of a --batch");
    if (inv.settings.layout.dpi <= 0)
        return usage("--sheet needs a resolution; --dpi none draws without one");
    SheetSettings s;
    const Result<PageSize> page = parsePageSize(typed.sheet);
    if (!page)
        return usage("--sheet: " + page.error().message);
    s.page = *page;
    if (!typed.grid.empty()) {
        const Result<Grid> g = parseGrid(typed.grid);
        if (!g)
            return usage("--grid: " + g.error().message);
        s.grid = *g;
    }
    const Result<Box> m = parseBox(typed.margins.empty() ? "10mm" : typed.margins, Unit::Mm);
    if (!m)
        return usage("--margins: " + m.error().message);
    s.margins = *m;
    if (!typed.gap.empty())
        if (const Status gap = parseGap(typed.gap, s); !gap)
            return gap.error();
    const Result<NameTemplate> text = NameTemplate::parse(typed.labelText);
    if (!text)
        return usage("--label-text: " + text.error().message);
    s.labelText = typed.labelText;
    s.labelTemplate = *text;
    s.cutMarks = typed.cutMarks;
    return std::optional<SheetSettings>(std::move(s));
}

}  // namespace

Result<Invocation> parseCommandLine(int argc, const char* const* argv) {
    Invocation inv;
    Typed typed;
    FirstError first;
    CLI::App app(DESCRIPTION, "korvane");
    describe(app);
    Options options(app, argc, argv);
    registerOptions(options, inv, typed, first);
    if (std::optional<Result<Invocation>> finished = parseArguments(app, argc, argv, inv))
        return std::move(*finished);
    if (first.message)
        return usage(*first.message);
    if (const Status excluded = checkExclusions(options); !excluded)
        return excluded.error();
    if (typed.list) {
        inv.action = Action::List;
        return inv;
    }
    if (const Status settled = settleDataAndOutput(options, typed, inv); !settled)
        return settled.error();
    if (const Status settled = settleBatch(options, typed, inv); !settled)
        return settled.error();
    Result<std::optional<SheetSettings>> sheet = sheetSettings(options, typed, inv);
    if (!sheet)
        return sheet.error();
    inv.sheet = std::move(*sheet);
    return inv;
}

}  // namespace korvane::cli

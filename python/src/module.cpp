// The korvane._korvane extension: the library's encode(), layout(), write()
// and verify() for Python. Keywords follow the command's option names
// ("x-dim" is x_dim); the encoder's come from the library's option table, so
// an option is refused where the table says it does not apply. Errors come
// back as korvane.EncodeError (a ValueError), write failures as OSError.

#include <korvane/korvane.hpp>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace py = pybind11;
using namespace korvane;

namespace {

// korvane._types.EncodeError, looked up once; kept for the process's life
// (never released, so nothing touches it after the interpreter is gone).
py::handle encodeErrorType() {
    static py::handle type = py::object(py::module_::import("korvane._types").attr("EncodeError")).release();
    return type;
}

// The 1-based position a message names ("... 'a' at position 3 ..."), or None.
py::object positionOf(const std::string& message) {
    constexpr std::string_view MARK = " at position ";
    const std::size_t at = message.find(MARK);
    if (at == std::string::npos)
        return py::none();
    std::size_t i = at + MARK.size();
    long long n = 0;
    const std::size_t start = i;
    while (i < message.size() && message[i] >= '0' && message[i] <= '9' && n < 1'000'000'000)
        n = n * 10 + (message[i++] - '0');
    return i == start ? py::object(py::none()) : py::object(py::int_(n));
}

py::object errorObject(const Error& e) {
    return encodeErrorType()(e.message, errorCodeName(e.code), positionOf(e.message));
}

[[noreturn]] void raise(const Error& e) {
    if (e.code == ErrorCode::WriteFailed) {
        PyErr_SetString(PyExc_OSError, e.message.c_str());
        throw py::error_already_set();
    }
    py::object error = errorObject(e);
    PyErr_SetObject(encodeErrorType().ptr(), error.ptr());
    throw py::error_already_set();
}

template <typename T>
T take(Result<T>&& r) {
    if (!r)
        raise(r.error());
    return std::move(*r);
}

[[noreturn]] void typeError(const std::string& message) { throw py::type_error(message); }
[[noreturn]] void valueError(const std::string& message) { throw py::value_error(message); }

std::string typeName(py::handle value) { return py::str(py::type::handle_of(value).attr("__name__")); }

// The data as bytes: str as UTF-8, bytes-like objects as they are.
std::string dataBytes(py::handle data, bool& isBytes) {
    if (PyUnicode_Check(data.ptr())) {
        Py_ssize_t size = 0;
        const char* utf8 = PyUnicode_AsUTF8AndSize(data.ptr(), &size);
        if (!utf8)
            throw py::error_already_set();  // lone surrogates
        isBytes = false;
        return std::string(utf8, static_cast<std::size_t>(size));
    }
    if (PyBytes_Check(data.ptr())) {
        isBytes = true;
        return std::string(PyBytes_AS_STRING(data.ptr()), static_cast<std::size_t>(PyBytes_GET_SIZE(data.ptr())));
    }
    if (PyByteArray_Check(data.ptr()) || PyMemoryView_Check(data.ptr())) {
        isBytes = true;
        py::bytes copy(py::reinterpret_steal<py::object>(PyBytes_FromObject(data.ptr())));
        return std::string(copy);
    }
    typeError("data must be str or bytes, not " + typeName(data));
}

// ---- keyword values ----

bool asBool(py::handle v, std::string_view name) {
    if (!PyBool_Check(v.ptr()))
        typeError(std::string(name) + " must be True or False, not " + typeName(v));
    return v.ptr() == Py_True;
}

int asInt(py::handle v, std::string_view name) {
    if (!PyLong_Check(v.ptr()) || PyBool_Check(v.ptr()))
        typeError(std::string(name) + " must be an int, not " + typeName(v));
    int overflow = 0;
    const long long n = PyLong_AsLongLongAndOverflow(v.ptr(), &overflow);
    if (overflow || n < -1'000'000'000 || n > 1'000'000'000)
        valueError(std::string(name) + " is out of range");
    return static_cast<int>(n);
}

long long asLongLong(py::handle v, std::string_view name) {
    if (!PyLong_Check(v.ptr()) || PyBool_Check(v.ptr()))
        typeError(std::string(name) + " must be an int, not " + typeName(v));
    int overflow = 0;
    const long long n = PyLong_AsLongLongAndOverflow(v.ptr(), &overflow);
    if (overflow)
        valueError(std::string(name) + " is out of range");
    return n;
}

std::string asStr(py::handle v, std::string_view name) {
    if (!PyUnicode_Check(v.ptr()))
        typeError(std::string(name) + " must be a str, not " + typeName(v));
    return py::cast<std::string>(v);
}

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A length: a number in `bare` units, or a string with its unit ("0.33mm", "50x").
Length asLength(py::handle v, std::string_view name, Unit bare, bool modules) {
    std::string text;
    if (PyUnicode_Check(v.ptr()))
        text = py::cast<std::string>(v);
    else if ((PyLong_Check(v.ptr()) || PyFloat_Check(v.ptr())) && !PyBool_Check(v.ptr()))
        text = py::str(v);
    else
        typeError(std::string(name) + " must be a number or a str with a unit such as \"0.33mm\", not " + typeName(v));
    Result<Length> length = parseLength(text, bare, modules);
    if (!length)
        raise(Error{length.error().code, std::string(name) + ": " + length.error().message});
    return *length;
}

// A colour as the library's parser takes it ("RRGGBB", "RRGGBBAA", "none",
// "cmyk:C,M,Y,K", a name), or (r, g, b[, a]).
Colour asColour(py::handle v, std::string_view name) {
    const std::string what = std::string(name) + " must be \"RRGGBB\", \"RRGGBBAA\", \"none\", \"cmyk:C,M,Y,K\", a "
                                                 "name or (r, g, b[, a])";
    if (PyUnicode_Check(v.ptr())) {
        Result<Colour> colour = parseColour(py::cast<std::string>(v));
        if (!colour)
            raise(Error{colour.error().code, std::string(name) + ": " + colour.error().message});
        return *colour;
    }
    if (PyTuple_Check(v.ptr()) || PyList_Check(v.ptr())) {
        const py::sequence seq = py::reinterpret_borrow<py::sequence>(v);
        if (seq.size() != 3 && seq.size() != 4)
            valueError(what);
        std::uint8_t c[4] = {0, 0, 0, 255};
        for (std::size_t i = 0; i < seq.size(); ++i) {
            const int n = asInt(seq[i], name);
            if (n < 0 || n > 255)
                valueError(std::string(name) + ": each component is 0-255");
            c[i] = static_cast<std::uint8_t>(n);
        }
        return Colour{c[0], c[1], c[2], c[3]};
    }
    typeError(what + ", not " + typeName(v));
}

// ---- encode options, by the library's option table ----

// A keyword's value as its row's text, Python's types checked by the row's
// kind: bool for flags, int for integers, str for letters, words and text,
// (index, count[, id]) for a set, (rows, columns) for a size and a dict for
// fields; the library then parses and checks the text as it does the command's.
std::vector<std::string> optionTexts(const EncodeOptionInfo& row, py::handle v, const std::string& keyword) {
    switch (row.kind) {
    case OptionKind::Flag: return {asBool(v, keyword) ? "1" : "0"};
    case OptionKind::Integer: return {std::to_string(asLongLong(v, keyword))};
    case OptionKind::Number: {
        if (!PyFloat_Check(v.ptr()) && (!PyLong_Check(v.ptr()) || PyBool_Check(v.ptr())))
            typeError(keyword + " must be a number, not " + typeName(v));
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", py::cast<double>(v));
        return {text};
    }
    case OptionKind::Letter:
    case OptionKind::Word:
    case OptionKind::Text: return {asStr(v, keyword)};
    case OptionKind::Set: {
        if (!PyTuple_Check(v.ptr()) || (PyTuple_GET_SIZE(v.ptr()) != 2 && PyTuple_GET_SIZE(v.ptr()) != 3))
            typeError(keyword + " must be a tuple (index, count) or (index, count, id)");
        const py::tuple t = py::reinterpret_borrow<py::tuple>(v);
        return {std::to_string(asLongLong(t[0], keyword)) + "/" + std::to_string(asLongLong(t[1], keyword)) +
                (t.size() == 3 ? ":" + asStr(t[2], keyword) : std::string())};
    }
    case OptionKind::Size: {
        if (!PyTuple_Check(v.ptr()) || PyTuple_GET_SIZE(v.ptr()) != 2)
            typeError(keyword + " must be a tuple (rows, columns)");
        const py::tuple t = py::reinterpret_borrow<py::tuple>(v);
        return {std::to_string(asLongLong(t[0], keyword)) + "x" + std::to_string(asLongLong(t[1], keyword))};
    }
    case OptionKind::Fields: {
        if (!PyDict_Check(v.ptr()))
            typeError(keyword + " must be a dict such as {\"file_name\": \"a.pdf\"}, not " + typeName(v));
        std::vector<std::string> fields;
        for (const auto& [k, value] : py::reinterpret_borrow<py::dict>(v)) {
            std::string field = py::str(k);
            const std::string where = keyword + "[" + field + "]";
            std::replace(field.begin(), field.end(), '_', '-');
            fields.push_back(field + "=" +
                             (PyUnicode_Check(value.ptr()) ? asStr(value, where)
                                                           : std::to_string(asLongLong(value, where))));
        }
        return fields;
    }
    }
    return {};
}

void setEncodeOption(EncodeOptions& o, const EncodeOptionInfo& row, py::handle v, const std::string& keyword) {
    for (const std::string& text : optionTexts(row, v, keyword))
        if (const Status set = row.set(row, o, text); !set)
            raise(Error{set.error().code, keyword + ": " + set.error().message});
}

// The layout and writing settings a symbol is drawn with.
struct Render {
    LayoutOptions layout;
    WriteOptions write;
};

// A layout keyword's row: the command's name with '_' for '-'; null for none.
const LayoutOptionInfo* layoutRowOf(std::string key) {
    std::replace(key.begin(), key.end(), '_', '-');
    return findLayoutOption(key);
}

// A Number row's value: a number, or None or the row's word for 0 ("none").
double asLayoutNumber(const LayoutOptionInfo& row, py::handle v, const std::string& key) {
    if (v.is_none() || (PyUnicode_Check(v.ptr()) && lower(py::cast<std::string>(v)) == row.choices))
        return 0;
    if ((PyLong_Check(v.ptr()) || PyFloat_Check(v.ptr())) && !PyBool_Check(v.ptr()))
        return py::cast<double>(v);
    typeError(key + " must be a number or None, not " + typeName(v));
}

// Lengths: one length, or a tuple (beside, above and below).
void setLayoutLengths(const LayoutOptionInfo& row, LayoutOptions& l, py::handle v, const std::string& key) {
    Length values[2];
    std::size_t count = 1;
    if (row.kind == OptionKind::Lengths && PyTuple_Check(v.ptr())) {
        const py::tuple t = py::reinterpret_borrow<py::tuple>(v);
        if (t.size() != 2)
            typeError(key + " must be a length or a tuple (beside, above and below)");
        values[0] = asLength(t[0], key, row.unit, row.modules);
        values[1] = asLength(t[1], key, row.unit, row.modules);
        count = 2;
    } else
        values[0] = asLength(v, key, row.unit, row.modules);
    assignLayoutLengths(row, l, values, count);
}

// A layout keyword's value by its row's kind, Python's types checked here and
// the range left to checkLayoutOptions().
void setLayoutValue(const LayoutOptionInfo& row, LayoutOptions& l, py::handle v, const std::string& key) {
    switch (row.kind) {
    case OptionKind::Number: assignLayoutNumber(row, l, asLayoutNumber(row, v, key)); break;
    case OptionKind::Integer: assignLayoutNumber(row, l, asInt(v, key)); break;
    case OptionKind::Flag: assignLayoutFlag(row, l, asBool(v, key)); break;
    case OptionKind::Length:
    case OptionKind::Lengths: setLayoutLengths(row, l, v, key); break;
    case OptionKind::Colour:
        if (const Status set = assignLayoutColour(row, l, asColour(v, key)); !set)
            valueError(key + ": " + set.error().message);
        break;
    default: break;
    }
}

// Applies a layout keyword (or font, the writer's); false when `key` is none.
bool setLayoutOption(LayoutOptions& layout, WriteOptions& write, const std::string& key, py::handle v) {
    if (key == "font") {
        write.fontFile = py::cast<std::string>(py::module_::import("os").attr("fspath")(v));
        return true;
    }
    const LayoutOptionInfo* row = layoutRowOf(key);
    if (row == nullptr)
        return false;
    setLayoutValue(*row, layout, v, key);
    return true;
}

// "dpi, x_dim, ..., font_size, font, fg, ...": the layout keywords, for messages.
std::string layoutKeywords() {
    std::size_t count = 0;
    const LayoutOptionInfo* table = layoutOptionTable(count);
    std::string names;
    for (std::size_t i = 0; i < count; ++i) {
        std::string name(table[i].name);
        std::replace(name.begin(), name.end(), '-', '_');
        names += (i ? ", " : "") + name + (table[i].name == "font-size" ? ", font" : "");
    }
    return names;
}

// The layout's own checks, made when the options are given rather than when drawn.
void checkRender(const Render& r, Symbology s) {
    if (const Status ok = checkLayoutOptions(r.layout, s); !ok)
        raise(ok.error());
}

// What encode() and encode_many() take besides the data.
Render renderOf(const Request& q) { return {q.layout, q.write}; }

Request parseRequest(const std::string& symbologyName, const py::kwargs& kwargs, const char* function,
                     bool takesFormat, std::optional<Format>* format, int* jobs) {
    Request q;
    const std::optional<Symbology> found = findSymbology(symbologyName);
    if (!found)
        raise(Error{ErrorCode::UnknownSymbology, "'" + symbologyName.substr(0, 40) +
                                                     "' is no symbology; korvane.symbologies() lists them"});
    q.symbology = *found;
    for (const auto& [k, v] : kwargs) {
        const std::string key = py::cast<std::string>(k);
        if (takesFormat && key == "format") {
            if (!v.is_none()) {
                const std::optional<Format> f = findFormat(asStr(v, key));
                if (!f)
                    raise(Error{ErrorCode::UnknownFormat, "format must be svg, pdf, eps, png, emf or bmp"});
                *format = f;
            }
            continue;
        }
        if (takesFormat && key == "jobs") {
            if (!v.is_none())
                *jobs = asInt(v, key);
            continue;
        }
        if (setLayoutOption(q.layout, q.write, key, v))
            continue;
        std::string name = key;
        std::replace(name.begin(), name.end(), '_', '-');
        const EncodeOptionInfo* row = findEncodeOption(name);
        if (!row)
            typeError(std::string(function) + "() got an unexpected keyword argument '" + key + "'");
        if (const Status applies = checkOptionApplies(*row, q.symbology, key); !applies)
            raise(applies.error());
        setEncodeOption(q.encode, *row, v, key);
    }
    if (const Status ok = checkRequest(q); !ok)
        raise(ok.error());
    return q;
}

// ---- Symbol ----

// Layout warnings as Python warnings (UserWarning), as the command prints them;
// a filter that turns them into errors raises.
void warnAll(const std::vector<std::string>& warnings) {
    for (const std::string& w : warnings)
        if (PyErr_WarnEx(PyExc_UserWarning, w.c_str(), 1) < 0)
            throw py::error_already_set();
}

struct PySymbol {
    Symbol symbol;
    Render render;
    bool bytesData = false;  // facts.data comes back as bytes, as the data went in

    Render with(const py::kwargs& kwargs) const {
        Render r = render;
        for (const auto& [k, v] : kwargs) {
            const std::string key = py::cast<std::string>(k);
            if (!setLayoutOption(r.layout, r.write, key, v))
                typeError("unexpected keyword argument '" + key + "' (layout options: " + layoutKeywords() + ")");
        }
        checkRender(r, symbol.symbology);
        return r;
    }

    Drawing drawing(const Render& r) const {
        Result<Drawing> d = [&] {
            py::gil_scoped_release unlocked;
            return layout(symbol, r.layout);
        }();
        Drawing drawn = take(std::move(d));
        warnAll(drawn.warnings);
        return drawn;
    }

    // The symbol's warnings and those of laying it out as encode() was asked.
    std::vector<std::string> allWarnings() const {
        std::vector<std::string> all = symbol.warnings;
        if (const Result<Drawing> d = layout(symbol, render.layout))
            all.insert(all.end(), d->warnings.begin(), d->warnings.end());
        return all;
    }

    Written written(Format format, const py::kwargs& kwargs) const {
        // The common call gives no keywords: draw with the symbol's own settings, uncopied.
        std::optional<Render> own;
        if (!kwargs.empty())
            own = with(kwargs);
        const Render& r = own ? *own : render;
        std::vector<std::string> warnings;
        Result<Written> w = [&]() -> Result<Written> {
            py::gil_scoped_release unlocked;
            Result<Drawing> d = layout(symbol, r.layout);
            if (!d)
                return d.error();
            warnings = std::move(d->warnings);
            return write(*d, format, r.write);
        }();
        Written out = take(std::move(w));
        warnAll(warnings);
        return out;
    }

    py::bytes bytesOf(Format format, const py::kwargs& kwargs) const {
        const Written w = written(format, kwargs);
        return py::bytes(reinterpret_cast<const char*>(w.bytes.data()), w.bytes.size());
    }

    py::str svg(const py::kwargs& kwargs) const {
        const Written w = written(Format::Svg, kwargs);
        return py::str(reinterpret_cast<const char*>(w.bytes.data()), w.bytes.size());
    }

    py::object text(const std::string& s) const {
        if (bytesData)
            return py::bytes(s);
        return py::reinterpret_steal<py::object>(
            PyUnicode_DecodeUTF8(s.data(), static_cast<Py_ssize_t>(s.size()), "surrogateescape"));
    }
};

py::dict factsDict(const PySymbol& s, const std::vector<Fact>& facts);

// A fact as Python has it: the data as it went in (str or bytes), a list's
// records as tuples of their values.
py::object factValue(const PySymbol& s, const Fact& f, bool inList) {
    switch (f.kind) {
    case Fact::Kind::Integer: return py::int_(f.integer);
    case Fact::Kind::Boolean: return py::bool_(f.integer != 0);
    case Fact::Kind::Real: return py::float_(f.real);
    case Fact::Kind::Text: return py::cast(f.text);
    case Fact::Kind::Bytes: return s.text(f.text);
    case Fact::Kind::List: {
        py::list items;
        for (const Fact& item : f.items)
            items.append(factValue(s, item, true));
        return std::move(items);
    }
    case Fact::Kind::Record:
        if (inList) {
            py::list values;
            for (const Fact& item : f.items)
                if (item.shownIn(PYTHON_VIEW))
                    values.append(factValue(s, item, false));
            return py::tuple(values);
        }
        return factsDict(s, f.items);
    }
    return py::none();
}

py::dict factsDict(const PySymbol& s, const std::vector<Fact>& facts) {
    py::dict d;
    for (const Fact& f : facts)
        if (f.shownIn(PYTHON_VIEW))
            d[py::str(factName(f.name, NameStyle::Snake))] = factValue(s, f, false);
    return d;
}

py::object facts(const PySymbol& s) { return factsDict(s, factsRecord(s.symbol)); }

// The rasterised bars, shared with NumPy through the buffer protocol.
struct PyRaster {
    GrayRaster raster;
};

const char* checkRuleName(CheckRule r) {
    switch (r) {
    case CheckRule::None: return "none";
    case CheckRule::Optional: return "optional";
    case CheckRule::OptionalOn: return "optional-on";
    case CheckRule::Mandatory: return "mandatory";
    }
    return "none";
}

// The keyword names of the encoder options that apply to a symbology.
py::tuple optionKeywords(const SymbologyInfo& info) {
    std::size_t count = 0;
    const EncodeOptionInfo* table = encodeOptionTable(count);
    py::list names;
    for (std::size_t i = 0; i < count; ++i) {
        if (!table[i].appliesTo(info))
            continue;
        std::string k(table[i].name);
        std::replace(k.begin(), k.end(), '-', '_');
        names.append(k);
    }
    return py::tuple(names);
}

py::list symbologies() {
    py::module_ types = py::module_::import("types");
    py::list out;
    const SymbologyInfo* all = allSymbologies();
    for (int i = 0; i < SYMBOLOGY_COUNT; ++i) {
        const SymbologyInfo& info = all[i];
        py::list aliases;
        for (std::string_view a : info.aliases)
            if (!a.empty())
                aliases.append(py::str(a.data(), a.size()));
        py::list caps;
        for (std::string_view c : capabilityNames(info))
            caps.append(py::str(c.data(), c.size()));
        py::dict d;
        d["name"] = py::str(info.name.data(), info.name.size());
        d["title"] = py::str(info.title.data(), info.title.size());
        d["aliases"] = py::tuple(aliases);
        d["characters"] = py::str(info.characters.data(), info.characters.size());
        d["check"] = checkRuleName(info.check);
        d["matrix"] = info.matrix;
        d["capabilities"] = py::tuple(caps);
        d["options"] = optionKeywords(info);
        d["default_x_mm"] = info.defaultXMm;
        d["max_data_bytes"] = info.maxDataBytes;
        out.append(py::module_::import("korvane._types").attr("SymbologyInfo")(**d));
    }
    return out;
}

PySymbol encodeOne(const std::string& symbology, py::handle data, const py::kwargs& kwargs) {
    PySymbol s;
    const std::string bytes = dataBytes(data, s.bytesData);
    if (kwargs.empty()) {
        // The common call: no options to parse.
        s.symbol = take(encode(std::string_view(symbology), bytes));
        return s;
    }
    Request q = parseRequest(symbology, kwargs, "encode", false, nullptr, nullptr);
    s.symbol = take(encode(q.symbology, bytes, q.encode));
    s.render = renderOf(q);
    return s;
}

// One value's outcome in encode_many.
struct Outcome {
    std::optional<Symbol> symbol;
    std::vector<std::uint8_t> bytes;
    std::optional<Error> error;
};

py::list encodeMany(const std::string& symbology, py::iterable values, const py::kwargs& kwargs) {
    std::optional<Format> format;
    int jobs = 0;
    const Request q = parseRequest(symbology, kwargs, "encode_many", true, &format, &jobs);
    if (jobs < 0)
        valueError("jobs must be 1 or more (or 0/None for every core)");
    // A str or bytes is one value, not a sequence of them: iterating it would
    // encode each character on its own.
    if (PyUnicode_Check(values.ptr()) || PyBytes_Check(values.ptr()) || PyByteArray_Check(values.ptr()))
        typeError("values must be an iterable of str or bytes values, not a single " + typeName(values));
    std::vector<std::string> data;
    std::vector<char> isBytes;
    for (py::handle v : values) {
        bool b = false;
        data.push_back(dataBytes(v, b));
        isBytes.push_back(b);
    }
    std::vector<Outcome> out(data.size());
    {
        py::gil_scoped_release unlocked;
        std::atomic<std::size_t> next{0};
        auto work = [&] {
            // Small blocks keep the threads' shares even when values differ in cost.
            constexpr std::size_t BLOCK = 16;
            for (;;) {
                const std::size_t begin = next.fetch_add(BLOCK);
                if (begin >= data.size())
                    return;
                for (std::size_t i = begin; i < std::min(begin + BLOCK, data.size()); ++i) try {
                    Result<Symbol> s = encode(q.symbology, data[i], q.encode);
                    if (!s) {
                        out[i].error = s.error();
                        continue;
                    }
                    if (!format) {
                        out[i].symbol = std::move(*s);
                        continue;
                    }
                    Result<Drawing> d = layout(*s, q.layout);
                    if (!d) {
                        out[i].error = d.error();
                        continue;
                    }
                    Result<Written> w = write(*d, *format, q.write);
                    if (!w)
                        out[i].error = w.error();
                    else
                        out[i].bytes = std::move(w->bytes);
                } catch (const std::bad_alloc&) {
                    // The library throws nothing else; an exception must not leave a thread.
                    out[i].symbol.reset();
                    out[i].error = Error{ErrorCode::SizeTooLarge, "out of memory"};
                }
            }
        };
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const std::size_t threads =
            std::min<std::size_t>(jobs > 0 ? static_cast<std::size_t>(jobs) : cores, (data.size() + 63) / 64);
        std::vector<std::thread> pool;
        for (std::size_t t = 1; t < threads; ++t)
            pool.emplace_back(work);
        work();
        for (std::thread& t : pool)
            t.join();
    }
    py::list results(data.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        Outcome& o = out[i];
        if (o.error)
            results[i] = errorObject(*o.error);
        else if (!format)
            results[i] = py::cast(PySymbol{std::move(*o.symbol), renderOf(q), isBytes[i] != 0});
        else if (*format == Format::Svg)
            results[i] = py::str(reinterpret_cast<const char*>(o.bytes.data()), o.bytes.size());
        else
            results[i] = py::bytes(reinterpret_cast<const char*>(o.bytes.data()), o.bytes.size());
    }
    return results;
}

// ---- sheets ----

// A sheet length: a number in mm or a str with a unit on paper (not px).
double sheetMm(py::handle v, const std::string& name) {
    const Length l = asLength(v, name, Unit::Mm, false);
    if (l.unit == Unit::Px)
        raise(Error{ErrorCode::InvalidOption, name + ": sheet lengths are on paper, not px"});
    return l.mm(0);
}

// The lengths of a tuple or list, or of a single value.
std::vector<py::handle> lengths(py::handle v) {
    std::vector<py::handle> out;
    if (PyTuple_Check(v.ptr()) || PyList_Check(v.ptr()))
        for (py::handle item : py::reinterpret_borrow<py::sequence>(v))
            out.push_back(item);
    else
        out.push_back(v);
    return out;
}

// "A4", "A5", "A3", "A6", "Letter", "Legal", "WxH" with a unit ("100x150mm",
// "4x6in"), or (width, height) as lengths.
PageSize asPage(py::handle v) {
    if (PyTuple_Check(v.ptr()) || PyList_Check(v.ptr())) {
        const std::vector<py::handle> wh = lengths(v);
        if (wh.size() != 2)
            typeError("page must be a name such as \"A4\", \"WxH\" with a unit, or (width, height)");
        return PageSize{sheetMm(wh[0], "page"), sheetMm(wh[1], "page")};
    }
    Result<PageSize> named = parsePageSize(asStr(v, "page"));
    if (!named)
        raise(Error{named.error().code, "page: " + named.error().message + ", or (width, height)"});
    return *named;
}

// (columns, rows), or "CxR" as the command's --grid.
std::pair<int, int> asGrid(py::handle v) {
    if (PyUnicode_Check(v.ptr())) {
        const std::string s = lower(py::cast<std::string>(v));
        const std::size_t x = s.find('x');
        const auto whole = [](const std::string& t) {
            return !t.empty() && t.size() <= 4 && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
        };
        if (x == std::string::npos || !whole(s.substr(0, x)) || !whole(s.substr(x + 1)))
            valueError("grid must be (columns, rows) or \"CxR\" such as \"3x8\", not '" + s.substr(0, 20) + "'");
        return {std::stoi(s.substr(0, x)), std::stoi(s.substr(x + 1))};
    }
    if (!PyTuple_Check(v.ptr()) || PyTuple_GET_SIZE(v.ptr()) != 2)
        typeError("grid must be a tuple (columns, rows), not " + typeName(v));
    const py::tuple t = py::reinterpret_borrow<py::tuple>(v);
    return {asInt(t[0], "grid"), asInt(t[1], "grid")};
}

// The pages of a sheet in memory: one PDF, or a file per page.
struct MemorySink : ByteSink {
    std::string bytes;
    Status append(std::string_view b) override {
        bytes.append(b);
        return Done{};
    }
};

struct MemoryPages : PageOutput {
    Format format;
    WriteOptions options;
    std::vector<std::vector<std::uint8_t>> pages;
    MemoryPages(Format f, WriteOptions o) : format(f), options(std::move(o)) {}
    Status page(const Drawing& page) override {
        Result<Written> w = write(page, format, options);
        if (!w)
            return w.error();
        pages.push_back(std::move(w->bytes));
        return Done{};
    }
    Status finish() override { return Done{}; }
};

// "labels.png" as page `page` of several: "labels-2.png"; "{page}" where the
// name has it.
std::string pageName(const std::string& path, long long page, bool many) {
    const std::string number = std::to_string(page);
    if (const std::size_t at = path.find("{page}"); at != std::string::npos)
        return path.substr(0, at) + number + path.substr(at + 6);
    if (!many)
        return path;
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.rfind('.');
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    if (dot == std::string::npos || dot < base || dot == base)
        return path + "-" + number;
    return path.substr(0, dot) + "-" + number + path.substr(dot);
}

// The symbols of a sheet, kept alive in `keep` while the GIL is released.
std::vector<const PySymbol*> sheetLabels(py::iterable symbols, std::vector<py::object>& keep) {
    std::vector<const PySymbol*> labels;
    for (py::handle item : symbols) {
        if (!py::isinstance<PySymbol>(item))
            typeError("symbols must be korvane.Symbol objects (from korvane.encode), not " + typeName(item));
        keep.push_back(py::reinterpret_borrow<py::object>(item));
        labels.push_back(&item.cast<const PySymbol&>());
    }
    if (labels.empty())
        valueError("a sheet needs at least one symbol");
    return labels;
}

// Margins as CSS gives them (one to four lengths) and the gaps between cells.
void setSheetSpacing(SheetOptions& o, py::object margins, py::object gap) {
    const std::vector<py::handle> m = lengths(margins);
    if (m.empty() || m.size() > 4)
        valueError("margins must be one to four lengths: all sides; vertical, horizontal; top, horizontal, bottom; "
                   "or top, right, bottom, left");
    const double top = sheetMm(m[0], "margins");
    const double right = m.size() > 1 ? sheetMm(m[1], "margins") : top;
    const double bottom = m.size() > 2 ? sheetMm(m[2], "margins") : top;
    const double left = m.size() > 3 ? sheetMm(m[3], "margins") : right;
    o.marginTopMm = top, o.marginRightMm = right, o.marginBottomMm = bottom, o.marginLeftMm = left;
    const std::vector<py::handle> g = lengths(gap);
    if (g.empty() || g.size() > 2)
        valueError("gap must be a length, or (between columns, between rows)");
    o.gapHorizontalMm = sheetMm(g[0], "gap");
    o.gapVerticalMm = g.size() > 1 ? sheetMm(g[1], "gap") : o.gapHorizontalMm;
}

// The page, the grid and spacing; the resolution (the first symbol's unless
// given) and colours are the first symbol's.
SheetOptions sheetOptions(py::object page, py::object grid, py::object margins, py::object gap, bool cutMarks,
                          py::object dpi, const Render& first) {
    SheetOptions o;
    o.page = asPage(page);
    std::tie(o.columns, o.rows) = asGrid(grid);
    setSheetSpacing(o, margins, gap);
    if (dpi.is_none())
        o.dpi = first.layout.dpi;
    else if ((PyLong_Check(dpi.ptr()) || PyFloat_Check(dpi.ptr())) && !PyBool_Check(dpi.ptr()))
        o.dpi = dpi.cast<double>();
    else
        typeError("dpi must be a number, not " + typeName(dpi));
    if (o.dpi <= 0)
        valueError("a sheet needs a resolution: give dpi");
    o.cutMarks = cutMarks;
    o.foreground = first.layout.foreground;
    o.background = first.layout.background;
    return o;
}

// The line under each label: a template of {n} (from 1) and {data} (the
// data as encoded, as the symbol's text shows it), or one str per symbol.
std::vector<std::string> labelTexts(py::object labelText, const std::vector<const PySymbol*>& labels) {
    std::vector<std::string> texts;
    if (labelText.is_none())
        return texts;
    if (PyUnicode_Check(labelText.ptr())) {
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const Symbol& symbol = labels[i]->symbol;
            const std::string& data = symbol.text.empty() ? symbol.facts.data : symbol.text;
            py::object text = labelText.attr("format")(
                py::arg("n") = i + 1,
                py::arg("data") = py::reinterpret_steal<py::object>(
                    PyUnicode_DecodeUTF8(data.data(), static_cast<Py_ssize_t>(data.size()), "replace")));
            texts.push_back(asStr(text, "label_text"));
        }
        return texts;
    }
    for (py::handle t : py::reinterpret_borrow<py::iterable>(labelText))
        texts.push_back(asStr(t, "label_text"));
    if (texts.size() != labels.size())
        valueError("label_text gives " + std::to_string(texts.size()) + " texts for " + std::to_string(labels.size()) +
                   " symbols");
    return texts;
}

// The format asked for, else the file name's, else PDF.
Format sheetFormat(py::object format, const std::string& file) {
    if (!format.is_none()) {
        const std::optional<Format> named = findFormat(asStr(format, "format"));
        if (!named)
            raise(Error{ErrorCode::UnknownFormat, "format must be svg, pdf, eps, png, emf or bmp"});
        return *named;
    }
    if (file.empty())
        return Format::Pdf;
    const std::optional<Format> byName = formatForPath(pageName(file, 1, false));
    if (!byName)
        raise(Error{ErrorCode::UnknownFormat, "no format for the file name '" + file.substr(0, 60) +
                                                  "': end it in .pdf, .svg, .eps, .png, .emf or .bmp, or give format"});
    return *byName;
}

// Where a sheet's pages go: one PDF (to a file or memory), a file a page, or pages in memory.
struct SheetOutput {
    MemorySink memory;
    std::unique_ptr<FileSink> fileSink;
    std::unique_ptr<PageOutput> output;
    MemoryPages* pages = nullptr;
};

void openSheetOutput(SheetOutput& out, Format f, const std::string& file, bool many, const WriteOptions& write) {
    if (f == Format::Pdf) {
        if (!file.empty())
            out.fileSink = take(FileSink::open(pageName(file, 1, false)));
        out.output = pdfPages(out.fileSink ? static_cast<ByteSink&>(*out.fileSink) : out.memory, write);
    } else if (!file.empty()) {
        out.output = pageFiles(f, [file, many](long long n) { return pageName(file, n, many); }, write);
    } else {
        auto kept = std::make_unique<MemoryPages>(f, write);
        out.pages = kept.get();
        out.output = std::move(kept);
    }
}

// Lays out and places the labels without the interpreter. A label too large
// for its cell is fitted at a smaller X unless its symbol was given x_dim.
// `warned`: each warning and the first label with it; `failedAt`: the label
// that failed (from 1), 0 when none did.
Status placeLabels(const std::vector<const PySymbol*>& labels, const std::vector<std::string>& texts,
                   const SheetGeometry& geometry, SheetOutput& out,
                   std::vector<std::pair<std::string, std::size_t>>& warned, std::size_t& failedAt) {
    py::gil_scoped_release unlocked;
    SheetWriter writer(geometry, *out.output);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        failedAt = i + 1;
        const Render& r = labels[i]->render;
        Result<Drawing> d = layoutForCell(labels[i]->symbol, r.layout, geometry, !r.layout.xDim);
        if (!d)
            return d.error();
        for (const std::string& w : d->warnings)
            if (std::none_of(warned.begin(), warned.end(), [&](const auto& seen) { return seen.first == w; }))
                warned.emplace_back(w, i + 1);
        if (const Status added = writer.add(*d, texts.empty() ? std::string_view() : texts[i]); !added)
            return added;
    }
    failedAt = 0;
    if (const Status finished = writer.finish(); !finished)
        return finished;
    if (out.fileSink)
        return out.fileSink->commit();
    return Done{};
}

// None for a file, the PDF's bytes, or the pages (str for SVG, else bytes).
py::object sheetResult(const SheetOutput& out, Format f, const std::string& file) {
    if (!file.empty())
        return py::none();
    if (!out.pages)
        return py::bytes(out.memory.bytes);
    py::list pages;
    for (const std::vector<std::uint8_t>& p : out.pages->pages) {
        const char* bytes = reinterpret_cast<const char*>(p.data());
        if (f == Format::Svg)
            pages.append(py::str(bytes, p.size()));
        else
            pages.append(py::bytes(bytes, p.size()));
    }
    return std::move(pages);
}

py::object sheet(py::iterable symbols, py::object page, py::object grid, py::object path, py::object format,
                 py::object margins, py::object gap, py::object labelText, bool cutMarks, py::object dpi) {
    std::vector<py::object> keep;  // the symbols stay alive while the GIL is released
    const std::vector<const PySymbol*> labels = sheetLabels(symbols, keep);
    const Render& first = labels.front()->render;
    SheetOptions o = sheetOptions(page, grid, margins, gap, cutMarks, dpi, first);
    const std::vector<std::string> texts = labelTexts(labelText, labels);
    o.textLine = !labelText.is_none();
    std::string file;
    if (!path.is_none())
        file = py::cast<std::string>(py::module_::import("os").attr("fsdecode")(path));
    const Format f = sheetFormat(format, file);

    const SheetGeometry geometry = take(sheetGeometry(o));
    SheetOutput out;
    openSheetOutput(out, f, file, labels.size() > static_cast<std::size_t>(geometry.perPage()), first.write);
    std::vector<std::pair<std::string, std::size_t>> warned;
    std::size_t failedAt = 0;
    if (const Status done = placeLabels(labels, texts, geometry, out, warned, failedAt); !done) {
        const Error& e = done.error();
        if (failedAt == 0 || e.code == ErrorCode::WriteFailed)
            raise(e);
        raise(Error{e.code, "label " + std::to_string(failedAt) + " of " + std::to_string(labels.size()) + ": " +
                                e.message});
    }
    for (const auto& [w, at] : warned) {
        const std::string message = "label " + std::to_string(at) + ": " + w;
        if (PyErr_WarnEx(PyExc_UserWarning, message.c_str(), 1) < 0)
            throw py::error_already_set();
    }
    return sheetResult(out, f, file);
}

py::object reprData(const PySymbol& s) { return py::repr(s.text(s.symbol.facts.data)); }

// The drawing methods' docstrings: each opens with its Python signature, then
// the layout keywords.
struct DrawingDocs {
    std::string svg, pdf, eps, png, emf, bmp, save, verify, grade, raster;
};

const DrawingDocs& drawingDocs() {
    static const char* LAYOUT_DOC = R"(

Layout keywords (each overrides what encode() was given): dpi (1-10000, or
None for pixels), x_dim (mm, or "0.33mm", "13mil", "2px"), height (mm, or a
length, or "50x" modules), bwr (bar width reduction), quiet_zone (modules, a
length, or a tuple (beside, above and below)), no_text, font_size, font (a
TrueType file for PNG and BMP text), fg, bg ("RRGGBB", "RRGGBBAA", "none",
or (r, g, b[, a])), rotate (0, 90, 180, 270).)";
    const auto doc = [](const char* head) { return std::string(head) + LAYOUT_DOC; };
    static const DrawingDocs docs{
        doc("svg(**layout) -> str\n\nThe symbol as an SVG document."),
        doc("pdf(**layout) -> bytes\n\nThe symbol as a one-page PDF."),
        doc("eps(**layout) -> bytes\n\nThe symbol as Encapsulated PostScript."),
        doc("png(**layout) -> bytes\n\nThe symbol as a PNG picture."),
        doc("emf(**layout) -> bytes\n\nThe symbol as a Windows enhanced metafile."),
        doc("bmp(**layout) -> bytes\n\nThe symbol as a 24-bit BMP picture."),
        doc(
            "save(path, format=None, **layout) -> None\n\nWrites the file whole (a temporary file renamed over "
            "path), the format from the extension unless given. OSError when it cannot be written."),
        doc(
            "verify(**layout) -> Verdict\n\nReads the laid-out symbol back as a scanner would and compares it with "
            "the data."),
        doc(
            "grade(printer=\"ideal\", **layout) -> Grade\n\nThe print-quality grade a verifier would give the symbol as "
            "`printer` prints it: ideal, thermal203, thermal300, laser600 or \"DPI[,GAIN[,BLUR]]\"."),
        doc(
            "raster(scale=1, **layout) -> Raster\n\nThe bars or modules as grey dots, `scale` dots per dot (1-64)."),
    };
    return docs;
}

// Symbol.save(): the format from the extension unless given; the file written whole.
void saveSymbol(const PySymbol& s, py::object path, py::object format, py::kwargs k) {
    const std::string file = py::cast<std::string>(py::module_::import("os").attr("fsdecode")(path));
    std::optional<Format> f;
    if (!format.is_none()) {
        f = findFormat(asStr(format, "format"));
        if (!f)
            raise(Error{ErrorCode::UnknownFormat, "format must be svg, pdf, eps, png, emf or bmp"});
    } else {
        f = formatForPath(file);
        if (!f)
            raise(Error{ErrorCode::UnknownFormat, "no format for the file name '" + file.substr(0, 60) +
                                                      "': end it in .svg, .pdf, .eps, .png, .emf or "
                                                      ".bmp, or give format"});
    }
    const Render r = s.with(k);
    Result<Written> w = [&]() -> Result<Written> {
        py::gil_scoped_release unlocked;
        Result<Drawing> d = layout(s.symbol, r.layout);
        if (!d)
            return d.error();
        return writeFile(*d, file, f, r.write);
    }();
    take(std::move(w));
}

// The results of verify() and grade(), and the raster.
void bindResults(py::module_& m) {
    py::class_<PyRaster>(m, "Raster", py::buffer_protocol(), R"(The bars or modules as 8-bit grey dots.

0 where the foreground is drawn, 255 elsewhere; rows top first. Text is not
drawn. Supports the buffer protocol: numpy.asarray(raster) shares its memory.)")
        .def_property_readonly("width", [](const PyRaster& r) { return r.raster.width; })
        .def_property_readonly("height", [](const PyRaster& r) { return r.raster.height; })
        .def_buffer([](PyRaster& r) {
            return py::buffer_info(r.raster.pixels.data(), 1, py::format_descriptor<std::uint8_t>::format(), 2,
                                   {r.raster.height, r.raster.width},
                                   {static_cast<py::ssize_t>(r.raster.width), py::ssize_t{1}});
        });

    py::class_<QualityParameter>(m, "QualityParameter", "One measured parameter of a grade.")
        .def_readonly("name", &QualityParameter::name)
        .def_readonly("value", &QualityParameter::value, "reflectances and contrasts as fractions; decode 1 or 0")
        .def_property_readonly("grade", [](const QualityParameter& p) { return std::string(1, gradeLetter(p.grade)); },
                               "A, B, C, D or F")
        .def_readonly("informative", &QualityParameter::informative, "reported, not graded (print growth)")
        .def("__repr__", [](const QualityParameter& p) {
            return "<korvane.QualityParameter " + p.name + " " + std::string(1, gradeLetter(p.grade)) + ">";
        });
    py::class_<QualityGrade>(m, "Grade", "The outcome of Symbol.grade(): the print-quality grade a verifier would give.")
        .def_readonly("graded", &QualityGrade::graded, "False where the symbology is not graded (reason says why)")
        .def_readonly("reason", &QualityGrade::reason)
        .def_readonly("standard", &QualityGrade::standard, "ISO/IEC 15416 or ISO/IEC 15415")
        .def_readonly("grade", &QualityGrade::grade, "the symbol grade, 0.0 (F) to 4.0 (A)")
        .def_property_readonly("letter", [](const QualityGrade& q) { return std::string(1, q.letter); })
        .def_readonly("text", &QualityGrade::text, "as the standards write it: grade/aperture/wavelength")
        .def_readonly("parameters", &QualityGrade::parameters)
        .def_property_readonly("scans", [](const QualityGrade& q) {
            py::list out;
            for (const ScanGrade& scan : q.scans)
                out.append(py::cast(scan.parameters));
            return out;
        }, "linear symbols: the parameters of each scan line")
        .def_property_readonly("printer", [](const QualityGrade& q) { return q.profile.name; })
        .def("__repr__", [](const QualityGrade& q) {
            return "<korvane.Grade " + (q.graded ? q.text + " (" + std::string(1, q.letter) + ")" : "not graded: " + q.reason) +
                   ">";
        });
    py::class_<Verdict>(m, "Verdict", "The outcome of Symbol.verify(); true when the symbol read back as asked.")
        .def_readonly("ok", &Verdict::ok)
        .def_readonly("read", &Verdict::read, "the data the reader returned (empty when it read nothing)")
        .def_readonly("reason", &Verdict::reason, "why it failed: what differs and where")
        .def_readonly("first_difference", &Verdict::firstDifference, "index into the data; -1 when none")
        .def_readonly("corrected_codewords", &Verdict::correctedCodewords)
        .def("__bool__", [](const Verdict& v) { return v.ok; })
        .def("__repr__", [](const Verdict& v) {
            return "<korvane.Verdict " + std::string(v.ok ? "ok" : "failed: " + v.reason) + ">";
        });
}

// The Symbol class: its facts, then the drawing methods.
void bindSymbol(py::module_& m) {
    const DrawingDocs& docs = drawingDocs();
    py::class_<PySymbol>(m, "Symbol", R"(A barcode as encoded: made by korvane.encode().

Draw it with svg(), pdf(), eps(), png(), emf(), bmp() or save(); the layout
keywords given to encode() apply unless a call gives its own.)")
        .def_property_readonly(
            "symbology", [](const PySymbol& s) { return std::string(symbologyInfo(s.symbol.symbology).name); })
        .def_property_readonly("facts", &facts,
                               "dict: data (as a reader returns it, str or bytes as given), check_characters, "
                               "check_supplied, add_on; for Aztec also aztec (compact, layers, codewords, ...)")
        .def_property_readonly("warnings", &PySymbol::allWarnings,
                               "list of str: what may surprise about the symbol and its layout (X snapped, below "
                               "the symbology's minimum, ...); drawing it also issues them as UserWarning")
        .def_property_readonly("text", [](const PySymbol& s) { return s.text(s.symbol.text); },
                               "the human-readable text")
        .def_property_readonly("is_matrix", [](const PySymbol& s) { return s.symbol.isMatrix(); })
        .def_property_readonly("width_modules", [](const PySymbol& s) {
            return s.symbol.isMatrix() ? s.symbol.columns : s.symbol.widthModules;
        }, "width in modules: the sum of the widths, or a matrix's columns")
        .def_property_readonly("widths", [](const PySymbol& s) { return s.symbol.widths; },
                               "linear symbols: element widths in modules, bar first")
        .def_property_readonly("rows", [](const PySymbol& s) { return s.symbol.rows; })
        .def_property_readonly("columns", [](const PySymbol& s) { return s.symbol.columns; })
        .def("svg", &PySymbol::svg, docs.svg.c_str())
        .def("pdf", [](const PySymbol& s, py::kwargs k) { return s.bytesOf(Format::Pdf, k); }, docs.pdf.c_str())
        .def("eps", [](const PySymbol& s, py::kwargs k) { return s.bytesOf(Format::Eps, k); }, docs.eps.c_str())
        .def("png", [](const PySymbol& s, py::kwargs k) { return s.bytesOf(Format::Png, k); }, docs.png.c_str())
        .def("emf", [](const PySymbol& s, py::kwargs k) { return s.bytesOf(Format::Emf, k); }, docs.emf.c_str())
        .def("bmp", [](const PySymbol& s, py::kwargs k) { return s.bytesOf(Format::Bmp, k); }, docs.bmp.c_str())
        .def("save", &saveSymbol, py::arg("path"), py::arg("format") = py::none(), docs.save.c_str())
        .def(
            "verify",
            [](const PySymbol& s, py::kwargs k) {
                const Drawing d = s.drawing(s.with(k));
                py::gil_scoped_release unlocked;
                return verify(d, s.symbol);
            },
            docs.verify.c_str())
        .def(
            "grade",
            [](const PySymbol& s, const std::string& printer, py::kwargs k) {
                const PrinterProfile profile = take(printerProfile(printer));
                const Drawing d = s.drawing(s.with(k));
                py::gil_scoped_release unlocked;
                return grade(d, s.symbol, profile);
            },
            py::arg("printer") = "ideal", docs.grade.c_str())
        .def(
            "raster",
            [](const PySymbol& s, int scale, py::kwargs k) {
                const Drawing d = s.drawing(s.with(k));
                Result<GrayRaster> r = [&] {
                    py::gil_scoped_release unlocked;
                    return rasterize(d, scale);
                }();
                return PyRaster{take(std::move(r))};
            },
            py::arg("scale") = 1, docs.raster.c_str())
        .def("_repr_svg_", [](const PySymbol& s) { return s.svg(py::kwargs()); }, "the SVG, for Jupyter")
        .def("_repr_png_", [](const PySymbol& s) { return s.bytesOf(Format::Png, py::kwargs()); }, "the PNG, for Jupyter")
        .def("__repr__", [](const PySymbol& s) {
            return "<korvane.Symbol " + std::string(symbologyInfo(s.symbol.symbology).name) + " " +
                   py::cast<std::string>(reprData(s)) + ">";
        });
}

// The module's functions.
void bindFunctions(py::module_& m) {
    m.def("encode", &encodeOne, py::arg("symbology"), py::arg("data"), R"(encode(symbology, data, **options) -> Symbol

Encodes data (str, as UTF-8, or bytes) as the symbology named (korvane.symbologies()
lists names and aliases; case, '-' and '_' are ignored).

Options are keywords named as the command's options, '-' written '_':
encoder options such as check, escapes, gs1, eci, wide_ratio, code128_start,
msi_check, add_on, ecc, aztec_size, compact, structured=(index, count[, id]),
refused where they do not apply; and layout options (dpi, x_dim="0.33mm",
height, bwr, quiet_zone, no_text, font_size, font, fg, bg, rotate) kept with
the symbol for drawing it.

Raises korvane.EncodeError (a ValueError, with .code and .position) when the
data cannot be encoded or an option is out of range; TypeError for a keyword
or value of the wrong kind.)");
    m.def("encode_many", &encodeMany, py::arg("symbology"), py::arg("values"),
          R"(encode_many(symbology, values, *, format=None, jobs=None, **options) -> list

Encodes every value on all cores (jobs threads), the interpreter free
meanwhile. Returns a list in the order of values: a Symbol for each value, or
with format ("svg", "png", ...) the file itself (str for SVG, bytes
otherwise); a value that fails gives a korvane.EncodeError object in its
place rather than raising. Options as for encode().)");
    m.def("sheet", &sheet, py::arg("symbols"), py::arg("page") = "A4", py::arg("grid") = py::make_tuple(1, 1),
          py::kw_only(), py::arg("path") = py::none(), py::arg("format") = py::none(), py::arg("margins") = 10,
          py::arg("gap") = 0, py::arg("label_text") = py::none(), py::arg("cut_marks") = false,
          py::arg("dpi") = py::none(),
          R"(sheet(symbols, page="A4", grid=(1, 1), *, path=None, format=None, margins=10, gap=0, label_text=None, cut_marks=False, dpi=None) -> bytes | list | None

Places symbols (from korvane.encode) on pages of labels, left to right and
top to bottom, each centred in a cell of the grid, as the command's --sheet.

page: "A3", "A4", "A5", "A6", "Letter", "Legal", "WxH" with a unit
("100x150mm", "4x6in"), or (width, height) as lengths. grid: (columns, rows),
1-100 each, or "3x8". margins: one to four lengths in the order of CSS
(top, right, bottom, left); gap: a length, or (between columns, between rows).
Lengths are numbers in mm or strings with a unit ("0.5in"). label_text: a
line under each label, a template of {n} (from 1) and {data}, or one str per
symbol. cut_marks: marks in the margins where the cells' edges run. dpi: the
page's resolution, by default the first symbol's; colours are the first
symbol's, and every label must share them.

Each symbol is laid out with its own layout keywords; one too large for its
cell is drawn at the largest X in whole dots that fits (a UserWarning says
so), unless its symbol was given x_dim, when it is an error.

Returns the PDF as bytes, or for another format (format="png", ...) a list
with a file per page (str for SVG). With path, writes the file whole instead
(the format from its extension unless given) and returns None; other formats
than PDF write a file per page, "{page}" in path naming it, else "-1", "-2",
... before the extension when there is more than one page.

Raises korvane.EncodeError for a label or sheet that cannot be made (a grid
out of range, margins that leave no room, a label too large for its cell
with its own x_dim), TypeError or ValueError for arguments of the wrong kind,
OSError when a file cannot be written.)");
    m.def("symbologies", &symbologies, R"(symbologies() -> list of SymbologyInfo

Every symbology the library knows: name, title, aliases, characters, check
rule, matrix, capabilities ("gs1", "eci", "add-on", ...) and the option
keywords that apply to it.)");
}

// The value of a GS1 call, or korvane.EncodeError with its message.
template <typename T>
T gs1Answer(Result<T>&& r) {
    if (!r)
        raise(r.error());
    return std::move(*r);
}

void bindGs1(py::module_& m) {
    m.def(
        "gs1_check", [](const std::string& data) { return gs1Answer(checkGs1(data)); }, py::arg("data"),
        R"(gs1_check(data) -> list of str

Checks GS1 element strings ("(01)09506000134352(17)270101") against GS1's
rules and returns notes of AIs that need others the data lacks; raises
korvane.EncodeError naming the AI and the rule for data GS1 refuses.)");
    m.def(
        "gs1_digital_link",
        [](const std::string& data, const std::string& domain) { return gs1Answer(gs1DigitalLink(data, domain)); },
        py::arg("data"), py::arg("domain") = "https://id.gs1.org",
        R"(gs1_digital_link(data, domain="https://id.gs1.org") -> str

The GS1 Digital Link URI of element strings (uncompressed).)");
    m.def(
        "gs1_from_digital_link", [](const std::string& uri) { return gs1Answer(gs1FromDigitalLink(uri)); },
        py::arg("uri"), R"(gs1_from_digital_link(uri) -> str

The element strings of a GS1 Digital Link URI, checked.)");
    m.def(
        "gs1_hri", [](const std::string& data) { return gs1Answer(gs1HumanReadable(data)); }, py::arg("data"),
        R"(gs1_hri(data) -> str

Element strings as printed under a symbol: "(01) 09506000134352 (17) 270101".)");
}

}  // namespace

PYBIND11_MODULE(_korvane, m) {
    m.doc() = "The korvane library's encoder, layout, writers and verifier (use the korvane package).";
    m.attr("__version__") = KORVANE_VERSION_STRING;
    // Each docstring opens with its Python signature, keywords and all; the
    // generated one would only say **kwargs.
    py::options options;
    options.disable_function_signatures();
    bindResults(m);
    bindSymbol(m);
    bindFunctions(m);
    bindGs1(m);
}

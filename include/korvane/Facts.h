#pragma once
// The facts of a symbol as one generic record: an ordered list of named,
// typed entries, which every front end serialises the same way without
// knowing any symbology. A name is given once, as lower-case words ("data
// codewords"); each front end spells it its own way (factName()).

#include "Export.h"
#include "Symbol.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The front ends that show facts. Where they showed different facts before
// the record existed, an entry says which of them show it, so that none of
// their outputs changed.
enum FactView : unsigned {
    REPORT_VIEW = 1,      // the command's JSON report and the C API
    PYTHON_VIEW = 2,      // the Python package's Symbol.facts
    JAVASCRIPT_VIEW = 4,  // the npm package's encode()
    ALL_VIEWS = 7,
};

struct Fact {
    enum class Kind : std::uint8_t {
        Integer,
        Boolean,
        Real,
        Text,   // characters of the symbology (a mode name, check characters)
        Bytes,  // the data as encoded, in whatever encoding it came
        List,   // unnamed items
        Record, // named entries
    };

    std::string_view name;  // lower-case words; empty for a list's items
    Kind kind = Kind::Integer;
    long long integer = 0;  // Integer; Boolean as 0 or 1
    double real = 0;
    std::string text;       // Text, Bytes
    std::vector<Fact> items;  // List, Record
    // False where the symbol has none of it: an add-on that is not there, no
    // ECI, not part of a structured-append set. The value is then the
    // placeholder (empty, -1, 0). The report leaves such entries out; Python
    // and JavaScript show a scalar one with its placeholder; a record that is
    // not set is left out everywhere.
    bool set = true;
    unsigned views = ALL_VIEWS;

    bool shownIn(FactView view) const {
        return (views & view) != 0 && (set || (view != REPORT_VIEW && kind != Kind::Record));
    }
};

// The facts of `symbol`: data, text, check characters, add-on, then a record
// named after the symbology's family (aztec, qr, data matrix, pdf417) where it
// has one.
KORVANE_API std::vector<Fact> factsRecord(const Symbol& symbol);

enum class NameStyle : std::uint8_t {
    Camel,  // dataCodewords: JSON and JavaScript
    Snake,  // data_codewords: Python and C
};

// "data codewords" -> "dataCodewords" or "data_codewords".
KORVANE_API std::string factName(std::string_view words, NameStyle style);

}  // namespace korvane

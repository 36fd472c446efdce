// GS1 element strings against GS1's Barcode Syntax Dictionary: one row per
// check the dictionary names, good and bad, and the rules between AIs.

#include "encode/Gs1.h"
#include "gs1/Gs1Syntax.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using korvane::detail::parseGs1;

// Each row: element strings and what the refusal says ("" when accepted).
struct Gs1Case {
    const char* data;
    const char* finding;
};

TEST(Gs1Syntax, EachCheckAcceptsAndRefuses) {
    const Gs1Case cases[] = {
        // Keys: check digits, check character pairs, Company Prefixes.
        {"(01)09501101530003(17)270101(10)ABC1", ""},
        {"(01)09501101530004", "check digit 4 of 09501101530004 does not match; it should be 3"},
        {"(01)09501101530003(8013)1987654Ad4X4bL5ttr2310c2K", ""},
        {"(01)09501101530003(8013)1987654Ad4X4bL5ttr2310c2L", "check characters 2L of"},
        {"(8004)ABC123", "does not begin with a GS1 Company Prefix"},
        {"(253)9501101530003ABC", ""},
        {"(253)9501101530004ABC", "check digit 4 of 9501101530004"},
        // Dates and times: day 00 only where the dictionary allows it, leap years of four digits.
        {"(01)09501101530003(17)270100", ""},
        {"(01)09501101530003(7006)270100", "date 270100 has day 0"},
        {"(17)250431", "date 250431 has day 31; the month has 30"},
        {"(01)09501101530003(7250)20240229", ""},
        {"(01)09501101530003(7250)21000229", "date 21000229 has day 29; the month has 28"},
        {"(7003)2501012460", "has hour 24; at most 23"},
        {"(8008)250101235", "no field of its form (N6 N2 [N2] [N2])"},
        // Codes of other standards.
        {"(422)528", ""},
        {"(422)999", "999 is no ISO 3166 country code"},
        {"(7030)999ABC", ""},
        {"(4307)GB", ""},
        {"(4307)XX", "XX is no ISO 3166 two-letter country code"},
        {"(3910)978123", ""},
        {"(3910)000123", "000 is no ISO 4217 currency code"},
        {"(8007)GB82WEST12345698765432", ""},
        {"(8007)GB82WEST12345698765433", "is no valid IBAN"},
        {"(4300)AB%2F", ""},
        {"(4300)AB%2", "'%' at position 3 without two hexadecimal digits"},
        // Values with meanings of their own.
        {"(4309)03581234560102345678", ""},
        {"(4309)18000000010000000000", "latitude 1800000001 is over 1800000000"},
        {"(4321)2", "it must be 0 (no) or 1 (yes)"},
        {"(4330)001234-", ""},
        {"(4330)001234X", "where only '-' (below zero) may stand"},
        {"(8001)12345678901234", "winding direction 3"},
        {"(8001)00005678901214", "where a dimension must be more than zero"},
        {"(8006)095011015300030302", "piece 3 of 2 cannot be"},
        {"(8011)0123", "0123 begins with 0"},
        {"(7252)3", "ISO/IEC 5218 gives 0, 1, 2 and 9"},
        {"(7258)1/2", ""},
        {"(7258)3/2", "is no position in a sequence"},
        {"(7040)1AB*", "importer index * is no letter"},
        {"(8030)AZaz09-_", ""},
        {"(8030)AZ+", "cannot hold '+' at position 3 of its field (it takes base64url characters)"},
        {"(8010)9501AB#-/1", ""},
        {"(8010)9501a", "cannot hold 'a' at position 5"},
        // AIs of the dictionary the earlier table lacked, and ranges it gave too widely.
        {"(01)09501101530003(7011)250101", ""},
        {"(3106)000100", "unknown GS1 AI \"3106\""},
        // Rules between AIs.
        {"(10)A(10)B", "GS1 AI (10) is given twice with different values"},
        {"(01)09501101530003(10)A(10)A", ""},
        {"(01)09501101530003(02)09501101530003", "GS1 AI (02) cannot stand with (01)"},
        {"(3100)000100(3101)000100", "GS1 AI (3100) cannot stand with (3101)"},
    };
    for (const Gs1Case& c : cases) {
        SCOPED_TRACE(c.data);
        const auto parsed = parseGs1(c.data);
        if (*c.finding == '\0') {
            EXPECT_TRUE(parsed) << parsed.error().message;
        } else {
            ASSERT_FALSE(parsed);
            EXPECT_NE(parsed.error().message.find(c.finding), std::string::npos) << parsed.error().message;
        }
    }
}

// AIs that need others are noted, not refused: another carrier may hold them.
TEST(Gs1Syntax, RequiredPartnersAreNoted) {
    const struct {
        std::vector<korvane::detail::Gs1AiValue> elements;
        std::vector<std::string> missing;
    } cases[] = {
        {{{"01", "09501101530003"}, {"10", "A"}}, {}},
        {{{"10", "A"}}, {"GS1 AI (10) needs (01) or (02) or (03) or (8006) or (8026)"}},
        {{{"01", "09501101530003"}, {"250", "A"}}, {"GS1 AI (250) needs (21)"}},
        {{{"8030", "AA"}, {"01", "09501101530003"}}, {"GS1 AI (8030) needs (00) or (01) with (21) or (253) or (255) or "
                                                      "(8003) or (8004) or (8006) with (21) or (8010) with (8011) or "
                                                      "(8017) or (8018)"}},
        {{{"8030", "AA"}, {"01", "09501101530003"}, {"21", "S"}}, {}},
        {{{"3920", "100"}, {"01", "09501101530003"}, {"3102", "000100"}}, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> missing;
        ASSERT_TRUE(korvane::detail::checkGs1Pairs(c.elements, &missing));
        EXPECT_EQ(missing, c.missing);
    }
}

}  // namespace

// MSI: check digits in every mode and symbols rebuilt here from the MSI
// definition (a digit is its four bits), element by element.

#include "LinearTestUtil.h"

#include <gtest/gtest.h>

#include <random>

using lineartest::built;
using lineartest::widthDigits;

namespace {

// Start "wn", each digit as four bits from the most significant, 1 = wide bar
// and narrow space, 0 = narrow bar and wide space, stop "nwn"; width digits
// at X = 1, W = 2.
std::string msiSymbol(const std::string& digits) {
    std::string out = "21";
    for (char c : digits)
        for (int bit = 3; bit >= 0; --bit)
            out += ((c - '0') >> bit) & 1 ? "21" : "12";
    return out + "121";
}

// The modulo-10 digit as the scheme states it: the digits in odd positions
// from the right form a number, which is doubled with decimal arithmetic; its
// digits and the even-position digits are added up.
int mod10(const std::string& digits) {
    std::string odd;
    int sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const bool oddPosition = (digits.size() - i) % 2 == 1;
        if (oddPosition)
            odd += digits[i];
        else
            sum += digits[i] - '0';
    }
    std::string doubled;
    int carry = 0;
    for (auto c = odd.rbegin(); c != odd.rend(); ++c) {
        const int d = 2 * (*c - '0') + carry;
        doubled += static_cast<char>('0' + d % 10);
        carry = d / 10;
    }
    if (carry)
        doubled += '1';
    for (char c : doubled)
        sum += c - '0';
    return (10 - sum % 10) % 10;
}

int mod11(const std::string& digits) {
    int sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i)
        sum += (digits[digits.size() - 1 - i] - '0') * static_cast<int>(i % 6 + 2);
    return (11 - sum % 11) % 11;
}

std::string checkDigits(const std::string& v, int mode) {
    const auto d = [](int n) { return std::to_string(n); };
    switch (mode) {
    case 0: return d(mod10(v));
    case 1: return d(mod11(v));
    case 2: return d(mod11(v)) + d(mod10(v + d(mod11(v))));
    case 3: return d(mod10(v)) + d(mod10(v + d(mod10(v))));
    default: return "";
    }
}

struct Case {
    const char* code;
    int mode;
    const char* text;  // the value and its check digits
};

const Case CASES[] = {
    {"1234", 0, "12344"},  {"80523", 0, "805234"}, {"1234", 1, "12343"},
    {"1234", 2, "123430"}, {"1234", 3, "123448"},  {"12345678", 0, "123456782"},
    {"0", 0, "00"},        {"0", 1, "00"},         {"0", 2, "000"},
    {"0", 3, "000"},       {"1234", 7, "1234"},    {"", 0, "0"},
    {"6", 0, "67"},        {"6", 3, "679"},
};

TEST(Msi, KnownSymbols) {
    for (const Case& c : CASES) {
        SCOPED_TRACE(std::string(c.code) + " mode " + std::to_string(c.mode));
        const LinearSymbol s = built(5, c.code, [&](LinearSymbol& x) {
            x.msiCheckMode = c.mode;
            x.text = "replaced";
        });
        EXPECT_EQ(s.text, c.text);
        EXPECT_EQ(widthDigits(s), msiSymbol(c.text));
        EXPECT_TRUE(s.failureReason.empty());
    }
}

TEST(Msi, Mod10DigitOfLongValues) {
    LinearSymbol s;
    EXPECT_EQ(s.msiMod10Digit("1234"), 4);
    EXPECT_EQ(s.msiMod10Digit(""), 0);
    const std::string longValue = "98765432109876543210987654321";  // far beyond any integer type
    EXPECT_EQ(s.msiMod10Digit(longValue), mod10(longValue));
}

TEST(Msi, NonDigitsAreSkipped) {
    // The bars leave the letter out; the modulo-10 digit is that of the digits drawn.
    const LinearSymbol s = built(5, "12a4");
    EXPECT_EQ(widthDigits(s), msiSymbol("124" + std::to_string(mod10("124"))));
    EXPECT_EQ(s.text, "12a4" + std::to_string(mod10("124")));
    // In the modulo-11 sum a non-digit counts -1 times its weight: 4*2 - 3 + 2*4 + 1*5 = 18, so 4.
    EXPECT_EQ(built(5, "12a4", [](LinearSymbol& x) { x.msiCheckMode = 1; }).text, "12a44");
}

TEST(Msi, ModuloElevenValueTenDrawsNothing) {
    for (int mode : {1, 2}) {
        SCOPED_TRACE(mode);
        const LinearSymbol s = built(5, "6", [&](LinearSymbol& x) { x.msiCheckMode = mode; });
        EXPECT_EQ(s.barCount, 0);
        EXPECT_TRUE(s.barWidths.empty());
        EXPECT_NE(s.failureReason.find("modulo-11"), std::string::npos);
    }
    // Without check digits the value is drawn as it is.
    const LinearSymbol plain = built(5, "6", [](LinearSymbol& x) {
        x.msiCheckMode = 1;
        x.checkCharacter = false;
    });
    EXPECT_EQ(widthDigits(plain), msiSymbol("6"));
    EXPECT_EQ(plain.text, "6");
}

TEST(Msi, AnyModeAndAnyBytes) {
    std::string everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += static_cast<char>(b);
    for (int mode : {-1, 0, 1, 2, 3, 4, 1000}) {
        SCOPED_TRACE(mode);
        const LinearSymbol s = built(5, everyByte, [&](LinearSymbol& x) {
            x.msiCheckMode = mode;
            x.processTilde = false;
        });
        // Whatever is drawn holds the ten digits between start and stop.
        ASSERT_GE(s.barCount, 2 + 10 * 8 + 3);
        EXPECT_EQ(s.text.substr(0, everyByte.size()), everyByte);
    }
}

TEST(Msi, RandomValuesMatchTheDefinition) {
    std::mt19937 rng(5);
    for (int i = 0; i < 200; ++i) {
        std::string v;
        const int length = 1 + static_cast<int>(rng() % 20);
        for (int j = 0; j < length; ++j)
            v += static_cast<char>('0' + rng() % 10);
        for (int mode = 0; mode < 4; ++mode) {
            SCOPED_TRACE(v + " mode " + std::to_string(mode));
            const LinearSymbol s = built(5, v, [&](LinearSymbol& x) { x.msiCheckMode = mode; });
            if ((mode == 1 || mode == 2) && mod11(v) == 10) {
                ASSERT_EQ(s.barCount, 0);
                continue;
            }
            ASSERT_EQ(s.text, v + checkDigits(v, mode));
            ASSERT_EQ(widthDigits(s), msiSymbol(s.text));
        }
    }
}

}  // namespace

// The readers' one Reed-Solomon decoder: the generator in closed form, and
// correction at and just past the limit over every field a reader uses,
// from code words the standards print and from words made here.

#include "verify/ReedSolomon.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using korvane::detail::GaloisField;

// The generator as the product of (x + alpha^(b+i)), highest power first.
std::vector<int> product(const GaloisField& f, int n) {
    std::vector<int> g{1};
    for (int i = 0; i < n; ++i) {
        std::vector<int> next(g.size() + 1, 0);
        for (std::size_t k = 0; k < g.size(); ++k) {
            next[k] ^= g[k];
            next[k + 1] ^= f.multiply(g[k], f.exp[(f.firstRoot + i) % f.order()]);
        }
        g = next;
    }
    return g;
}

// `data` random words, then the remainder of data * x^check by the generator.
std::vector<int> codeWord(const GaloisField& f, int data, int check, std::mt19937& random) {
    std::vector<int> word(static_cast<std::size_t>(data + check), 0);
    for (int k = 0; k < data; ++k)
        word[static_cast<std::size_t>(k)] = static_cast<int>(random() % static_cast<unsigned>(f.size));
    const std::vector<int> g = product(f, check);
    std::vector<int> division = word;
    for (std::size_t i = 0; i < static_cast<std::size_t>(data); ++i)
        for (std::size_t k = 1; k < g.size(); ++k)
            division[i + k] ^= f.multiply(division[i], g[k]);
    std::copy(division.begin() + data, division.end(), word.begin() + data);
    return word;
}

struct Field {
    const char* name;
    const GaloisField& field;
};
const Field FIELDS[] = {
    {"Aztec GF(16)", *korvane::detail::aztecField(4)},    {"Aztec GF(64)", *korvane::detail::aztecField(6)},
    {"Aztec GF(1024)", *korvane::detail::aztecField(10)}, {"Aztec GF(4096)", *korvane::detail::aztecField(12)},
    {"Data Matrix", korvane::detail::dataMatrixField()},  {"QR Code", korvane::detail::qrField()},
};

TEST(VerifyReedSolomon, GeneratorInClosedFormIsTheProductOfItsRoots) {
    // ISO/IEC 24778 mode message: GF(16), five check words.
    EXPECT_EQ(korvane::detail::generator(*korvane::detail::aztecField(4), 5), (std::vector<int>{1, 11, 4, 6, 2, 1}));
    for (const Field& f : FIELDS)
        for (int n : {1, 2, 7, 14})
            EXPECT_EQ(korvane::detail::generator(f.field, n), product(f.field, n)) << f.name << ", " << n << " roots";
}

// Code words as the standards print them: QR Code 1-M "01234567" (ISO/IEC
// 18004 Annex I) and Data Matrix 10 x 10 "123456" (ISO/IEC 16022 Annex O).
TEST(VerifyReedSolomon, PrintedCodeWordsHaveNoSyndromes) {
    const std::vector<int> qr{0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC,
                              0x11, 0xEC, 0x11, 0xA5, 0x24, 0xD4, 0xC1, 0xED, 0x36, 0xC7, 0x87, 0x2C, 0x55};
    const std::vector<int> dataMatrix{142, 164, 186, 114, 25, 5, 88, 102};
    EXPECT_EQ(korvane::detail::syndromes(korvane::detail::qrField(), qr, 10), std::vector<int>(10, 0));
    EXPECT_EQ(korvane::detail::syndromes(korvane::detail::dataMatrixField(), dataMatrix, 5), std::vector<int>(5, 0));
}

// Errors planted every third word: all corrected up to half the check words,
// and one more is refused or miscorrected, never reported as that word.
TEST(VerifyReedSolomon, CorrectsUpToHalfTheCheckWords) {
    std::mt19937 random(24778);
    for (const Field& f : FIELDS) {
        const int check = 10, data = f.field.size > 32 ? 20 : 4;
        const std::vector<int> word = codeWord(f.field, data, check, random);
        ASSERT_EQ(korvane::detail::syndromes(f.field, word, check), std::vector<int>(check, 0)) << f.name;
        for (int errors : {0, 1, check / 2, check / 2 + 1}) {
            SCOPED_TRACE(std::string(f.name) + ", " + std::to_string(errors) + " errors");
            std::vector<int> received = word;
            for (int e = 0; e < errors; ++e)
                received[static_cast<std::size_t>(3 * e) % received.size()] ^= 1 + e;
            const int corrected = korvane::detail::correctErrors(f.field, received, check);
            if (errors <= check / 2) {
                EXPECT_EQ(corrected, errors);
                EXPECT_EQ(received, word);
            } else {
                EXPECT_TRUE(corrected < 0 || received != word);
            }
        }
    }
}

// PDF417 over GF(929): a code word made here (roots 3^1 ... 3^check).
std::vector<int> codeWord929(int data, int check, std::mt19937& random) {
    std::vector<long long> g{1};  // highest power first
    long long root = 1;
    for (int i = 0; i < check; ++i) {
        root = root * 3 % 929;
        std::vector<long long> next(g.size() + 1, 0);
        for (std::size_t k = 0; k < g.size(); ++k) {
            next[k] = (next[k] + g[k]) % 929;
            next[k + 1] = (next[k + 1] + 929 - g[k] * root % 929) % 929;
        }
        g = next;
    }
    std::vector<int> word(static_cast<std::size_t>(data + check), 0);
    std::vector<long long> division(word.size(), 0);
    for (int k = 0; k < data; ++k)
        word[static_cast<std::size_t>(k)] = static_cast<int>(division[static_cast<std::size_t>(k)] = random() % 929);
    for (std::size_t i = 0; i < static_cast<std::size_t>(data); ++i)
        for (std::size_t k = 1; k < g.size(); ++k)
            division[i + k] = (division[i + k] + 929 - division[i] * g[k] % 929) % 929;
    for (std::size_t k = static_cast<std::size_t>(data); k < word.size(); ++k)
        word[k] = static_cast<int>((929 - division[k]) % 929);
    return word;
}

// Erasures count once and errors twice against the check words less the two
// kept for detection: at that limit all is corrected, one past it is refused.
TEST(VerifyReedSolomon, Pdf417CorrectsErasuresAndErrorsUpToItsLimit) {
    struct Case {
        int erasures, errors;
        bool corrected;
    };
    const int check = 16, usable = check - 2;
    const Case CASES[] = {
        {0, 0, true},           {usable, 0, true},          {0, usable / 2, true},      {4, (usable - 4) / 2, true},
        {usable + 1, 0, false}, {0, usable / 2 + 1, false}, {5, (usable - 4) / 2, false},
    };
    std::mt19937 random(15438);
    const std::vector<int> word = codeWord929(30, check, random);
    for (const Case& c : CASES) {
        SCOPED_TRACE(std::to_string(c.erasures) + " erasures, " + std::to_string(c.errors) + " errors");
        std::vector<int> received = word, erasures;
        for (int e = 0; e < c.erasures; ++e) {
            erasures.push_back(2 * e);
            received[static_cast<std::size_t>(2 * e)] = 0;
        }
        for (int e = 0; e < c.errors; ++e)
            received[static_cast<std::size_t>(2 * e + 1)] = (received[static_cast<std::size_t>(2 * e + 1)] + 1 + e) % 929;
        const int fixed = korvane::detail::correctErasures929(received, check, erasures, 2);
        if (c.corrected) {
            EXPECT_EQ(fixed, c.erasures + c.errors);
            EXPECT_EQ(received, word);
        } else {
            EXPECT_EQ(fixed, -1);
        }
    }
}

}  // namespace

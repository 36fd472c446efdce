#include "BitString.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

BitString from(const std::string& bits) {
    BitString bs;
    for (char c : bits)
        bs.addBits(c == '1' ? 1 : 0, 1);
    return bs;
}

struct AddCase {
    int value, bits;
    const char* expected;
};

TEST(BitString, AddBitsKeepsTheLowBitsMostSignificantFirst) {
    const AddCase cases[] = {
        {5, 3, "101"}, {1, 2, "01"}, {-23, 8, "11101001"}, {7, 0, ""}, {7, -3, ""},
        {0xABC, 12, "101010111100"}, {0x1FF, 4, "1111"},
    };
    for (const AddCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + "/" + std::to_string(c.bits));
        BitString bs;
        bs.addBits(c.value, c.bits);
        EXPECT_EQ(bs.toString(), c.expected);
    }
    BitString bs;
    bs.addBits(5, 3);
    bs.addBits(1, 2);
    EXPECT_EQ(bs.toString(), "10101");
}

struct DrainCase {
    const char* start;
    bool fromEnd;
    int n;
    int result;
    const char* left;
};

TEST(BitString, DrainingFromEitherEnd) {
    const DrainCase cases[] = {
        {"110", false, 2, 3, "0"},
        {"110", false, 5, 27, ""},       // short read padded with 1-bits
        {"0", false, 5, 15, ""},
        {"", false, 1, 1, ""},           // empty front read gives 1
        {"", false, 5, 1, ""},
        {"110", false, 3, 6, ""},        // exactly n held: no padding needed
        {"", true, 1, 0, ""},            // empty end read gives 0
        {"1101", true, 1, 1, "110"},
        {"1101", true, 3, 5, "1"},
        {"1101", true, 6, 13, ""},       // short read from the end is not padded
        {"1101", true, 4, 13, ""},
    };
    for (const DrainCase& c : cases) {
        SCOPED_TRACE(std::string(c.start) + (c.fromEnd ? " FILO " : " front ") + std::to_string(c.n));
        BitString bs = from(c.start);
        EXPECT_EQ(c.fromEnd ? bs.getAndRemoveBitsFILO(c.n) : bs.getAndRemoveBits(c.n), c.result);
        EXPECT_EQ(bs.toString(), c.left);
        EXPECT_EQ(bs.getLength(), static_cast<int>(std::string(c.left).size()));
    }
}

TEST(BitString, ConvertStringToInt) {
    EXPECT_EQ(BitString::convertStringToInt("0101"), 5);
    EXPECT_EQ(BitString::convertStringToInt(""), 0);
    EXPECT_EQ(BitString::convertStringToInt("1x1"), 5);
    EXPECT_EQ(BitString::convertStringToInt("111111111111"), 4095);
}

TEST(BitString, ConcatenateCopiesWithoutDraining) {
    BitString a = from("101");
    BitString b = from("0011");
    b.getAndRemoveBits(1);  // the part already drained from b must not come along
    a.concatenate(&b);
    EXPECT_EQ(a.toString(), "101011");
    EXPECT_EQ(b.toString(), "011");
    a.concatenate(&a);
    EXPECT_EQ(a.toString(), "101011101011");
}

// A plain text model of the sequence: the obvious quadratic representation the
// class must agree with bit for bit.
struct TextModel {
    std::string v;
    void add(int value, int bits) {
        for (int i = bits - 1; i >= 0; --i)
            v += ((static_cast<unsigned>(value) >> i) & 1U) ? '1' : '0';
    }
    int front(int n) {
        if (v.empty())
            return 1;
        std::string t;
        if (static_cast<int>(v.size()) > n) {
            t = v.substr(0, n);
            v.erase(0, n);
        } else {
            t = v;
            v.clear();
            while (static_cast<int>(t.size()) < n)
                t += '1';
        }
        return BitString::convertStringToInt(t);
    }
    int back(int n) {
        if (v.empty())
            return 0;
        std::string t;
        if (static_cast<int>(v.size()) > n) {
            t = v.substr(v.size() - n);
            v.resize(v.size() - n);
        } else {
            t = v;
            v.clear();
        }
        return BitString::convertStringToInt(t);
    }
};

TEST(BitString, MatchesTheTextModelOverLongRandomRuns) {
    std::mt19937 rng(24778);
    for (int run = 0; run < 20; ++run) {
        BitString bs;
        TextModel model;
        for (int step = 0; step < 4000; ++step) {
            const int op = static_cast<int>(rng() % 10);
            const int n = static_cast<int>(rng() % 13);
            if (op < 5) {
                const int value = static_cast<int>(rng());
                bs.addBits(value, n);
                model.add(value, n);
            } else if (op < 8) {
                ASSERT_EQ(bs.getAndRemoveBits(n), model.front(n)) << "run " << run << " step " << step;
            } else {
                ASSERT_EQ(bs.getAndRemoveBitsFILO(n), model.back(n)) << "run " << run << " step " << step;
            }
            ASSERT_EQ(bs.getLength(), static_cast<int>(model.v.size()));
        }
        EXPECT_EQ(bs.toString(), model.v);
    }
}

// getBits reads any span in place: across word boundaries and after bits have
// been drained from the front.
TEST(BitString, GetBitsReadsInPlace) {
    std::mt19937 rng(15417);
    BitString bs;
    TextModel model;
    for (int i = 0; i < 300; ++i) {
        const int value = static_cast<int>(rng());
        bs.addBits(value, 11);
        model.add(value, 11);
    }
    for (int drain : {0, 5, 59, 6, 830}) {  // 0, 5, 64, 70 and 900 bits drained in all
        SCOPED_TRACE(drain);
        bs.removeFront(drain);
        model.v.erase(0, static_cast<std::size_t>(drain));
        for (int step = 0; step < 500; ++step) {
            const int n = static_cast<int>(rng() % 33);
            const int from = static_cast<int>(rng() % static_cast<unsigned>(bs.getLength() - n + 1));
            ASSERT_EQ(bs.getBits(from, n), BitString::convertStringToInt(model.v.substr(from, n)))
                << from << "+" << n;
        }
        ASSERT_EQ(bs.toString(), model.v);  // nothing was taken
    }
}

}  // namespace

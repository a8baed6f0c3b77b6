#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/NumberFormat.h"

namespace velk {
namespace {

struct Case {
  double Value;
  const char* Text;
};

void ExpectPattern(const std::string& pattern, const std::vector<Case>& cases) {
  for (const auto& c : cases) EXPECT_EQ(FormatFloat(pattern, c.Value), c.Text) << pattern << " " << c.Value;
}

TEST(FormatFloat, FixedDecimals) {
  ExpectPattern("#0.000",
                {{0, "0.000"}, {1.5, "1.500"}, {-3.14159, "-3.142"}, {120.0, "120.000"}, {0.0005, "0.001"}});
  ExpectPattern("###0.000", {{0, "0.000"}, {12345.6789, "12345.679"}, {-0.25, "-0.250"}});
  ExpectPattern("0.0", {{0, "0.0"}, {30, "30.0"}, {0.04, "0.0"}, {0.05, "0.1"}, {-7.25, "-7.3"}});
  ExpectPattern("#0.0", {{0, "0.0"}, {120, "120.0"}, {9.96, "10.0"}, {0.45, "0.5"}});
  ExpectPattern("0.00", {{0, "0.00"}, {1.005, "1.00"}, {0.125, "0.13"}, {99.999, "100.00"}});
}

TEST(FormatFloat, OptionalDecimalsAreDroppedWithThePoint) {
  ExpectPattern("###0.##", {{0, "0"}, {1.5, "1.5"}, {2.0, "2"}, {0.125, "0.13"}, {1234.567, "1234.57"}});
  ExpectPattern("#####0.###", {{0, "0"}, {0.1, "0.1"}, {3.0, "3"}, {-12.3456, "-12.346"}, {1e6, "1000000"}});
  ExpectPattern("#0.##", {{0, "0"}, {5.1, "5.1"}, {5.999, "6"}, {-0.004, "0"}});
  ExpectPattern("##00.##", {{0, "00"}, {5.5, "05.5"}, {123.456, "123.46"}, {-1, "-01"}});
}

TEST(FormatFloat, NoMandatoryIntegerDigit) {
  ExpectPattern("#.#", {{2.3, "2.3"}, {0.5, ".5"}, {10, "10"}, {0, "0"}, {0.04, "0"}, {-0.5, "-.5"}});
}

TEST(FormatFloat, Integers) {
  ExpectPattern("######0", {{0, "0"}, {7.5, "8"}, {6.5, "7"}, {-2.4, "-2"}, {1234567, "1234567"}});
  ExpectPattern("#####0", {{0, "0"}, {59.9, "60"}, {-0.4, "0"}});
  ExpectPattern("00", {{0, "00"}, {7, "07"}, {59, "59"}, {123, "123"}});
  ExpectPattern("000", {{1, "001"}, {999, "999"}, {0, "000"}});
  ExpectPattern("00000", {{42, "00042"}, {12345, "12345"}});
  ExpectPattern("000000", {{123, "000123"}, {65535, "065535"}});
}

TEST(FormatFloat, Scientific) {
  ExpectPattern("#.###E-0", {{12345.678, "1.235E4"},
                             {0.000123, "1.23E-4"},
                             {1.0, "1E0"},
                             {-2.5e-10, "-2.5E-10"},
                             {9.9996, "1E1"},
                             {0, "0E0"}});
  EXPECT_EQ(FormatFloat("0.00E+00", 1234.0), "1.23E+03");
  EXPECT_EQ(FormatFloat("0.00E+00", 0.01234), "1.23E-02");
}

TEST(FormatFloat, NotANumber) {
  EXPECT_EQ(FormatFloat("#0.0", std::nan("")), "NAN");
  EXPECT_EQ(FormatFloat("#0.0", -INFINITY), "-INF");
}

TEST(ZeroPad, LeadingZeros) {
  EXPECT_EQ(ZeroPad(7, 3), "007");
  EXPECT_EQ(ZeroPad(0, 3), "000");
  EXPECT_EQ(ZeroPad(1000, 3), "1000");
  EXPECT_EQ(ZeroPad(-1, 3), "-001");
}

}  // namespace
}  // namespace velk

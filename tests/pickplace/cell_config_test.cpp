#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "cell_config.h"

namespace pickplace {
namespace {

const CellParameter& parameterNamed(const std::string& name) {
  for (const CellParameter& parameter : kCellParameters) {
    if (name == parameter.name) {
      return parameter;
    }
  }
  throw std::invalid_argument("no parameter " + name);
}

// Empty when the parameter takes the value, else why not.
std::string refusalOf(const std::string& name, double value) {
  return parameterNamed(name).realCheck(value);
}

TEST(CellParameters, everyDefaultIsInItsOwnRange) {
  const CellConfig defaults = defaultCellConfig();
  for (const CellParameter& parameter : kCellParameters) {
    const std::string refusal = parameter.real
                                    ? parameter.realCheck(defaults.*parameter.real)
                                    : parameter.integerCheck(defaults.*parameter.integer);
    EXPECT_EQ(refusal, "") << parameter.name;
  }
}

TEST(CellParameters, everyParameterHasARange) {
  for (const CellParameter& parameter : kCellParameters) {
    EXPECT_TRUE(parameter.real ? bool(parameter.realCheck) : bool(parameter.integerCheck))
        << parameter.name;
  }
}

TEST(CellParameters, gripMarginsAreNeitherNegativeNorWiderThanTheHand) {
  for (const char* name : {"holdDistance_m", "releaseDistance_m"}) {
    EXPECT_NE(refusalOf(name, -0.02), "") << name;
    EXPECT_NE(refusalOf(name, -1e-9), "") << name;
    EXPECT_EQ(refusalOf(name, 0.0), "") << name;
    EXPECT_EQ(refusalOf(name, 0.12), "") << name;
    EXPECT_NE(refusalOf(name, 0.122), "") << name;
  }
  EXPECT_EQ(refusalOf("holdDistance_m", -0.02), "must be from 0 to 0.1218");
}

TEST(CellParameters, distancesSpeedAndBacklashKeepTheirSign) {
  EXPECT_NE(refusalOf("liftDistancePalletR_m", -0.01), "");
  EXPECT_EQ(refusalOf("liftDistancePalletR_m", 0.0), "");
  EXPECT_NE(refusalOf("speedBase", 0.0), "");
  EXPECT_NE(refusalOf("speedBase", -5.0), "");
  EXPECT_EQ(refusalOf("speedBase", 0.1), "");
  EXPECT_NE(refusalOf("fingerBacklash_deg", -1.0), "");
  EXPECT_EQ(refusalOf("fingerBacklash_deg", 90.0), "");
  EXPECT_NE(refusalOf("fingerBacklash_deg", 91.0), "");
  EXPECT_NE(parameterNamed("serialNo").integerCheck(-1), "");
  EXPECT_EQ(parameterNamed("serialNo").integerCheck(11), "");
}

TEST(CellParameters, positionsAndAnglesTakeAnyFiniteNumber) {
  for (const char* name : {"xWorldR_m", "yOPEOffsetR_m", "zPalletToBePlacedB_m",
                           "directionPalletPlacedR_deg", "pPalletPlacedB_deg"}) {
    EXPECT_EQ(refusalOf(name, -123.5), "") << name;
    EXPECT_NE(refusalOf(name, std::nan("")), "") << name;
    EXPECT_NE(refusalOf(name, std::numeric_limits<double>::infinity()), "") << name;
  }
}

}  // namespace
}  // namespace pickplace

// The window's sideways product line names the Vantry version the programs report.
#include <gtest/gtest.h>

#include <string>

#include "BackgroundView.h"
#include "VantryVersion.h"

TEST(ProductLineTest, NamesTheVersionEveryProgramReports)
{
	EXPECT_EQ(std::string(BackgroundView::kProductLine),
	          std::string("Quorvex: Vantry v") + vantry_version());
}

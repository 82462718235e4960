#include "app/DesktopScale.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

TEST(DesktopScaleTest, XftDpiToScale)
{
    // Each row's values of Xft.dpi give one scale: the nearest quarter, from 1 to the largest; 1 for
    // anything but a plain number.
    const std::pair<const char*, float> values[] = {{"100 96 0 -144 144dpi 1.4.4 1e3", 1.0f},
                                                    {"120 110", 1.25f},
                                                    {"144 143.9", 1.5f},
                                                    {"168", 1.75f},
                                                    {"192", 2.0f},
                                                    {"384 1000000000000000000000", 4.0f}};
    for (const auto& [row, scale] : values)
    {
        std::istringstream dpis(row);
        for (std::string dpi; dpis >> dpi;)
            EXPECT_EQ(DesktopScale::fromResources("Xft.dpi:\t" + dpi + "\n"), scale) << dpi;
    }

    // Among other resources, spaced, the last one counting; empty, or another name, loose bindings too: 1.
    const std::pair<const char*, float> databases[] = {
        {"Xcursor.size:\t24\nXft.dpi:\t192\nXft.hinting:\t1", 2.0f},
        {"  Xft.dpi :  144  \r\n", 1.5f},
        {"Xft.dpi:\t192\nXft.dpi:\t144\n", 1.5f},
        {"Xft.dpi:\n", 1.0f},
        {"Xft.dpi\t144\nXft.dpix:\t144\nMyXft.dpi:\t144\n*dpi:\t144\nXft*dpi:\t144\nxft.dpi:\t144\n", 1.0f}};
    for (const auto& [database, scale] : databases)
        EXPECT_EQ(DesktopScale::fromResources(database), scale) << database;
}

#include "catalogue/model_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <regex>
#include <set>
#include <string>

namespace {

using catalogue::kRowCount;

std::string NoBlanksUpper(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != ' ') out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

TEST(Catalogue, TargetRowIsTheVx7Ember) {
    EXPECT_EQ(10, catalogue::TargetModel);
    auto row = catalogue::Target();
    EXPECT_STREQ("KLR VX 7 Ember", row.DisplayName);
    EXPECT_STREQ("VX7EMBER", row.UsbSerial);
    EXPECT_STREQ("NA", row.HardwareId);
    EXPECT_STREQ("KLRVX7EMBER", row.ShareName);
    EXPECT_STREQ("VX7EMBER", row.ModelCode);
    EXPECT_STREQ("KLRNVX7EMBER.INF", row.InfName);
    EXPECT_STREQ("VX7EMBER.GPD", row.GpdName);
    EXPECT_STREQ("Global\\{3B9E21C4-7A60-4d2f-9C15-E08A5D6B7F32}", row.MonitorMutexName);
    EXPECT_STREQ("Ver 3.01 (9W)", catalogue::StatmonVersionText);
    EXPECT_STREQ("Version 3.01 (9W)", catalogue::SetupVersionText);
    // Relations of the target row.
    EXPECT_EQ(NoBlanksUpper(row.DisplayName), row.ShareName);
    EXPECT_STREQ(row.ModelCode, row.UsbSerial);
}

TEST(Catalogue, EveryRowFollowsTheForms) {
    const std::regex display("KLR( [A-Za-z0-9]+)+");
    const std::regex serialChars("[A-Za-z0-9_-]{7,12}");
    const std::regex lowerToken("klr-[a-z0-9]+");
    const std::regex paddedToken("[A-Z0-9]+__");
    const std::regex code("[A-Z0-9]{6,10}");
    const std::regex mutex("Global\\\\\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9a-f]{3}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
    int equalToCode = 0, lower = 0, padded = 0;
    for (int r = 0; r < kRowCount; ++r) {
        auto row = catalogue::Row(r);
        SCOPED_TRACE("row " + std::to_string(r));
        std::string name = row.DisplayName;
        EXPECT_TRUE(std::regex_match(name, display)) << name;
        EXPECT_GE(name.size(), 11u);
        EXPECT_LE(name.size(), 25u);
        EXPECT_EQ(std::string::npos, name.find("  "));
        std::string serial = row.UsbSerial;
        EXPECT_TRUE(std::regex_match(serial, serialChars)) << serial;
        if (serial == row.ModelCode) ++equalToCode;
        else if (std::regex_match(serial, lowerToken)) ++lower;
        else if (std::regex_match(serial, paddedToken)) ++padded;
        else ADD_FAILURE() << "serial of no known form: " << serial;
        EXPECT_STREQ("NA", row.HardwareId);
        std::string modelCode = row.ModelCode;
        EXPECT_TRUE(std::regex_match(modelCode, code)) << modelCode;
        // The code is the model name without brand and blanks, words shortened:
        // it starts with the model name's first word.
        std::string model = name.substr(4);
        EXPECT_EQ(0u, modelCode.find(NoBlanksUpper(model.substr(0, model.find(' ')))));
        std::string mutexName = row.MonitorMutexName;
        EXPECT_EQ(45u, mutexName.size());
        EXPECT_TRUE(std::regex_match(mutexName, mutex)) << mutexName;
        if (r < 14) {
            EXPECT_EQ("KLR" + modelCode, row.ShareName);
            EXPECT_EQ("KLRN" + modelCode + ".INF", row.InfName);
            EXPECT_EQ(modelCode + ".GPD", row.GpdName);
        } else {
            EXPECT_EQ(modelCode, row.ShareName);
            EXPECT_NE("KLRN" + modelCode + ".INF", row.InfName);
            std::string gpd = row.GpdName;
            EXPECT_NE(std::string::npos, gpd.find('-'));
            EXPECT_EQ(".gpd", gpd.substr(gpd.size() - 4));
        }
    }
    EXPECT_EQ(2, equalToCode);
    EXPECT_EQ(1, padded);
    EXPECT_EQ(12, lower);
    EXPECT_STREQ(catalogue::Row(10).ModelCode, catalogue::Row(10).UsbSerial);
}

TEST(Catalogue, ModelsAreDistinctSoMonitorsRunSideBySide) {
    std::set<std::string> mutexes, names, codes, serials;
    for (int r = 0; r < kRowCount; ++r) {
        auto row = catalogue::Row(r);
        mutexes.insert(row.MonitorMutexName);
        names.insert(row.DisplayName);
        codes.insert(row.ModelCode);
        serials.insert(row.UsbSerial);
    }
    EXPECT_EQ(15u, mutexes.size());
    EXPECT_EQ(15u, names.size());
    EXPECT_EQ(15u, codes.size());
    EXPECT_EQ(15u, serials.size());
}

// Whether the machine runs on battery, read from a power-supply folder laid out as the kernel's.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "shell/linux/power_supply.h"

TEST(PowerSupply, BatteryOnlyWhenNoMainsOrUsbIsOnline) {
    struct Supply {
        const char* name;
        const char* type;
        const char* online; // null: no such file
        const char* scope;
    };
    const struct {
        const char* what;
        std::vector<Supply> supplies;
        bool battery;
    } cases[] = {
        {"a desktop: no supply at all", {}, false},
        {"a desktop: mains only", {{"AC", "Mains", "1", nullptr}}, false},
        {"a laptop plugged in",
         {{"AC", "Mains", "1", nullptr}, {"BAT0", "Battery", nullptr, nullptr}},
         false},
        {"a laptop unplugged",
         {{"AC", "Mains", "0", nullptr}, {"BAT0", "Battery", nullptr, nullptr}},
         true},
        {"charged over USB-C",
         {{"ucsi", "USB", "1", nullptr}, {"BAT0", "Battery", nullptr, nullptr}},
         false},
        {"a mouse's battery is not the machine's",
         {{"AC", "Mains", "0", nullptr}, {"hid-mouse", "Battery", nullptr, "Device"}},
         false},
    };
    char pattern[] = "/tmp/zorvik-power-XXXXXX";
    const char* root = mkdtemp(pattern);
    ASSERT_NE(root, nullptr);
    int run = 0;
    for (const auto& c : cases) {
        const std::string folder = std::string(root) + "/" + std::to_string(run++);
        mkdir(folder.c_str(), 0755);
        for (const Supply& supply : c.supplies) {
            const std::string dir = folder + "/" + supply.name;
            mkdir(dir.c_str(), 0755);
            std::ofstream(dir + "/type") << supply.type << "\n";
            if (supply.online != nullptr) {
                std::ofstream(dir + "/online") << supply.online << "\n";
            }
            if (supply.scope != nullptr) {
                std::ofstream(dir + "/scope") << supply.scope << "\n";
            }
        }
        EXPECT_EQ(RunsOnBattery(folder), c.battery) << c.what;
    }
    EXPECT_FALSE(RunsOnBattery(std::string(root) + "/missing")) << "an unreadable folder";
    setenv("ZORVIK_POWER_SUPPLY", root, 1);
    EXPECT_EQ(PowerSupplyFolder(), root);
    unsetenv("ZORVIK_POWER_SUPPLY");
    EXPECT_EQ(PowerSupplyFolder(), "/sys/class/power_supply");
    std::system((std::string("rm -rf ") + root).c_str());
}

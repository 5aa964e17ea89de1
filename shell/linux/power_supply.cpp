#include "shell/linux/power_supply.h"

#include <cstdlib>
#include <dirent.h>
#include <fstream>

namespace {

std::string FirstLine(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

} // namespace

std::string PowerSupplyFolder() {
    const char* given = std::getenv("ZORVIK_POWER_SUPPLY");
    return given != nullptr && *given != '\0' ? given : "/sys/class/power_supply";
}

bool RunsOnBattery(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    bool battery = false, mains = false;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string supply = folder + "/" + name + "/";
        const std::string type = FirstLine(supply + "type");
        if (type == "Battery") {
            // A peripheral's battery (a mouse's) says "Device" in scope; only the machine's counts.
            battery = battery || FirstLine(supply + "scope") != "Device";
        } else if (type == "Mains" || type.compare(0, 3, "USB") == 0) {
            mains = mains || FirstLine(supply + "online") == "1";
        }
    }
    closedir(dir);
    return battery && !mains;
}

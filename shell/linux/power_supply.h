// Whether a Linux machine runs on battery, from the kernel's power-supply class: each supply is a
// folder with a "type" (Mains, USB, Battery, ...) and, for those that feed the machine, "online".
#pragma once

#include <string>

// The folder read: $ZORVIK_POWER_SUPPLY where set (the tests' own), else /sys/class/power_supply.
std::string PowerSupplyFolder();

// On battery: a battery is there and no mains or USB supply is online. A desktop with no battery,
// or a folder that cannot be read, is on mains.
bool RunsOnBattery(const std::string& folder);

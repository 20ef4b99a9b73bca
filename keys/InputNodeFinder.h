// Finds keyboard input nodes through udev: those of one keyboard model, or every keyboard.
#pragma once

#include <string>
#include <vector>

class InputNodeFinder {
public:
    // /dev/input/event* nodes that send keys and belong to the device with these ids.
    static std::vector<std::string> FindKeyNodes(int vendorId, int productId);
    // /dev/input/event* nodes of every keyboard except this program's own devices.
    static std::vector<std::string> FindAllKeyboards();

private:
    static std::vector<std::string> Find(int vendorId, int productId, bool anyKeyboard);
};

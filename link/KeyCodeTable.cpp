// Windows virtual-key code to HID keyboard usage table.
#include "link/KeyCodeTable.h"

#include <array>

namespace {

struct Range {
    int firstVk;
    int lastVk;
    int firstUsage;
};

struct Pair {
    uint8_t vk;
    uint8_t usage;
};

constexpr Range kRanges[] = {
    {65, 90, 4},     // A-Z
    {49, 57, 30},    // 1-9
    {112, 123, 58},  // F1-F12
    {97, 105, 89},   // numpad 1-9
    {124, 135, 104}, // F13-F24
    {136, 139, 136}, // passed through unchanged
};

constexpr Pair kPairs[] = {
    {48, 39},
    {13, 40},
    {27, 41},
    {8, 42},
    {9, 43},
    {32, 44},
    {189, 45},
    {187, 46},
    {219, 47},
    {221, 48},
    {220, 49},
    {186, 51},
    {222, 52},
    {192, 53},
    {188, 54},
    {190, 55},
    {191, 56},
    {20, 57},
    {44, 70},
    {145, 71},
    {19, 72},
    {45, 73},
    {36, 74},
    {33, 75},
    {46, 76},
    {35, 77},
    {34, 78},
    {39, 79},
    {37, 80},
    {40, 81},
    {38, 82},
    {144, 83},
    {111, 84},
    {106, 85},
    {109, 86},
    {107, 87},
    {108, 88},
    {96, 98},
    {110, 99},
    {226, 100},
    {93, 101},
    {254, 175},
    {162, 224},
    {160, 225},
    {164, 226},
    {91, 227},
    {163, 228},
    {161, 229},
    {165, 230},
    {92, 231},
    // Media keys map to the keyboard's own media codes.
    {181, 232},
    {174, 233},
    {175, 234},
    {173, 235},
    {178, 236},
    {177, 237},
    {179, 238},
    {176, 239},
    {180, 240},
    {172, 241},
    {183, 242},
    {166, 243},
    {167, 244},
    {169, 245},
    {168, 246},
    {170, 247},
    {171, 248},
    {182, 249},
};

// Code 666 lies outside the byte range; it stands for the non-US backslash key.
constexpr int kNonUsBackslashVk = 666;
constexpr uint8_t kNonUsBackslashUsage = 50;

constexpr std::array<uint8_t, 256> BuildTable() {
    std::array<uint8_t, 256> table{};
    for (const Range& r : kRanges)
        for (int vk = r.firstVk; vk <= r.lastVk; ++vk)
            table[vk] = static_cast<uint8_t>(r.firstUsage + vk - r.firstVk);
    for (const Pair& p : kPairs)
        table[p.vk] = p.usage;
    return table;
}

constexpr std::array<uint8_t, 256> kTable = BuildTable();

} // namespace

uint8_t VirtualKeyToUsage(int vk) {
    if (vk == kNonUsBackslashVk) return kNonUsBackslashUsage;
    if (vk < 0 || vk >= static_cast<int>(kTable.size())) return 0;
    return kTable[vk];
}

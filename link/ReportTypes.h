// Fixed-size report buffers of the keyboard protocol.
#pragma once

#include <array>
#include <cstdint>

using Report8 = std::array<uint8_t, 8>;   // command feature report, byte 0 = report ID 7
using Report64 = std::array<uint8_t, 64>; // wireless command payload (sent after report ID 0)
using Report65 = std::array<uint8_t, 65>; // colour-table output report, byte 0 = report ID 0
using SlotTableBytes = std::array<uint8_t, 28>;

inline constexpr uint8_t kCommandReportId = 7;

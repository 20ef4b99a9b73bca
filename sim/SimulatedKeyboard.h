// The emulated keyboard the program connects when it is tried without hardware (--simulate).
#pragma once

class KeyboardEmulator;
class DeviceEventSource;

// Puts a process-wide emulator behind DeviceLink::Instance() and plugs it in connection mode `mode`
// (0 cable, 1 receiver, 2 Bluetooth). The link's catalogue must still be filled by the catalogue loader.
// False for an unknown mode. Calling it again re-plugs the same emulator in the new mode.
bool StartSimulatedKeyboard(int mode);
// The process-wide emulator, or null before StartSimulatedKeyboard.
KeyboardEmulator* SimulatedKeyboard();
// Its plug/unplug events, for the UI loop to watch in place of the udev monitor; null before start.
DeviceEventSource* SimulatedDeviceEvents();

// What the update jobs need from the rest of the program, handed in by the main window controller.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

enum class UpdateTarget { Software, Firmware };

struct UpdateContext {
    std::string softwareBaseAddress;      // catalogue: software / upgrade / url
    std::string installedSoftwareVersion; // catalogue: software / version
    std::string firmwareBaseAddress;      // layout file: firmware / url
    std::string userDataFolder;           // the update folder is its "temp/" child

    // The keyboard's 16-bit firmware version, -1 when it cannot be read.
    std::function<int()> readFirmwareVersion;
    // Marks the update button of the target (upgrade status 1). Called on the worker thread.
    std::function<void(UpdateTarget)> markUpdateAvailable;
    // A newer version exists: the window asks the user and queues the update job only on a yes.
    std::function<void(UpdateTarget, const std::string& version)> offerUpdate;
    // Download progress 0..100, on the worker thread.
    std::function<void(int)> progress;
    // Starts the unpacked installer; StartProgram when empty.
    std::function<pid_t(const std::string& path)> startProgram;
};

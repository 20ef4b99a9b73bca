// The update jobs the worker runs: version checks of the program and the firmware, and the
// download, unpacking and start of their installers.
#pragma once

#include "update/Downloader.h"
#include "update/UpdateContext.h"

#include <string>

enum class UpdateOutcome {
    NoUpdate,         // nothing newer, or the version could not be fetched (silently ignored)
    UpdateAvailable,  // newer version found: button marked and the update offered to the user
    NoVersion,        // an update was asked for but no acceptable version text is known
    DownloadFailed,   // the archive did not arrive completely; nothing is left on disk
    UnpackFailed,     // the archive was refused or unreadable; it stays on disk
    NoInstaller,      // the archive did not hold the expected installer
    InstallerFailed,  // the installer could not be started
    InstallerStarted, // the caller ends the program now, with exit code 0
};

class UpdateJobs {
public:
    explicit UpdateJobs(UpdateContext context);

    // JOB_CHECK_SOFTWARE: never downloads; a newer version is only marked and offered.
    UpdateOutcome CheckSoftware();
    // JOB_CHECK_FIRMWARE: same rule for the firmware update tool.
    UpdateOutcome CheckFirmware();
    // JOB_UPDATE_SOFTWARE: queued once the user agreed; downloads, unpacks, starts the installer.
    UpdateOutcome UpdateSoftware();
    // JOB_UPDATE_FIRMWARE: likewise for the firmware update tool.
    UpdateOutcome UpdateFirmware();

    // The transfer in progress can be stopped through it from any thread.
    Downloader& GetDownloader() { return m_downloader; }
    const std::string& LatestSoftwareVersion() const { return m_latestSoftware; }
    const std::string& LatestFirmwareVersion() const { return m_latestFirmware; }

    // "<user data folder>temp/".
    std::string UpdateFolder() const;
    static std::string ArchiveName(UpdateTarget target, const std::string& version);
    // The installer inside the archive: the archive's name without ".zip" (no ".exe" here).
    static std::string InstallerName(UpdateTarget target, const std::string& version);

private:
    // The version text at base + "version" when it passes the body rule, else empty.
    std::string FetchVersion(const std::string& base);
    void Offer(UpdateTarget target, const std::string& version);
    UpdateOutcome RunUpdate(UpdateTarget target, const std::string& base, const std::string& version);

    UpdateContext m_context;
    Downloader m_downloader;
    std::string m_latestSoftware;
    std::string m_latestFirmware;
};

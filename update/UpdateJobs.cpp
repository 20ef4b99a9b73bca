// Version checks and installer hand-over. A newer version is never installed unasked: the checks
// only mark and offer it; the update jobs run after the user agreed.
#include "update/UpdateJobs.h"

#include "update/ProgramStarter.h"
#include "update/Unzip.h"
#include "update/Version.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

namespace {

const char* BaseName(UpdateTarget target)
{
    return target == UpdateTarget::Software ? "Keyboard-Software-" : "FirmwareUpdateTool-";
}

bool IsRegularFile(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

UpdateJobs::UpdateJobs(UpdateContext context)
    : m_context(std::move(context))
{
}

std::string UpdateJobs::UpdateFolder() const
{
    std::string folder = m_context.userDataFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder + "temp/";
}

std::string UpdateJobs::ArchiveName(UpdateTarget target, const std::string& version)
{
    return InstallerName(target, version) + ".zip";
}

std::string UpdateJobs::InstallerName(UpdateTarget target, const std::string& version)
{
    return BaseName(target) + version;
}

std::string UpdateJobs::FetchVersion(const std::string& base)
{
    if (base.empty())
        return {};
    HttpTextResult reply = m_downloader.HttpGetText(base + "version");
    if (reply.code != 1 || !IsAcceptableVersionText(reply.body))
        return {};
    return reply.body;
}

void UpdateJobs::Offer(UpdateTarget target, const std::string& version)
{
    if (m_context.markUpdateAvailable)
        m_context.markUpdateAvailable(target);
    if (m_context.offerUpdate)
        m_context.offerUpdate(target, version);
}

UpdateOutcome UpdateJobs::CheckSoftware()
{
    std::string latest = FetchVersion(m_context.softwareBaseAddress);
    if (latest.empty())
        return UpdateOutcome::NoUpdate;
    m_latestSoftware = latest;
    // 2 (a different number of parts) counts as newer too.
    if (CompareVersions(m_context.installedSoftwareVersion, latest) < 1)
        return UpdateOutcome::NoUpdate;
    Offer(UpdateTarget::Software, latest);
    return UpdateOutcome::UpdateAvailable;
}

UpdateOutcome UpdateJobs::CheckFirmware()
{
    std::string latest = FetchVersion(m_context.firmwareBaseAddress);
    if (latest.empty())
        return UpdateOutcome::NoUpdate;
    m_latestFirmware = latest;
    int reported = m_context.readFirmwareVersion ? m_context.readFirmwareVersion() : -1;
    int installed = FirmwareVersionAsDecimal(reported);
    if (installed < 0 || installed >= ParseDecimal(latest))
        return UpdateOutcome::NoUpdate;
    Offer(UpdateTarget::Firmware, latest);
    return UpdateOutcome::UpdateAvailable;
}

UpdateOutcome UpdateJobs::UpdateSoftware()
{
    if (m_latestSoftware.empty())
        m_latestSoftware = FetchVersion(m_context.softwareBaseAddress);
    return RunUpdate(UpdateTarget::Software, m_context.softwareBaseAddress, m_latestSoftware);
}

UpdateOutcome UpdateJobs::UpdateFirmware()
{
    if (m_latestFirmware.empty())
        m_latestFirmware = FetchVersion(m_context.firmwareBaseAddress);
    return RunUpdate(UpdateTarget::Firmware, m_context.firmwareBaseAddress, m_latestFirmware);
}

UpdateOutcome UpdateJobs::RunUpdate(UpdateTarget target, const std::string& base, const std::string& version)
{
    if (base.empty() || !IsAcceptableVersionText(version))
        return UpdateOutcome::NoVersion;
    std::string folder = UpdateFolder();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::string archiveName = ArchiveName(target, version);
    std::string archive = folder + archiveName;
    unlink(archive.c_str());
    if (m_downloader.HttpDownload(base + "//" + archiveName, archive, m_context.progress) != 1)
        return UpdateOutcome::DownloadFailed;
    // Only an installer unpacked from this archive may be started, never a leftover.
    std::string installer = folder + InstallerName(target, version);
    unlink(installer.c_str());
    if (!UnzipToFolder(archive, folder))
        return UpdateOutcome::UnpackFailed;
    unlink(archive.c_str());
    if (!IsRegularFile(installer))
        return UpdateOutcome::NoInstaller;
    pid_t pid = m_context.startProgram ? m_context.startProgram(installer) : StartProgram(installer);
    return pid > 0 ? UpdateOutcome::InstallerStarted : UpdateOutcome::InstallerFailed;
}

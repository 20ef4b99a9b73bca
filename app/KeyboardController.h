// What the main window controls, without the window: the catalogue and layout, the pages'
// services, the worker with its queues, the connection monitor and the jobs they run. The
// window and molvanectl are two front ends over it.
#pragma once

#include "app/JobCodes.h"
#include "app/JobQueue.h"
#include "app/JobWorker.h"
#include "app/ProfileService.h"
#include "device/DeviceCatalogue.h"
#include "device/KeyboardLayout.h"
#include "keys/IPlaybackArm.h"
#include "keys/KeyAssignmentService.h"
#include "keys/MacroEditor.h"
#include "lighting/ILightingJobs.h"
#include "lighting/LightingService.h"
#include "link/ConnectionMonitor.h"
#include "link/KeyboardProtocol.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class DeviceLink;
class PacingClock;
class ProfileDatabase;
class SoftwarePlayback;

// The front end's side: the worker's reports plus the connection and page refreshes. Every call
// but OpenWaitDialog may come from the worker thread; a window posts them to its own thread.
class IControllerFrontEnd : public IWorkerFrontEnd {
public:
    virtual void OpenWaitDialog() {}
    virtual void CloseAllPopups() {}
    virtual void ResetAllDeviceStates() {}
    virtual void SetDeviceState(int /*deviceType*/, int /*state*/) {}
    virtual void ShowConnection(const ConnectionState& /*state*/, bool /*usable*/) {}
    // A device read or reset wants the pages in `mask` (LoadMaskBits) reloaded: call LoadPages
    // on the thread that owns the pages.
    virtual void ReloadPages(int /*mask*/) {}
    virtual void FirmwareVersionRead(int /*version*/) {}
    // The first scan is done: the music capture may start.
    virtual void StartAudio() {}
    // A profile-switch key changes the pages and re-arms the filter: run `task` on the thread that
    // owns the pages. The default runs it here, for a front end whose thread waits meanwhile.
    virtual void RunOnPageThread(std::function<void()> task) { task(); }
};

// One key of the keyboard picture.
struct LayoutKey {
    int m_code = 0;
    std::string m_name;
    std::string m_description;
};

class KeyboardController final : public IJobRunner,
                                 public IPlaybackArm,
                                 public IJobSink,
                                 public ILightingJobs,
                                 public ConnectionClient {
public:
    // `clock` paces the worker's pauses (null: real time).
    KeyboardController(ProfileDatabase& database, DeviceLink& link, IControllerFrontEnd& frontEnd,
                       PacingClock* clock = nullptr);
    ~KeyboardController() override;

    // Reads the catalogue, gives its modes to the link and loads the first model's layout, which
    // opens that model's database. False with `error` set when any of it fails.
    bool LoadCatalogueAndLayout(std::string& error);
    // Reloads the pages named by `mask` (LoadMaskBits) from the database and re-arms the filter.
    void LoadPages(int mask);
    // Starts the worker and queues the first scan.
    void Start();
    void Stop();
    // Queues `code` and waits until the worker has nothing left to do. False on time-out.
    bool RunJobAndWait(int code, std::chrono::milliseconds timeout);
    bool WaitUntilIdle(std::chrono::milliseconds timeout) { return m_queue.WaitUntilIdle(timeout); }

    // Settings page: settings, database file and keyboard back to their first state.
    ServiceOutcome FullReset();
    // Settings page: the program update button; refused with "up to date" when there is none.
    ServiceOutcome RequestProgramUpdate(bool updateAvailable);
    // Settings page: the firmware update button, once the user confirmed FirmwareUpdateQuestion.
    void RequestFirmwareUpdate() { QueueJob(JOB_UPDATE_FIRMWARE); }
    static int FirmwareUpdateQuestion(bool updateAvailable);
    // A key whose function runs in the program (types 8 to 11), by its extra record id.
    ServiceOutcome RunKeyAction(int extraId, const std::function<void(const std::string&)>& open,
                                const std::function<void(const std::string&)>& type);

    // What pressed keys of types 8 to 10 use on the worker: `open` starts a program or address
    // (default: the program runs, anything else goes to the desktop's opener); `type` types a text
    // (default: none, the window gives one that has a clipboard). Null keeps the default.
    void SetKeyActionFunctions(std::function<void(const std::string&)> open,
                               std::function<void(const std::string&)> type);

    // Jobs carried out elsewhere (the update checks and downloads).
    void SetJobHandler(int code, std::function<bool()> handler) { m_handlers[code] = std::move(handler); }
    // The software player that the filter hook arms, whose macros the worker plays and whose key
    // filter feeds recording; null: the hook only counts. Reset it before the player goes away.
    void SetPlayback(SoftwarePlayback* playback);

    ProfileService& Profiles() { return m_profiles; }
    KeyAssignmentService& Keys() { return m_keys; }
    MacroEditor& Macros() { return m_macros; }
    LightingService& Lighting() { return m_lighting; }
    // Points the lighting page at the current profile and connection mode and reloads it.
    void LoadLightingPage();
    JobQueue& Queue() { return m_queue; }
    ConnectionMonitor& Monitor() { return m_monitor; }
    ProfileDatabase& Database() { return m_db; }
    DeviceLink& Link() { return m_link; }
    const DeviceCatalogue& Catalogue() const { return m_catalogue; }
    const KeyboardDef& Layout() const { return m_def; }
    const std::vector<LayoutKey>& LayoutKeys() const { return m_layoutKeys; }
    std::optional<int> FirmwareVersion() const;
    const KeyUploadResult& LastKeyUpload() const { return m_lastKeyUpload; }
    int ArmCount() const { return m_armCount; }

    // IPlaybackArm
    void ArmSoftwarePlayback() override;
    // IJobSink, and ILightingJobs's wait dialog
    void QueueJob(int code) override;
    void ShowWaitDialog() override;
    // ILightingJobs
    void QueueLightingUpload() override;
    void QueueKeyColourUpload() override;
    bool LightingUploadWaiting() override;
    // IJobRunner
    bool DeviceJobsAllowed() override;
    bool RunJob(int code) override;
    void PlayMacro(int macroId) override;
    void CarryOutKeyAction(QueuedKeyAction action) override;
    // ConnectionClient
    void CloseAllPopups() override;
    void ResetAllDeviceStates() override;
    void SetDeviceState(int deviceType, int state) override;
    void ShowConnection(const ConnectionState& state, bool usable) override;

private:
    class LayoutCollector;

    ProfileDatabase& m_db;
    DeviceLink& m_link;
    IControllerFrontEnd& m_frontEnd;
    JobQueue m_queue;
    ConnectionMonitor m_monitor;
    KeyAssignmentService m_keys;
    MacroEditor m_macros;
    ProfileService m_profiles;
    LightingService m_lighting;
    DeviceCatalogue m_catalogue;
    KeyboardDef m_def;
    std::vector<LayoutKey> m_layoutKeys;
    int m_loadMask = LOAD_ALL;
    std::atomic<bool> m_firstScanDone{false};
    std::atomic<int> m_firmwareVersion{-1};
    std::atomic<int> m_armCount{0};
    KeyUploadResult m_lastKeyUpload;
    std::map<int, std::function<bool()>> m_handlers;
    SoftwarePlayback* m_playback = nullptr;
    std::mutex m_keyActionLock; // the functions may be replaced while the worker runs
    std::function<void(const std::string&)> m_openTarget;
    std::function<void(const std::string&)> m_typeText;
    JobWorker m_worker; // last: stopped before the members its jobs use are destroyed
};

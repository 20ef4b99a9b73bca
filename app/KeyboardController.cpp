// The controller's jobs, catalogue and layout loading, and the hooks the pages call.
#include "app/KeyboardController.h"

#include "app/TextIds.h"
#include "device/KeyboardLayoutView.h"
#include "keys/KeyRecorder.h"
#include "keys/SoftwarePlayback.h"
#include "link/DeviceLink.h"
#include "platform/Folders.h"
#include "platform/LanguageText.h"
#include "platform/NumberText.h"
#include "platform/Settings.h"
#include "platform/Spawn.h"
#include "store/ProfileDatabase.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Starts `target` apart from the program: an executable file runs, anything else (an address, a
// document) goes to the desktop's opener.
void OpenWithDesktop(const std::string& target) {
    if (target.empty()) return;
    struct stat info {};
    const bool exists = stat(target.c_str(), &info) == 0;
    const bool program = exists && S_ISREG(info.st_mode) && access(target.c_str(), X_OK) == 0;
    // "www.example.org" is no file: without a scheme the opener would report it missing.
    const bool schemeless = !exists && target.find(':') == std::string::npos;
    if (program)
        (void)SpawnDetached({target.find('/') == std::string::npos ? "./" + target : target});
    else
        (void)SpawnDetached({"xdg-open", schemeless ? "http://" + target : target});
}

// Hands the catalogue's modes to the device link.
class LinkRegistrar final : public CatalogueSink {
public:
    explicit LinkRegistrar(DeviceLink& link) : m_link(link) {}
    void RegisterHidDevice(int vendorId, int productId, const std::string& productName, int deviceType,
                           int modeValue, const std::string& interfacePattern) override {
        m_link.AddCatalogueEntry(vendorId, productId, productName, deviceType, modeValue, interfacePattern);
    }

private:
    DeviceLink& m_link;
};

} // namespace

// Keeps the key picture's keys of a layout load.
class KeyboardController::LayoutCollector final : public KeyboardLayoutView {
public:
    explicit LayoutCollector(std::vector<LayoutKey>& keys) : m_keys(keys) {}
    void SetLightSliderMaxima(int brightnessMax, int speedMax) override {
        m_brightnessMax = brightnessMax;
        m_speedMax = speedMax;
    }
    void ClearKeyItems(KeyboardPicture picture) override {
        if (picture == KeyboardPicture::KeyAssignment) m_keys.clear();
        if (picture == KeyboardPicture::Lighting) m_lightKeys.clear();
    }
    void AddKeyItem(KeyboardPicture picture, const LayoutKeyItem& item) override {
        if (picture == KeyboardPicture::KeyAssignment)
            m_keys.push_back({item.m_code, item.m_name, item.m_description});
        if (picture == KeyboardPicture::Lighting) m_lightKeys.push_back({item.m_code, item.m_name});
    }
    LightingLayout Lighting(const KeyboardDef& def) const {
        return LightingLayout::From(def, m_brightnessMax, m_speedMax, m_lightKeys);
    }

private:
    std::vector<LayoutKey>& m_keys;
    std::vector<LightKeyItem> m_lightKeys;
    int m_brightnessMax = 0;
    int m_speedMax = 0;
};

KeyboardController::KeyboardController(ProfileDatabase& database, DeviceLink& link,
                                       IControllerFrontEnd& frontEnd, PacingClock* clock)
    : m_db(database), m_link(link), m_frontEnd(frontEnd), m_monitor(link, *this), m_keys(database, *this),
      m_macros(database, *this), m_profiles(database, m_keys, *this, *this), m_lighting(database, *this),
      m_worker(m_queue, *this, frontEnd, clock) {
    m_macros.SetKeyPage(&m_keys);
    // While a macro records, every key of the grabbed keyboard goes to the recorder instead.
    m_macros.SetRecorderHook([this](KeyRecorder* recorder) {
        if (m_playback) m_playback->Filter().SetRecordingSink(recorder);
    });
}

void KeyboardController::SetPlayback(SoftwarePlayback* playback) {
    if (m_playback) {
        m_playback->SetMacroQueue(nullptr);
        m_playback->SetActionQueue(nullptr);
    }
    m_playback = playback;
    if (!m_playback) return;
    m_playback->SetMacroQueue([this](int macroId) { m_queue.PushMacro(macroId); });
    // The filter's thread only queues: the actions read the database, start programs and may
    // switch the profile, which re-arms the very filter that called.
    m_playback->SetActionQueue([this](int type, int extraId) {
        m_queue.PushKeyAction(QueuedKeyAction{type, extraId});
    });
}

void KeyboardController::SetKeyActionFunctions(std::function<void(const std::string&)> open,
                                               std::function<void(const std::string&)> type) {
    std::lock_guard lock(m_keyActionLock);
    m_openTarget = std::move(open);
    m_typeText = std::move(type);
}

void KeyboardController::CarryOutKeyAction(QueuedKeyAction action) {
    std::function<void(const std::string&)> open, type;
    {
        std::lock_guard lock(m_keyActionLock);
        open = m_openTarget;
        type = m_typeText;
    }
    if (!open) open = OpenWithDesktop;
    if (!type) type = [](const std::string&) {};
    if (action.m_type == SoftwarePlayback::kTypeProfileSwitch) {
        m_frontEnd.RunOnPageThread(
            [this, extraId = action.m_extraId, open, type] { (void)RunKeyAction(extraId, open, type); });
        return;
    }
    (void)RunKeyAction(action.m_extraId, open, type);
}

KeyboardController::~KeyboardController() {
    Stop();
    m_macros.SetRecorderHook(nullptr);
}

bool KeyboardController::LoadCatalogueAndLayout(std::string& error) {
    LinkRegistrar registrar(m_link);
    m_link.ClearCatalogue();
    if (!LoadDeviceCatalogue(GetCataloguePath(), m_catalogue, &registrar) ||
        m_catalogue.m_keyboards.empty()) {
        error = "no keyboard catalogue at " + GetCataloguePath();
        return false;
    }
    if (!MakeDirectoryPath(GetDatabaseFolder())) {
        error = "cannot create the database folder " + GetDatabaseFolder();
        return false;
    }
    LayoutCollector collector(m_layoutKeys);
    LayoutEnvironment environment;
    environment.m_keyboards = &m_catalogue.m_keyboards;
    environment.m_moduleFolder = GetModuleFolder();
    environment.m_switchDatabase = [this](const std::string& name) {
        m_db.SwitchModel(GetUserDataFolder(), name);
    };
    environment.m_view = &collector;
    const int deviceType = m_catalogue.m_keyboards.front().m_deviceType;
    if (!LoadKeyboardLayout(m_def, deviceType, environment)) {
        error = "the keyboard layout of device type " + std::to_string(deviceType) + " could not be read";
        return false;
    }
    if (!m_db.IsOpen()) {
        error = "the profile database could not be opened: " + m_db.GetPath();
        return false;
    }
    m_lighting.SetLayout(collector.Lighting(m_def));
    return true;
}

void KeyboardController::LoadPages(int mask) {
    if (mask & LOAD_MACROS) m_macros.LoadMacroList();
    if (mask & LOAD_PROFILES) {
        m_profiles.LoadProfileList();
        ArmSoftwarePlayback();
    }
    if (mask & LOAD_LIGHTING) LoadLightingPage();
}

void KeyboardController::LoadLightingPage() {
    m_lighting.SetProfile(m_db.GetSelectedProfile());
    const int mode = m_monitor.State().connectionMode;
    m_lighting.SetConnectionMode(mode < 0 ? 0 : mode);
    (void)m_lighting.LoadLightPage();
}

void KeyboardController::Start() {
    m_worker.StartWorker();
    QueueJob(JOB_FIRST_SCAN);
}

void KeyboardController::Stop() {
    m_worker.Stop();
}

bool KeyboardController::RunJobAndWait(int code, std::chrono::milliseconds timeout) {
    QueueJob(code);
    return m_queue.WaitUntilIdle(timeout);
}

std::optional<int> KeyboardController::FirmwareVersion() const {
    const int version = m_firmwareVersion;
    return version < 0 ? std::nullopt : std::optional<int>(version);
}

ServiceOutcome KeyboardController::FullReset() {
    WriteSettingString("exit_mode", "0");
    if (!m_def.m_keyboardName.empty()) {
        const std::string folder = GetUserDataFolder();
        m_db.Close();
        m_db.DeleteDatabaseFile(folder, m_def.m_keyboardName);
        if (!m_db.Open(folder, m_def.m_keyboardName)) return ServiceOutcome::Failed();
        LoadPages(LOAD_ALL);
    }
    ArmSoftwarePlayback();
    QueueJob(JOB_RESET_DEVICE);
    ShowWaitDialog();
    return ServiceOutcome::Done();
}

ServiceOutcome KeyboardController::RequestProgramUpdate(bool updateAvailable) {
    if (!updateAvailable) return ServiceOutcome::Refused(TXT_PROGRAM_UPDATE, TXT_PROGRAM_UP_TO_DATE);
    QueueJob(JOB_UPDATE_SOFTWARE);
    return ServiceOutcome::Done();
}

int KeyboardController::FirmwareUpdateQuestion(bool updateAvailable) {
    return updateAvailable ? TXT_FIRMWARE_UPDATE_CONFIRM : TXT_FIRMWARE_REINSTALL_CONFIRM;
}

ServiceOutcome KeyboardController::RunKeyAction(int extraId,
                                                const std::function<void(const std::string&)>& open,
                                                const std::function<void(const std::string&)>& type) {
    std::string description, parameter;
    int kind = 0;
    if (!m_db.LoadKeyExtra(extraId, description, parameter, kind)) return ServiceOutcome::Ignored();
    switch (kind) {
    case 8:
        open(parameter);
        return ServiceOutcome::Done();
    case 9: {
        // An empty address opens nothing; one with a scheme or "www." already is used as it is.
        if (description.empty()) return ServiceOutcome::Ignored();
        const bool complete =
            description.find("www.") != std::string::npos || description.find("://") != std::string::npos;
        open(complete ? description : "www." + description);
        return ServiceOutcome::Done();
    }
    case 10:
        if (!description.empty()) type(description);
        return ServiceOutcome::Done();
    case 11:
        return m_profiles.SwitchToProfile(ParseDecimalInt(parameter));
    default:
        return ServiceOutcome::Ignored();
    }
}

void KeyboardController::ArmSoftwarePlayback() {
    ++m_armCount;
    if (!m_playback) return;
    std::vector<KeyAssignmentRecord> rows;
    m_db.LoadKeyAssignments(m_db.GetSelectedProfile(), 0, rows);
    m_playback->ArmSoftwarePlayback(rows);
}

void KeyboardController::QueueJob(int code) {
    m_queue.PushJob(code);
}

void KeyboardController::ShowWaitDialog() {
    m_frontEnd.OpenWaitDialog();
}

void KeyboardController::QueueLightingUpload() {
    QueueJob(JOB_WRITE_LIGHTING);
}

void KeyboardController::QueueKeyColourUpload() {
    QueueJob(JOB_WRITE_KEY_COLOURS);
}

bool KeyboardController::LightingUploadWaiting() {
    return m_queue.HasWaitingJob(JOB_WRITE_LIGHTING);
}

bool KeyboardController::DeviceJobsAllowed() {
    return m_monitor.State().AllowsDeviceJobs();
}

bool KeyboardController::RunJob(int code) {
    KeyboardProtocol protocol(m_link, m_db);
    // The worker reads the current profile from the database: the page state belongs to the UI thread.
    protocol.SetProfile(m_db.GetSelectedProfile(), 0);
    switch (code) {
    case JOB_FIRST_SCAN:
        if (m_firstScanDone.exchange(true)) return true;
        m_monitor.Refresh();
        m_frontEnd.StartAudio();
        return true;
    case JOB_RESCAN:
    case JOB_RESCAN_REMOVAL:
        m_monitor.Refresh();
        return true;
    case JOB_SELECT_DEVICE:
        return true;
    case JOB_READ_DEVICE:
        m_frontEnd.ReloadPages(m_loadMask);
        return true;
    case JOB_WRITE_PROFILE:
        m_lastKeyUpload = protocol.UploadKeyAssignments();
        return m_lastKeyUpload.notFitted == 0;
    case JOB_WRITE_LIGHTING:
        return protocol.UploadLightEffect(m_lighting.CustomSlotIndex());
    case JOB_WRITE_KEY_COLOURS:
        return protocol.UploadKeyColours(m_def.m_lightPositions);
    case JOB_RESET_DEVICE:
        protocol.FactoryReset();
        m_frontEnd.ReloadPages(LOAD_ALL);
        return true;
    case JOB_CHECK_FIRMWARE:
        if (const std::optional<int> version = protocol.ReadFirmwareVersion()) {
            m_firmwareVersion = *version;
            m_frontEnd.FirmwareVersionRead(*version);
            return true;
        }
        return false;
    default:
        if (auto handler = m_handlers.find(code); handler != m_handlers.end()) return handler->second();
        return true;
    }
}

void KeyboardController::PlayMacro(int macroId) {
    if (m_playback) m_playback->PlayMacro(macroId);
}

void KeyboardController::CloseAllPopups() {
    m_frontEnd.CloseAllPopups();
}

void KeyboardController::ResetAllDeviceStates() {
    m_frontEnd.ResetAllDeviceStates();
}

void KeyboardController::SetDeviceState(int deviceType, int state) {
    m_frontEnd.SetDeviceState(deviceType, state);
}

void KeyboardController::ShowConnection(const ConnectionState& state, bool usable) {
    m_frontEnd.ShowConnection(state, usable);
}

// molvanectl: one command per run over the controller's services, the database the window uses
// and the jobs the window queues.
#include "app/MolvaneCtl.h"

#include "app/CtlKeyTargets.h"
#include "app/KeyboardController.h"
#include "app/TextIds.h"
#include "keys/CustomKeyModel.h"
#include "keys/EvdevNode.h"
#include "keys/IMacroSource.h"
#include "keys/InputNodeFinder.h"
#include "keys/NameRules.h"
#include "keys/SoftwarePlayback.h"
#include "keys/VHidev.h"
#include "lighting/LightingCommands.h"
#include "link/DeviceLink.h"
#include "link/PacingClock.h"
#include "platform/Folders.h"
#include "platform/LanguageText.h"
#include "platform/NumberText.h"
#include "sim/SimulatedKeyboard.h"
#include "store/ProfileDatabase.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <map>
#include <mutex>
#include <ostream>
#include <pthread.h>
#include <string_view>

namespace {

constexpr std::chrono::seconds kJobTimeout{120};

struct CommandHelp {
    const char* name;
    const char* usage;
    const char* text;
};

constexpr CommandHelp kCommands[] = {
    {"devices", "devices", "Lists the keyboards found, their connection mode and firmware version."},
    {"profiles", "profiles", "Lists the profiles; '*' marks the current one."},
    {"profile",
     "profile add [NAME] | select ID | rename ID NAME | delete ID | export ID FILE | import FILE | defaults",
     "Adds, selects, renames, deletes, exports and imports profiles; 'defaults' restores every key of the\n"
     "current profile. Deleting rewrites the keyboard's own key tables when a keyboard is connected."},
    {"keys", "keys", "Lists the key assignments of the current profile."},
    {"key", "key KEY TARGET",
     "Assigns TARGET to KEY (a key name such as F1 or Esc, or a key code such as 0x3A) in the current "
     "profile.\n"
     "TARGET: key:NAME  combo:ctrl+shift+NAME  media:NAME  mouse:left|right|middle|4|5  shortcut:1..15\n"
     "        function:1..7  macro:ID  run:PATH  url:ADDRESS  text:TEXT  profile:ID  disable  default\n"
     "media names: computer calculator email player playpause stop previous next volumedown volumeup mute\n"
     "             home refresh webstop back forward favorites search"},
    {"macros", "macros", "Lists the macros with their play times, delay type and number of events."},
    {"macro",
     "macro new [NAME] | show ID | delete ID | copy ID | rename ID NAME | set ID [times=N] "
     "[delay=1|2|3[:MS]]\n"
     "      | export ID FILE | import FILE",
     "Creates, shows, deletes, duplicates, renames and sets up macros, and exchanges them as files.\n"
     "delay=1 plays the recorded pauses, 2 none, 3:MS a fixed pause of MS milliseconds after every event.\n"
     "Deleting a macro also removes every key assignment that plays it."},
    {"light", "light ...", "Lighting effects (see molvanectl light --help)."},
    {"colors", "colors ...", "Per-key colours (see molvanectl colors --help)."},
    {"upload", "upload", "Writes the current profile's key assignments and macros into the keyboard."},
    {"reset", "reset --yes",
     "Full reset: the settings, the profile database (every profile and macro is lost) and the keyboard's\n"
     "factory state. Needs --yes."},
    {"remap", "remap",
     "Arms the key filter for the current profile and carries out its assignments and macros until\n"
     "interrupted (Ctrl+C)."},
};

const CommandHelp* FindCommand(const std::string& name) {
    for (const CommandHelp& command : kCommands)
        if (name == command.name) return &command;
    return nullptr;
}

void PrintUsage(std::ostream& out) {
    out << "usage: molvanectl [--simulate[=0|1|2]] COMMAND [ARGS]\n"
           "       molvanectl COMMAND --help\n\ncommands:\n";
    for (const CommandHelp& command : kCommands)
        if (std::string_view(command.name) != "light" && std::string_view(command.name) != "colors")
            out << "  " << command.usage << "\n";
    PrintLightingUsage(out);
    out << "\nexit codes: 0 ok, 1 usage or failure, 2 no keyboard, 3 refused by a rule\n"
           "--simulate connects an emulated keyboard (0 cable, 1 receiver, 2 Bluetooth).\n"
           "MOLVANE_HID_TRACE=FILE (or -) writes every report sent to and read from the keyboard.\n";
}

// Runs the controller's jobs on its worker; device-state reports are kept for the command.
class CtlFrontEnd final : public IControllerFrontEnd {
public:
    void SetController(KeyboardController* controller) { m_controller = controller; }
    // The command's thread waits while the worker runs, so the pages can be reloaded here.
    void ReloadPages(int mask) override {
        if (m_controller) m_controller->LoadPages(mask);
    }
    void JobFinished(int code, JobOutcome outcome) override {
        std::lock_guard lock(m_mutex);
        m_outcomes[code] = outcome;
    }
    std::optional<JobOutcome> Outcome(int code) const {
        std::lock_guard lock(m_mutex);
        auto found = m_outcomes.find(code);
        return found == m_outcomes.end() ? std::nullopt : std::optional<JobOutcome>(found->second);
    }
    void Forget(int code) {
        std::lock_guard lock(m_mutex);
        m_outcomes.erase(code);
    }

private:
    KeyboardController* m_controller = nullptr;
    mutable std::mutex m_mutex;
    std::map<int, JobOutcome> m_outcomes;
};

struct Ctl {
    std::ostream& out;
    std::ostream& err;
    KeyboardController& controller;
    CtlFrontEnd& frontEnd;
    bool workerStarted = false;
};

using Args = std::vector<std::string>;

int Usage(Ctl& ctl, const char* command, const std::string& problem) {
    ctl.err << "molvanectl " << command << ": " << problem << "\nusage: molvanectl "
            << FindCommand(command)->usage << "\n";
    return CTL_USAGE;
}

// Prints what a service said and gives the exit code.
int Report(Ctl& ctl, const ServiceOutcome& outcome, const std::string& what) {
    switch (outcome.m_kind) {
    case OutcomeKind::Done:
        if (outcome.m_text != 0)
            ctl.err << "molvanectl: " << what << ": " << LoadText(outcome.m_text) << "\n";
        return CTL_OK;
    case OutcomeKind::Refused:
        ctl.err << "molvanectl: " << what << ": refused: " << LoadText(outcome.m_text) << "\n";
        return CTL_REFUSED;
    case OutcomeKind::Failed:
        ctl.err << "molvanectl: " << what << ": failed\n";
        return CTL_USAGE;
    case OutcomeKind::Ignored:
        break;
    }
    ctl.err << "molvanectl: " << what << ": nothing to do\n";
    return CTL_USAGE;
}

// Starts the worker with the first scan; true when a usable keyboard was found.
bool ConnectKeyboard(Ctl& ctl) {
    if (!ctl.workerStarted) {
        ctl.controller.Start();
        ctl.workerStarted = true;
        ctl.controller.WaitUntilIdle(kJobTimeout);
    }
    return ctl.controller.DeviceJobsAllowed();
}

int NoKeyboard(Ctl& ctl) {
    ctl.err << "molvanectl: no keyboard connected\n";
    return CTL_NO_KEYBOARD;
}

// Runs a job as the window would and waits for it.
int RunDeviceJob(Ctl& ctl, int code, const std::string& what) {
    if (!ConnectKeyboard(ctl)) return NoKeyboard(ctl);
    ctl.frontEnd.Forget(code);
    if (!ctl.controller.RunJobAndWait(code, kJobTimeout)) {
        ctl.err << "molvanectl: " << what << ": the keyboard did not finish in time\n";
        return CTL_USAGE;
    }
    switch (ctl.frontEnd.Outcome(code).value_or(JobOutcome::Failed)) {
    case JobOutcome::Done:
        return CTL_OK;
    case JobOutcome::Dropped:
        return NoKeyboard(ctl);
    case JobOutcome::Failed:
        break;
    }
    ctl.err << "molvanectl: " << what << ": the keyboard did not take it\n";
    return CTL_USAGE;
}

std::optional<int> ParseId(const std::string& text) {
    std::optional<int> id = ParseNumber(text);
    return id && *id > 0 ? id : std::nullopt;
}

const char* ModeName(int mode) {
    switch (mode) {
    case 0:
        return "cable";
    case 1:
        return "receiver";
    case 2:
        return "Bluetooth";
    default:
        return "unknown";
    }
}

int CmdDevices(Ctl& ctl, const Args& args) {
    if (!args.empty()) return Usage(ctl, "devices", "takes no arguments");
    const bool usable = ConnectKeyboard(ctl);
    const ConnectionState state = ctl.controller.Monitor().State();
    std::vector<LinkModeEntry> entries = ctl.controller.Link().Catalogue();
    for (const DeviceDescriptor& keyboard : ctl.controller.Catalogue().m_keyboards) {
        bool connected = false;
        for (size_t i = 0; i < entries.size() && i < state.entryConnected.size(); ++i)
            connected =
                connected || (state.entryConnected[i] && entries[i].deviceType == keyboard.m_deviceType);
        ctl.out << keyboard.m_name << " (device type " << keyboard.m_deviceType
                << "): " << (connected ? "connected" : "not connected");
        if (connected && usable) {
            ctl.out << ", " << ModeName(state.connectionMode);
            ctl.controller.RunJobAndWait(JOB_CHECK_FIRMWARE, kJobTimeout);
            if (std::optional<int> version = ctl.controller.FirmwareVersion()) {
                char text[16];
                std::snprintf(text, sizeof(text), "%d.%02X", *version >> 8, *version & 0xFF);
                ctl.out << ", firmware " << text;
            }
        }
        ctl.out << "\n";
    }
    return usable ? CTL_OK : CTL_NO_KEYBOARD;
}

int CmdProfiles(Ctl& ctl, const Args& args) {
    if (!args.empty()) return Usage(ctl, "profiles", "takes no arguments");
    ProfileService& profiles = ctl.controller.Profiles();
    for (size_t i = 0; i < profiles.Items().size(); ++i) {
        const ProfileListItem& item = profiles.Items()[i];
        ctl.out << (static_cast<int>(i) == profiles.SelectedIndex() ? "* " : "  ") << item.m_id << "\t"
                << item.m_shownName << "\n";
    }
    return CTL_OK;
}

// The list index of profile `text`, or -1 after printing why not.
int ProfileIndex(Ctl& ctl, const std::string& text) {
    std::optional<int> id = ParseId(text);
    const int index = id ? ctl.controller.Profiles().IndexOf(*id) : -1;
    if (index < 0) ctl.err << "molvanectl profile: no profile with id " << text << "\n";
    return index;
}

int CmdProfileDelete(Ctl& ctl, int index) {
    ProfileService& profiles = ctl.controller.Profiles();
    if (profiles.Items().size() <= 1) {
        ctl.err << "molvanectl profile delete: refused: the last profile cannot be deleted\n";
        return CTL_REFUSED;
    }
    // The deletion rewrites the keyboard's tables, so the keyboard is looked for first.
    const bool keyboard = ConnectKeyboard(ctl);
    const int code = Report(ctl, profiles.DeleteProfile(index), "profile delete");
    if (code != CTL_OK) return code;
    ctl.controller.WaitUntilIdle(kJobTimeout);
    if (!keyboard) ctl.err << "molvanectl: no keyboard connected; its key tables were not rewritten\n";
    return CTL_OK;
}

int CmdProfile(Ctl& ctl, const Args& args) {
    ProfileService& profiles = ctl.controller.Profiles();
    const std::string sub = args.empty() ? std::string() : args[0];
    const size_t n = args.size();
    if (sub == "add" && n <= 2) {
        const int code = Report(ctl, profiles.AddProfile(n == 2 ? args[1] : std::string()), "profile add");
        if (code == CTL_OK) ctl.out << profiles.CurrentProfile() << "\n";
        return code;
    }
    if (sub == "defaults" && n == 1) return Report(ctl, profiles.RestoreDefaults(), "profile defaults");
    if (sub == "import" && n == 2) {
        const int code =
            Report(ctl, profiles.ImportProfile(args[1], &ctl.controller.Macros()), "profile import");
        if (code == CTL_OK) ctl.out << profiles.CurrentProfile() << "\n";
        return code;
    }
    const bool known = (sub == "select" && n == 2) || (sub == "rename" && n == 3) ||
                       (sub == "delete" && n == 2) || (sub == "export" && n == 3);
    if (!known)
        return Usage(ctl, "profile", sub.empty() ? "missing subcommand" : "wrong subcommand or arguments");
    const int index = ProfileIndex(ctl, args[1]);
    if (index < 0) return CTL_USAGE;
    if (sub == "select") return Report(ctl, profiles.SelectProfile(index), "profile select");
    if (sub == "rename") return Report(ctl, profiles.RenameProfile(index, args[2]), "profile rename");
    if (sub == "export") return Report(ctl, profiles.ExportProfile(index, args[2]), "profile export");
    return CmdProfileDelete(ctl, index);
}

const char* TypeName(int type) {
    switch (type) {
    case 1:
        return "disabled";
    case 2:
    case 12:
        return "key";
    case 3:
        return "macro";
    case 5:
        return "mouse";
    case 6:
        return "function";
    case 7:
        return "shortcut";
    case 8:
        return "run";
    case 9:
        return "url";
    case 10:
        return "text";
    case 11:
        return "profile";
    default:
        return "default";
    }
}

int CmdKeys(Ctl& ctl, const Args& args) {
    if (!args.empty()) return Usage(ctl, "keys", "takes no arguments");
    KeyAssignmentService& keys = ctl.controller.Keys();
    std::vector<KeyAssignmentRecord> rows;
    ctl.controller.Database().LoadKeyAssignments(keys.CurrentProfile(), 0, rows);
    for (const KeyAssignmentRecord& row : rows) {
        char code[8];
        std::snprintf(code, sizeof(code), "0x%02X", row.m_keyCode);
        ctl.out << code << "\t" << KeyDisplayName(row.m_keyCode, ctl.controller.LayoutKeys()) << "\t"
                << TypeName(row.m_macroType) << " " << row.m_macroValue << "\t"
                << keys.DisplayDescription(row) << "\n";
    }
    return CTL_OK;
}

// The assignment dialog's path: the menu's limit check, then the dialog's Apply.
ServiceOutcome AssignThroughDialog(Ctl& ctl, int keyCode, const KeyTarget& target) {
    KeyAssignmentService& keys = ctl.controller.Keys();
    const AssignmentKind kind = [&] {
        switch (target.m_kind) {
        case KeyTarget::Kind::Combination:
            return AssignmentKind::KeyCombination;
        case KeyTarget::Kind::Macro:
            return AssignmentKind::Macro;
        case KeyTarget::Kind::Mouse:
            return AssignmentKind::Mouse;
        case KeyTarget::Kind::Function:
            return AssignmentKind::Further;
        case KeyTarget::Kind::Program:
            return AssignmentKind::Program;
        case KeyTarget::Kind::Url:
            return AssignmentKind::WebAddress;
        case KeyTarget::Kind::Text:
            return AssignmentKind::Text;
        case KeyTarget::Kind::Profile:
            return AssignmentKind::ProfileSwitch;
        default:
            return AssignmentKind::Shortcut;
        }
    }();
    if (KeyAssignmentService::IsCounted(static_cast<int>(kind))) {
        ServiceOutcome allowed =
            keys.MenuCommand(kind == AssignmentKind::Macro ? KEY_MENU_MACRO : KEY_MENU_FUNCTION);
        if (!allowed.Ok()) return allowed;
    }
    CustomKeyModel dialog(ctl.controller.Database(), keyCode, keys.CurrentProfile(), kind);
    ServiceOutcome applied;
    switch (target.m_kind) {
    case KeyTarget::Kind::Combination:
        applied = dialog.ApplyCombination(target.m_value, target.m_modifiers);
        break;
    case KeyTarget::Kind::Program:
    case KeyTarget::Kind::Url:
    case KeyTarget::Kind::Text:
        applied = dialog.ApplyText(target.m_text);
        break;
    default:
        applied = dialog.ApplyChoice(target.m_value);
        break;
    }
    if (applied.Ok()) keys.AssignmentDialogApplied();
    return applied;
}

int CmdKey(Ctl& ctl, const Args& args) {
    if (args.size() != 2) return Usage(ctl, "key", "needs KEY and TARGET");
    std::optional<int> keyCode = ParseKeyCode(args[0], ctl.controller.LayoutKeys());
    if (!keyCode) return Usage(ctl, "key", "unknown key \"" + args[0] + "\"");
    std::string error;
    std::optional<KeyTarget> target = ParseKeyTarget(args[1], ctl.controller.LayoutKeys(), error);
    if (!target) return Usage(ctl, "key", error);
    KeyAssignmentService& keys = ctl.controller.Keys();
    ServiceOutcome clicked = keys.ClickKey(*keyCode);
    if (!clicked.Ok()) return Report(ctl, clicked, "key");
    if (target->m_kind == KeyTarget::Kind::Macro && ctl.controller.Macros().IndexOf(target->m_value) < 0)
        return Usage(ctl, "key", "no macro with id " + std::to_string(target->m_value));
    if (target->m_kind == KeyTarget::Kind::Profile && ctl.controller.Profiles().IndexOf(target->m_value) < 0)
        return Usage(ctl, "key", "no profile with id " + std::to_string(target->m_value));
    switch (target->m_kind) {
    case KeyTarget::Kind::Default:
        return Report(ctl, keys.MenuCommand(KEY_MENU_DEFAULT), "key");
    case KeyTarget::Kind::Disable:
        return Report(ctl, keys.MenuCommand(KEY_MENU_DISABLE), "key");
    case KeyTarget::Kind::Key:
        return Report(
            ctl, keys.PickerChoice(PickerItem{target->m_value, 0, 0, KeyDisplayName(target->m_value, {})}),
            "key");
    case KeyTarget::Kind::Media: {
        std::string description;
        for (const MediaItemText& media : kMediaItemTexts)
            if (media.value == target->m_value) description = LoadText(media.text);
        return Report(ctl, keys.PickerChoice(PickerItem{target->m_value, 0, 0, description}), "key");
    }
    default:
        return Report(ctl, AssignThroughDialog(ctl, *keyCode, *target), "key");
    }
}

const char* DelayName(int type) {
    return type == 2 ? "no pauses" : type == 3 ? "fixed pause" : "recorded pauses";
}

int CmdMacros(Ctl& ctl, const Args& args) {
    if (!args.empty()) return Usage(ctl, "macros", "takes no arguments");
    for (const MacroListItem& item : ctl.controller.Macros().Items()) {
        MacroRecord macro;
        std::vector<MacroEventRecord> events;
        ctl.controller.Database().LoadMacro(item.m_id, macro);
        ctl.controller.Database().LoadMacroEvents(item.m_id, events);
        ctl.out << item.m_id << "\t" << item.m_shownName << "\ttimes=" << macro.m_playTimes
                << " delay=" << macro.m_delayType;
        if (macro.m_delayType == 3) ctl.out << ":" << macro.m_delayTime;
        ctl.out << "\t" << events.size() << " events\n";
    }
    return CTL_OK;
}

int CmdMacroShow(Ctl& ctl) {
    MacroEditor& macros = ctl.controller.Macros();
    const MacroListItem& item = macros.Items()[macros.SelectedIndex()];
    ctl.out << "macro " << item.m_id << ": " << item.m_shownName << "\nplay times " << macros.PlayTimesField()
            << ", " << DelayName(macros.DelayType());
    if (macros.DelayType() == 3) ctl.out << " of " << macros.DelayTimeField() << " ms";
    ctl.out << "\n";
    for (const MacroEventRecord& event : macros.Events())
        ctl.out << "  "
                << (event.m_type == MacroEditor::kEventPressed    ? "down"
                    : event.m_type == MacroEditor::kEventReleased ? "up  "
                                                                  : "?   ")
                << " " << event.m_description << " (" << event.m_value << ") then " << event.m_delayTime
                << " ms\n";
    return CTL_OK;
}

int CmdMacroSet(Ctl& ctl, const Args& args) {
    MacroEditor& macros = ctl.controller.Macros();
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string& setting = args[i];
        if (setting.starts_with("times=")) {
            macros.SetPlayTimesField(setting.substr(6));
        } else if (setting.starts_with("delay=") && setting.size() >= 7 && setting[6] >= '1' &&
                   setting[6] <= '3') {
            macros.SetDelayType(setting[6] - '0');
            if (setting.size() > 7) {
                if (setting[6] != '3' || setting[7] != ':' || !ParseNumber(setting.substr(8)))
                    return Usage(ctl, "macro", "delay takes 1, 2, 3 or 3:MS");
                macros.SetDelayTimeField(setting.substr(8));
            }
        } else {
            return Usage(ctl, "macro", "unknown setting \"" + setting + "\"");
        }
    }
    const std::string asked = macros.PlayTimesField();
    const int code = Report(ctl, macros.SaveMacroSettings(), "macro set");
    if (code == CTL_OK && macros.PlayTimesField() != asked)
        ctl.err << "molvanectl macro set: play times kept to 1..99: " << macros.PlayTimesField() << "\n";
    return code;
}

int CmdMacro(Ctl& ctl, const Args& args) {
    MacroEditor& macros = ctl.controller.Macros();
    const std::string sub = args.empty() ? std::string() : args[0];
    const size_t n = args.size();
    if (sub == "new" && n <= 2) {
        if (n == 2 && (args[1].empty() || ContainsForbiddenWord(args[1])))
            return Report(
                ctl,
                ServiceOutcome::Refused(TXT_RENAME, args[1].empty() ? TXT_NAME_INVALID : TXT_NAME_FORBIDDEN),
                "macro new");
        int code = Report(ctl, macros.NewMacro(), "macro new");
        if (code == CTL_OK && n == 2) code = Report(ctl, macros.EndMacroRename(args[1]), "macro new");
        if (code == CTL_OK) ctl.out << macros.SelectedMacroId() << "\n";
        return code;
    }
    if (sub == "import" && n == 2) {
        const int code = Report(ctl, macros.ImportMacro(args[1]), "macro import");
        if (code == CTL_OK) ctl.out << macros.Items().back().m_id << "\n";
        return code;
    }
    const bool known = ((sub == "show" || sub == "delete" || sub == "copy") && n == 2) ||
                       ((sub == "rename" || sub == "export") && n == 3) || (sub == "set" && n >= 3);
    if (!known)
        return Usage(ctl, "macro", sub.empty() ? "missing subcommand" : "wrong subcommand or arguments");
    std::optional<int> id = ParseId(args[1]);
    const int index = id ? macros.IndexOf(*id) : -1;
    if (index < 0) {
        ctl.err << "molvanectl macro: no macro with id " << args[1] << "\n";
        return CTL_USAGE;
    }
    macros.SelectIndex(index);
    if (sub == "show") return CmdMacroShow(ctl);
    if (sub == "delete") return Report(ctl, macros.DeleteSelectedMacro(), "macro delete");
    if (sub == "copy") {
        const int code = Report(ctl, macros.CopyMacro(), "macro copy");
        if (code == CTL_OK) ctl.out << macros.Items().back().m_id << "\n";
        return code;
    }
    if (sub == "rename") return Report(ctl, macros.EndMacroRename(args[2]), "macro rename");
    if (sub == "export") return Report(ctl, macros.ExportSelectedMacro(args[2]), "macro export");
    return CmdMacroSet(ctl, args);
}

int CmdLighting(Ctl& ctl, const std::string& command, const Args& args) {
    // The effect list depends on the connection mode, so the keyboard is looked for first.
    ConnectKeyboard(ctl);
    ctl.controller.LoadLightingPage();
    LightingCommandContext context;
    context.m_service = &ctl.controller.Lighting();
    context.m_keyboardPresent = [&ctl] { return ctl.controller.DeviceJobsAllowed(); };
    context.m_waitForJobs = [&ctl] { return ctl.controller.WaitUntilIdle(kJobTimeout); };
    context.m_text = [](int id) { return LoadText(id); };
    Args words = {command};
    words.insert(words.end(), args.begin(), args.end());
    return RunLightingCommand(words, context, ctl.out, ctl.err);
}

int CmdUpload(Ctl& ctl, const Args& args) {
    if (!args.empty()) return Usage(ctl, "upload", "takes no arguments");
    const int code = RunDeviceJob(ctl, JOB_WRITE_PROFILE, "upload");
    if (code == CTL_OK && ctl.controller.LastKeyUpload().notFitted > 0)
        ctl.err << "molvanectl upload: " << ctl.controller.LastKeyUpload().notFitted
                << " assignments found no free slot in the keyboard\n";
    return code;
}

int CmdReset(Ctl& ctl, const Args& args) {
    if (args.size() != 1 || args[0] != "--yes")
        return Usage(ctl, "reset", "erases every profile and macro; confirm with --yes");
    if (!ConnectKeyboard(ctl)) return NoKeyboard(ctl);
    ctl.frontEnd.Forget(JOB_RESET_DEVICE);
    const int code = Report(ctl, ctl.controller.FullReset(), "reset");
    if (code != CTL_OK) return code;
    ctl.controller.WaitUntilIdle(kJobTimeout);
    return ctl.frontEnd.Outcome(JOB_RESET_DEVICE) == JobOutcome::Done ? CTL_OK : NoKeyboard(ctl);
}

std::vector<std::unique_ptr<IKeyboardNode>> OpenKeyboardNodes(Ctl& ctl) {
    std::vector<std::unique_ptr<IKeyboardNode>> nodes;
    for (const DeviceDescriptor& mode : ctl.controller.Catalogue().m_modes)
        for (const std::string& path : InputNodeFinder::FindKeyNodes(mode.m_vendorId, mode.m_productId)) {
            std::string error;
            if (std::unique_ptr<EvdevNode> node = EvdevNode::Open(path, error))
                nodes.push_back(std::move(node));
            else
                ctl.err << "molvanectl remap: " << path << ": " << error << "\n";
        }
    return nodes;
}

int CmdRemap(Ctl& ctl, const Args& args) {
    if (!args.empty()) return Usage(ctl, "remap", "takes no arguments");
    // Interrupts are taken by sigwait below, so every thread started from here on must block them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    DatabaseMacroSource source;
    SoftwarePlayback playback(VHidev::Instance(), source, SteadyPacingClock::Shared());
    if (!playback.InitSoftwarePlayback()) {
        ctl.err << "molvanectl remap: " << VHidev::Instance().UnavailableMessage() << "\n";
        return CTL_NO_KEYBOARD;
    }
    std::vector<std::unique_ptr<IKeyboardNode>> nodes = OpenKeyboardNodes(ctl);
    if (nodes.empty()) return NoKeyboard(ctl);
    ctl.controller.SetPlayback(&playback);
    ctl.controller.ArmSoftwarePlayback();
    if (!ctl.workerStarted) {
        ctl.controller.Start();
        ctl.workerStarted = true;
    }
    playback.AttachKeyboard(std::move(nodes));
    ctl.out << "remapping with profile " << ctl.controller.Profiles().CurrentProfile() << "; Ctrl+C ends\n"
            << std::flush;
    int signal = 0;
    sigwait(&stopSignals, &signal);
    playback.DisarmFilter();
    ctl.controller.Stop();
    ctl.controller.SetPlayback(nullptr);
    return CTL_OK;
}

int Dispatch(Ctl& ctl, const std::string& command, const Args& args) {
    if (command == "devices") return CmdDevices(ctl, args);
    if (command == "profiles") return CmdProfiles(ctl, args);
    if (command == "profile") return CmdProfile(ctl, args);
    if (command == "keys") return CmdKeys(ctl, args);
    if (command == "key") return CmdKey(ctl, args);
    if (command == "macros") return CmdMacros(ctl, args);
    if (command == "macro") return CmdMacro(ctl, args);
    if (command == "light" || command == "colors") return CmdLighting(ctl, command, args);
    if (command == "upload") return CmdUpload(ctl, args);
    if (command == "reset") return CmdReset(ctl, args);
    return CmdRemap(ctl, args);
}

// Virtual pacing for the emulated keyboard: it needs no pauses, and scripts should not wait for them.
VirtualPacingClock& SimulationClock() {
    static VirtualPacingClock clock;
    return clock;
}

} // namespace

int RunMolvaneCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    size_t next = 0;
    int simulate = -1;
    for (; next < args.size() && args[next].starts_with("--"); ++next) {
        const std::string& option = args[next];
        if (option == "--help") {
            PrintUsage(out);
            return CTL_OK;
        }
        if (option == "--simulate" || option == "--simulate=0" || option == "--simulate=1" ||
            option == "--simulate=2") {
            simulate = option.size() > 11 ? option[11] - '0' : 0;
            continue;
        }
        err << "molvanectl: unknown option " << option << "\n";
        PrintUsage(err);
        return CTL_USAGE;
    }
    if (next == args.size()) {
        PrintUsage(err);
        return CTL_USAGE;
    }
    const std::string command = args[next];
    const CommandHelp* help = FindCommand(command);
    if (help == nullptr) {
        err << "molvanectl: unknown command " << command << "\n";
        PrintUsage(err);
        return CTL_USAGE;
    }
    const Args rest(args.begin() + static_cast<long>(next) + 1, args.end());
    const bool lighting = command == "light" || command == "colors";
    if (lighting && std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
        Args words = {command};
        words.insert(words.end(), rest.begin(), rest.end());
        return RunLightingCommand(words, LightingCommandContext{}, out, err);
    }
    for (const std::string& arg : rest)
        if (arg == "--help") {
            out << "usage: molvanectl " << help->usage << "\n" << help->text << "\n";
            return CTL_OK;
        }

    ChooseStartLanguage();
    DeviceLink& link = DeviceLink::Instance();
    if (simulate >= 0) {
        link.SetPacingClock(&SimulationClock());
        StartSimulatedKeyboard(simulate);
    }
    CtlFrontEnd frontEnd;
    KeyboardController controller(GetProfileDatabase(), link, frontEnd,
                                  simulate >= 0 ? &SimulationClock() : nullptr);
    frontEnd.SetController(&controller);
    std::string error;
    if (!controller.LoadCatalogueAndLayout(error)) {
        err << "molvanectl: " << error << "\n";
        return CTL_USAGE;
    }
    controller.LoadPages(LOAD_PROFILES | LOAD_MACROS);
    Ctl ctl{out, err, controller, frontEnd};
    const int code = Dispatch(ctl, command, rest);
    controller.Stop();
    frontEnd.SetController(nullptr);
    return code;
}

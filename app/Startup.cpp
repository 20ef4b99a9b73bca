// Start-up sequence: product name, single instance, language, database folder; then the report.
#include "app/Startup.h"

#include "app/CommandLine.h"
#include "device/DeviceCatalogue.h"
#include "platform/Folders.h"
#include "platform/LanguageText.h"
#include "platform/Settings.h"

#include <cstdio>
#include <ostream>

namespace {

std::string Hex4(int value) {
    char text[16];
    std::snprintf(text, sizeof(text), "%04X", static_cast<unsigned>(value) & 0xFFFFu);
    return text;
}

void PrintCatalogue(std::ostream& out, const DeviceCatalogue& catalogue) {
    for (const DeviceDescriptor& keyboard : catalogue.m_keyboards) {
        out << "  keyboard \"" << keyboard.m_name << "\": device type " << keyboard.m_deviceType
            << ", layout layouts/" << keyboard.m_layoutName << ".xml\n";
        for (const DeviceDescriptor& mode : catalogue.m_modes) {
            if (mode.m_deviceType != keyboard.m_deviceType || mode.m_layoutName != keyboard.m_layoutName)
                continue;
            out << "    mode " << mode.m_modeValue << " (" << mode.m_modeDescription
                << "): " << Hex4(mode.m_vendorId) << ":" << Hex4(mode.m_productId) << " \"" << mode.m_name
                << "\", interface \"" << mode.m_interfacePattern << "\"\n";
        }
    }
    const SoftwareInfo& software = catalogue.m_software;
    out << "  software version " << software.m_version << "\n"
        << "  notice " << software.m_notice << "\n"
        << "  website " << software.m_websiteUrl << "\n"
        << "  store " << software.m_storeUrl << "\n"
        << "  updates " << software.m_upgradeUrl << "\n";
}

} // namespace

bool ReadProductName(const std::string& cataloguePath) {
    const std::string name = ReadCatalogueSoftwareName(cataloguePath);
    // The name becomes part of file and socket paths; a name that is not one path element is refused.
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of(std::string("/\0", 2)) != std::string::npos) {
        return false;
    }
    SetProductName(name);
    return true;
}

StartupOutcome RunStartup(SingleInstance& instance) {
    ReadProductName(GetCataloguePath());
    if (instance.Claim("activate") == SingleInstance::Role::Secondary) return StartupOutcome::HandedOver;
    ChooseStartLanguage();
    // A failure here is met again, and reported, when the database is opened.
    MakeDirectoryPath(GetDatabaseFolder());
    return StartupOutcome::Run;
}

void PrintStartupReport(std::ostream& out, const DeviceCatalogue& catalogue, bool catalogueLoaded) {
    out << GetProductName() << "\n"
        << "module folder:    " << GetModuleFolder() << "\n"
        << "user data folder: " << GetUserDataFolder() << "\n"
        << "database folder:  " << GetDatabaseFolder() << "\n"
        << "skin folder:      " << GetSkinFolder() << "\n"
        << "settings file:    " << GetSettingsPath() << "\n"
        << "language:         " << GetCurrentLanguage() << " (texts from " << GetLanguageFilePath() << ")\n"
        << "catalogue:        " << GetCataloguePath() << (catalogueLoaded ? "" : " (not loaded)") << "\n";
    if (catalogueLoaded) PrintCatalogue(out, catalogue);
}

int RunMolvane(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    const CommandLine line = ParseCommandLine(argc, argv);
    if (!line.m_valid) {
        err << "molvane: " << line.m_error << "\nusage: molvane [--version] [--simulate[=0|1|2]]\n";
        return 2;
    }
    DeviceCatalogue catalogue;
    if (line.m_version) {
        // Only reads: a version query must not claim the instance or create folders.
        ReadProductName(GetCataloguePath());
        if (!LoadDeviceCatalogue(GetCataloguePath(), catalogue) || catalogue.m_software.m_version.empty()) {
            err << "molvane: no version in " << GetCataloguePath() << "\n";
            return 1;
        }
        out << GetProductName() << " " << catalogue.m_software.m_version << "\n";
        return 0;
    }
    SingleInstance instance;
    if (RunStartup(instance) == StartupOutcome::HandedOver) {
        out << GetProductName() << " is already running; its window was asked to come forward.\n";
        return 0;
    }
    const bool loaded = LoadDeviceCatalogue(GetCataloguePath(), catalogue);
    PrintStartupReport(out, catalogue, loaded);
    if (line.m_simulate) out << "simulated keyboard: connection mode " << line.m_simulateMode << "\n";
    return 0;
}

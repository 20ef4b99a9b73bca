// The device catalogue config.xml: keyboard models, their connection modes, and the software's own
// information.
#pragma once

#include <string>
#include <vector>

// Connection-mode codes used by the catalogue's mode "value" attribute.
enum ConnectionModeCode { MODE_CABLE = 0, MODE_RECEIVER = 1, MODE_BLUETOOTH = 2 };

// One keyboard model (keyboard list) or one connection mode of a model (mode list).
// In the keyboard list only m_name, m_deviceType and m_layoutName carry data. A mode record holds
// its own mode attributes (empty or 0 where absent) plus its model's device type and layout name.
struct DeviceDescriptor {
    std::string m_name;             // model name; in the mode list the mode's product_name
    int m_deviceType = 0;           // model's device type code, e.g. 201
    std::string m_layoutName;       // base name of layouts/<name>.xml
    int m_modeValue = 0;            // ConnectionModeCode
    int m_vendorId = 0;             // USB vendor id
    int m_productId = 0;            // USB product id
    std::string m_modeDescription;  // display text of the mode
    std::string m_spareText;        // not set by the catalogue
    std::string m_interfacePattern; // substring of the HID interface name, e.g. "&MI_02"
    int m_connected = 0;            // 1 while the mode's interface is present
    int m_spareNumber = -1;         // not set by the catalogue
};

// Software information kept by the main window after a load; empty when absent.
struct SoftwareInfo {
    std::string m_version;    // "software"/"version", dotted decimal
    std::string m_websiteUrl; // "website"/"url"
    std::string m_storeUrl;   // "store"/"url"
    std::string m_upgradeUrl; // "upgrade"/"url", base address of the update source
    std::string m_notice;     // "copyright"/"info", shown verbatim
};

// What the loader fills, in document order.
struct DeviceCatalogue {
    std::vector<DeviceDescriptor> m_keyboards;
    std::vector<DeviceDescriptor> m_modes;
    SoftwareInfo m_software;
};

// The calls the loader makes on the device selector, the two labels and the HID device registry.
// The defaults do nothing, so a caller overrides only what it has.
class CatalogueSink {
public:
    virtual ~CatalogueSink() = default;
    // Device selector: once per keyboard model; vendor and product id are always 0 here.
    virtual void AddDevice(const std::string& name, int vendorId, int productId, int deviceType,
                           bool connected);
    // HID device registry: once per mode, in file order.
    virtual void RegisterHidDevice(int vendorId, int productId, const std::string& productName,
                                   int deviceType, int modeValue, const std::string& interfacePattern);
    // Version label, with the text "Ver: <version>".
    virtual void SetVersionLabel(const std::string& text);
    // Notice label, with the copyright text.
    virtual void SetNoticeLabel(const std::string& text);
};

// <module folder>config.xml.
std::string GetCataloguePath();

// Reads the whole catalogue: empties both lists first, then fills the lists and the software
// information and makes the sink calls. A missing or unreadable file, or one without a "config"
// root, leaves the lists empty and the software information untouched, makes no sink calls and
// returns false. Loading the layout and registering for device notifications is the caller's next step.
bool LoadDeviceCatalogue(const std::string& path, DeviceCatalogue& catalogue, CatalogueSink* sink = nullptr);

// The start-up lookup "config" -> "software" -> "name"; empty when the file, element or attribute
// is missing. Does not depend on "device.info".
std::string ReadCatalogueSoftwareName(const std::string& path);

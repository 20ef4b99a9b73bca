// Reads config.xml into the keyboard list, the mode list and the software information.
#include "device/DeviceCatalogue.h"

#include "markup/MarkupDocument.h"
#include "platform/Folders.h"
#include "platform/NumberText.h"

namespace {

void ReadModes(MarkupDocument& doc, DeviceDescriptor& record, DeviceCatalogue& catalogue,
               CatalogueSink* sink) {
    // One working record per model: every mode attribute is read again, so a missing one reads as
    // empty or 0 instead of keeping the previous mode's value.
    while (doc.FindElement("mode")) {
        record.m_modeValue = ParseDecimalInt(doc.GetAttribute("value"));
        record.m_modeDescription = doc.GetAttribute("desc");
        record.m_vendorId = ParseHexInt(doc.GetAttribute("vid"));
        record.m_productId = ParseHexInt(doc.GetAttribute("pid"));
        record.m_name = doc.GetAttribute("product_name");
        record.m_interfacePattern = doc.GetAttribute("hid_interface");
        catalogue.m_modes.push_back(record);
        if (sink) {
            sink->RegisterHidDevice(record.m_vendorId, record.m_productId, record.m_name, record.m_deviceType,
                                    record.m_modeValue, record.m_interfacePattern);
        }
    }
}

void ReadKeyboards(MarkupDocument& doc, DeviceCatalogue& catalogue, CatalogueSink* sink) {
    while (doc.FindElement("keyboard")) {
        DeviceDescriptor record;
        record.m_name = doc.GetAttribute("name");
        record.m_deviceType = ParseDecimalInt(doc.GetAttribute("device_type"));
        record.m_layoutName = doc.GetAttribute("device_info");
        catalogue.m_keyboards.push_back(record);
        if (sink) sink->AddDevice(record.m_name, 0, 0, record.m_deviceType, false);
        doc.IntoElement();
        ReadModes(doc, record, catalogue, sink);
        doc.OutOfElement();
    }
}

// Reads "software" and its children, which must follow "device.info" when both are present.
void ReadSoftware(MarkupDocument& doc, SoftwareInfo& software, CatalogueSink* sink) {
    if (!doc.FindElement("software")) return;
    software.m_version = doc.GetAttribute("version");
    if (sink) sink->SetVersionLabel("Ver: " + software.m_version);
    doc.IntoElement();
    if (doc.FindElement("website")) software.m_websiteUrl = doc.GetAttribute("url");
    if (doc.FindElement("store")) software.m_storeUrl = doc.GetAttribute("url");
    if (doc.FindElement("upgrade")) software.m_upgradeUrl = doc.GetAttribute("url");
    if (doc.FindElement("copyright")) {
        software.m_notice = doc.GetAttribute("info");
        if (sink) sink->SetNoticeLabel(software.m_notice);
    }
    doc.OutOfElement();
}

} // namespace

void CatalogueSink::AddDevice(const std::string&, int, int, int, bool) {}
void CatalogueSink::RegisterHidDevice(int, int, const std::string&, int, int, const std::string&) {}
void CatalogueSink::SetVersionLabel(const std::string&) {}
void CatalogueSink::SetNoticeLabel(const std::string&) {}

std::string GetCataloguePath() {
    return GetModuleFolder() + "config.xml";
}

bool LoadDeviceCatalogue(const std::string& path, DeviceCatalogue& catalogue, CatalogueSink* sink) {
    catalogue.m_keyboards.clear();
    catalogue.m_modes.clear();
    MarkupDocument doc;
    if (!doc.LoadFile(path) || !doc.FindElement("config")) return false;
    doc.IntoElement();
    if (doc.FindElement("device.info")) {
        doc.IntoElement();
        ReadKeyboards(doc, catalogue, sink);
        doc.OutOfElement();
    }
    ReadSoftware(doc, catalogue.m_software, sink);
    return true;
}

std::string ReadCatalogueSoftwareName(const std::string& path) {
    MarkupDocument doc;
    if (!doc.LoadFile(path) || !doc.FindElement("config")) return {};
    doc.IntoElement();
    if (!doc.FindElement("software")) return {};
    return doc.GetAttribute("name");
}

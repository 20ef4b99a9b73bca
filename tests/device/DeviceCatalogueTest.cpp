// The catalogue loader: lists, inherited fields, software information and the calls it makes.
#include "device/DeviceCatalogue.h"

#include "tests/platform/TestFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Records every call as one line, in order.
class RecordingSink : public CatalogueSink {
public:
    void AddDevice(const std::string& name, int vendorId, int productId, int deviceType,
                   bool connected) override {
        m_calls.push_back("device " + name + " " + std::to_string(vendorId) + " " +
                          std::to_string(productId) + " " + std::to_string(deviceType) +
                          (connected ? " connected" : ""));
    }
    void RegisterHidDevice(int vendorId, int productId, const std::string& productName, int deviceType,
                           int modeValue, const std::string& interfacePattern) override {
        m_calls.push_back("hid " + std::to_string(vendorId) + " " + std::to_string(productId) + " " +
                          productName + " " + std::to_string(deviceType) + " " + std::to_string(modeValue) +
                          " " + interfacePattern);
    }
    void SetVersionLabel(const std::string& text) override { m_calls.push_back("version " + text); }
    void SetNoticeLabel(const std::string& text) override { m_calls.push_back("notice " + text); }

    std::vector<std::string> m_calls;
};

struct Loaded {
    bool m_ok = false;
    DeviceCatalogue m_catalogue;
    std::vector<std::string> m_calls;
};

Loaded Load(const std::string& xml) {
    TestFolder folder;
    Loaded loaded;
    RecordingSink sink;
    loaded.m_ok = LoadDeviceCatalogue(folder.Write("config.xml", xml), loaded.m_catalogue, &sink);
    loaded.m_calls = sink.m_calls;
    return loaded;
}

const char* const kTwoModels = R"(<?xml version="1.0" encoding="UTF-8"?>
<config>
<device.info>
<keyboard name="K1" device_type="201" device_info="k1">
<mode value="0" desc="Cable" vid="0x2F5A" pid="7101" product_name="K1 USB" hid_interface="&amp;MI_02"/>
<mode value="2" desc="BT" vid="2f5a" pid="0X7103" product_name="K1 BT" hid_interface="PID_7103"/>
</keyboard>
<keyboard name="K2" device_type="202" device_info="k2"/>
</device.info>
<software name="Product" version="1.2.3">
<website url="https://web.example/"/>
<store url="https://store.example/"/>
<upgrade url="https://update.example/"/>
<copyright info="&#169; Maker"/>
</software>
</config>
)";

} // namespace

// Catches lost or misattributed fields: mode records must carry the model's type and layout and
// their own attributes; keyboard records only the model's; the calls come in file order.
TEST(DeviceCatalogue, FillsListsSoftwareAndCalls) {
    const Loaded loaded = Load(kTwoModels);
    ASSERT_TRUE(loaded.m_ok);
    const DeviceCatalogue& c = loaded.m_catalogue;
    ASSERT_EQ(c.m_keyboards.size(), 2u);
    EXPECT_EQ(c.m_keyboards[0].m_name, "K1");
    EXPECT_EQ(c.m_keyboards[0].m_deviceType, 201);
    EXPECT_EQ(c.m_keyboards[0].m_layoutName, "k1");
    EXPECT_EQ(c.m_keyboards[0].m_vendorId, 0);
    EXPECT_EQ(c.m_keyboards[0].m_interfacePattern, "");
    EXPECT_EQ(c.m_keyboards[0].m_spareNumber, -1);
    EXPECT_EQ(c.m_keyboards[1].m_name, "K2");

    ASSERT_EQ(c.m_modes.size(), 2u);
    const DeviceDescriptor& bt = c.m_modes[1];
    EXPECT_EQ(bt.m_name, "K1 BT");
    EXPECT_EQ(bt.m_deviceType, 201);
    EXPECT_EQ(bt.m_layoutName, "k1");
    EXPECT_EQ(bt.m_modeValue, 2);
    EXPECT_EQ(bt.m_vendorId, 0x2F5A);
    EXPECT_EQ(bt.m_productId, 0x7103);
    EXPECT_EQ(bt.m_modeDescription, "BT");
    EXPECT_EQ(bt.m_interfacePattern, "PID_7103");
    EXPECT_EQ(bt.m_connected, 0);
    EXPECT_EQ(c.m_modes[0].m_interfacePattern, "&MI_02");

    EXPECT_EQ(c.m_software.m_version, "1.2.3");
    EXPECT_EQ(c.m_software.m_websiteUrl, "https://web.example/");
    EXPECT_EQ(c.m_software.m_storeUrl, "https://store.example/");
    EXPECT_EQ(c.m_software.m_upgradeUrl, "https://update.example/");
    EXPECT_EQ(c.m_software.m_notice, "\xC2\xA9 Maker");

    const std::vector<std::string> calls = {
        "device K1 0 0 201",
        "hid 12122 28929 K1 USB 201 0 &MI_02",
        "hid 12122 28931 K1 BT 201 2 PID_7103",
        "device K2 0 0 202",
        "version Ver: 1.2.3",
        "notice \xC2\xA9 Maker",
    };
    EXPECT_EQ(loaded.m_calls, calls);
}

// Catches a mode inheriting the previous mode's attributes when its own are missing.
TEST(DeviceCatalogue, MissingModeAttributesReadAsEmpty) {
    const Loaded loaded = Load(R"(<config><device.info><keyboard name="K" device_type="201x" device_info="k">
<mode value="1" desc="Receiver" vid="0x10" pid="0x20" product_name="R" hid_interface="&amp;MI_01"/>
<mode/>
</keyboard></device.info></config>)");
    ASSERT_EQ(loaded.m_catalogue.m_modes.size(), 2u);
    const DeviceDescriptor& bare = loaded.m_catalogue.m_modes[1];
    EXPECT_EQ(bare.m_name, "");
    EXPECT_EQ(bare.m_modeValue, 0);
    EXPECT_EQ(bare.m_vendorId, 0);
    EXPECT_EQ(bare.m_productId, 0);
    EXPECT_EQ(bare.m_modeDescription, "");
    EXPECT_EQ(bare.m_interfacePattern, "");
    EXPECT_EQ(bare.m_deviceType, 201); // leading digits of "201x"
    EXPECT_EQ(bare.m_layoutName, "k");
}

// Catches the element-order rules: "software" before "device.info" is not seen by the full loader
// (but the start-up name lookup still finds it), and a missing "website" does not hide "store".
TEST(DeviceCatalogue, ElementOrderRules) {
    TestFolder folder;
    const std::string path = folder.Write("config.xml", R"(<config>
<software name="Early" version="9.9"><store url="s"/><copyright info="c"/></software>
<device.info><keyboard name="K" device_type="201" device_info="k"/></device.info>
</config>)");
    DeviceCatalogue catalogue;
    RecordingSink sink;
    ASSERT_TRUE(LoadDeviceCatalogue(path, catalogue, &sink));
    EXPECT_EQ(catalogue.m_keyboards.size(), 1u);
    EXPECT_EQ(catalogue.m_software.m_version, "");
    EXPECT_EQ(sink.m_calls, std::vector<std::string>{"device K 0 0 201"});
    EXPECT_EQ(ReadCatalogueSoftwareName(path), "Early");

    const Loaded noWebsite =
        Load(R"(<config><software version="1"><store url="s"/><upgrade url="u"/></software></config>)");
    EXPECT_EQ(noWebsite.m_catalogue.m_software.m_websiteUrl, "");
    EXPECT_EQ(noWebsite.m_catalogue.m_software.m_storeUrl, "s");
    EXPECT_EQ(noWebsite.m_catalogue.m_software.m_upgradeUrl, "u");
    EXPECT_EQ(noWebsite.m_calls, std::vector<std::string>{"version Ver: 1"});
}

// Catches duplicates being merged or the model without modes being dropped or registered.
TEST(DeviceCatalogue, DuplicatesAndModelsWithoutModesAreKept) {
    const Loaded loaded = Load(R"(<config><device.info>
<keyboard name="A" device_type="201" device_info="a"/>
<keyboard name="B" device_type="201" device_info="b"><mode value="0" vid="1" pid="2"/></keyboard>
</device.info></config>)");
    ASSERT_EQ(loaded.m_catalogue.m_keyboards.size(), 2u);
    EXPECT_EQ(loaded.m_catalogue.m_keyboards[0].m_layoutName, "a");
    EXPECT_EQ(loaded.m_catalogue.m_keyboards[1].m_layoutName, "b");
    ASSERT_EQ(loaded.m_catalogue.m_modes.size(), 1u);
    EXPECT_EQ(loaded.m_catalogue.m_modes[0].m_layoutName, "b");
    EXPECT_EQ(loaded.m_calls,
              (std::vector<std::string>{"device A 0 0 201", "device B 0 0 201", "hid 1 2  201 0 "}));
}

// Catches hexadecimal ids whose prefix or letter case changes the number.
TEST(DeviceCatalogue, IdsWithOrWithoutPrefixInAnyCase) {
    for (const char* vid : {"0x2f5a", "0X2F5A", "2F5A", "2f5a", "0x2F5Az"}) {
        const Loaded loaded = Load(std::string("<config><device.info><keyboard><mode vid=\"") + vid +
                                   "\" pid=\"zz\"/></keyboard></device.info></config>");
        ASSERT_EQ(loaded.m_catalogue.m_modes.size(), 1u) << vid;
        EXPECT_EQ(loaded.m_catalogue.m_modes[0].m_vendorId, 0x2F5A) << vid;
        EXPECT_EQ(loaded.m_catalogue.m_modes[0].m_productId, 0) << vid;
    }
}

// Catches stale lists surviving a failed reload, or calls made for a file that is not a catalogue.
TEST(DeviceCatalogue, UnusableFilesLeaveListsEmpty) {
    const std::string cases[] = {
        "",                                                      // empty file
        "<config><device.info></config>",                        // ill-formed
        "<other><device.info><keyboard/></device.info></other>", // wrong root
    };
    for (const std::string& xml : cases) {
        TestFolder folder;
        DeviceCatalogue catalogue;
        catalogue.m_keyboards.resize(2);
        catalogue.m_modes.resize(3);
        catalogue.m_software.m_version = "kept";
        RecordingSink sink;
        EXPECT_FALSE(LoadDeviceCatalogue(folder.Write("config.xml", xml), catalogue, &sink)) << xml;
        EXPECT_TRUE(catalogue.m_keyboards.empty()) << xml;
        EXPECT_TRUE(catalogue.m_modes.empty()) << xml;
        EXPECT_EQ(catalogue.m_software.m_version, "kept") << xml;
        EXPECT_TRUE(sink.m_calls.empty()) << xml;
        EXPECT_EQ(ReadCatalogueSoftwareName(folder.Path("config.xml")), "") << xml;
    }
    DeviceCatalogue catalogue;
    EXPECT_FALSE(LoadDeviceCatalogue("/nonexistent/config.xml", catalogue));
}

// Catches a shipped catalogue that the program cannot use: name, version, the model of type 201
// with its three connection modes, each with its own ids and an interface pattern, and its layout file.
TEST(DeviceCatalogue, ShippedCatalogue) {
    const std::string path = MOLVANE_SOURCE_DIR "/data/config.xml";
    EXPECT_EQ(ReadCatalogueSoftwareName(path), "Molvane");
    DeviceCatalogue catalogue;
    ASSERT_TRUE(LoadDeviceCatalogue(path, catalogue));
    EXPECT_FALSE(catalogue.m_software.m_version.empty());
    EXPECT_FALSE(catalogue.m_software.m_upgradeUrl.empty());
    ASSERT_EQ(catalogue.m_keyboards.size(), 1u);
    EXPECT_EQ(catalogue.m_keyboards[0].m_deviceType, 201);
    const std::string layout = MOLVANE_SOURCE_DIR "/data/layouts/" + catalogue.m_keyboards[0].m_layoutName + ".xml";
    EXPECT_TRUE(std::filesystem::is_regular_file(layout)) << layout;
    ASSERT_EQ(catalogue.m_modes.size(), 3u);
    for (int mode = 0; mode < 3; ++mode) {
        const DeviceDescriptor& d = catalogue.m_modes[mode];
        EXPECT_EQ(d.m_modeValue, mode);
        EXPECT_NE(d.m_vendorId, 0);
        EXPECT_NE(d.m_name, "");
        EXPECT_NE(d.m_interfacePattern, "");
        for (int other = 0; other < mode; ++other) {
            EXPECT_NE(d.m_productId, catalogue.m_modes[other].m_productId);
            EXPECT_EQ(d.m_interfacePattern.find(catalogue.m_modes[other].m_interfacePattern),
                      std::string::npos);
        }
    }
}

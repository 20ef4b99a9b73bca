// Command sequences against the emulated keyboard, reading a real profile database.
#include <gtest/gtest.h>

#include "LinkTestSupport.h"
#include "link/KeyboardProtocol.h"
#include "link/ProtocolReports.h"

using namespace std::chrono_literals;

namespace {

constexpr int kProfile = 1;

class ProtocolTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_db.Open(m_folder.Path(), "MK71")); }

    void Connect(int mode) {
        m_device = std::make_unique<EmulatedLink>(mode);
        m_protocol = std::make_unique<KeyboardProtocol>(m_device->link, m_db);
        m_protocol->SetProfile(kProfile, 0);
    }

    void Assign(int keyCode, int type, int value, int value2 = 0) {
        KeyAssignmentRecord r;
        r.m_profile = kProfile;
        r.m_keyCode = keyCode;
        r.m_macroType = type;
        r.m_macroValue = value;
        r.m_macroValue2 = value2;
        ASSERT_NE(m_db.SaveKeyAssignment(r), 0);
    }

    // A macro of `pairs` press/release pairs of key A, 20 ms apart.
    int Macro(int playTimes, int pairs) {
        MacroRecord m;
        m.m_name = "m";
        m.m_playTimes = playTimes;
        const int id = m_db.InsertMacro(m);
        for (int i = 0; i < 2 * pairs; ++i) {
            MacroEventRecord e;
            e.m_macroId = id;
            e.m_type = i % 2 == 0 ? kEventKeyDown : kEventKeyUp;
            e.m_recordIndex = i;
            e.m_value = 'A';
            e.m_delayTime = 20;
            m_db.InsertMacroEvent(e);
        }
        return id;
    }

    EmulatorState State() const { return m_device->emulator.State(); }
    long long NowMs() const { return m_device->clock.Now().count() / 1000; }

    LinkTempFolder m_folder;
    ProfileDatabase m_db;
    std::unique_ptr<EmulatedLink> m_device;
    std::unique_ptr<KeyboardProtocol> m_protocol;
};

} // namespace

// Catches slots cleared that were free (or slot 13 cleared), a wrong slot order, wrong slot contents,
// type-0 rows taking a slot, and pauses beyond or short of the protocol's own.
TEST_F(ProtocolTest, KeyUploadClearsUsedSlotsThenFillsThemInRowOrder) {
    Connect(0);
    m_device->emulator.PresetMacroSlot(1, 0x30);
    m_device->emulator.PresetMacroSlot(13, 0x31);
    m_device->emulator.PresetRemapSlot(2, 0x32);
    const int macro = Macro(2, 1);
    Assign(0x04, kFunctionMacro, macro);
    Assign(0x05, kFunctionShortcut, 2);
    Assign(0x06, 2, 9);
    Assign(0x07, 0, 3);
    Assign(0x08, 1, 0x2C);

    const KeyUploadResult result = m_protocol->UploadKeyAssignments();
    EXPECT_TRUE(result.slotTableKnown);
    EXPECT_EQ(result.macroSlotsUsed, 2);
    EXPECT_EQ(result.remapSlotsUsed, 2);
    EXPECT_EQ(result.notFitted, 0);

    const EmulatorState s = State();
    const auto writes = FeatureWrites(s);
    ASSERT_EQ(writes.size(), 1u + 28 + 1 + 28 + 28 + 1 + 1);
    EXPECT_EQ(writes[0], Bytes({7, 0xFB, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(writes[1], Bytes({7, 0xF1, 1, 1, 0, 0, 0, 0}));           // clearing macro slot 1
    EXPECT_EQ(writes[29], Bytes({7, 0xFA, 1, 2, 0, 1, 0, 1}));          // clearing remap slot 2
    EXPECT_EQ(writes[30], Bytes({7, 0xF1, 1, 1, 0x04, 2, 0x04, 0x02})); // macro key in slot 1
    EXPECT_EQ(writes[58], Bytes({7, 0xF1, 1, 2, 0x05, 1, 0xE0, 0x01})); // shortcut key in slot 2
    EXPECT_EQ(writes[86], Bytes({7, 0xFA, 1, 1, 0x06, 1, 9, 1}));
    EXPECT_EQ(writes[87], Bytes({7, 0xFA, 1, 2, 0x08, 1, 0x2C, 1}));

    EXPECT_EQ(s.macroSlots[0].keyCode, 0x04);
    EXPECT_EQ(s.macroSlots[0].repeatCount, 2);
    EXPECT_EQ(s.macroSlots[0].events, (std::vector<std::pair<uint8_t, uint8_t>>{{0x04, 0x02}, {0x04, 0x82}}));
    EXPECT_EQ(s.macroSlots[1].events.size(), 4u);
    EXPECT_EQ(s.slotTable[13], 0x31) << "macro slot 13 is never cleared";
    EXPECT_EQ(s.slotTable[14], 0x06);
    EXPECT_EQ(s.slotTable[15], 0x08);
    EXPECT_EQ(s.rejectedReports, 0);
    // 4 table reads, one cleared macro slot and remap slot, two macro and two remap uploads: pauses only.
    EXPECT_EQ(NowMs(), 4 * 16 + (16 + 28 * 16) + (16 + 16) + 2 * (16 + 28 * 16) + 2 * (16 + 16));
}

// Catches slot numbers past the keyboard's 13 macro and 10 remap slots being sent, and the overflow
// going unreported.
TEST_F(ProtocolTest, KeyUploadStopsAtTheLastSlot) {
    Connect(0);
    for (int key = 0x04; key < 0x04 + 15; ++key)
        Assign(key, kFunctionShortcut, 1);
    for (int key = 0x20; key < 0x20 + 12; ++key)
        Assign(key, 1, key);
    const KeyUploadResult result = m_protocol->UploadKeyAssignments();
    EXPECT_EQ(result.macroSlotsUsed, 13);
    EXPECT_EQ(result.remapSlotsUsed, 10);
    EXPECT_EQ(result.notFitted, 4);
    const EmulatorState s = State();
    EXPECT_EQ(s.rejectedReports, 0);
    EXPECT_EQ(s.slotTable[13], 0x04 + 12);
    EXPECT_EQ(s.slotTable[23], 0x20 + 9);
}

// Catches a failed slot-table request or read being taken as slot contents instead of clearing every slot.
TEST_F(ProtocolTest, KeyUploadClearsEverySlotWhenTheTableIsUnknown) {
    struct Case {
        int failedWrites;
        int shortLength; // -1: reads are whole
    };
    for (const Case c : {Case{0, 0}, Case{0, 4}, Case{1, -1}}) {
        Connect(0);
        m_device->emulator.FailWrites(c.failedWrites);
        if (c.shortLength >= 0) m_device->emulator.ShortReads(1, c.shortLength);
        const KeyUploadResult result = m_protocol->UploadKeyAssignments();
        EXPECT_FALSE(result.slotTableKnown);
        const auto writes = FeatureWrites(State());
        const size_t request = c.failedWrites ? 0 : 1;
        ASSERT_EQ(writes.size(), request + 12 * 28 + 10) << c.shortLength;
        EXPECT_EQ(writes[request + 11 * 28], Bytes({7, 0xF1, 1, 12, 0, 0, 0, 0}));
        EXPECT_EQ(writes.back(), Bytes({7, 0xFA, 1, 10, 0, 1, 0, 1}));
    }
}

// Catches the remap rules: cleared when there is no value, nothing for types 0/3/7, key and value otherwise.
TEST_F(ProtocolTest, RemapSlotRules) {
    struct Case {
        int type;
        int value;
        int value2;
        std::vector<uint8_t> sent; // empty: nothing sent
    };
    const std::vector<Case> cases = {
        {-1, 0, 0, Bytes({7, 0xFA, 1, 4, 0, 1, 0, 1})}, // no assignment
        {2, 0, 5, Bytes({7, 0xFA, 1, 4, 0, 1, 0, 1})},  // value below 1
        {0, 5, 0, {}},
        {kFunctionMacro, 5, 0, {}},
        {kFunctionShortcut, 5, 0, {}},
        {2, 0x1E9, 0, Bytes({7, 0xFA, 1, 4, 0x2B, 1, 0xE9, 1})},
    };
    for (const Case& c : cases) {
        m_db.DeleteKeyAssignments(kProfile);
        if (c.type >= 0) Assign(0x2B, c.type, c.value, c.value2);
        Connect(0);
        m_protocol->UploadRemapSlot(0x2B, 4);
        const auto writes = FeatureWrites(State());
        if (c.sent.empty()) {
            EXPECT_TRUE(writes.empty()) << c.type;
        } else {
            ASSERT_EQ(writes.size(), 1u) << c.type;
            EXPECT_EQ(writes[0], c.sent) << c.type;
            EXPECT_EQ(NowMs(), 16);
        }
    }
}

// Catches a macro longer than the slot overflowing it, a missing macro row dropping the events,
// and packets not paced 16 ms apart.
TEST_F(ProtocolTest, MacroSlotFromDatabase) {
    Connect(0);
    const int macro = Macro(7, 45);
    m_protocol->UploadMacroSlot(0x3A, 3, kFunctionMacro, macro);
    EmulatorState s = State();
    EXPECT_EQ(s.macroSlots[2].keyCode, 0x3A);
    EXPECT_EQ(s.macroSlots[2].repeatCount, 7);
    EXPECT_EQ(s.macroSlots[2].events.size(), 82u);
    for (size_t i = 1; i < s.log.size(); ++i)
        EXPECT_EQ((s.log[i].time - s.log[i - 1].time).count(), 16000);

    ASSERT_TRUE(m_db.DeleteMacro(macro));
    const int orphan = Macro(9, 1);
    MacroRecord gone;
    ASSERT_TRUE(m_db.LoadMacro(orphan, gone));
    m_db.Connection().Execute("DELETE FROM t_macro_data");
    m_protocol->UploadMacroSlot(0x3A, 3, kFunctionMacro, orphan);
    s = State();
    EXPECT_EQ(s.macroSlots[2].keyCode, 0);
    EXPECT_EQ(s.macroSlots[2].repeatCount, 0);
    EXPECT_EQ(s.macroSlots[2].events.size(), 2u);
}

// Catches the lighting effect going over the wrong carrier for a connection mode, or the mode-9 speed rule.
TEST_F(ProtocolTest, LightEffectCarrierPerConnectionMode) {
    LightModeRecord effect;
    effect.m_profile = kProfile;
    effect.m_mode = 9;
    effect.m_colorIndex = 1;
    effect.m_direction = 1;
    effect.m_speed = 3;
    effect.m_brightness = 4;
    ASSERT_NE(m_db.InsertLightMode(effect), 0);

    Connect(0);
    EXPECT_FALSE(m_protocol->UploadLightEffect(0)) << "no effect is selected yet";
    EXPECT_TRUE(State().log.empty());
    ASSERT_TRUE(m_db.SelectLightMode(kProfile, 9));

    for (int mode : {0, 1, 2}) {
        Connect(mode);
        EXPECT_TRUE(m_protocol->UploadLightEffect(0));
        const EmulatorState s = State();
        const std::array<uint8_t, 6> feature = {8, 1, 1, 3, 3, 0};
        const std::array<uint8_t, 6> wireless = {8, 1, 1, 2, 3, 0};
        if (mode == 0) {
            EXPECT_EQ(s.featureEffect, feature);
            EXPECT_FALSE(s.wirelessEffect.has_value());
            EXPECT_EQ(NowMs(), 16);
        } else {
            EXPECT_EQ(s.wirelessEffect, wireless) << mode;
            EXPECT_FALSE(s.featureEffect.has_value());
            EXPECT_EQ(s.log.size(), 1u);
            EXPECT_EQ(s.log[0].bytes.size(), 65u);
            EXPECT_EQ(NowMs(), 0);
        }
    }
}

// Catches a reset over the wrong carrier, or pauses shorter than 100 ms (cable) and 1.6 s (wireless).
TEST_F(ProtocolTest, FactoryResetPerConnectionMode) {
    for (int mode : {0, 1, 2}) {
        Connect(mode);
        m_device->emulator.PresetMacroSlot(4, 0x10);
        m_protocol->FactoryReset();
        const EmulatorState s = State();
        EXPECT_EQ(s.factoryResets, 1) << mode;
        EXPECT_EQ(s.slotTable[4], 0) << mode;
        if (mode == 0) {
            ASSERT_EQ(s.log.size(), 1u);
            EXPECT_EQ(s.log[0].bytes, Bytes({7, 0xF0, 0xAA, 0, 0, 0, 0, 0}));
            EXPECT_EQ(NowMs(), 116);
        } else {
            ASSERT_EQ(s.log.size(), 2u);
            EXPECT_EQ((s.log[1].time - s.log[0].time).count(), 1600000);
        }
    }
}

// Catches a version read that reports success without an answer, or assembles the version wrongly.
TEST_F(ProtocolTest, FirmwareVersion) {
    Connect(0);
    m_device->emulator.SetFirmwareVersion(0x0123);
    EXPECT_EQ(m_protocol->ReadFirmwareVersion(), 0x0123);
    EXPECT_EQ(NowMs(), 32);
    m_device->emulator.FailWrites(1);
    EXPECT_EQ(m_protocol->ReadFirmwareVersion(), std::nullopt);
    m_device->emulator.ShortReads(2, 0);
    EXPECT_EQ(m_protocol->ReadFirmwareVersion(), std::nullopt);
}

// Catches a paused or wrongly scaled music level.
TEST_F(ProtocolTest, MusicLevelIsSentAtOnce) {
    Connect(1);
    EXPECT_EQ(m_protocol->SendMusicLevel(128, 2.0, 2, 6), 255);
    const EmulatorState s = State();
    ASSERT_EQ(s.musicLevels.size(), 1u);
    EXPECT_EQ(s.musicLevels[0].effect, 2);
    EXPECT_EQ(s.musicLevels[0].scheme, 6);
    EXPECT_EQ(s.musicLevels[0].level, 255);
    EXPECT_EQ(NowMs(), 0);
}

// Catches colours landing at the wrong light position, and a failing report not ending the upload.
TEST_F(ProtocolTest, KeyColours) {
    std::vector<KeyLightRecord> lights(2);
    lights[0].m_profile = kProfile, lights[0].m_lightId = kCustomColourLightId;
    lights[0].m_keyCode = 0x04, lights[0].m_keyRgb = 0x00C0B0A0;
    lights[1] = lights[0];
    lights[1].m_keyCode = 0x05, lights[1].m_keyRgb = 0x000000FF;
    m_db.SaveKeyLights(lights);
    const std::map<int, int> positions = {{0x04, 0}, {0x05, 109}};

    Connect(0);
    EXPECT_TRUE(m_protocol->UploadKeyColours(positions));
    const EmulatorState s = State();
    EXPECT_EQ(std::vector<uint8_t>(s.colours.begin(), s.colours.begin() + 4),
              Bytes({0xA0, 0xB0, 0xC0, 0xFF}));
    EXPECT_EQ(std::vector<uint8_t>(s.colours.begin() + 436, s.colours.begin() + 440),
              Bytes({0xFF, 0, 0, 0xFF}));
    EXPECT_EQ(s.log.size(), 8u);
    EXPECT_EQ(NowMs(), 8);

    Connect(0);
    m_device->emulator.FailWrites(2);
    EXPECT_FALSE(m_protocol->UploadKeyColours(positions));
    EXPECT_TRUE(State().log.empty());
}

// Catches an operation that sends or sleeps while no keyboard is connected.
TEST_F(ProtocolTest, NothingHappensWithoutKeyboard) {
    Assign(0x04, kFunctionShortcut, 1);
    Connect(-1);
    EXPECT_EQ(m_protocol->UploadKeyAssignments().macroSlotsUsed, 0);
    m_protocol->UploadMacroSlot(0x04, 1, kFunctionShortcut, 1);
    m_protocol->UploadRemapSlot(0x04, 1);
    m_protocol->FactoryReset();
    EXPECT_FALSE(m_protocol->UploadKeyColours({}));
    EXPECT_EQ(m_protocol->ReadFirmwareVersion(), std::nullopt);
    EXPECT_EQ(m_protocol->SendMusicLevel(10, 1.0, 1, 0), -1);
    EXPECT_EQ(NowMs(), 0);
}

// Catches real-time pauses that are skipped or cut short (the virtual clock cannot show this).
TEST(ProtocolRealClock, PausesHoldOnTheRealClock) {
    SteadyPacingClock clock;
    KeyboardEmulator emulator(KeyboardEmulator::DefaultModes(), &clock);
    DeviceLink link(emulator.CreateBackend(), &clock);
    AddDefaultCatalogue(link);
    emulator.Plug(0);
    link.Enumerate();
    link.SelectType(DeviceLink::kKeyboardDeviceType);
    LinkTempFolder folder;
    ProfileDatabase db;
    ASSERT_TRUE(db.Open(folder.Path(), "MK71"));
    KeyboardProtocol protocol(link, db);
    protocol.SetProfile(kProfile, 0);

    const auto start = clock.Now();
    protocol.UploadRemapSlot(0, 1);
    protocol.UploadRemapSlot(0, 2);
    ASSERT_TRUE(protocol.ReadFirmwareVersion().has_value());
    const EmulatorState s = emulator.State();
    ASSERT_EQ(s.log.size(), 4u); // two remap writes, the version request and its reply
    EXPECT_GE((s.log[0].time - start).count(), 16000);
    for (size_t i = 1; i < s.log.size(); ++i)
        EXPECT_GE((s.log[i].time - s.log[i - 1].time).count(), 16000) << i;
}

// Shared fixture of the lighting page tests: the shipped MK71 layout, a real database file in a
// temporary folder, an emulated keyboard behind a link, and a job queue the test runs by hand.
#pragma once

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "device/KeyboardLayout.h"
#include "lighting/ILightingJobs.h"
#include "lighting/LightingLayoutCapture.h"
#include "lighting/LightingService.h"
#include "link/DeviceLink.h"
#include "link/KeyboardProtocol.h"
#include "link/PacingClock.h"
#include "sim/KeyboardEmulator.h"
#include "store/ProfileDatabase.h"

enum class QueuedJob { Lighting, KeyColours, Other };

// The worker's queue as the lighting page sees it; Run carries the jobs out against the link.
class ManualJobs final : public ILightingJobs {
public:
    void QueueLightingUpload() override { m_queue.push_back(QueuedJob::Lighting); }
    void QueueKeyColourUpload() override { m_queue.push_back(QueuedJob::KeyColours); }
    bool LightingUploadWaiting() override
    {
        for (QueuedJob job : m_queue)
            if (job == QueuedJob::Lighting)
                return true;
        return false;
    }
    void ShowWaitDialog() override { ++m_waitDialogs; }

    std::deque<QueuedJob> m_queue;
    int m_waitDialogs = 0;
};

class LightingTest : public ::testing::Test {
protected:
    static constexpr int kProfile1 = 1;
    static constexpr int kProfile2 = 2;
    // Effect modes of the shipped MK71 layout.
    static constexpr int kModeOff = 1, kModeBreathing = 2, kModeSpectrum = 3, kModeStatic = 4, kModeWave = 5, kModeRipple = 6,
                         kModeSnake = 8, kModeAreas = 9, kModeCustom = 11, kModeMusic = 12;

    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "molvane-lighting-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_folder = pattern + "/";
        std::filesystem::create_directories(m_folder + "db");
        ASSERT_TRUE(m_db.Open(m_folder, "MK71"));
        for (const char* name : {"Profile 1", "Profile 2"}) {
            ProfileRecord profile;
            profile.m_name = name;
            ASSERT_GT(m_db.InsertProfile(profile), 0);
        }
        const std::string layout = std::string(MOLVANE_SOURCE_DIR) + "/data/layouts/mk71.xml";
        LightingLayoutCapture capture;
        ASSERT_TRUE(LoadKeyboardLayoutFile(m_def, layout, kProfile1, &capture));
        m_service.SetLayout(capture.Layout(m_def));
        m_service.SetProfile(kProfile1);
        Connect(0);
    }

    void TearDown() override
    {
        m_db.Close();
        std::filesystem::remove_all(m_folder);
    }

    // Plugs the emulated keyboard in connection `mode` and tells the page.
    void Connect(int mode)
    {
        m_link.reset();
        m_emulator = std::make_unique<KeyboardEmulator>(KeyboardEmulator::DefaultModes(), &m_clock);
        m_link = std::make_unique<DeviceLink>(m_emulator->CreateBackend(), &m_clock);
        m_link->AddCatalogueEntry(0x2F5A, 0x7101, "Molvane MK71", 201, 0, "PID_7101&MI_02");
        m_link->AddCatalogueEntry(0x2F5A, 0x7102, "Molvane MK71 2.4G", 201, 1, "PID_7102&MI_02");
        m_link->AddCatalogueEntry(0x2F5A, 0x7103, "Molvane MK71 BT", 201, 2, "VID_2F5A&PID_7103");
        m_emulator->Plug(mode);
        m_link->Enumerate();
        m_link->SelectType(DeviceLink::kKeyboardDeviceType);
        m_link->ClearCurrent();
        m_protocol = std::make_unique<KeyboardProtocol>(*m_link, m_db);
        m_protocol->SetProfile(m_service.Profile(), 0);
        m_service.SetConnectionMode(mode);
    }

    // The worker: every queued job in order, as the controller runs them.
    int RunJobs()
    {
        int ran = 0;
        m_protocol->SetProfile(m_service.Profile(), 0);
        while (!m_jobs.m_queue.empty()) {
            const QueuedJob job = m_jobs.m_queue.front();
            if (job == QueuedJob::Lighting)
                m_protocol->UploadLightEffect(m_service.CustomSlotIndex());
            else if (job == QueuedJob::KeyColours)
                m_protocol->UploadKeyColours(m_def.m_lightPositions);
            m_jobs.m_queue.pop_front();
            ++ran;
        }
        return ran;
    }

    int Count(QueuedJob kind) const
    {
        int n = 0;
        for (QueuedJob job : m_jobs.m_queue)
            n += job == kind;
        return n;
    }

    LightModeRecord Stored(int mode, int profile = kProfile1)
    {
        LightModeRecord record;
        EXPECT_TRUE(m_db.LoadLightMode(profile, mode, record)) << "mode " << mode;
        return record;
    }

    // Loads the page and selects `mode` as the user would, then forgets the jobs and dialogs that caused.
    void ShowMode(int mode)
    {
        ASSERT_EQ(m_service.LoadLightPage(), LightResult::Done);
        ASSERT_EQ(m_service.SelectEffectMode(mode), LightResult::Done);
        m_jobs.m_queue.clear();
        m_jobs.m_waitDialogs = 0;
    }

    std::string m_folder;
    ProfileDatabase m_db;
    KeyboardDef m_def;
    ManualJobs m_jobs;
    LightingService m_service{m_db, m_jobs};
    VirtualPacingClock m_clock;
    std::unique_ptr<KeyboardEmulator> m_emulator;
    std::unique_ptr<DeviceLink> m_link;
    std::unique_ptr<KeyboardProtocol> m_protocol;
};

// The key filter on pipes: pass-through bytes, withheld keys, grabbing, releasing, SYN_DROPPED.
#include "keys/HidUsbFilter.h"

#include "FakeKeyboardNode.h"

#include <gtest/gtest.h>

namespace {

using Reports = std::vector<std::pair<int, bool>>;

class FilterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_log = new KeyLog;
        m_filter.AddProxy(std::unique_ptr<KeyLog>(m_log));
        m_filter.SetKeyTable({0x04}); // the A key is withheld
    }

    // Returns once the filter has grabbed the node (or, with a key held, looked and waited):
    // events written earlier would be drained as the system's.
    void StartFilter(bool expectGrab = true)
    {
        std::vector<std::unique_ptr<IKeyboardNode>> nodes;
        nodes.push_back(std::make_unique<FakeKeyboardNode>(m_in.ReadFd(), m_out.WriteFd(), m_script));
        ASSERT_TRUE(m_filter.Start(std::move(nodes)));
        ASSERT_TRUE(m_script->WaitFor([&] { return expectGrab ? !m_script->grabs.empty() : m_script->queries > 0; }));
    }

    // A pass-through key report used to prove that nothing else came out before it.
    void ExpectOnlyMarkerNext()
    {
        m_in.Write({Key(KEY_M, 1), Syn()});
        EXPECT_EVENTS(m_out.ReadCount(2), {Key(KEY_M, 1), Syn()});
    }

    EventPipe m_in;
    EventPipe m_out;
    std::shared_ptr<NodeScript> m_script = std::make_shared<NodeScript>();
    KeyLog* m_log = nullptr; // owned by the filter
    HidUsbFilter m_filter;
};

} // namespace

// Catches pass-through events that are altered (timestamps, order, scan codes) or regrouped.
TEST_F(FilterTest, PassesOtherKeysThroughByteForByte)
{
    StartFilter();
    std::vector<input_event> report = {Ev(EV_MSC, MSC_SCAN, 0x70005, 12, 345), Ev(EV_KEY, KEY_B, 1, 12, 345),
                                       Ev(EV_SYN, SYN_REPORT, 0, 12, 345)};
    m_in.Write(report);
    EXPECT_EVENTS(m_out.ReadCount(3), report);
    std::vector<input_event> repeat = {Ev(EV_KEY, KEY_B, 2, 13, 0), Ev(EV_SYN, SYN_REPORT, 0, 13, 0)};
    m_in.Write(repeat);
    EXPECT_EVENTS(m_out.ReadCount(2), repeat);
}

// Catches a withheld key leaking to other programs, its repeats being reported as presses,
// or a scan-code-only report being written for it.
TEST_F(FilterTest, WithheldKeyGoesOnlyToTheProxies)
{
    StartFilter();
    m_in.Write({Ev(EV_MSC, MSC_SCAN, 0x70004), Key(KEY_A, 1), Syn(), Key(KEY_A, 2), Syn(),
                Ev(EV_MSC, MSC_SCAN, 0x70004), Key(KEY_A, 0), Syn()});
    EXPECT_EQ(m_log->WaitFor(2), (Reports{{0x04, true}, {0x04, false}}));
    ExpectOnlyMarkerNext();
}

// Catches a re-armed table splitting a key: its release must go where its press went.
TEST_F(FilterTest, ReleaseFollowsThePressAcrossTableChanges)
{
    StartFilter();
    m_in.Write({Key(KEY_A, 1), Syn(), Key(KEY_B, 1), Syn()});
    EXPECT_EVENTS(m_out.ReadCount(2), {Key(KEY_B, 1), Syn()});
    ASSERT_EQ(m_log->WaitFor(1).size(), 1u);

    m_filter.SetKeyTable({0x05}); // now B is withheld and A is not
    m_in.Write({Key(KEY_A, 0), Syn(), Key(KEY_B, 0), Syn()});
    EXPECT_EVENTS(m_out.ReadCount(2), {Key(KEY_B, 0), Syn()});
    EXPECT_EQ(m_log->WaitFor(2), (Reports{{0x04, true}, {0x04, false}}));
}

// Catches grabbing while a key is held (it would stay down for every other program) and
// replaying events that queued before the grab.
TEST_F(FilterTest, GrabWaitsUntilNoKeyIsHeld)
{
    m_script->held.set(KEY_Z);
    StartFilter(false);
    {
        std::lock_guard<std::mutex> guard(m_script->lock);
        EXPECT_TRUE(m_script->grabs.empty());
    }

    {
        std::lock_guard<std::mutex> guard(m_script->lock);
        m_script->held.reset();
    }
    m_in.Write({Key(KEY_Z, 0), Syn()});
    ASSERT_TRUE(m_script->WaitFor([&] { return !m_script->grabs.empty(); }));
    EXPECT_EQ(m_script->grabs, std::vector<bool>{true});
    ExpectOnlyMarkerNext(); // the Z release was the system's, not ours to repeat
}

// Catches keys left pressed when the filter lets go of the keyboard.
TEST_F(FilterTest, StopReleasesEveryHeldKeyAndUngrabs)
{
    StartFilter();
    m_in.Write({Key(KEY_B, 1), Key(KEY_C, 1), Syn(), Key(KEY_A, 1), Syn()});
    EXPECT_EVENTS(m_out.ReadCount(3), {Key(KEY_B, 1), Key(KEY_C, 1), Syn()});
    ASSERT_EQ(m_log->WaitFor(1).size(), 1u);

    m_filter.Stop();
    EXPECT_EVENTS(m_out.ReadAvailable(), {Key(KEY_C, 0), Key(KEY_B, 0), Syn()}); // in code order
    EXPECT_EQ(m_log->WaitFor(2), (Reports{{0x04, true}, {0x04, false}}));
    EXPECT_EQ(m_script->grabs, (std::vector<bool>{true, false}));
}

// Catches a SYN_DROPPED replaying the partial report instead of resynchronising from the
// device's key state.
TEST_F(FilterTest, SynDroppedResynchronisesKeyState)
{
    StartFilter();
    m_in.Write({Key(KEY_B, 1), Syn()});
    EXPECT_EVENTS(m_out.ReadCount(2), {Key(KEY_B, 1), Syn()});

    {
        // While events were lost, B was released and C and A pressed.
        std::lock_guard<std::mutex> guard(m_script->lock);
        m_script->held.set(KEY_C);
        m_script->held.set(KEY_A);
    }
    m_in.Write({Key(KEY_D, 1), Ev(EV_SYN, SYN_DROPPED, 0), Key(KEY_E, 1), Syn()});
    EXPECT_EVENTS(m_out.ReadCount(3), {Key(KEY_C, 1), Key(KEY_B, 0), Syn()});
    EXPECT_EQ(m_log->WaitFor(1), (Reports{{0x04, true}}));
    ExpectOnlyMarkerNext();
}

// Catches a vanished keyboard leaving its keys held on the clone and at the proxies.
TEST_F(FilterTest, RemovedKeyboardReleasesItsKeys)
{
    StartFilter();
    m_in.Write({Key(KEY_B, 1), Syn(), Key(KEY_A, 1), Syn()});
    EXPECT_EVENTS(m_out.ReadCount(2), {Key(KEY_B, 1), Syn()});
    m_in.CloseWriter();
    EXPECT_EVENTS(m_out.ReadCount(2), {Key(KEY_B, 0), Syn()});
    EXPECT_EQ(m_log->WaitFor(2), (Reports{{0x04, true}, {0x04, false}}));
}

// Catches recording that lets keys through or loses repeats and releases the recorder needs.
TEST_F(FilterTest, RecordingTakesEveryKey)
{
    struct Sink final : HidUsbFilter::IRecordingSink {
        void OnRecordedKey(int code, int value) override
        {
            std::lock_guard<std::mutex> guard(lock);
            keys.emplace_back(code, value);
        }
        std::mutex lock;
        std::vector<std::pair<int, int>> keys;
    } sink;
    m_filter.SetRecordingSink(&sink);
    StartFilter();
    m_in.Write({Key(KEY_B, 1), Syn(), Key(KEY_B, 2), Syn(), Key(KEY_B, 0), Key(KEY_A, 1), Syn()});
    ASSERT_TRUE(m_script->WaitFor([&] {
        std::lock_guard<std::mutex> guard(sink.lock);
        return sink.keys.size() >= 4;
    }));
    m_filter.SetRecordingSink(nullptr);
    EXPECT_EQ(sink.keys, (std::vector<std::pair<int, int>>{{KEY_B, 1}, {KEY_B, 2}, {KEY_B, 0}, {KEY_A, 1}}));
    ExpectOnlyMarkerNext();
}

// Catches a table that keeps rows beyond 256 or ignores codes outside the keyboard page.
TEST(HidUsbFilterTable, KeepsTheFirst256Codes)
{
    HidUsbFilter filter;
    std::vector<uint16_t> codes(300, 0x10);
    codes[10] = 0x04;
    codes[280] = 0x05;
    EXPECT_EQ(filter.SetKeyTable(codes), 256);
    EXPECT_TRUE(filter.IsWithheld(0x04));
    EXPECT_FALSE(filter.IsWithheld(0x05));
    EXPECT_EQ(filter.SetKeyTable({}), 0);
    EXPECT_FALSE(filter.IsWithheld(0x04));
}

// Catches one controller registered twice, which would play every assignment twice.
TEST(HidUsbFilterProxies, SameMonitorIsRegisteredOnce)
{
    struct Target {
        int OnKey(int, bool) { return 0; }
    } target;
    HidUsbFilter filter;
    EXPECT_TRUE(filter.RegisterMonitor(&target, &Target::OnKey));
    EXPECT_FALSE(filter.RegisterMonitor(&target, &Target::OnKey));
    EXPECT_EQ(filter.ProxyCount(), 1);
}

// Catches a grab kept although a key went down just before it: the system saw that press and
// would never see its release.
TEST(HidUsbFilterGrab, KeyPressedDuringTheGrabGivesTheGrabBack)
{
    struct RacingNode final : IKeyboardNode {
        explicit RacingNode(int fd) : m_fd(fd) {}
        int EventFd() const override { return m_fd; }
        int OutputFd() const override { return -1; }
        bool QueryHeldKeys(KeyBits& held) override
        {
            held.reset();
            if (++m_queries == 2)
                held.set(KEY_Q); // pressed between the first check and the grab
            return true;
        }
        bool SetGrab(bool grab) override
        {
            grabs->push_back(grab);
            return true;
        }
        std::string Name() const override { return "racing"; }
        int m_fd;
        int m_queries = 0;
        std::vector<bool>* grabs = nullptr;
    };
    EventPipe in;
    std::vector<bool> grabs;
    auto node = std::make_unique<RacingNode>(in.ReadFd());
    node->grabs = &grabs;
    HidUsbFilter filter;
    std::vector<std::unique_ptr<IKeyboardNode>> nodes;
    nodes.push_back(std::move(node));
    ASSERT_TRUE(filter.Start(std::move(nodes)));
    filter.Stop(); // joins the thread, so `grabs` is complete
    EXPECT_EQ(grabs, (std::vector<bool>{true, false}));
}

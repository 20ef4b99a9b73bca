// Transfers against a real HTTP server on 127.0.0.1: result codes, bodies, files and progress.
#include "update/Downloader.h"

#include "TestFolder.h"
#include "TestHttpServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct ProgressLog {
    std::mutex mutex;
    std::vector<int> values;
    DownloadProgress Callback()
    {
        return [this](int value) {
            std::lock_guard<std::mutex> lock(mutex);
            values.push_back(value);
        };
    }
    std::vector<int> Values()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return values;
    }
};

std::string Bytes(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 977) & 0xFF);
    return bytes;
}

} // namespace

// Catches lost or altered bodies of short texts and wrong result codes for a missing path.
TEST(Downloader, GetTextReturnsBodyOrFailure)
{
    TestHttpServer server;
    const std::string bodies[] = {"", "7", "1.0.0.1000", "1.0.0.10000"};
    for (size_t i = 0; i < std::size(bodies); ++i)
        server.SetRoute("/v" + std::to_string(i), TestHttpRoute{200, bodies[i]});
    Downloader downloader;
    for (size_t i = 0; i < std::size(bodies); ++i) {
        HttpTextResult reply = downloader.HttpGetText(server.BaseAddress() + "/v" + std::to_string(i));
        EXPECT_EQ(reply.code, 1) << i;
        EXPECT_EQ(reply.body, bodies[i]) << i;
    }
    // A 404 page ("Not Found") must not pass as a version text.
    HttpTextResult missing = downloader.HttpGetText(server.BaseAddress() + "/nothing");
    EXPECT_EQ(missing.code, -1);
    EXPECT_EQ(missing.body, "");
}

// Catches requests without the product's user agent or that a cache could answer.
TEST(Downloader, SendsUserAgentAcceptAndNoCacheHeaders)
{
    TestHttpServer server;
    server.SetRoute("/version", TestHttpRoute{200, "1.0"});
    Downloader downloader;
    ASSERT_EQ(downloader.HttpGetText(server.BaseAddress() + "/version").code, 1);
    std::vector<std::string> headers = server.LastHeaders();
    auto has = [&headers](const std::string& line) {
        return std::find(headers.begin(), headers.end(), line) != headers.end();
    };
    EXPECT_TRUE(has("User-Agent: IIC2.0/PC 5.5.0000"));
    EXPECT_TRUE(has("Accept: */*"));
    EXPECT_TRUE(has("Pragma: no-cache"));
    EXPECT_TRUE(has("Cache-Control: no-cache"));
}

// Catches a wrong block count, a wrong progress formula or overshoot, and files that differ from the body.
TEST(Downloader, DownloadWritesFileAndPostsExactProgress)
{
    struct Case {
        const char* what;
        size_t size;
        bool sendLength;
        std::vector<int> progress;
    } cases[] = {
        {"exact blocks", 3 * 10240, true, {0, 2, 8, 10, 40, 70, 100}},
        {"partial last block", 5 * 10240 + 100, true, {0, 2, 8, 10, 28, 46, 64, 82, 100}},
        {"smaller than a block", 5000, true, {0, 2, 8, 10, 100}},
        {"unknown length", 7 * 10240 + 3, false, {0, 2, 8, 10, 100}},
        {"empty", 0, true, {0, 2, 8, 10, 100}},
    };
    TestHttpServer server;
    TestFolder temp;
    for (const Case& c : cases) {
        std::string body = Bytes(c.size);
        TestHttpRoute route{200, body};
        route.sendLength = c.sendLength;
        route.chunkSize = 4000; // arrives in pieces that do not line up with blocks
        server.SetRoute("/file", route);
        ProgressLog log;
        Downloader downloader;
        EXPECT_EQ(downloader.HttpDownload(server.BaseAddress() + "/file", temp / "file.zip", log.Callback()), 1)
            << c.what;
        EXPECT_EQ(log.Values(), c.progress) << c.what;
        EXPECT_TRUE(TestFolder::ReadFile(temp / "file.zip") == body) << c.what;
    }
}

// Catches a redirect's own short body taken for the answer (opening too early, wrong progress).
TEST(Downloader, FollowsRedirects)
{
    TestHttpServer server;
    TestHttpRoute moved{302, "moved"};
    moved.extraHeaders = "Location: /real.zip\r\n";
    server.SetRoute("/moved.zip", moved);
    server.SetRoute("/real.zip", TestHttpRoute{200, Bytes(2 * 10240)});
    TestFolder temp;
    ProgressLog log;
    Downloader downloader;
    EXPECT_EQ(downloader.HttpDownload(server.BaseAddress() + "/moved.zip", temp / "file.zip", log.Callback()), 1);
    EXPECT_EQ(log.Values(), (std::vector<int>{0, 2, 8, 10, 55, 100}));
    EXPECT_TRUE(TestFolder::ReadFile(temp / "file.zip") == Bytes(2 * 10240));
}

// Catches failures reported as success, partial files left behind, or an old file kept.
TEST(Downloader, FailedDownloadsLeaveNoFile)
{
    TestHttpServer server;
    TestHttpRoute oversized{200, "short"};
    oversized.lengthOverride = "2000000000";
    server.SetRoute("/oversized", oversized);
    TestFolder temp;
    struct Case {
        const char* what;
        std::string address;
        int code;
        std::vector<int> progress;
    } cases[] = {
        {"404", server.BaseAddress() + "/missing.zip", -1, {0, 2}},
        {"over 1 GiB", server.BaseAddress() + "/oversized", -1, {0, 2, 8}},
        {"refused connection", "http://127.0.0.1:1/x.zip", -1, {0, 2}},
        {"not http", "file:///etc/hostname", -1, {0, 2}},
    };
    for (const Case& c : cases) {
        TestFolder::WriteFile(temp / "file.zip", "old");
        ProgressLog log;
        Downloader downloader;
        EXPECT_EQ(downloader.HttpDownload(c.address, temp / "file.zip", log.Callback()), c.code) << c.what;
        EXPECT_EQ(log.Values(), c.progress) << c.what;
        EXPECT_FALSE(fs::exists(temp / "file.zip")) << c.what;
    }
}

// Catches a continue flag that another thread cannot clear, or a stopped transfer reported as done.
TEST(Downloader, StopFromAnotherThreadEndsSlowTransfer)
{
    TestHttpServer server;
    TestHttpRoute slow{200, Bytes(100 * 10240)};
    slow.chunkSize = 10240;
    slow.pause = 100ms; // about ten seconds in all
    server.SetRoute("/slow.zip", slow);
    TestFolder temp;
    Downloader downloader;
    ProgressLog log;
    std::atomic<int> result{99};
    auto started = std::chrono::steady_clock::now();
    std::thread worker([&] { result = downloader.HttpDownload(server.BaseAddress() + "/slow.zip", temp / "slow.zip", log.Callback()); });
    while (downloader.LastProgress() <= 10 && std::chrono::steady_clock::now() - started < 5s)
        std::this_thread::sleep_for(5ms);
    downloader.Stop();
    worker.join();
    EXPECT_EQ(result, -2);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    std::vector<int> values = log.Values();
    ASSERT_GE(values.size(), 5u);
    EXPECT_EQ(std::vector<int>(values.begin(), values.begin() + 4), (std::vector<int>{0, 2, 8, 10}));
    EXPECT_NE(values.back(), 100);
    EXPECT_FALSE(fs::exists(temp / "slow.zip"));
}

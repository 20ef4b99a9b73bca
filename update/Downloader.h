// HTTP(S) transfers of the update jobs: a version text or an archive file, with progress and a stop flag.
#pragma once

#include <atomic>
#include <functional>
#include <string>

// Receives download progress (0..100) on the downloading thread.
using DownloadProgress = std::function<void(int progress)>;

struct HttpTextResult {
    int code = 0;     // see Downloader
    std::string body; // the bytes as received (UTF-8 on this platform)
};

// One per main window. Result codes of both transfers:
//   1  transfer complete,      0  no transfer handle could be made,
//  -1  address or read failed (also an HTTP error status, an oversized body, a file error),
//  -2  stopped because the continue flag was cleared.
class Downloader {
public:
    static constexpr size_t kBlockSize = 10240;
    static constexpr long long kMaxDownloadBytes = 1LL << 30;
    static constexpr size_t kMaxTextBytes = 1 << 20;
    static constexpr const char* kUserAgent = "IIC2.0/PC 5.5.0000";

    // Fetches a short text such as a version number.
    [[nodiscard]] HttpTextResult HttpGetText(const std::string& address);

    // Downloads into file (replacing it); posts 0, 2, 8, 10, then a value per 10240-byte block,
    // then 100, each only when it differs from the last value posted. A transfer that does not
    // complete leaves no file behind.
    [[nodiscard]] int HttpDownload(const std::string& address, const std::string& file,
        const DownloadProgress& progress);

    // Clears the continue flag; safe from any thread. The running transfer ends with -2 at its
    // next block (or within about a second while the server sends nothing).
    void Stop() { m_continue.store(false); }

    bool IsTransferring() const { return m_continue.load(); }
    int LastProgress() const { return m_lastProgress.load(); }

private:
    friend struct HttpTransfer;
    void PostProgress(const DownloadProgress& progress, int value);

    std::atomic<bool> m_continue{false};
    std::atomic<int> m_lastProgress{-1};
};

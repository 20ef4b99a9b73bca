// libcurl easy-interface transfers cut into 10240-byte blocks, so that progress, the stop flag and
// the file writes happen per block whatever sizes the network delivers.
#include "update/Downloader.h"

#include "platform/FileIo.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool StartsWithNoCase(const char* data, size_t size, const char* prefix)
{
    size_t n = std::strlen(prefix);
    return size >= n && strncasecmp(data, prefix, n) == 0;
}

} // namespace

// One request: turns curl's callbacks into "response opened" and "block received" events.
struct HttpTransfer {
    explicit HttpTransfer(Downloader& downloader)
        : owner(downloader)
    {
    }

    Downloader& owner;
    const DownloadProgress* progress = nullptr; // null for text requests
    long long limit = 0;
    std::function<bool()> onOpen;                       // false fails the transfer
    std::function<bool(const char*, size_t)> onBlock;   // false fails the transfer

    CURL* curl = nullptr;
    bool opened = false;
    bool failed = false;
    bool redirecting = false; // the current response carries a Location header
    long long contentLength = 0;
    long long received = 0;
    long long blocks = 0;
    std::string block;

    void Post(int value)
    {
        if (progress)
            owner.PostProgress(*progress, value);
    }

    bool Open(long status)
    {
        if (status < 200 || status >= 300)
            return Fail();
        opened = true;
        Post(8);
        curl_off_t length = -1;
        curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        contentLength = length > 0 ? length : 0;
        if (contentLength > limit || (onOpen && !onOpen()))
            return Fail();
        Post(10);
        return true;
    }

    bool Fail()
    {
        failed = true;
        return false;
    }

    bool Deliver()
    {
        if (!onBlock(block.data(), block.size()))
            return Fail();
        block.clear();
        ++blocks;
        long long divisor = contentLength / static_cast<long long>(Downloader::kBlockSize);
        if (divisor != 0)
            Post(static_cast<int>(std::min<long long>(100, 10 + 90 * blocks / divisor)));
        return true;
    }

    static size_t OnHeader(char* data, size_t size, size_t count, void* user)
    {
        auto* self = static_cast<HttpTransfer*>(user);
        size_t length = size * count;
        if (StartsWithNoCase(data, length, "HTTP/"))
            self->redirecting = false;
        else if (StartsWithNoCase(data, length, "Location:"))
            self->redirecting = true;
        bool headersEnd = length <= 2 && (length == 0 || data[0] == '\r' || data[0] == '\n');
        if (!headersEnd || self->opened)
            return length;
        long status = 0;
        curl_easy_getinfo(self->curl, CURLINFO_RESPONSE_CODE, &status);
        // Interim responses and redirects curl is about to follow are not the answer yet.
        if (status < 200 || (status >= 300 && status < 400 && self->redirecting))
            return length;
        return self->Open(status) ? length : 0;
    }

    static size_t OnData(char* data, size_t size, size_t count, void* user)
    {
        auto* self = static_cast<HttpTransfer*>(user);
        size_t length = size * count;
        if (!self->owner.m_continue.load())
            return 0;
        if (!self->opened) {
            long status = 0;
            curl_easy_getinfo(self->curl, CURLINFO_RESPONSE_CODE, &status);
            if (!self->Open(status))
                return 0;
        }
        self->received += static_cast<long long>(length);
        if (self->received > self->limit) {
            self->Fail();
            return 0;
        }
        while (length > 0) {
            size_t take = std::min(length, Downloader::kBlockSize - self->block.size());
            self->block.append(data, take);
            data += take;
            length -= take;
            if (self->block.size() == Downloader::kBlockSize) {
                if (!self->owner.m_continue.load() || !self->Deliver())
                    return 0;
            }
        }
        return size * count;
    }

    // Also runs while the server sends nothing, so a stalled transfer still notices the flag.
    static int OnTick(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        return static_cast<HttpTransfer*>(user)->owner.m_continue.load() ? 0 : 1;
    }

    void SetOptions(const std::string& address, curl_slist* headers)
    {
        curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
        curl_easy_setopt(curl, CURLOPT_USERAGENT, Downloader::kUserAgent);
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
        // A server that sends nothing for a minute is given up on, as a stalled read would be.
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 60L);
        // A proxy's answer to CONNECT must not be taken for the server's response.
        curl_easy_setopt(curl, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &HttpTransfer::OnHeader);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &HttpTransfer::OnData);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &HttpTransfer::OnTick);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
    }

    int Run(const std::string& address)
    {
        owner.m_continue.store(true);
        owner.m_lastProgress.store(-1);
        Post(0);
        InitCurlOnce();
        curl = curl_easy_init();
        if (!curl)
            return 0;
        Post(2);
        // Always fetch from the origin: a cached version text would hide a new release.
        curl_slist* headers = curl_slist_append(nullptr, "Accept: */*");
        headers = curl_slist_append(headers, "Cache-Control: no-cache");
        headers = curl_slist_append(headers, "Pragma: no-cache");
        SetOptions(address, headers);
        block.reserve(Downloader::kBlockSize);
        CURLcode rc = curl_easy_perform(curl);
        if (rc == CURLE_OK && !opened) {
            long status = 0;
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
            Open(status);
        }
        if (rc == CURLE_OK && !failed && opened && !block.empty() && owner.m_continue.load())
            Deliver();
        curl_easy_cleanup(curl);
        curl_slist_free_all(headers);
        curl = nullptr;
        if (!owner.m_continue.load())
            return -2;
        if (rc != CURLE_OK || failed || !opened)
            return -1;
        return 1;
    }
};

void Downloader::PostProgress(const DownloadProgress& progress, int value)
{
    if (m_lastProgress.exchange(value) != value && progress)
        progress(value);
}

HttpTextResult Downloader::HttpGetText(const std::string& address)
{
    HttpTextResult result;
    HttpTransfer transfer(*this);
    transfer.limit = static_cast<long long>(kMaxTextBytes);
    transfer.onBlock = [&result](const char* data, size_t size) {
        result.body.append(data, size);
        return true;
    };
    result.code = transfer.Run(address);
    if (result.code != 1)
        result.body.clear();
    return result;
}

int Downloader::HttpDownload(const std::string& address, const std::string& file,
    const DownloadProgress& progress)
{
    int fd = -1;
    HttpTransfer transfer(*this);
    transfer.progress = &progress;
    transfer.limit = kMaxDownloadBytes;
    transfer.onOpen = [&fd, &file] {
        unlink(file.c_str());
        // O_EXCL after the unlink: a link planted at the path is never followed.
        fd = open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        return fd >= 0;
    };
    transfer.onBlock = [&fd](const char* data, size_t size) { return WriteAll(fd, data, size); };
    int result = transfer.Run(address);
    if (fd >= 0 && close(fd) != 0 && result == 1)
        result = -1;
    if (result != 1)
        unlink(file.c_str());
    if (result == 1)
        PostProgress(progress, 100);
    return result;
}

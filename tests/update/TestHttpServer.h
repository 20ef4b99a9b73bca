// A tiny HTTP/1.1 server on 127.0.0.1 for the update tests: fixed answers per path, one
// connection at a time, every response closes its connection.
#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TestHttpRoute {
    TestHttpRoute() = default;
    TestHttpRoute(int code, std::string text)
        : status(code), body(std::move(text))
    {
    }

    int status = 200;
    std::string body;
    bool sendLength = true;             // false: no Content-Length, the close ends the body
    std::string lengthOverride;         // sent as Content-Length instead of the body's size
    std::string extraHeaders;           // complete "Name: value\r\n" lines
    size_t chunkSize = 0;               // 0: the body in one write
    std::chrono::milliseconds pause{0}; // between chunks
};

class TestHttpServer {
public:
    TestHttpServer();
    ~TestHttpServer();

    void SetRoute(const std::string& path, TestHttpRoute route);
    // "http://127.0.0.1:<port>"
    std::string BaseAddress() const;
    int Port() const { return m_port; }
    // Request paths in arrival order.
    std::vector<std::string> Paths() const;
    // Header lines of the last request, as received.
    std::vector<std::string> LastHeaders() const;

private:
    void Serve();
    void Answer(int client);
    void Send(int client, const TestHttpRoute& route);

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::map<std::string, TestHttpRoute> m_routes;
    std::vector<std::string> m_paths;
    std::vector<std::string> m_lastHeaders;
    std::thread m_thread;
};

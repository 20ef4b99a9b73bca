// Socket side of the test HTTP server.
#include "TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

TestHttpServer::TestHttpServer()
{
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(m_listener, 16);
    socklen_t size = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

TestHttpServer::~TestHttpServer()
{
    m_stop = true;
    m_thread.join();
    close(m_listener);
}

void TestHttpServer::SetRoute(const std::string& path, TestHttpRoute route)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_routes[path] = std::move(route);
}

std::string TestHttpServer::BaseAddress() const
{
    return "http://127.0.0.1:" + std::to_string(m_port);
}

std::vector<std::string> TestHttpServer::Paths() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_paths;
}

std::vector<std::string> TestHttpServer::LastHeaders() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastHeaders;
}

void TestHttpServer::Serve()
{
    while (!m_stop) {
        pollfd waiting{m_listener, POLLIN, 0};
        if (poll(&waiting, 1, 20) <= 0)
            continue;
        int client = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        Answer(client);
        close(client);
    }
}

void TestHttpServer::Answer(int client)
{
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        pollfd readable{client, POLLIN, 0};
        if (poll(&readable, 1, 2000) <= 0)
            return;
        ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        request.append(buffer, static_cast<size_t>(n));
    }
    std::istringstream lines(request.substr(0, request.find("\r\n\r\n")));
    std::string method, path, line;
    lines >> method >> path;
    std::getline(lines, line);
    std::vector<std::string> headers;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        headers.push_back(line);
    }
    TestHttpRoute route;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_paths.push_back(path);
        m_lastHeaders = headers;
        auto found = m_routes.find(path);
        if (found != m_routes.end())
            route = found->second;
        else
            route = TestHttpRoute{404, "Not Found"};
    }
    Send(client, route);
}

void TestHttpServer::Send(int client, const TestHttpRoute& route)
{
    std::string head = "HTTP/1.1 " + std::to_string(route.status) + (route.status == 200 ? " OK" : " Error")
        + "\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n";
    if (!route.lengthOverride.empty())
        head += "Content-Length: " + route.lengthOverride + "\r\n";
    else if (route.sendLength)
        head += "Content-Length: " + std::to_string(route.body.size()) + "\r\n";
    head += route.extraHeaders + "\r\n";
    if (send(client, head.data(), head.size(), MSG_NOSIGNAL) < 0)
        return;
    size_t chunk = route.chunkSize == 0 ? route.body.size() : route.chunkSize;
    for (size_t at = 0; at < route.body.size() && !m_stop; at += chunk) {
        size_t size = std::min(chunk, route.body.size() - at);
        size_t sent = 0;
        while (sent < size) {
            ssize_t n = send(client, route.body.data() + at + sent, size - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += static_cast<size_t>(n);
        }
        if (route.pause.count() > 0)
            std::this_thread::sleep_for(route.pause);
    }
}

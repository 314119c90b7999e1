// Implementation of the loopback HTTP server for the online tests (see http_server.h).
#include "http_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include "online/vendor.h"

#include <cstring>

namespace harness {

namespace {
const char* Reason(int status) {
    switch (status) {
        case 200: return "OK";
        case 404: return "Not Found";
        case 500: return "Internal Server Error";
        case 511: return "Network Authentication Required";
        default: return "Status";
    }
}

// Reads until the end of the request head (or the peer stops sending).
std::string ReadRequestHead(SOCKET s) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        const int n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        head.append(buffer, n);
    }
    return head;
}

std::string HeaderValue(const std::string& head, const std::string& name) {
    size_t at = 0;
    while ((at = head.find("\r\n", at)) != std::string::npos) {
        at += 2;
        if (_strnicmp(head.c_str() + at, (name + ":").c_str(), name.size() + 1) == 0) {
            const size_t start = head.find_first_not_of(' ', at + name.size() + 1);
            return head.substr(start, head.find("\r\n", start) - start);
        }
    }
    return {};
}

bool SendAll(SOCKET s, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0) return false;
        sent += n;
    }
    return true;
}
}  // namespace

unsigned short VendorPort() {
    const std::string host = VendorHost();
    const size_t colon = host.rfind(':');
    return colon == std::string::npos ? 80 : static_cast<unsigned short>(std::stoi(host.substr(colon + 1)));
}

HttpServer::HttpServer(unsigned short port) : port_(port), listener_(INVALID_SOCKET) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
}

HttpServer::~HttpServer() {
    Stop();
    WSACleanup();
}

namespace {
SOCKET BoundSocket(unsigned short port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return s;
    BOOL reuse = TRUE;  // connections of an earlier test may still linger on the port
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}
}  // namespace

bool HttpServer::Start() {
    SOCKET s = BoundSocket(port_);
    if (s == INVALID_SOCKET) return false;
    if (listen(s, 16) != 0) {
        closesocket(s);
        return false;
    }
    listener_ = s;
    stopping_ = false;
    acceptor_ = std::thread([this] { AcceptLoop(); });
    return true;
}

bool HttpServer::Refuse() {
    SOCKET s = BoundSocket(port_);
    if (s == INVALID_SOCKET) return false;
    listener_ = s;
    return true;
}

void HttpServer::Stop() {
    if (listener_ == INVALID_SOCKET) return;
    stopping_ = true;
    if (acceptor_.joinable()) acceptor_.join();
    for (std::thread& handler : handlers_) handler.join();
    handlers_.clear();
    closesocket(listener_);
    listener_ = INVALID_SOCKET;
}

void HttpServer::Serve(const std::string& path, const HttpReply& reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_[path] = reply;
}

void HttpServer::SetBehaviour(ServerBehaviour behaviour, std::chrono::milliseconds stall, size_t dripBytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    behaviour_ = behaviour;
    stall_ = stall;
    dripBytes_ = dripBytes;
}

std::vector<HttpServer::Request> HttpServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

int HttpServer::RequestCount(const std::string& path) const {
    int n = 0;
    for (const Request& request : Requests()) n += request.path == path;
    return n;
}

void HttpServer::ClearRequests() {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.clear();
}

void HttpServer::AcceptLoop() {
    while (!stopping_) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(static_cast<SOCKET>(listener_), &ready);
        timeval wait = {0, 20000};
        if (select(0, &ready, nullptr, nullptr, &wait) <= 0) continue;
        SOCKET client = accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        handlers_.emplace_back([this, client] { Handle(client); });
    }
}

void HttpServer::Handle(uintptr_t socketValue) {
    const SOCKET s = static_cast<SOCKET>(socketValue);
    ServerBehaviour behaviour;
    std::chrono::milliseconds stall;
    size_t dripBytes;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        behaviour = behaviour_;
        stall = stall_;
        dripBytes = dripBytes_;
    }
    auto waitWhileRunning = [this](std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!stopping_ && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    const std::string head = ReadRequestHead(s);
    const size_t pathStart = head.find(' ') + 1;
    Request request{head.substr(pathStart, head.find(' ', pathStart) - pathStart), HeaderValue(head, "User-Agent")};
    HttpReply reply{404, "text/plain", ""};  // an empty body: nothing a client could take as text
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
        auto found = replies_.find(request.path);
        if (found != replies_.end()) reply = found->second;
    }
    if (behaviour == ServerBehaviour::StallThenClose || behaviour == ServerBehaviour::NeverAnswer) {
        waitWhileRunning(behaviour == ServerBehaviour::NeverAnswer ? std::chrono::hours(24) : stall);
        closesocket(s);
        return;
    }
    if (behaviour == ServerBehaviour::Endless) {
        bool open = SendAll(s, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n");
        std::string block;
        while (block.size() < 16384) block += "Endless line of an endless body, never to be cached whole\r\n";
        while (open && !stopping_) open = SendAll(s, block);
        closesocket(s);
        return;
    }
    std::string response = "HTTP/1.1 " + std::to_string(reply.status) + " " + Reason(reply.status) + "\r\n";
    if (!reply.contentType.empty()) response += "Content-Type: " + reply.contentType + "\r\n";
    response += "Content-Length: " + std::to_string(reply.body.size()) + "\r\nConnection: close\r\n\r\n";
    if (behaviour == ServerBehaviour::Drip) {
        bool open = SendAll(s, response);
        for (size_t at = 0; open && at < reply.body.size() && !stopping_; at += dripBytes) {
            waitWhileRunning(stall);
            open = SendAll(s, reply.body.substr(at, dripBytes));
        }
    } else if (behaviour == ServerBehaviour::CutShort || behaviour == ServerBehaviour::ResetMidBody) {
        SendAll(s, response + reply.body.substr(0, reply.body.size() / 2));
        if (behaviour == ServerBehaviour::ResetMidBody) {
            const linger abort = {1, 0};  // closing now sends a reset instead of the normal end
            setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
            closesocket(s);
            return;
        }
    } else {
        SendAll(s, response + reply.body);
    }
    // Let the client close first, so the port is free for the next server at once.
    shutdown(s, SD_SEND);
    char drain[256];
    timeval wait = {2, 0};
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    while (select(0, &readable, nullptr, nullptr, &wait) > 0 && recv(s, drain, sizeof drain, 0) > 0) {
    }
    closesocket(s);
}

}  // namespace harness

// A loopback HTTP server for the online tests: per-path replies with the status, Content-Type and
// body a test needs, or connections that stall and then close, or that are never answered.
#pragma once
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace harness {

struct HttpReply {
    int status = 200;
    std::string contentType = "text/plain; charset=windows-1251";  // no header when empty
    std::string body;
};

enum class ServerBehaviour {
    Answer,          // the reply for the path (404 with an empty body when none)
    StallThenClose,  // read the request, wait `stall`, close without a word
    NeverAnswer,     // accept and hold the connection open until the server stops
    Endless,         // a 200 text answer whose body never ends (lines until the client goes away)
    Drip,            // the reply for the path: its head at once, then its body `dripBytes` (2) every `stall`
    CutShort,        // the reply's head (its full Content-Length) and half its body, then the connection closed
    ResetMidBody,    // the same, then the connection reset
};

// The port of the vendor host the exe was built with (80 when none is given).
unsigned short VendorPort();

class HttpServer {
public:
    explicit HttpServer(unsigned short port);
    ~HttpServer();  // stops
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens on 127.0.0.1; false when the port is taken.
    bool Start();
    // Holds the port without listening, so connections are refused and nothing else can take it.
    bool Refuse();
    void Stop();

    void Serve(const std::string& path, const HttpReply& reply);
    void SetBehaviour(ServerBehaviour behaviour, std::chrono::milliseconds stall = std::chrono::milliseconds(0),
                      size_t dripBytes = 2);

    struct Request {
        std::string path;
        std::string userAgent;
    };
    std::vector<Request> Requests() const;
    int RequestCount(const std::string& path) const;
    void ClearRequests();

private:
    void AcceptLoop();
    void Handle(uintptr_t socket);

    unsigned short port_;
    uintptr_t listener_;
    std::thread acceptor_;
    std::vector<std::thread> handlers_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::map<std::string, HttpReply> replies_;
    ServerBehaviour behaviour_ = ServerBehaviour::Answer;
    std::chrono::milliseconds stall_{0};
    size_t dripBytes_ = 2;
    std::vector<Request> requests_;
};

}  // namespace harness

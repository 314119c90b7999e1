// The WinINet binding against a real loopback server: the session's time-outs, the title, message
// and advertising fetches, the Content-Type and size rules, and servers that stall or never answer.
#include "harness.h"
#include "http_server.h"

#include "online/banner_list.h"
#include "online/http_win.h"
#include "online/title.h"
#include "online/vendor.h"

#include "fakes/online_fakes.h"

#include <gtest/gtest.h>

using namespace harness;

namespace {
double SecondsSince(DWORD start) { return (GetTickCount() - start) / 1000.0; }

struct VendorServer : ::testing::Test {
    HttpServer server{VendorPort()};
    TempCacheHost cache;
    void SetUp() override { ASSERT_TRUE(server.Start()) << "port " << VendorPort() << " is taken"; }
};

// Records the options set on the session and passes them on to WinINet.
struct RecordingClient : WinInetClient {
    struct Option {
        HINTERNET handle;
        DWORD option, value;
    };
    std::vector<Option> options;
    BOOL SetOption(HINTERNET handle, DWORD option, void* value, DWORD size) override {
        options.push_back({handle, option, *static_cast<DWORD*>(value)});
        return WinInetClient::SetOption(handle, option, value, size);
    }
};

TEST_F(VendorServer, AdsFetchSetsTheThreeTimeoutsOnTheSession) {
    server.Serve("/ads.txt", {200, "text/plain", "Реклама\r\n"});
    RecordingClient client;
    std::vector<AdMessage> ads;
    ASSERT_TRUE(LoadAdsFromWebsite(client, ads));
    ASSERT_EQ(client.options.size(), 3u);
    const DWORD expected[] = {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                              INTERNET_OPTION_SEND_TIMEOUT};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(client.options[i].option, expected[i]) << i;
        EXPECT_EQ(client.options[i].value, 5000u) << i;
        EXPECT_EQ(client.options[i].handle, client.options[0].handle) << i;
    }
    EXPECT_EQ(client.WaitLimitMs(), 5000u);

    // The values reach the session handle itself.
    ASSERT_TRUE(client.Open(kAgentName));
    client.SetTimeout(InternetTimeout::Connect, 5000);
    DWORD value = 0, size = sizeof value;
    ASSERT_TRUE(InternetQueryOptionW(client.Root(), INTERNET_OPTION_CONNECT_TIMEOUT, &value, &size));
    EXPECT_EQ(value, 5000u);

    // The title and the message list are bounded the same way.
    RecordingClient title, messages;
    DownloadTitleFromServer(title, cache);
    DownloadInspirationalToFile(messages, cache);
    for (RecordingClient* bounded : {&title, &messages}) {
        ASSERT_EQ(bounded->options.size(), 3u);
        for (const auto& option : bounded->options) EXPECT_EQ(option.value, 5000u);
        EXPECT_EQ(bounded->WaitLimitMs(), 5000u);
    }
}

TEST_F(VendorServer, TitleIsTrimmedAndCachedAndTheAgentIsNamed) {
    server.Serve("/program_title.txt", {200, "text/plain", ToCp1251(L"  Учёт штрихкодов\r\n")});
    ASSERT_TRUE(DownloadTitleFromServer(*NewSystemInternet(), cache));
    std::string title;
    ASSERT_TRUE(LoadTitleFromFile(cache, title));
    EXPECT_EQ(title, ToCp1251(L"Учёт штрихкодов"));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, "/program_title.txt");
    EXPECT_EQ(requests[0].userAgent, "RizidudUdaravuzuv/1.0");
}

TEST_F(VendorServer, OnlyA200AnswerIsCachedOrShown) {
    std::string body;
    for (int i = 0; i < 400; ++i) body += "@Сообщение " + std::to_string(i) + std::string(40, '.') + "\r\n";
    const std::string page = "<html><body>Not here</body></html>";
    struct Case {
        int status;
        const char* type;
        bool cached;
    };
    const Case cases[] = {{404, "text/html", false}, {500, "text/plain", false}, {511, "text/html", false},
                          {200, "text/plain", true}};
    for (const Case& c : cases) {
        TempCacheHost fresh;
        server.Serve("/inspirational.txt", {c.status, c.type, c.cached ? body : page});
        server.Serve("/program_title.txt", {c.status, c.type, c.cached ? "Title" : page});
        EXPECT_EQ(DownloadInspirationalToFile(*NewSystemInternet(), fresh), c.cached) << c.status;
        EXPECT_EQ(DownloadTitleFromServer(*NewSystemInternet(), fresh), c.cached) << c.status;
        EXPECT_EQ(fresh.Exists("inspirational.dat"), c.cached) << c.status;
        EXPECT_EQ(fresh.Exists("title.dat"), c.cached) << c.status;
        if (!c.cached) continue;
        std::vector<AdMessage> ads;
        ASSERT_TRUE(LoadInspirationalFromFile(fresh, ads));
        ASSERT_EQ(ads.size(), 400u);
        EXPECT_EQ(ads[399].text, "Сообщение 399" + std::string(40, '.'));
        EXPECT_EQ(ads[399].color, 0x008000u);
    }
}

TEST_F(VendorServer, AdsContentTypeAndBodyRules) {
    struct Case {
        const char* name;
        HttpReply reply;
        bool accepted;
    };
    const Case cases[] = {
        {"plain text", {200, "text/plain; charset=windows-1251", "!Скидка\r\nНовинка\r\n"}, true},
        {"no content type", {200, "", "!Скидка\r\nНовинка\r\n"}, true},
        {"a server error", {500, "text/plain", "!Скидка\r\nНовинка\r\n"}, false},
        {"a captive portal", {511, "text/plain", "!Скидка\r\nНовинка\r\n"}, false},
        {"html in capitals", {200, "TEXT/HTML", "!Скидка\r\nНовинка\r\n"}, false},
        {"html with a charset", {200, "text/html; charset=utf-8", "!Скидка\r\nНовинка\r\n"}, false},
        {"a document as plain text", {200, "text/plain", "\r\n  <html><body>Скидка</body></html>"}, false},
        {"empty body", {200, "text/plain", ""}, false},
    };
    for (const Case& c : cases) {
        server.Serve("/ads.txt", c.reply);
        std::vector<AdMessage> ads = {{"old", 1, false}};
        EXPECT_EQ(LoadAdsFromWebsite(*NewSystemInternet(), ads), c.accepted) << c.name;
        if (c.accepted) {
            ASSERT_EQ(ads.size(), 2u) << c.name;
            EXPECT_EQ(ads[0].text, "Скидка");
            EXPECT_TRUE(ads[0].bold);
            EXPECT_EQ(ads[1].color, 0xED9564u);
        } else {
            ASSERT_EQ(ads.size(), 1u) << c.name;
            EXPECT_EQ(ads[0].text, "old") << c.name;
        }
    }
}

TEST_F(VendorServer, AdsBodyIsCutAtFiftyThousandBytesToWholeLines) {
    std::string body;  // 1,000 numbered lines of 100 bytes
    for (int i = 0; i < 1000; ++i) {
        std::string line = "Ad " + std::to_string(i) + " ";
        body += line + std::string(98 - line.size(), '.') + "\r\n";
    }
    server.Serve("/ads.txt", {200, "text/plain", body});
    std::vector<AdMessage> ads;
    ASSERT_TRUE(LoadAdsFromWebsite(*NewSystemInternet(), ads));
    ASSERT_EQ(ads.size(), 500u);
    EXPECT_EQ(ads[499].text, "Ad 499 " + std::string(91, '.'));
}

// The cases that time the fetches run alone (see cmake/windows.cmake).
using VendorServerTiming = VendorServer;

TEST_F(VendorServerTiming, AnEndlessBodyIsCutAtItsCap) {
    server.SetBehaviour(ServerBehaviour::Endless);
    const DWORD start = GetTickCount();
    const std::string title = FetchTitleText(*NewSystemInternet(), VendorUrl("http", "/program_title.txt"));
    EXPECT_FALSE(title.empty());
    EXPECT_LE(title.size(), kTitleReadBytes);
    const std::string messages = FetchWholeBody(*NewSystemInternet(), VendorUrl("http", "/inspirational.txt"));
    EXPECT_GT(messages.size(), kMessagesBodyCap - 100);
    EXPECT_LE(messages.size(), kMessagesBodyCap);
    EXPECT_EQ(messages.back(), '\n');
    std::vector<AdMessage> ads;
    ASSERT_TRUE(LoadAdsFromWebsite(*NewSystemInternet(), ads));
    EXPECT_LT(ads.size(), 1000u);
    EXPECT_LT(SecondsSince(start), 5.0);
}

TEST_F(VendorServerTiming, ASlowBodyIsGivenUpAtTheDeadline) {
    struct Case {
        const char* name;
        size_t bytes;  // every 500 ms
        double atLeast, atMost;
    };
    const Case cases[] = {
        {"two bytes at a time: a read outlives the receive time-out", 2, 4.5, 6.5},
        {"each read in time, the whole body not", 1000, 14.5, 16.5},
    };
    std::string lines;
    for (int i = 0; lines.size() < 40000; ++i) lines += "Строка " + std::to_string(i) + "\r\n";
    for (const Case& c : cases) {
        server.Serve("/inspirational.txt", {200, "text/plain", lines});
        server.SetBehaviour(ServerBehaviour::Drip, std::chrono::milliseconds(500), c.bytes);
        const DWORD start = GetTickCount();
        EXPECT_EQ(FetchWholeBody(*NewSystemInternet(), VendorUrl("http", "/inspirational.txt")), "") << c.name;
        const double took = SecondsSince(start);
        std::printf("%s: given up after %.1f s\n", c.name, took);
        EXPECT_GE(took, c.atLeast) << c.name;
        EXPECT_LE(took, c.atMost) << c.name;
    }
}

TEST_F(VendorServerTiming, AServerThatNeverAnswersIsGivenUpAfterTheTimeout) {
    server.SetBehaviour(ServerBehaviour::NeverAnswer);
    std::vector<AdMessage> ads = {{"old", 1, false}};
    const DWORD start = GetTickCount();
    EXPECT_FALSE(LoadAdsFromWebsite(*NewSystemInternet(), ads));
    const double took = SecondsSince(start);
    EXPECT_GE(took, 4.5);
    EXPECT_LT(took, 8.0);
    EXPECT_EQ(ads[0].text, "old");
    EXPECT_EQ(server.RequestCount("/ads.txt"), 1);

    // The next fetch works normally once the server answers again.
    server.SetBehaviour(ServerBehaviour::Answer);
    server.Serve("/ads.txt", {200, "text/plain", "Снова работает\r\n"});
    EXPECT_TRUE(LoadAdsFromWebsite(*NewSystemInternet(), ads));
    EXPECT_EQ(ads[0].text, "Снова работает");
}

TEST_F(VendorServerTiming, AServerThatStallsAndClosesFailsTheFetch) {
    server.SetBehaviour(ServerBehaviour::StallThenClose, std::chrono::milliseconds(2000));
    const DWORD start = GetTickCount();
    EXPECT_EQ(FetchTitleText(*NewSystemInternet(), VendorUrl("http", "/program_title.txt")), "");
    std::vector<AdMessage> ads;
    EXPECT_FALSE(LoadAdsFromWebsite(*NewSystemInternet(), ads));
    EXPECT_LT(SecondsSince(start), 12.0);
}

TEST_F(VendorServer, ABodyCutShortByTheConnectionIsNotCachedNorShown) {
    std::string lines;
    for (int i = 0; lines.size() < 20000; ++i) lines += "Сообщение " + std::to_string(i) + "\r\n";
    server.Serve("/inspirational.txt", {200, "text/plain", lines});
    server.Serve("/ads.txt", {200, "text/plain", lines});
    ASSERT_TRUE(SaveEncryptedToFile(cache, "Старый список\r\n", kInspirationalCacheFile));
    for (ServerBehaviour cut : {ServerBehaviour::CutShort, ServerBehaviour::ResetMidBody}) {
        const bool reset = cut == ServerBehaviour::ResetMidBody;
        server.SetBehaviour(cut);
        EXPECT_FALSE(DownloadInspirationalToFile(*NewSystemInternet(), cache)) << reset;
        std::string cached;
        ASSERT_TRUE(LoadEncryptedFromFile(cache, kInspirationalCacheFile, kMessagesBodyCap, cached));
        EXPECT_EQ(cached, "Старый список\r\n") << reset;
        std::vector<AdMessage> ads = {{"old", 1, false}};
        EXPECT_FALSE(LoadAdsFromWebsite(*NewSystemInternet(), ads)) << reset;
        EXPECT_EQ(ads[0].text, "old") << reset;
    }
    // The same body whole is taken.
    server.SetBehaviour(ServerBehaviour::Answer);
    EXPECT_TRUE(DownloadInspirationalToFile(*NewSystemInternet(), cache));
    std::vector<AdMessage> ads;
    ASSERT_TRUE(LoadAdsFromWebsite(*NewSystemInternet(), ads));
    EXPECT_EQ(ads.back().text, "Сообщение " + std::to_string(ads.size() - 1));
}

TEST(NoVendorServerTiming, ARefusedConnectionFailsAtOnce) {
    HttpServer refusing(VendorPort());
    ASSERT_TRUE(refusing.Refuse());
    const DWORD start = GetTickCount();
    TempCacheHost cache;
    EXPECT_FALSE(DownloadTitleFromServer(*NewSystemInternet(), cache));
    std::vector<AdMessage> ads;
    EXPECT_FALSE(LoadAdsFromWebsite(*NewSystemInternet(), ads));
    EXPECT_LT(SecondsSince(start), 3.0);
    EXPECT_FALSE(cache.Exists("title.dat"));
}
}  // namespace

// Fetching the title, the message list and the advertising list through the HTTP client seam:
// the order of the calls, the reading limits, the refusals, and what ends up in the cache files.
#include "online/banner_list.h"
#include "online/internet.h"
#include "online/title.h"
#include "online/vendor.h"

#include "fakes/online_fakes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
using Calls = std::vector<std::string>;

std::string Url(const char* path) { return VendorUrl("http", path); }

TEST(TitleFetch, AtMost255BytesTrimmed) {
    struct Case {
        const char* name;
        std::vector<std::string> chunks;
        std::string expected;
    };
    const Case cases[] = {
        {"blanks and CR LF", {"  Моя программа\r\n"}, "Моя программа"},
        {"tabs and inner blanks kept", {"\t A  B \t\n\n"}, "A  B"},
        {"only blanks", {" \r\n\t "}, ""},
        {"zero byte ends it", {std::string("Title\0rest", 10)}, "Title"},
        {"split over reads", {"First ", "Second"}, "First Second"},
        {"long body", {std::string(300, 'x')}, std::string(255, 'x')},
        {"long body in pieces", {std::string(200, 'x'), std::string(100, 'y')}, std::string(200, 'x') + std::string(55, 'y')},
        {"empty body", {}, ""},
    };
    for (const Case& c : cases) {
        ScriptedInternet net;
        net.response.chunks = c.chunks;
        EXPECT_EQ(FetchTitleText(net, Url("/program_title.txt")), c.expected) << c.name;
        const Calls opening = {"Open RizidudUdaravuzuv/1.0", "Timeout 0 5000", "Timeout 1 5000", "Timeout 2 5000",
                               "OpenUrl " + Url("/program_title.txt"), "Status", "Read 255"};
        EXPECT_EQ(Calls(net.calls.begin(), net.calls.begin() + opening.size()), opening) << c.name;
        EXPECT_EQ(Calls(net.calls.end() - 2, net.calls.end()), (Calls{"CloseUrl", "Close"})) << c.name;
    }
}

TEST(TitleFetch, FailuresCloseWhatWasOpened) {
    ScriptedInternet noSession;
    noSession.openWorks = false;
    EXPECT_EQ(FetchTitleText(noSession, "u"), "");
    EXPECT_EQ(noSession.calls, (Calls{"Open RizidudUdaravuzuv/1.0"}));

    ScriptedInternet noServer;
    noServer.response.reachable = false;
    EXPECT_EQ(FetchTitleText(noServer, "u"), "");
    EXPECT_EQ(noServer.calls, (Calls{"Open RizidudUdaravuzuv/1.0", "Timeout 0 5000", "Timeout 1 5000",
                                     "Timeout 2 5000", "OpenUrl u", "Close"}));

    ScriptedInternet badRead;
    badRead.response.failReadAfterChunks = true;
    EXPECT_EQ(FetchTitleText(badRead, "u"), "");
    EXPECT_EQ(badRead.calls.back(), "Close");
}

TEST(TitleCache, DownloadSavesOnlyANonEmptyTitleAndLoadUsesItAsStored) {
    TempCacheHost host;
    ScriptedInternet net;
    net.response.chunks = {"  Новый заголовок\r\n"};
    ASSERT_TRUE(DownloadTitleFromServer(net, host));
    std::string title = "Zubrilax";
    ASSERT_TRUE(LoadTitleFromFile(host, title));
    EXPECT_EQ(title, "Новый заголовок");

    ScriptedInternet blank;
    blank.response.chunks = {"   \r\n"};
    EXPECT_FALSE(DownloadTitleFromServer(blank, host));
    ScriptedInternet offline;
    offline.openWorks = false;
    EXPECT_FALSE(DownloadTitleFromServer(offline, host));
    title.clear();
    ASSERT_TRUE(LoadTitleFromFile(host, title));
    EXPECT_EQ(title, "Новый заголовок");

    // A cache written by someone else is shown exactly as stored, blanks included.
    ASSERT_TRUE(SaveEncryptedToFile(host, " padded ", "title.dat"));
    ASSERT_TRUE(LoadTitleFromFile(host, title));
    EXPECT_EQ(title, " padded ");
}

TEST(TitleCache, AFetchedTitleIsShownEvenWhenItCannotBeCached) {
    TempCacheHost host;
    std::string title = "Zubrilax";
    EXPECT_FALSE(ApplyFetchedTitle(host, "", title));
    EXPECT_EQ(title, "Zubrilax");
    host.pathWorks = false;
    EXPECT_TRUE(ApplyFetchedTitle(host, "Новый", title));
    EXPECT_EQ(title, "Новый");
    host.pathWorks = true;
    EXPECT_TRUE(ApplyFetchedTitle(host, "Ещё новее", title));
    std::string cached;
    ASSERT_TRUE(LoadTitleFromFile(host, cached));
    EXPECT_EQ(cached, "Ещё новее");
}

TEST(TitleCache, MissingOrEmptyCacheKeepsTheTitle) {
    TempCacheHost host;
    std::string title = "Zubrilax";
    EXPECT_FALSE(LoadTitleFromFile(host, title));
    ASSERT_TRUE(SaveEncryptedToFile(host, "", "title.dat"));
    EXPECT_FALSE(LoadTitleFromFile(host, title));
    EXPECT_EQ(title, "Zubrilax");
}

TEST(MessageFetch, WholeBodyIsCachedUnchanged) {
    TempCacheHost host;
    ScriptedInternet net;
    const std::string big(5000, 'a');
    net.response.chunks = {"# comment\r\n", "!Red\r\n" + big, std::string("x\0dropped", 9), "\r\nlast"};
    ASSERT_TRUE(DownloadInspirationalToFile(net, host));
    std::string cached;
    ASSERT_TRUE(LoadEncryptedFromFile(host, "inspirational.dat", kMessagesBodyCap, cached));
    // The second chunk arrives in two reads; a zero byte drops the rest of its read only.
    EXPECT_EQ(cached, "# comment\r\n!Red\r\n" + big + "x\r\nlast");
    EXPECT_EQ(net.calls.front(), "Open RizidudUdaravuzuv/1.0");
    EXPECT_EQ(net.calls[1], "Timeout 0 5000");
    EXPECT_EQ(net.calls[4], "OpenUrl " + Url("/inspirational.txt"));
    EXPECT_EQ(net.calls[5], "Status");
    EXPECT_EQ(net.calls[6], "Read 4095");
}

TEST(MessageFetch, NothingFetchedLeavesTheOldCache) {
    TempCacheHost host;
    ASSERT_TRUE(SaveEncryptedToFile(host, "old", "inspirational.dat"));
    ScriptedInternet empty;
    EXPECT_FALSE(DownloadInspirationalToFile(empty, host));
    ScriptedInternet unreachable;
    unreachable.response.reachable = false;
    EXPECT_FALSE(DownloadInspirationalToFile(unreachable, host));
    std::string cached;
    ASSERT_TRUE(LoadEncryptedFromFile(host, "inspirational.dat", kMessagesBodyCap, cached));
    EXPECT_EQ(cached, "old");
}

TEST(AdsFetch, SetsThreeTimeoutsBeforeTheRequestAndChecksTheContentType) {
    ScriptedInternet net;
    net.response.contentType = "text/plain; charset=windows-1251";
    net.response.chunks = {"Реклама\r\n"};
    std::vector<AdMessage> ads;
    ASSERT_TRUE(LoadAdsFromWebsite(net, ads));
    EXPECT_EQ(net.calls, (Calls{"Open RizidudUdaravuzuv/1.0", "Timeout 0 5000", "Timeout 1 5000", "Timeout 2 5000",
                                "OpenUrl " + Url("/ads.txt"), "Status", "ContentType", "Read 4095", "Read 4095", "CloseUrl",
                                "Close"}));
    ASSERT_EQ(ads.size(), 1u);
    EXPECT_EQ(ads[0].text, "Реклама");
}

TEST(AdsFetch, RefusalsLeaveTheListAlone) {
    struct Case {
        const char* name;
        ScriptedResponse response;
        bool sessionWorks;
    };
    const Case cases[] = {
        {"html with a charset", {true, "text/html; charset=utf-8", {"Ad\n"}, false}, true},
        {"html anywhere in the type", {true, "application/x-text/html", {"Ad\n"}, false}, true},
        {"html in capitals", {true, "Text/HTML; charset=utf-8", {"Ad\n"}, false}, true},
        {"a captive portal's answer", {true, "text/plain", {"Ad\n"}, false, 511}, true},
        {"a server error", {true, "text/plain", {"Ad\n"}, false, 500}, true},
        {"no status", {true, "text/plain", {"Ad\n"}, false, 0}, true},
        {"an html document as plain text", {true, "text/plain", {" \r\n\t<!DOCTYPE html>\nAd\n"}, false}, true},
        {"an xml document without a type", {true, "", {"<?xml version='1.0'?>\nAd\n"}, false}, true},
        {"empty body", {true, "text/plain", {}, false}, true},
        {"only blanks", {true, "text/plain", {" \r\n "}, false}, true},
        {"only comments and dropped lines", {true, "text/plain", {"# c\n;c\nAd <b>\n"}, false}, true},
        {"unreachable", {false, "", {}, false}, true},
        {"no session", {true, "", {"Ad\n"}, false}, false},
    };
    for (const Case& c : cases) {
        ScriptedInternet net;
        net.openWorks = c.sessionWorks;
        net.response = c.response;
        std::vector<AdMessage> ads = {{"old", 1, true}};
        EXPECT_FALSE(LoadAdsFromWebsite(net, ads)) << c.name;
        ASSERT_EQ(ads.size(), 1u) << c.name;
        EXPECT_EQ(ads[0].text, "old") << c.name;
        if (c.sessionWorks) {
            EXPECT_EQ(net.calls.back(), "Close") << c.name;
        }
    }
}

// Numbered lines of `length` bytes (CR LF included), `total` bytes in all.
std::string NumberedLines(size_t length, size_t total) {
    std::string body;
    for (int i = 0; body.size() < total; ++i) {
        std::string line = "Ad " + std::to_string(i);
        body += line + std::string(length - 2 - line.size(), '.') + "\r\n";
    }
    return body;
}

std::vector<std::string> Chunks(const std::string& body, size_t size) {
    std::vector<std::string> chunks;
    for (size_t at = 0; at < body.size(); at += size) chunks.push_back(body.substr(at, size));
    return chunks;
}

TEST(BodyCaps, ABodyCutAtItsCapKeepsItsWholeLinesOnly) {
    struct Case {
        const char* name;
        size_t lineLength, sent;
        size_t keptLines;  // 0: the fetch yields nothing
    };
    const Case cases[] = {
        {"a line ends right at the cap", 100, 80000, 500},
        {"the cap falls inside a line", 77, 80000, 649},
        {"an endless single line", 60000, 60000, 0},
        {"just under the cap is whole", 100, 50000, 500},
    };
    for (const Case& c : cases) {
        const std::string body = NumberedLines(c.lineLength, c.sent);
        const std::string expected = body.substr(0, c.keptLines * c.lineLength);
        ScriptedInternet ads;
        ads.response.contentType = "text/plain";
        ads.response.chunks = Chunks(body, 4095);
        std::string fetched = "untouched";
        ASSERT_TRUE(FetchAdsBody(ads, Url("/ads.txt"), fetched)) << c.name;
        EXPECT_EQ(fetched, expected) << c.name;
        EXPECT_LE(ads.Fetches("/ads.txt"), 1);
        EXPECT_LE(std::count(ads.calls.begin(), ads.calls.end(), "Read 4095"), 13) << c.name;  // never past the cap

        ScriptedInternet messages;
        messages.response.chunks = Chunks(body, 4095);
        EXPECT_EQ(FetchWholeBody(messages, Url("/inspirational.txt")), expected) << c.name;
    }
    EXPECT_EQ(kMessagesBodyCap, 50000u);
}

// A connection reset or closed before the body's end: whole lines already read are no answer either,
// so a part of a list is never cached as fresh nor shown, and the old cache stays.
TEST(BodyCaps, ABodyCutShortByAFailedReadIsAFailedFetch) {
    for (const char* received : {"Первая\r\nВтор", "Первая\r\nВторая\r\n", ""}) {
        ScriptedInternet net;
        net.response.contentType = "text/plain";
        net.response.chunks = {received};
        net.response.failReadAfterChunks = true;
        EXPECT_EQ(FetchWholeBody(net, Url("/inspirational.txt")), "") << received;
        EXPECT_EQ(net.calls.back(), "Close");

        TempCacheHost host;
        ASSERT_TRUE(SaveEncryptedToFile(host, "Старый список\r\n", kInspirationalCacheFile));
        EXPECT_FALSE(DownloadInspirationalToFile(net, host)) << received;
        std::string cached;
        ASSERT_TRUE(LoadEncryptedFromFile(host, kInspirationalCacheFile, kMessagesBodyCap, cached));
        EXPECT_EQ(cached, "Старый список\r\n") << received;

        std::vector<AdMessage> ads = {{"old", 1, false}};
        EXPECT_FALSE(LoadAdsFromWebsite(net, ads)) << received;
        EXPECT_EQ(ads.size(), 1u);
        EXPECT_EQ(ads[0].text, "old");
    }
}

TEST(FetchStatus, OnlyA200AnswerIsContent) {
    for (int status : {200, 204, 301, 404, 500, 511, 0}) {
        TempCacheHost host;
        ScriptedInternet net;
        net.response.status = status;
        net.response.contentType = "text/plain";
        net.response.chunks = {"Текст\r\n"};
        const bool ok = status == 200;
        EXPECT_EQ(DownloadTitleFromServer(net, host), ok) << status;
        EXPECT_EQ(DownloadInspirationalToFile(net, host), ok) << status;
        std::vector<AdMessage> ads;
        EXPECT_EQ(LoadAdsFromWebsite(net, ads), ok) << status;
        EXPECT_EQ(host.Exists("title.dat"), ok) << status;
        EXPECT_EQ(host.Exists("inspirational.dat"), ok) << status;
        if (!ok) {  // refused before any read, everything closed
            EXPECT_EQ(std::count(net.calls.begin(), net.calls.end(), "Read 4095"), 0) << status;
            EXPECT_EQ(net.calls.back(), "Close") << status;
        }
    }
}

TEST(FetchDeadline, EveryCallIsBoundedByWhatIsLeftOfFifteenSeconds) {
    struct Case {
        const char* name;
        unsigned long msPerRead;
        size_t chunks;
        bool answered;
    };
    const Case cases[] = {
        {"quick", 0, 3, true},
        {"slow but in time", 3000, 3, true},  // three reads and the end in 12 s
        {"dripping", 2000, 1000, false},
        {"one read hangs past the deadline", 20000, 2, false},
    };
    for (const Case& c : cases) {
        ScriptedInternet net;
        net.response.chunks.assign(c.chunks, "Строка\r\n");
        net.response.msPerRead = c.msPerRead;
        const std::string body = FetchWholeBody(net, Url("/inspirational.txt"));
        EXPECT_EQ(!body.empty(), c.answered) << c.name;
        ASSERT_FALSE(net.waits.empty()) << c.name;
        EXPECT_EQ(net.waits.front(), kFetchDeadlineMs) << c.name;  // the request itself
        for (size_t i = 1; i < net.waits.size(); ++i)
            EXPECT_EQ(net.waits[i], kFetchDeadlineMs - (i - 1) * c.msPerRead) << c.name << " " << i;
        EXPECT_LE(net.now - 1000, kFetchDeadlineMs + c.msPerRead) << c.name;  // no read started after the deadline
        EXPECT_EQ(net.calls.back(), "Close") << c.name;
    }

    // A title dripping in byte by byte is no title.
    ScriptedInternet title;
    title.response.chunks.assign(300, "T");
    title.response.msPerRead = 1000;
    EXPECT_EQ(FetchTitleText(title, Url("/program_title.txt")), "");
    EXPECT_EQ(title.calls.back(), "Close");
}
}  // namespace

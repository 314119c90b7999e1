// Fetching the title, the message list and the advertising list through the HTTP client seam:
// the order of the calls, the reading limits, the refusals, and what ends up in the cache files.
#include "online/banner_list.h"
#include "online/internet.h"
#include "online/title.h"
#include "online/vendor.h"

#include "fakes/online_fakes.h"

#include <gtest/gtest.h>

namespace {
using Calls = std::vector<std::string>;

std::string Url(const char* path) { return VendorUrl("http", path); }

TEST(TitleFetch, OneReadOfAtMost255BytesTrimmed) {
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
        {"later chunks never read", {"First ", "Second"}, "First"},
        {"long body", {std::string(300, 'x')}, std::string(255, 'x')},
        {"empty body", {}, ""},
    };
    for (const Case& c : cases) {
        ScriptedInternet net;
        net.response.chunks = c.chunks;
        EXPECT_EQ(FetchTitleText(net, Url("/program_title.txt")), c.expected) << c.name;
        EXPECT_EQ(net.calls, (Calls{"Open RizidudUdaravuzuv/1.0", "Timeout 0 5000", "Timeout 1 5000",
                                    "Timeout 2 5000", "OpenUrl " + Url("/program_title.txt"), "Read 255", "CloseUrl",
                                    "Close"}))
            << c.name;
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
    ASSERT_TRUE(LoadEncryptedFromFile(host, "inspirational.dat", cached));
    // The second chunk arrives in two reads; a zero byte drops the rest of its read only.
    EXPECT_EQ(cached, "# comment\r\n!Red\r\n" + big + "x\r\nlast");
    EXPECT_EQ(net.calls.front(), "Open RizidudUdaravuzuv/1.0");
    EXPECT_EQ(net.calls[1], "Timeout 0 5000");
    EXPECT_EQ(net.calls[4], "OpenUrl " + Url("/inspirational.txt"));
    EXPECT_EQ(net.calls[5], "Read 4095");
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
    ASSERT_TRUE(LoadEncryptedFromFile(host, "inspirational.dat", cached));
    EXPECT_EQ(cached, "old");
}

TEST(AdsFetch, SetsThreeTimeoutsBeforeTheRequestAndChecksTheContentType) {
    ScriptedInternet net;
    net.response.contentType = "text/plain; charset=windows-1251";
    net.response.chunks = {"Реклама\r\n"};
    std::vector<AdMessage> ads;
    ASSERT_TRUE(LoadAdsFromWebsite(net, ads));
    EXPECT_EQ(net.calls, (Calls{"Open RizidudUdaravuzuv/1.0", "Timeout 0 5000", "Timeout 1 5000", "Timeout 2 5000",
                                "OpenUrl " + Url("/ads.txt"), "ContentType", "Read 4095", "Read 4095", "CloseUrl",
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

TEST(AdsFetch, ReadingStopsAfterTheChunkThatPassesFiftyThousandBytes) {
    // Numbered lines of 100 bytes; reads of 4095 bytes each.
    std::string body;
    for (int i = 0; body.size() < 80000; ++i) {
        std::string line = "Ad " + std::to_string(i);
        body += line + std::string(98 - line.size(), '.') + "\r\n";
    }
    ScriptedInternet net;
    net.response.contentType = "text/plain";
    for (size_t at = 0; at < body.size(); at += 4095) net.response.chunks.push_back(body.substr(at, 4095));
    std::string fetched;
    ASSERT_TRUE(FetchAdsBody(net, Url("/ads.txt"), fetched));
    EXPECT_EQ(fetched, body.substr(0, 13 * 4095));  // 12 reads make 49,140 bytes, the 13th 53,235
    std::vector<AdMessage> ads;
    ScriptedInternet again = net;
    again.calls.clear();
    ASSERT_TRUE(LoadAdsFromWebsite(again, ads));
    EXPECT_EQ(ads.size(), 533u);  // 532 whole lines and the cut one
    EXPECT_EQ(ads.back().text, "Ad 532" + std::string(29, '.'));
}
}  // namespace

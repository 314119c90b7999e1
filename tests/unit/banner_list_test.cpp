// Choosing the banner's messages: advertising list, message cache or built-in list, at start-up
// and on each refresh, and when the banner becomes a link.
#include "online/banner_list.h"

#include "online/message_format.h"

#include "fakes/online_fakes.h"

#include <gtest/gtest.h>

namespace {
constexpr uint64_t kNow = 130000000000000000ULL;

ScriptedResponse PlainText(const std::string& body) { return {true, "text/plain", {body}, false}; }

// The start-up as the window makes it: the known messages at once, then one fetch of the
// advertising list (and of the message list when its cache is stale) applied when it comes.
bool LoadStartupAds(InternetClient& net, CacheHost& host, std::vector<AdMessage>& ads) {
    KnownMessages known{host, {}};
    const bool stale = IsFileOlderThanMonth(host, "inspirational.dat");
    LoadStartupMessages(known, ads);
    return ApplyBannerFetch(known, FetchBannerSources(net, stale), ads);
}

bool RefreshAds(InternetClient& net, CacheHost& host, std::vector<AdMessage>& ads) {
    KnownMessages known{host, {}};
    return ApplyBannerFetch(known, FetchBannerSources(net, false), ads);
}

struct BannerSources : ::testing::Test {
    TempCacheHost host;
    ScriptedInternet net;
    std::vector<AdMessage> ads;

    BannerSources() {
        host.now = host.written = kNow;
        net.response.reachable = false;  // offline unless a test serves something
    }
    void CacheMessages(const std::string& body) { ASSERT_TRUE(SaveEncryptedToFile(host, body, "inspirational.dat")); }
    std::string CachedMessages() {
        std::string text;
        LoadEncryptedFromFile(host, "inspirational.dat", kMessagesBodyCap, text);
        return text;
    }
};

TEST_F(BannerSources, StartupOfflineWithoutCacheUsesTheBuiltInList) {
    EXPECT_FALSE(LoadStartupAds(net, host, ads));
    EXPECT_EQ(ads.size(), 41u);
    EXPECT_EQ(net.Fetches("/inspirational.txt"), 1);
    EXPECT_EQ(net.Fetches("/ads.txt"), 1);
}

TEST_F(BannerSources, StartupPrefersTheAdvertisingList) {
    net.byPath["/ads.txt"] = PlainText("$Скидка\r\n");
    net.byPath["/inspirational.txt"] = PlainText("Вперёд\r\n");
    EXPECT_TRUE(LoadStartupAds(net, host, ads));
    ASSERT_EQ(ads.size(), 1u);
    EXPECT_EQ(ads[0].text, "Скидка");
    EXPECT_EQ(CachedMessages(), "Вперёд\r\n");  // the stale (missing) cache was fetched as well
}

TEST_F(BannerSources, StartupFetchesTheMessagesOnlyWhenTheCacheIsStale) {
    CacheMessages("# cached\r\n@Старое\r\n");
    net.byPath["/inspirational.txt"] = PlainText("Новое\r\n");
    EXPECT_FALSE(LoadStartupAds(net, host, ads));
    EXPECT_EQ(net.Fetches("/inspirational.txt"), 0);
    ASSERT_EQ(ads.size(), 1u);
    EXPECT_EQ(ads[0].text, "Старое");
    EXPECT_EQ(ads[0].color, 0x008000u);

    host.now = kNow + monthIn100ns + 1;
    EXPECT_FALSE(LoadStartupAds(net, host, ads));
    EXPECT_EQ(net.Fetches("/inspirational.txt"), 1);
    ASSERT_EQ(ads.size(), 1u);
    EXPECT_EQ(ads[0].text, "Новое");
    EXPECT_EQ(ads[0].color, 0x996633u);
}

TEST_F(BannerSources, StartupWithAStaleCacheAndNoServerStillUsesTheCache) {
    CacheMessages("Старое\r\n");
    host.now = kNow + 2 * monthIn100ns;
    EXPECT_FALSE(LoadStartupAds(net, host, ads));
    ASSERT_EQ(ads.size(), 1u);
    EXPECT_EQ(ads[0].text, "Старое");
}

TEST_F(BannerSources, CommentsOnlyCacheFallsBackToBuiltIn) {
    CacheMessages("# nothing\r\n; here\r\n");
    EXPECT_FALSE(LoadStartupAds(net, host, ads));
    EXPECT_EQ(ads.size(), 41u);
    std::vector<AdMessage> kept = {{"kept", 1, false}};
    EXPECT_FALSE(LoadInspirationalFromFile(host, kept));
    EXPECT_EQ(kept.size(), 1u);
}

TEST_F(BannerSources, RefreshFallsBackButNeverEmptiesTheList) {
    // Advertising list first, then the server goes away and there is no message cache: the old
    // advertising messages stay, no longer clickable.
    net.byPath["/ads.txt"] = PlainText("Реклама 1\r\nРеклама 2\r\n");
    EXPECT_TRUE(RefreshAds(net, host, ads));
    EXPECT_EQ(ads.size(), 2u);
    net.byPath.clear();
    EXPECT_FALSE(RefreshAds(net, host, ads));
    ASSERT_EQ(ads.size(), 2u);
    EXPECT_EQ(ads[0].text, "Реклама 1");

    CacheMessages("Из кэша\r\n");
    EXPECT_FALSE(RefreshAds(net, host, ads));
    ASSERT_EQ(ads.size(), 1u);
    EXPECT_EQ(ads[0].text, "Из кэша");
    EXPECT_EQ(net.Fetches("/inspirational.txt"), 0);  // a refresh never fetches the message list

    std::vector<AdMessage> empty;
    host.now = kNow;
    TempCacheHost bare;
    EXPECT_FALSE(RefreshAds(net, bare, empty));
    EXPECT_EQ(empty.size(), 41u);
}

TEST_F(BannerSources, AFolderThatCannotBeWrittenKeepsTheFetchedMessagesForThisRun) {
    host.pathWorks = false;  // no cache file can be read or written
    KnownMessages known{host, {}};
    LoadStartupMessages(known, ads);
    EXPECT_EQ(ads.size(), 41u);
    net.byPath["/inspirational.txt"] = PlainText("Вперёд\r\n");
    EXPECT_FALSE(ApplyBannerFetch(known, FetchBannerSources(net, true), ads));
    ASSERT_EQ(ads.size(), 1u);
    EXPECT_EQ(ads[0].text, "Вперёд");
    // A later refresh without the server still has them, and asks for nothing more.
    net.byPath.clear();
    ads = {{"Реклама", 1, false}};
    EXPECT_FALSE(ApplyBannerFetch(known, FetchBannerSources(net, false), ads));
    ASSERT_EQ(ads.size(), 1u);
    EXPECT_EQ(ads[0].text, "Вперёд");
    EXPECT_EQ(net.Fetches("/inspirational.txt"), 1);

    // Once the folder can be written again the file is the source.
    host.pathWorks = true;
    KeepFetchedMessages(known, "Из файла\r\n");
    EXPECT_TRUE(known.unsaved.empty());
    EXPECT_EQ(CachedMessages(), "Из файла\r\n");
}

TEST_F(BannerSources, AFetchThatRanOutOfMemoryIsAFailedOne) {
    CacheMessages("Из кэша\r\n");
    KnownMessages known{host, {}};
    ads = {{"Реклама", 1, false}};
    EXPECT_FALSE(ApplyBannerFetch(known, BannerFetch{}, ads));
    ASSERT_EQ(ads.size(), 1u);
    EXPECT_EQ(ads[0].text, "Из кэша");
}

TEST_F(BannerSources, AnHtmlAnswerIsNotAnAdvertisingList) {
    net.byPath["/ads.txt"] = {true, "text/html; charset=utf-8", {"Реклама\r\n"}, false};
    CacheMessages("Из кэша\r\n");
    EXPECT_FALSE(RefreshAds(net, host, ads));
    ASSERT_EQ(ads.size(), 1u);
    EXPECT_EQ(ads[0].text, "Из кэша");
}
}  // namespace

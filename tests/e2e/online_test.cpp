// The real exe's online features against a loopback vendor server: the caption from the server
// or the cache beside the exe, the banner's sources and rotation, the hub page on a click, and a
// server that stalls. Every test removes the cache files beside the exe before and after itself;
// StartApp removes them too, so tests that prepare a cache start with StartAppWithCacheFiles.
#include "browser_recorder.h"
#include "harness.h"
#include "http_server.h"

#include "online/cache_file.h"
#include "online/vendor.h"

#include <gtest/gtest.h>

#include <psapi.h>

#include <cstdlib>
#include <utility>
#include <vector>

using namespace harness;

namespace {
constexpr int kBannerId = 106;

std::wstring CachePath(const wchar_t* name) { return JoinPath(ExeDir(), name); }

std::string Scrambled(const std::string& text) {
    std::vector<unsigned char> bytes(text.begin(), text.end());
    XorEncryptDecrypt(bytes);
    return std::string(bytes.begin(), bytes.end());
}

void RemoveCacheFiles() { RemoveCacheFilesBesideExe(); }

void SetLastWriteDaysAgo(const std::wstring& path, int days) {
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= static_cast<ULONGLONG>(days) * 24 * 3600 * 10000000ULL;
    FILETIME then{t.LowPart, t.HighPart};
    SetFileTime(file, nullptr, nullptr, &then);
    CloseHandle(file);
}

const std::wstring kFirstBuiltIn = L"Улыбка — это твоя суперсила!";
const std::wstring kSecondBuiltIn = L"У тебя способности к великим делам!";

struct OnlineApp : ::testing::Test {
    HttpServer server{VendorPort()};
    App app;

    void SetUp() override { RemoveCacheFiles(); }
    void TearDown() override {
        if (app.process.Running()) {
            CloseApp(app);
            app.process.Kill();
        }
        server.Stop();
        RemoveCacheFiles();
    }
    void Serve() { ASSERT_TRUE(server.Start()) << "port " << VendorPort() << " is taken"; }
    void Refuse() { ASSERT_TRUE(server.Refuse()) << "port " << VendorPort() << " is taken"; }
    HWND Banner() const { return ChildById(app.window, kBannerId); }
    bool BannerShows(const std::wstring& text) const {
        return WaitUntil([&] { return TextOf(Banner()) == text; });
    }
};

TEST_F(OnlineApp, OfflineFirstRunShowsTheDefaultTitleAndRotatesBuiltInMessages) {
    Refuse();
    BrowserRecorder browser;
    ASSERT_TRUE(StartApp(app));
    EXPECT_EQ(TextOf(app.window), L"Zubrilax");
    EXPECT_TRUE(BannerShows(kFirstBuiltIn));
    EXPECT_FALSE(FileExists(CachePath(L"title.dat")));
    EXPECT_FALSE(FileExists(CachePath(L"inspirational.dat")));

    Click(Banner());  // not a link offline
    Sleep(1500);
    EXPECT_TRUE(browser.Urls().empty());

    // The rotation timer moves on to the second message.
    EXPECT_TRUE(WaitUntil([&] { return TextOf(Banner()) == kSecondBuiltIn; }, milliseconds(12000)))
        << FromCp1251(ToCp1251(TextOf(Banner())));
}

TEST_F(OnlineApp, ServedTitleIsTrimmedIntoTheCaptionAndTheCache) {
    Serve();
    server.Serve("/program_title.txt", {200, "text/plain", ToCp1251(L"  Учёт этикеток\r\n")});
    ASSERT_TRUE(StartApp(app));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(app.window) == L"Учёт этикеток"; }));
    EXPECT_EQ(ReadFileBytes(CachePath(L"title.dat")), Scrambled(ToCp1251(L"Учёт этикеток")));
    // Start-up asks once.
    EXPECT_EQ(server.RequestCount("/program_title.txt"), 1);
}

TEST_F(OnlineApp, FreshTitleCacheIsUsedWithoutAsking) {
    WriteFileBytes(CachePath(L"title.dat"), Scrambled(ToCp1251(L"Из кэша")));
    Serve();
    server.Serve("/program_title.txt", {200, "text/plain", "From the server"});
    ASSERT_TRUE(StartAppWithCacheFiles(app));
    EXPECT_EQ(TextOf(app.window), L"Из кэша");
    EXPECT_EQ(server.RequestCount("/program_title.txt"), 0);
}

TEST_F(OnlineApp, StaleTitleCacheIsRefreshedOrKeptWhenOffline) {
    WriteFileBytes(CachePath(L"title.dat"), Scrambled(ToCp1251(L"Старый заголовок")));
    SetLastWriteDaysAgo(CachePath(L"title.dat"), 31);
    Refuse();
    ASSERT_TRUE(StartAppWithCacheFiles(app));
    EXPECT_EQ(TextOf(app.window), L"Старый заголовок");
    EXPECT_EQ(CloseApp(app), 0u);
    server.Stop();

    Serve();
    server.Serve("/program_title.txt", {200, "text/plain", ToCp1251(L"Новый заголовок")});
    ASSERT_TRUE(StartAppWithCacheFiles(app));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(app.window) == L"Новый заголовок"; }));
    EXPECT_EQ(server.RequestCount("/program_title.txt"), 1);
}

TEST_F(OnlineApp, AnHtmlAnswerIsNotTakenAsTheAdvertisingList) {
    struct Case {
        const char* name;
        HttpReply ads;
    };
    const Case cases[] = {
        {"html content type", {200, "text/html; charset=utf-8", ToCp1251(L"!Реклама\r\n")}},
        {"a document as plain text", {200, "text/plain", ToCp1251(L"<html><body>Реклама</body></html>")}},
    };
    BrowserRecorder browser;
    Serve();
    server.Serve("/inspirational.txt", {200, "text/plain", ToCp1251(L"# cached\r\n@Вдохновение\r\nЕщё\r\n")});
    for (const Case& c : cases) {
        server.Serve("/ads.txt", c.ads);
        ASSERT_TRUE(StartApp(app)) << c.name;
        EXPECT_TRUE(BannerShows(L"Вдохновение")) << c.name;
        EXPECT_TRUE(FileExists(CachePath(L"inspirational.dat"))) << c.name;
        Click(Banner());
        Sleep(1500);
        EXPECT_TRUE(browser.Urls().empty()) << c.name;
        EXPECT_EQ(CloseApp(app), 0u);
    }
}

TEST_F(OnlineApp, ClickableAdsOpenTheHubPage) {
    BrowserRecorder browser;
    Serve();
    server.Serve("/ads.txt", {200, "text/plain; charset=windows-1251", ToCp1251(L"$Скидка 20%\r\nНовая версия\r\n")});
    ASSERT_TRUE(StartApp(app));
    EXPECT_TRUE(BannerShows(L"Скидка 20%"));
    EXPECT_EQ(server.RequestCount("/ads.txt"), 1);  // start-up asks once
    Click(Banner());
    ASSERT_TRUE(browser.WaitForUrls(1));
    EXPECT_EQ(browser.Urls(), std::vector<std::string>{"http://" + VendorHost() + "/hub.html"});
    EXPECT_TRUE(WaitUntil([&] { return server.RequestCount("/ads.txt") == 2; }));  // a click refreshes the list
}

// Counts the banner's on-screen pixels that are close to `color`.
int PixelsOfColour(HWND banner, COLORREF color) {
    RECT rect;
    GetWindowRect(banner, &rect);
    HDC screen = GetDC(nullptr);
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) {
            const COLORREF p = GetPixel(screen, x, y);
            if (std::abs(GetRValue(p) - GetRValue(color)) < 40 && std::abs(GetGValue(p) - GetGValue(color)) < 40 &&
                std::abs(GetBValue(p) - GetBValue(color)) < 40)
                ++count;
        }
    ReleaseDC(nullptr, screen);
    return count;
}

HCURSOR CurrentCursor() {
    CURSORINFO info = {};
    info.cbSize = sizeof info;
    return GetCursorInfo(&info) ? info.hCursor : nullptr;
}

TEST_F(OnlineApp, BannerPaintsInTheMessageColourAndShowsAHandOverIt) {
    Serve();
    server.Serve("/ads.txt", {200, "text/plain", ToCp1251(L"!Красная строка\r\n")});
    ASSERT_TRUE(StartApp(app));
    ASSERT_TRUE(BannerShows(L"Красная строка"));
    BringToFront(app.window);
    EXPECT_TRUE(WaitUntil([&] { return PixelsOfColour(Banner(), RGB(255, 0, 0)) > 20; }));
    EXPECT_EQ(PixelsOfColour(Banner(), RGB(100, 149, 237)), 0);

    // Cursor handles differ between processes, so the test compares the pointer over the banner with
    // the one over the rest of the window.
    RECT rect;
    GetWindowRect(app.window, &rect);
    const POINT away = {rect.left + 200, rect.top + 400};  // over the window, below the controls
    MoveMouse(away);
    Sleep(500);
    const HCURSOR arrow = CurrentCursor();
    MoveMouse(CenterOf(Banner()));
    EXPECT_TRUE(WaitUntil([&] { return CurrentCursor() != arrow; }, milliseconds(3000)));
    MoveMouse(away);
    EXPECT_TRUE(WaitUntil([&] { return CurrentCursor() == arrow; }, milliseconds(3000)));
}

TEST_F(OnlineApp, AStallingServerDelaysButDoesNotHangTheWindow) {
    Serve();
    server.SetBehaviour(ServerBehaviour::StallThenClose, milliseconds(2000));
    const DWORD start = GetTickCount();
    ASSERT_TRUE(StartApp(app, L"", milliseconds(90000)));
    const double seconds = (GetTickCount() - start) / 1000.0;
    std::printf("start-up with a server that stalls 2 s and closes: %.1f s\n", seconds);
    EXPECT_EQ(TextOf(app.window), L"Zubrilax");
    EXPECT_TRUE(BannerShows(kFirstBuiltIn));
    EXPECT_EQ(CloseApp(app), 0u);
}

double SecondsSince(DWORD start) { return (GetTickCount() - start) / 1000.0; }

// A long list for every file, so a dripping server is still sending when the window shows.
void ServeLongFiles(HttpServer& server) {
    std::string lines;
    for (int i = 0; i < 200; ++i) lines += "Строка " + std::to_string(i) + "\r\n";
    for (const char* path : {"/program_title.txt", "/inspirational.txt", "/ads.txt"})
        server.Serve(path, {200, "text/plain", lines});
}

size_t PeakMemoryOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.PeakPagefileUsage : 0;
}

// The window appears with the built-in texts as soon as with the server refused, whatever the
// server does, and closing it while the fetches are under way ends the process at once. The refused
// figure is the mean of a start before and one after the others, to even out a busy machine.
using OnlineAppTiming = OnlineApp;  // timed: runs alone (see cmake/windows.cmake)

TEST_F(OnlineAppTiming, StartupDoesNotWaitForTheServer) {
    struct Case {
        const char* name;
        ServerBehaviour behaviour;
        bool refused;
    };
    const Case cases[] = {
        {"refused", ServerBehaviour::Answer, true},
        {"black-holed", ServerBehaviour::NeverAnswer, false},
        {"dripping", ServerBehaviour::Drip, false},
        {"endless", ServerBehaviour::Endless, false},
        {"refused again", ServerBehaviour::Answer, true},
    };
    std::vector<std::pair<const char*, double>> figures;
    for (const Case& c : cases) {
        server.Stop();
        server.ClearRequests();
        if (c.refused) {
            Refuse();
        } else {
            Serve();
            ServeLongFiles(server);
            server.SetBehaviour(c.behaviour, milliseconds(1000));
        }
        const DWORD start = GetTickCount();
        ASSERT_TRUE(StartApp(app, L"", milliseconds(60000))) << c.name;
        const double seconds = SecondsSince(start);
        std::printf("start-up to a visible window, server %s: %.2f s\n", c.name, seconds);
        figures.emplace_back(c.name, seconds);
        EXPECT_TRUE(IsWindowVisible(app.window)) << c.name;
        if (c.behaviour != ServerBehaviour::Endless) {  // an endless answer may have been taken already
            EXPECT_EQ(TextOf(app.window), L"Zubrilax") << c.name;
            EXPECT_EQ(TextOf(Banner()), kFirstBuiltIn) << c.name;
        }
        if (!c.refused) {
            ASSERT_TRUE(WaitUntil([&] { return server.RequestCount("/ads.txt") == 1; })) << c.name;
            Sleep(1500);  // the fetches are well under way
        }
        if (c.behaviour == ServerBehaviour::Endless)
            std::printf("peak memory with an endless body: %.1f MB\n", PeakMemoryOf(app.process.Handle()) / 1048576.0);
        const DWORD closing = GetTickCount();
        EXPECT_EQ(CloseApp(app, milliseconds(5000)), 0u) << c.name;
        std::printf("closing during the fetches, server %s: %.2f s\n", c.name, SecondsSince(closing));
        EXPECT_LT(SecondsSince(closing), 1.0) << c.name;
        RemoveCacheFiles();
        EXPECT_EQ(server.RequestCount("/program_title.txt"), c.refused ? 0 : 1) << c.name;
        EXPECT_EQ(server.RequestCount("/inspirational.txt"), c.refused ? 0 : 1) << c.name;
    }
    const double refused = (figures.front().second + figures.back().second) / 2;
    for (const auto& figure : figures)
        EXPECT_LE(figure.second, refused * 1.5 + 0.1) << figure.first;  // a tick of slack for the timer's grain
}

// With the whole body at hand the endless answer is cut at its cap, and memory stays small.
TEST_F(OnlineApp, AnEndlessAnswerIsCutAndMemoryStaysBounded) {
    Serve();
    server.SetBehaviour(ServerBehaviour::Endless);
    ASSERT_TRUE(StartApp(app));
    EXPECT_TRUE(WaitUntil([&] { return FileExists(CachePath(L"inspirational.dat")); }));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(app.window) != L"Zubrilax"; }));
    const std::string cached = ReadFileBytes(CachePath(L"inspirational.dat"));
    EXPECT_LE(cached.size(), 50000u);
    EXPECT_GT(cached.size(), 49000u);
    Sleep(1000);
    const size_t peak = PeakMemoryOf(app.process.Handle());
    std::printf("peak memory after endless answers: %.1f MB\n", peak / 1048576.0);
    EXPECT_LT(peak, 64u << 20);
    EXPECT_EQ(CloseApp(app), 0u);
}

// Error pages of every kind are failed fetches: nothing of them reaches the caption, the cache files
// or the banner.
TEST_F(OnlineApp, AnErrorPageIsNeitherCaptionNorCacheNorBanner) {
    const std::string page = "<html><head><title>404 Not Found</title></head><body>Not Found</body></html>";
    Serve();
    server.Serve("/program_title.txt", {404, "text/html", page});
    server.Serve("/inspirational.txt", {500, "text/plain", "Internal error\r\n"});
    server.Serve("/ads.txt", {511, "text/plain", "Please sign in\r\n"});
    ASSERT_TRUE(StartApp(app));
    ASSERT_TRUE(WaitUntil([&] {
        return server.RequestCount("/program_title.txt") == 1 && server.RequestCount("/ads.txt") == 1;
    }));
    Sleep(1500);  // the answers are taken by now
    EXPECT_EQ(TextOf(app.window), L"Zubrilax");
    EXPECT_EQ(TextOf(Banner()), kFirstBuiltIn);
    EXPECT_FALSE(FileExists(CachePath(L"title.dat")));
    EXPECT_FALSE(FileExists(CachePath(L"inspirational.dat")));
    EXPECT_EQ(CloseApp(app), 0u);
}

// Folders standing where the cache files belong: beside the exe nothing can be written (as in a
// folder the user may not write to), yet the served title and message are shown for this run.
TEST_F(OnlineApp, ACacheThatCannotBeWrittenStillShowsWhatWasFetched) {
    struct Blocked {
        std::wstring path;
        explicit Blocked(const std::wstring& p) : path(p) {
            CreateDirectoryW(path.c_str(), nullptr);
            HANDLE dir = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
            FILETIME old = {0, 0x01D00000};  // far in the past: the cache counts as stale
            SetFileTime(dir, nullptr, nullptr, &old);
            CloseHandle(dir);
        }
        ~Blocked() { RemoveDirectoryW(path.c_str()); }
    };
    Blocked title(CachePath(L"title.dat")), messages(CachePath(L"inspirational.dat"));
    Serve();
    server.Serve("/program_title.txt", {200, "text/plain", ToCp1251(L"Заголовок с сервера\r\n")});
    server.Serve("/inspirational.txt", {200, "text/plain", ToCp1251(L"@Сообщение с сервера\r\n")});
    ASSERT_TRUE(StartAppWithCacheFiles(app));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(app.window) == L"Заголовок с сервера"; }));
    EXPECT_TRUE(BannerShows(L"Сообщение с сервера"));
    // The half-hourly refresh still finds the message, and nothing is fetched twice.
    PostMessageW(app.window, WM_TIMER, 1101, 0);
    EXPECT_TRUE(WaitUntil([&] { return server.RequestCount("/ads.txt") == 2; }));
    Sleep(500);
    EXPECT_EQ(TextOf(Banner()), L"Сообщение с сервера");
    EXPECT_EQ(server.RequestCount("/program_title.txt"), 1);
    EXPECT_EQ(server.RequestCount("/inspirational.txt"), 1);
    EXPECT_EQ(CloseApp(app), 0u);
}

// A timer tick while its fetch is still under way starts no second one.
TEST_F(OnlineApp, OneFetchOfEachKindAtATime) {
    Serve();
    ServeLongFiles(server);
    server.SetBehaviour(ServerBehaviour::Drip, milliseconds(1000));
    ASSERT_TRUE(StartApp(app));
    // The title and the message list are both dripping in, each for up to 5 s.
    ASSERT_TRUE(WaitUntil([&] {
        return server.RequestCount("/program_title.txt") == 1 && server.RequestCount("/inspirational.txt") == 1;
    }));
    for (int tick = 0; tick < 3; ++tick) {
        PostMessageW(app.window, WM_TIMER, 1101, 0);
        PostMessageW(app.window, WM_TIMER, 1104, 0);
    }
    Sleep(1500);
    EXPECT_EQ(server.RequestCount("/program_title.txt"), 1);
    EXPECT_EQ(server.RequestCount("/ads.txt"), 0);  // the banner fetch is still on the message list
    EXPECT_EQ(CloseApp(app), 0u);
}

// Any program on the desktop may post the numbers of the window's fetch messages: the window takes
// results only from its own fetches, keeps answering, and later refreshes still happen.
TEST_F(OnlineApp, StrayApplicationMessagesFromOtherProgramsAreHarmless) {
    Serve();
    server.Serve("/program_title.txt", {200, "text/plain", ToCp1251(L"Учёт этикеток")});
    ASSERT_TRUE(StartApp(app));
    const LPARAM junk[] = {1, 0x10, static_cast<LPARAM>(0xDEADBEEF), -1, 0x7FFE0000};
    for (int i = 0; i < 120; ++i)
        PostMessageW(app.window, WM_APP + i % 40, static_cast<WPARAM>(i * 7919), junk[i % 5]);
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(SendMessageTimeoutW(app.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored));
    EXPECT_TRUE(app.process.Running());
    EXPECT_TRUE(WaitUntil([&] { return TextOf(app.window) == L"Учёт этикеток"; }));

    // The hourly refresh still fetches and shows a new title. A tick that comes while a fetch of the
    // start-up is still under way starts none, so the tick is repeated until one is taken.
    ASSERT_TRUE(WaitUntil([&] { return server.RequestCount("/program_title.txt") >= 1; }));
    const int asked = server.RequestCount("/program_title.txt");
    server.Serve("/program_title.txt", {200, "text/plain", ToCp1251(L"Новый заголовок")});
    EXPECT_TRUE(WaitUntil([&] {
        PostMessageW(app.window, WM_TIMER, 1104, 0);
        return TextOf(app.window) == L"Новый заголовок";
    }, kDefaultTimeout, milliseconds(300)));
    EXPECT_GT(server.RequestCount("/program_title.txt"), asked);
    EXPECT_EQ(CloseApp(app), 0u);
}
}  // namespace

// Where the banner's messages come from: the advertising list fetched afresh, the cached
// encouraging messages, or the built-in list; and which of them make the banner a link.
//
// The fetching half (FetchBannerSources) runs off the window's thread and touches nothing but the
// network; the window then applies its result (ApplyBannerFetch) with the files and the list.
#pragma once
#include "online/cache_file.h"
#include "online/internet.h"
#include "online/messages.h"

#include <string>
#include <vector>

// Fetches the whole message list and caches it in inspirational.dat; true when a body was saved.
bool DownloadInspirationalToFile(InternetClient& net, CacheHost& host);
// Parses inspirational.dat into `ads` when it yields a message; true when `ads` was replaced.
bool LoadInspirationalFromFile(CacheHost& host, std::vector<AdMessage>& ads);
// Fetches and parses the advertising list into `ads` when it yields a message; true when replaced.
bool LoadAdsFromWebsite(InternetClient& net, std::vector<AdMessage>& ads);

// The message list of this run: the body last fetched when it could not be cached (so a folder
// that cannot be written does not lose it), else whatever inspirational.dat holds.
struct KnownMessages {
    CacheHost& host;
    std::string unsaved;
};
// Caches a fetched message list, or keeps it in `unsaved` when the file cannot be written.
void KeepFetchedMessages(KnownMessages& known, const std::string& body);
// Parses the known messages into `ads` when they yield a message; true when `ads` was replaced.
bool LoadKnownMessages(const KnownMessages& known, std::vector<AdMessage>& ads);

// The list before any answer from the server: the known messages, else the built-in ones.
void LoadStartupMessages(const KnownMessages& known, std::vector<AdMessage>& ads);

// What one banner fetch brought back.
struct BannerFetch {
    std::string messages;  // the message list's body; empty when not asked for or not answered
    bool adsFetched = false;  // the advertising list yielded messages
    std::vector<AdMessage> ads;
};
// The advertising list, and first the message list when `withMessages` (its cache is stale).
BannerFetch FetchBannerSources(InternetClient& net, bool withMessages);
// Applies a fetch as the refresh does: a fetched message list is kept; then the advertising list,
// else the known messages, else (only when `ads` is empty) the built-in list. Returns whether the
// banner is clickable (the advertising list was taken).
bool ApplyBannerFetch(KnownMessages& known, BannerFetch&& fetched, std::vector<AdMessage>& ads);

// CSendMail's address lookups: the PC's own host name and IPv4 address, and
// the public address as the lookup page tells it.
#include <arpa/inet.h>
#include <curl/curl.h>
#include <netdb.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "mail_settings.h"
#include "send_mail.h"

namespace {
// The page's first line, collected until its end (or its 259th character).
struct FirstLine {
    std::string text;
    bool complete = false;
};

size_t CollectFirstLine(char* data, size_t size, size_t count, void* user) {
    FirstLine* line = static_cast<FirstLine*>(user);
    size_t n = size * count;
    for (size_t i = 0; i < n && !line->complete; ++i) {
        if (data[i] == '\r' || data[i] == '\n')
            line->complete = true;
        else
            line->text += data[i];
        if (line->text.size() >= CSendMail::kInternetIPSize - 1) line->complete = true;
    }
    return line->complete ? 0 : n;  // 0 ends the transfer: the rest is not needed
}
}  // namespace

int CSendMail::GetInternetIP(char* text) {
    static std::once_flag once;
    static CURLcode started = CURLE_OK;
    std::call_once(once, [] { started = curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (started != CURLE_OK) return started;

    std::string url = vazmail::CurrentMailSettings().lookupUrl;
    CURL* curl = curl_easy_init();
    if (!curl) return 0;
    FirstLine line;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, CollectFirstLine);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &line);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);  // an error page is no address
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(std::min(connectTimeoutMs_, replyTimeoutMs_)));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(replyTimeoutMs_));
    CURLcode rc = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (rc != CURLE_OK && !(rc == CURLE_WRITE_ERROR && line.complete)) {
        fprintf(stderr, "vaz mail: public address lookup at %s failed: %s\n", url.c_str(),
                curl_easy_strerror(rc));
        return 0;
    }
    memcpy(text, line.text.c_str(), line.text.size() + 1);
    return 0;
}

int CSendMail::GetLocalIP(char* address, char* hostName) {
    char name[kHostNameSize] = {};
    if (gethostname(name, sizeof name - 1) != 0) return errno;
    snprintf(hostName, kHostNameSize, "%s", name);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    int rc = getaddrinfo(name, nullptr, &hints, &found);
    if (rc != 0) return rc;
    const sockaddr_in* first = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    inet_ntop(AF_INET, &first->sin_addr, address, kAddressSize);
    freeaddrinfo(found);
    return 0;
}

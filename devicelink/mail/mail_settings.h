// Where the feedback mail goes: the values configured at build time, with
// the run-time overrides of a site that uses its own relay.
#pragma once

#include <string>

namespace vazmail {

struct MailSettings {
    std::string serverAddress;  // numeric IPv4 address; "" = resolve serverName
    std::string serverName;
    int port = 25;
    std::string account;  // AUTH LOGIN user name, sender and recipient
    std::string password;
    std::string lookupUrl;  // the public address lookup page
    std::string toDisplayName;
    std::string servicePhone;     // shown in the feedback dialog
    std::string feedbackAddress;  // shown in the feedback dialog
};

// The configured values. When set and not empty, VAZ_MAIL_SERVER (host name or
// address) replaces the server address and name, VAZ_MAIL_PORT the port
// (1 to 65535; anything else is reported on standard error and ignored), and
// VAZ_IP_LOOKUP_URL the lookup page.
MailSettings CurrentMailSettings();

}  // namespace vazmail

#include "mail_settings.h"

#include <cstdio>
#include <cstdlib>

#include "mail_config.h"

namespace vazmail {

namespace {
const char* Override(const char* name) {
    const char* v = getenv(name);
    return v && *v ? v : nullptr;
}
}  // namespace

MailSettings CurrentMailSettings() {
    MailSettings s;
    s.serverAddress = VAZ_MAIL_CFG_SERVER_ADDRESS;
    s.serverName = VAZ_MAIL_CFG_SERVER_NAME;
    s.port = VAZ_MAIL_CFG_SERVER_PORT;
    s.account = VAZ_MAIL_CFG_ACCOUNT;
    s.password = VAZ_MAIL_CFG_PASSWORD;
    s.lookupUrl = VAZ_MAIL_CFG_LOOKUP_URL;
    s.toDisplayName = VAZ_MAIL_CFG_TO_NAME;
    s.servicePhone = VAZ_MAIL_CFG_SERVICE_PHONE;
    s.feedbackAddress = VAZ_MAIL_CFG_FEEDBACK_ADDRESS;
    if (const char* server = Override("VAZ_MAIL_SERVER")) s.serverAddress = s.serverName = server;
    if (const char* port = Override("VAZ_MAIL_PORT")) {
        char* end = nullptr;
        long n = strtol(port, &end, 10);
        if (*end == 0 && n >= 1 && n <= 65535)
            s.port = static_cast<int>(n);
        else
            fprintf(stderr, "vaz: VAZ_MAIL_PORT=%s is not a port number; using %d\n", port, s.port);
    }
    if (const char* url = Override("VAZ_IP_LOOKUP_URL")) s.lookupUrl = url;
    return s;
}

}  // namespace vazmail

// Talks to the test update server's control interface (tools/update_server)
// whose address the test runner exports as VEMLI_UPDATE_SERVER.
#pragma once

#include <string>
#include <vector>

struct SeenRequest {
    std::string method;
    std::string host;
    std::string path;
};

class CControlClient {
public:
    // Reads VEMLI_UPDATE_SERVER ("127.0.0.1:PORT"); IsAvailable is false
    // without it.
    CControlClient();

    bool IsAvailable() const { return m_port != 0; }

    // Answers `path` with `body`; `mode` and `stall` as the server defines them.
    bool Route(const std::string& path, const std::string& body, int status = 200,
               const std::string& mode = "normal", int stallSeconds = 0);
    // A signed release under the server's own test key: `setup` served at
    // `setupPath`, and at `documentPath` a version document offering it as
    // `version` at `url`, its SetupSHA256/SetupSignature spoiled as `variant`
    // says (tools/update_server lists them).
    bool Release(const std::string& documentPath, const std::string& setupPath,
                 const std::string& url, const std::string& version, const std::string& variant,
                 const std::string& setup);
    // The server's public key in SetupKey form; empty when unavailable.
    std::string SetupKey();
    // Every request the server saw apart from control requests, in order.
    std::vector<SeenRequest> Requests();

private:
    bool Exchange(const char* verb, const std::string& target, const std::string& body,
                  std::string& answer);

    unsigned short m_port = 0;
};

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
    // Every request the server saw apart from control requests, in order.
    std::vector<SeenRequest> Requests();

private:
    bool Exchange(const char* verb, const std::string& target, const std::string& body,
                  std::string& answer);

    unsigned short m_port = 0;
};

#include "ScratchDir.h"

#include "TestPlatform.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Owns the root: made under a random name that create_directory claims
// atomically (a clash with another process only means another draw), so
// neither reused process ids (Wine hands them out again quickly) nor a
// counter that restarts in every process can lead two processes into one
// folder.
class CProcessRoot {
public:
    CProcessRoot() {
        std::random_device device;
        std::mt19937_64 draw((static_cast<std::uint64_t>(device()) << 32) ^ device() ^
                             static_cast<std::uint64_t>(
                                 std::chrono::steady_clock::now().time_since_epoch().count()) ^
                             TestProcessId());
        const fs::path base = fs::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            char name[64];
            std::snprintf(name, sizeof name, "vemli-test-%lu-%016llx", TestProcessId(),
                          static_cast<unsigned long long>(draw()));
            std::error_code error;
            if (fs::create_directory(base / name, error)) {
                m_path = base / name;
                return;
            }
        }
        std::fprintf(stderr, "test support: no scratch root could be made in %s\n",
                     base.string().c_str());
        std::abort();
    }
    ~CProcessRoot() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    fs::path m_path;
};

} // namespace

const fs::path& TestProcessRoot() {
    static CProcessRoot root;
    return root.m_path;
}

CScratchDir::CScratchDir(const std::string& label) {
    static std::atomic<unsigned> serial{0};
    // The root is this process's alone, so a counter is enough inside it.
    m_path = TestProcessRoot() / (label + "-" + std::to_string(serial++));
    fs::create_directories(m_path);
}

CScratchDir::~CScratchDir() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

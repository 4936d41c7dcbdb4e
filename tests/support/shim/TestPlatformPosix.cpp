#include "TestPlatform.h"

#include <unistd.h>

#include <cstdlib>
#include <ctime>

unsigned long TestProcessId() {
    return static_cast<unsigned long>(::getpid());
}

bool TruncateFile(const std::string& path, std::uint64_t size) {
    return ::truncate(path.c_str(), static_cast<off_t>(size)) == 0;
}

bool MappedFileCanShrink() {
    return true;
}

void UseTimeZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
}

void UseSystemTimeZone() {
    unsetenv("TZ");
    tzset();
}

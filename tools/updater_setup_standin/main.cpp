// Stand-in for the downloaded setup program: records how it was started in
// "<its own path>.record" and ends. The record has one "name=value" per line:
//   commandline=<GetCommandLineA, exactly>
//   folder=<current folder>
//   path=<its own full path>
//   client=<"present" or "absent": Vemli.exe in the folder named by /D=>
//   time=<GetTickCount64 in ms>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int main() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    const char* commandLine = GetCommandLineA();

    std::string client = "unknown";
    if (const char* target = std::strstr(commandLine, "/D=")) {
        const std::string clientPath = std::string(target + 3) + "\\Vemli.exe";
        client = GetFileAttributesA(clientPath.c_str()) == INVALID_FILE_ATTRIBUTES ? "absent"
                                                                                   : "present";
    }

    const std::string recordPath = std::string(path) + ".record";
    std::FILE* record = std::fopen(recordPath.c_str(), "wb");
    if (record == nullptr) {
        return 1;
    }
    std::fprintf(record, "commandline=%s\nfolder=%s\npath=%s\nclient=%s\ntime=%llu\n", commandLine,
                 folder, path, client.c_str(), GetTickCount64());
    std::fclose(record);
    return 0;
}

// Stand-in for the downloaded setup program: records how it was started in
// "<its own path>.record" (or, with VEMLI_SETUP_STANDIN_RECORDS set to a
// folder, in "<that folder>\<its own file name>.record") and ends. The record
// has one "name=value" per line:
//   commandline=<GetCommandLineA, exactly>
//   folder=<current folder>
//   path=<its own full path>
//   client=<"present" or "absent": Vemli.exe in the folder named by /D=>
//   time=<GetTickCount64 in ms>
//   pid=<its process id>
//   updater=<"rewritten", "in use" or "untouched": updater.exe in that folder>
//   ending=<GetTickCount64 in ms>            (last, just before it exits)
//
// Started with /D=, it plays a setup as VEMLI_SETUP_STANDIN says (the
// record is written after the first action, before the others):
//   (unset)          exits 0, touching nothing
//   new-client       writes a new Vemli.exe (its own bytes, then "new client")
//   fail             exits 1, writing nothing
//   crash            ends by an access violation, writing nothing
//   wait             sleeps VEMLI_SETUP_STANDIN_MS (60,000 by default), exit 1
//   delete-client    deletes Vemli.exe, exits 0
//   rewrite-updater  first rewrites updater.exe with its own bytes (which
//                    only works when no process runs it), then new-client
// Without /D= (started as a client) it only writes its record.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Setting(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Reads the file and writes the same bytes back: fails while it is in use.
const char* RewriteFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND ? "untouched" : "in use";
    }
    std::vector<char> bytes(GetFileSize(file, nullptr));
    DWORD count = 0;
    bool ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
              SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
              WriteFile(file, bytes.data(), count, &count, nullptr);
    CloseHandle(file);
    return ok ? "rewritten" : "in use";
}

void WriteNewClient(const char* self, const std::string& client) {
    if (CopyFileA(self, client.c_str(), FALSE)) {
        std::FILE* file = std::fopen(client.c_str(), "ab");
        if (file != nullptr) {
            std::fputs("new client", file);
            std::fclose(file);
        }
    }
}

int LeaveWith(std::FILE* record, int code) {
    if (record != nullptr) {
        std::fprintf(record, "ending=%llu\n", GetTickCount64());
        std::fclose(record);
    }
    return code;
}

LONG WINAPI EndAtOnce(EXCEPTION_POINTERS*) {
    // No debugger, no dialog: the process ends with the exception's code.
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

int main() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    const char* commandLine = GetCommandLineA();
    const std::string act = Setting("VEMLI_SETUP_STANDIN");

    std::string client = "unknown";
    std::string target;
    const char* updater = "untouched";
    if (const char* d = std::strstr(commandLine, "/D=")) {
        target = d + 3;
        if (act == "rewrite-updater") {
            updater = RewriteFile(target + "\\updater.exe");
        }
        const std::string clientPath = target + "\\Vemli.exe";
        client = GetFileAttributesA(clientPath.c_str()) == INVALID_FILE_ATTRIBUTES ? "absent"
                                                                                   : "present";
    }

    const std::string records = Setting("VEMLI_SETUP_STANDIN_RECORDS");
    const char* name = std::strrchr(path, '\\');
    const std::string recordPath =
        records.empty() ? std::string(path) + ".record"
                        : records + "\\" + (name != nullptr ? name + 1 : path) + ".record";
    std::FILE* record = std::fopen(recordPath.c_str(), "wb");
    if (record == nullptr) {
        return 1;
    }
    std::fprintf(record,
                 "commandline=%s\nfolder=%s\npath=%s\nclient=%s\ntime=%llu\npid=%lu\n"
                 "updater=%s\n",
                 commandLine, folder, path, client.c_str(), GetTickCount64(), GetCurrentProcessId(),
                 updater);
    std::fflush(record);
    if (target.empty() || act.empty()) {
        return LeaveWith(record, 0);
    }
    if (act == "new-client" || act == "rewrite-updater") {
        WriteNewClient(path, target + "\\Vemli.exe");
    } else if (act == "delete-client") {
        DeleteFileA((target + "\\Vemli.exe").c_str());
    } else if (act == "crash") {
        LeaveWith(record, 0);
        SetUnhandledExceptionFilter(EndAtOnce);
        RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    } else if (act == "wait") {
        const std::string ms = Setting("VEMLI_SETUP_STANDIN_MS");
        Sleep(ms.empty() ? 60000 : std::strtoul(ms.c_str(), nullptr, 10));
        return LeaveWith(record, 1);
    } else if (act == "fail") {
        return LeaveWith(record, 1);
    }
    return LeaveWith(record, 0);
}

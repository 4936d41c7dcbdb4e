// What the guard costs the hand-over, and how soon a failed setup gives the
// client back, measured end to end with the real updater.exe and the
// stand-ins (run.sh runs it beside the test update server):
//
//   handover_bench.exe [ROUNDS [OTHER_UPDATER_EXE]]
//
// Per round, a client window agrees to quit and the setup fails (exit 1,
// writing nothing). From the programs' own clock readings (GetTickCount64):
//   handover: the client's quit request to the setup's start (2,000 ms of it
//             the pause for the client);
//   back:     the setup's end to the old client running again.
// With OTHER_UPDATER_EXE the same rounds run with that program too (an
// updater without a guard, say), for its hand-over time.
#include "UpdaterScene.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr char kClientVersion[] = " -v16909060";

unsigned long long Field(const std::map<std::string, std::string>& record, const char* name) {
    const auto found = record.find(name);
    return found != record.end() ? std::strtoull(found->second.c_str(), nullptr, 10) : 0;
}

std::map<std::string, std::string> ReadRecord(const std::string& path) {
    std::map<std::string, std::string> record;
    const std::string text = CUpdaterScene::ReadFile(path);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        const std::string line = text.substr(start, end - start);
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) {
            record[line.substr(0, equals)] = line.substr(equals + 1);
        }
        start = end + 1;
    }
    return record;
}

struct Round {
    double handover = -1;
    double back = -1;
};

// One hand-over in a fresh scene; `updater` replaces the build's updater.exe
// when not empty.
Round RunRound(int index, const std::string& updater) {
    Round round;
    CUpdaterScene scene("handover_bench_" + std::to_string(index));
    const std::string client = CUpdaterScene::ReadFile(BuildOutput(UPDATER_SETUP_STANDIN_EXE));
    if (!scene.IsReady() ||
        (!updater.empty() &&
         !CopyFileA(updater.c_str(), scene.AppFile("updater.exe").c_str(), FALSE)) ||
        !CopyFileA(BuildOutput(UPDATER_SETUP_STANDIN_EXE).c_str(),
                   scene.AppFile("Vemli.exe").c_str(), FALSE)) {
        return round;
    }
    scene.WriteServerIni();
    scene.SetEnvironment("VEMLI_SETUP_STANDIN", "fail");
    if (!scene.ServeVersion("1,2,3,5", {scene.ServeSetup("dl1.example")}) ||
        !scene.StartClient("Vemli", 1) || scene.RunUpdater(kClientVersion) != 0) {
        return round;
    }
    const std::map<std::string, std::string> setup = scene.WaitForSetupRecord();
    unsigned long long asked = 0;
    for (const std::string& line : scene.ClientLog(0)) {
        if (line.rfind("asked ", 0) == 0) {
            asked = std::strtoull(line.c_str() + 6, nullptr, 10);
        }
    }
    if (asked != 0 && Field(setup, "time") != 0) {
        round.handover = static_cast<double>(Field(setup, "time") - asked);
    }
    const std::string restarted = scene.TempFile("Vemli.exe.record");
    WaitUntil([&] { return Field(ReadRecord(restarted), "time") != 0; }, 5000);
    const unsigned long long back = Field(ReadRecord(restarted), "time");
    if (back != 0 && Field(setup, "ending") != 0) {
        round.back = static_cast<double>(back - Field(setup, "ending"));
    }
    return round;
}

void Report(const char* label, std::vector<double> values) {
    values.erase(std::remove(values.begin(), values.end(), -1.0), values.end());
    if (values.empty()) {
        std::printf("%s: no measurement\n", label);
        return;
    }
    std::sort(values.begin(), values.end());
    std::printf("%s: median %.0f ms, min %.0f, max %.0f (%zu rounds)\n", label,
                values[values.size() / 2], values.front(), values.back(), values.size());
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::string other = argc > 2 ? argv[2] : "";
    std::vector<double> handover, back, otherHandover;
    for (int i = 0; i < rounds; ++i) {
        const Round round = RunRound(i, "");
        handover.push_back(round.handover);
        back.push_back(round.back);
        if (!other.empty()) {
            otherHandover.push_back(RunRound(rounds + i, other).handover);
        }
    }
    Report("quit request to setup start, with the guard", handover);
    if (!other.empty()) {
        Report("quit request to setup start, other updater", otherHandover);
    }
    Report("setup end to the client running again", back);
    return 0;
}

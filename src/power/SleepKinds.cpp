#include "power/SleepKinds.h"

namespace vesko {
namespace {

// ExitWindowsEx is asked for a power-off, never a hybrid shutdown: nothing is
// kept for fast startup.
void Shutdown(std::vector<std::string>& lines) {
    lines.push_back("電源を切る：完全シャットダウン");
    lines.push_back("（高速スタートアップは使いません）");
}

const char* StandbyName(const SleepCapabilities& caps) {
    if (!caps.known) return "サスペンド：スタンバイ";
    if (caps.s3) return "サスペンド：S3スタンバイ";
    if (caps.s2) return "サスペンド：S2スタンバイ";
    return "サスペンド：S1スタンバイ";
}

void Suspend(const SleepCapabilities& caps, std::vector<std::string>& lines) {
    if (caps.modernStandby) {
        if (!caps.suspendAllowed) {
            lines.push_back("サスペンド：使えません（モダンスタンバイ）");
            return;
        }
        lines.push_back("サスペンド：モダンスタンバイ");
        lines.push_back("（画面は消えても通信は続くことがあります）");
        return;
    }
    if (!caps.suspendAllowed) {
        lines.push_back("サスペンド：このPCでは使えません");
        return;
    }
    // Hybrid sleep needs the hibernation file; without it the sleep is plain standby.
    if (caps.hybridSleep.value_or(false) && caps.hibernateAllowed) {
        lines.push_back("サスペンド：ハイブリッドスリープ");
        lines.push_back("（休止状態のファイルも書き込みます）");
        return;
    }
    lines.push_back(StandbyName(caps));
}

void Hibernation(const SleepCapabilities& caps, std::vector<std::string>& lines) {
    if (caps.hibernateAllowed) lines.push_back("休止状態：使えます");
    // The machine can, but the file is switched off.
    else if (caps.known && caps.s4 && !caps.hiberFilePresent)
        lines.push_back("休止状態：オフ（powercfg /h on で有効）");
    else lines.push_back("休止状態：このPCでは使えません");
}

}  // namespace

std::vector<std::string> DescribeSleepKinds(const SleepCapabilities& caps) {
    std::vector<std::string> lines;
    Shutdown(lines);
    Suspend(caps, lines);
    Hibernation(caps, lines);
    return lines;
}

}  // namespace vesko

// Helpers of the stress and fault tests: child processes (varnex-cli, or a piece of the test run
// under limits the test process itself must not take), long animations written without holding
// them in memory, and checks on folders.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace varnex {

// How a child process ended and what it printed.
struct PROCESS_RESULT {
    int exitStatus = -1;  // exit code; -1 when a signal ended it
    int signal = 0;       // the signal that ended it, or 0
    std::string out;      // standard output
    std::string err;      // standard error
    long maxRssKb = 0;    // peak resident memory, as wait4 reports it
};

struct PROCESS_SETUP {
    std::string workDir;           // the child's current folder; empty: the test's
    long long fileSizeLimit = -1;  // RLIMIT_FSIZE in bytes, with SIGXFSZ ignored; -1: none
    // Runs in the child before exec; returning false ends the child with CHILD_SETUP_FAILED.
    std::function<bool()> prepare;
};

constexpr int CHILD_SETUP_FAILED = 125;

// Runs varnex-cli of this build with args (fork, exec, wait4). Never throws for the child's
// failures: they are in the result.
PROCESS_RESULT RunVarnexCli(const std::vector<std::string>& args, const PROCESS_SETUP& setup = {});
// Runs body in a forked child (no exec); its returned text comes back in out, its exit status is
// 0, or CHILD_SETUP_FAILED when prepare fails.
PROCESS_RESULT RunInChild(const std::function<std::string()>& body,
                          const PROCESS_SETUP& setup = {});

// Gives the child a mount namespace of its own, so mounts made in it vanish with it; false when
// the system does not allow it (no privilege, seccomp).
bool EnterPrivateMountNamespace();

// A biped skeleton of five nodes in the "L Thigh" naming, thighs hanging from the pelvis; every
// first-frame offset is non-zero, so pairing it with itself gives NODES i on row i and bone
// scales of exactly 1.
//   0 Bip01 -1, 1 Bip01 Pelvis 0, 2 Bip01 Spine 1, 3 Bip01 L Thigh 1, 4 Bip01 R Thigh 1
// Writes frames 0 to frameCount - 1 in the written form (node number in three columns, six
// decimals, CR LF), streamed to path; frame f depends on f % 1000 only. A build of it on itself
// gives back the same bytes. extraLines lines that no row reads are added to the last frame.
void WriteLongAnimation(const std::string& path, int frameCount, int extraLines = 0);

// Names in folder that look like temporary outputs ("*.tmp-*").
std::vector<std::string> TemporaryFilesIn(const std::string& folder);

}  // namespace varnex

#include "stress_support.h"

#include <poll.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace varnex {

#ifndef VARNEX_CLI
#error "VARNEX_CLI must name the varnex-cli program"
#endif

namespace {
// In the child: the setup, then the standard streams onto the pipes.
void SetUpChild(const PROCESS_SETUP& setup, const int out[2], const int err[2]) {
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    for (int fd : {out[0], out[1], err[0], err[1]}) close(fd);
    if (!setup.workDir.empty() && chdir(setup.workDir.c_str()) != 0) _exit(CHILD_SETUP_FAILED);
    if (setup.fileSizeLimit >= 0) {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
        rlimit limit{static_cast<rlim_t>(setup.fileSizeLimit),
                     static_cast<rlim_t>(setup.fileSizeLimit)};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(CHILD_SETUP_FAILED);
    }
    if (setup.prepare && !setup.prepare()) _exit(CHILD_SETUP_FAILED);
}

// In the parent: both pipes read to their end, then the child waited for.
PROCESS_RESULT Collect(pid_t pid, const int out[2], const int err[2]) {
    close(out[1]);
    close(err[1]);
    PROCESS_RESULT result;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* texts[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char chunk[4096];
            ssize_t n = read(fds[i].fd, chunk, sizeof chunk);
            if (n > 0) {
                texts[i]->append(chunk, static_cast<std::size_t>(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    result.maxRssKb = usage.ru_maxrss;
    return result;
}
}  // namespace

PROCESS_RESULT RunVarnexCli(const std::vector<std::string>& args, const PROCESS_SETUP& setup) {
    std::vector<char*> argv{const_cast<char*>(VARNEX_CLI)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    return RunInChild(
        [&argv]() -> std::string {
            execv(argv[0], argv.data());
            _exit(127);
        },
        setup);
}

PROCESS_RESULT RunInChild(const std::function<std::string()>& body, const PROCESS_SETUP& setup) {
    std::fflush(nullptr);
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) std::abort();
    pid_t pid = fork();
    if (pid < 0) std::abort();
    if (pid == 0) {
        SetUpChild(setup, out, err);
        std::string text = body();
        for (std::size_t done = 0; done < text.size();) {
            ssize_t n = write(STDOUT_FILENO, text.data() + done, text.size() - done);
            if (n <= 0) _exit(1);
            done += static_cast<std::size_t>(n);
        }
        // No exit handlers: they belong to the test process.
        _exit(0);
    }
    return Collect(pid, out, err);
}

bool EnterPrivateMountNamespace() {
    if (unshare(CLONE_NEWNS) != 0) return false;
    return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

void WriteLongAnimation(const std::string& path, int frameCount, int extraLines) {
    static const char* const NAMES[] = {"Bip01", "Bip01 Pelvis", "Bip01 Spine", "Bip01 L Thigh",
                                        "Bip01 R Thigh"};
    static const int PARENTS[] = {-1, 0, 1, 1, 1};
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::abort();
    std::fputs("version 1\r\nnodes\r\n", f);
    for (int i = 0; i < 5; ++i) std::fprintf(f, "%3d \"%s\" %3d\r\n", i, NAMES[i], PARENTS[i]);
    std::fputs("end\r\nskeleton\r\n", f);
    for (int frame = 0; frame < frameCount; ++frame) {
        std::fprintf(f, "time %d\r\n", frame);
        int step = frame % 1000;
        for (int i = 0; i < 5; ++i) {
            // Positions with at most three decimals read back to the same six-decimal text.
            std::fprintf(f, "%3d %d.%03d000 %d.000000 -%d.%03d000 0.%06d -0.250000 %d.500000\r\n",
                         i, i, step, i + 1, i, (step * 7) % 1000, step, i);
        }
    }
    for (int extra = 0; extra < extraLines; ++extra) {
        std::fprintf(f, "%3d 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000\r\n", 5 + extra);
    }
    std::fputs("end\r\n", f);
    if (std::fclose(f) != 0) std::abort();
}

std::vector<std::string> TemporaryFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec)) {
        std::string name = entry.path().filename().string();
        if (name.find(".tmp-") != std::string::npos) names.push_back(entry.path().string());
    }
    return names;
}

}  // namespace varnex

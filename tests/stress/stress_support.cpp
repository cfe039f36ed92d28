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
#include <fstream>

namespace varnex {

#ifndef VARNEX_CLI
#error "VARNEX_CLI must name the varnex-cli program"
#endif

namespace {
struct PIPE {
    int read = -1;
    int write = -1;
};

PIPE MakePipe() {
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    return PIPE{fds[0], fds[1]};
}

// In the child: the setup, then the standard streams onto the pipes.
void SetUpChild(const PROCESS_SETUP& setup, const PIPE& out, const PIPE& err) {
    dup2(out.write, STDOUT_FILENO);
    dup2(err.write, STDERR_FILENO);
    close(out.read);
    close(err.read);
    close(out.write);
    close(err.write);
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
PROCESS_RESULT Collect(pid_t pid, const PIPE& out, const PIPE& err) {
    close(out.write);
    close(err.write);
    PROCESS_RESULT result;
    pollfd fds[2] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}};
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

PROCESS_RESULT RunProcess(const std::vector<std::string>& argv, const PROCESS_SETUP& setup) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    std::fflush(nullptr);
    PIPE out = MakePipe();
    PIPE err = MakePipe();
    pid_t pid = fork();
    if (pid < 0) std::abort();
    if (pid == 0) {
        SetUpChild(setup, out, err);
        execv(args[0], args.data());
        _exit(127);
    }
    return Collect(pid, out, err);
}

PROCESS_RESULT RunVarnexCli(const std::vector<std::string>& args, const PROCESS_SETUP& setup) {
    std::vector<std::string> argv{VARNEX_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, setup);
}

PROCESS_RESULT RunInChild(const std::function<std::string()>& body, const PROCESS_SETUP& setup) {
    std::fflush(nullptr);
    PIPE out = MakePipe();
    PIPE err = MakePipe();
    pid_t pid = fork();
    if (pid < 0) std::abort();
    if (pid == 0) {
        SetUpChild(setup, out, err);
        std::string text = body();
        std::size_t done = 0;
        while (done < text.size()) {
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

bool SameFileBytes(const std::string& a, const std::string& b) {
    std::ifstream fa(a, std::ios::binary);
    std::ifstream fb(b, std::ios::binary);
    if (!fa || !fb) return false;
    std::vector<char> ba(1 << 16), bb(1 << 16);
    for (;;) {
        fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
        fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
        std::streamsize na = fa.gcount(), nb = fb.gcount();
        if (na != nb || std::memcmp(ba.data(), bb.data(), static_cast<std::size_t>(na)) != 0) {
            return false;
        }
        if (na == 0) return true;
    }
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

// varnex-plain-copy: the floor BUILD SMD is measured against, a copy of SOURCE to TARGET through
// one 64 KB buffer with read and write, nothing else.
//   varnex-plain-copy SOURCE TARGET
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: varnex-plain-copy SOURCE TARGET\n");
        return 2;
    }
    int in = open(argv[1], O_RDONLY);
    int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0) {
        std::fprintf(stderr, "varnex-plain-copy: %s\n", std::strerror(errno));
        return 1;
    }
    static char buffer[1 << 16];
    for (;;) {
        ssize_t got = read(in, buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            std::fprintf(stderr, "varnex-plain-copy: %s\n", std::strerror(errno));
            return 1;
        }
        for (ssize_t done = 0; done < got;) {
            ssize_t put = write(out, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) {
                std::fprintf(stderr, "varnex-plain-copy: %s\n", std::strerror(errno));
                return 1;
            }
            done += put;
        }
    }
    return close(in) == 0 && close(out) == 0 ? 0 : 1;
}

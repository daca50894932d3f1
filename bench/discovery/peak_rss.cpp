// Runs a command and reports its peak resident memory, as the kernel counted it, on stderr:
//   peak_rss COMMAND [ARGUMENT...]  ->  "peak_rss_kib=<KiB> exit_status=<status>"
// The command's own output passes through; the exit status is the command's.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s COMMAND [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    const pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        return 2;
    }
    if (child == 0) {
        execvp(argv[1], argv + 1);
        std::perror(argv[1]);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("wait4");
        return 2;
    }
    const int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::fprintf(stderr, "peak_rss_kib=%ld exit_status=%d\n", usage.ru_maxrss, exitStatus);
    return exitStatus;
}

#include "run_process.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace golden {

namespace {

void close_fd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

} // namespace

process_result run_process(const std::string& path, const std::vector<std::string>& args,
                           const std::string& input, int timeout_seconds) {
    process_result result;
    int in_pipe[2], out_pipe[2], err_pipe[2];
    if (pipe(in_pipe) != 0 || pipe(out_pipe) != 0 || pipe(err_pipe) != 0) {
        result.abnormal = "pipe failed";
        return result;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        result.abnormal = "fork failed";
        return result;
    }
    if (pid == 0) {
        dup2(in_pipe[0], 0);
        dup2(out_pipe[1], 1);
        dup2(err_pipe[1], 2);
        for (int fd : {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]})
            close(fd);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(path.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(path.c_str(), argv.data());
        std::fprintf(stderr, "cannot run %s: %s\n", path.c_str(), std::strerror(errno));
        _exit(127);
    }
    close(in_pipe[0]);
    close(out_pipe[1]);
    close(err_pipe[1]);
    int to_child = in_pipe[1], from_out = out_pipe[0], from_err = err_pipe[0];
    fcntl(to_child, F_SETFL, O_NONBLOCK);
    std::signal(SIGPIPE, SIG_IGN);

    std::size_t written = 0;
    if (input.empty()) close_fd(to_child);
    const std::time_t deadline = std::time(nullptr) + timeout_seconds;
    bool timed_out = false;
    while (from_out >= 0 || from_err >= 0) {
        if (std::time(nullptr) > deadline) {
            kill(pid, SIGKILL);
            timed_out = true;
            break;
        }
        pollfd fds[3];
        int n = 0;
        if (to_child >= 0) fds[n++] = {to_child, POLLOUT, 0};
        if (from_out >= 0) fds[n++] = {from_out, POLLIN, 0};
        if (from_err >= 0) fds[n++] = {from_err, POLLIN, 0};
        if (poll(fds, n, 200) < 0 && errno != EINTR) break;
        for (int k = 0; k < n; ++k) {
            if (fds[k].revents == 0) continue;
            if (fds[k].fd == to_child) {
                const ssize_t w = write(to_child, input.data() + written, input.size() - written);
                if (w > 0) written += static_cast<std::size_t>(w);
                if (w < 0 && errno != EAGAIN) close_fd(to_child);  // the child closed its input
                if (written == input.size()) close_fd(to_child);
                continue;
            }
            char buf[65536];
            const ssize_t r = read(fds[k].fd, buf, sizeof buf);
            int& fd = fds[k].fd == from_out ? from_out : from_err;
            std::string& sink = fds[k].fd == from_out ? result.out : result.err;
            if (r > 0) sink.append(buf, static_cast<std::size_t>(r));
            else if (r == 0 || errno != EINTR) close_fd(fd);
        }
    }
    close_fd(to_child);
    close_fd(from_out);
    close_fd(from_err);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    if (timed_out) result.abnormal = "killed after " + std::to_string(timeout_seconds) + " s";
    else if (WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
    else if (WIFSIGNALED(wstatus)) result.abnormal = std::string("signal ") + strsignal(WTERMSIG(wstatus));
    return result;
}

} // namespace golden

#pragma once

#include <QByteArray>

#include <functional>
#include <optional>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs `work` in a forked child and answers the bytes it returned, or nothing when the
// child failed or was still busy after `seconds` (a read that blocks cannot hang the test).
// With `unprivileged`, a child running as root first becomes nobody, so that folder
// permissions bind it as they bind a user.
inline std::optional<QByteArray> runInChild(
    const std::function<QByteArray()> &work, unsigned seconds, bool unprivileged = false)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(fds[0]);
        ::signal(SIGALRM, SIG_DFL);
        ::alarm(seconds);
        if (unprivileged && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        const QByteArray answer = work();
        const char *data = answer.constData();
        qsizetype left = answer.size();
        while (left > 0) {
            const ssize_t n = ::write(fds[1], data, size_t(left));
            if (n <= 0)
                ::_exit(3);
            data += n;
            left -= n;
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray answer;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
        answer.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return answer;
}

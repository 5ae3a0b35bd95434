#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace platform {

namespace {

int PidfdOpen(int pid) { return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)); }

int PidfdSendSignal(int pidfd, int signal) {
    return static_cast<int>(::syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0));
}

void SetError(Error* error, int code) {
    if (error != nullptr) *error = Error::FromErrno(code);
}

// Everything below runs in the child before exec. The child is made with vfork: it borrows the
// parent's memory until exec, so it makes system calls only, allocates nothing and never
// returns. (Copying the whole address space with fork costs more than the codec run of a short
// file, and a batch starts thousands of them.)
[[noreturn]] void WriteErrnoAndExit(int pipeFd, int code) {
    while (::write(pipeFd, &code, sizeof code) < 0 && errno == EINTR) {
    }
    ::_exit(127);
}

// With SIGCHLD ignored (inherited from whoever started kelto) the kernel reaps children at
// once: every wait fails and a dead leader's group id may be reused before Stop signals it.
void RestoreChildSignal() {
    struct sigaction current {};
    if (::sigaction(SIGCHLD, nullptr, &current) != 0) return;
    if (current.sa_handler == SIG_IGN || (current.sa_flags & SA_NOCLDWAIT) != 0) {
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        ::sigemptyset(&dfl.sa_mask);
        ::sigaction(SIGCHLD, &dfl, nullptr);
    }
}

void ResetSignals() {
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig) {
        if (sig != SIGKILL && sig != SIGSTOP) ::sigaction(sig, &dfl, nullptr);
    }
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

void ApplyNice(int which, int who, int nice) {
    if (::setpriority(which, static_cast<id_t>(who), nice) != 0 && nice < 0) {
        ::setpriority(which, static_cast<id_t>(who), 0);
    }
}

bool RedirectStandardStreams(bool inheritOutput, int outputFd, int errorFd) {
    const int null = ::open("/dev/null", O_RDWR);
    if (null < 0) return false;
    if (::dup2(null, 0) < 0) return false;
    if (!inheritOutput) {
        if (::dup2(outputFd >= 0 ? outputFd : null, 1) < 0) return false;
        // dup2 leaves the copy on 2 without close-on-exec, so the program keeps it.
        if (::dup2(errorFd >= 0 ? errorFd : null, 2) < 0) return false;
    }
    if (null > 2) ::close(null);
    return true;
}

void CloseOtherDescriptors(int keep) {
    if (keep > 3) ::close_range(3, static_cast<unsigned>(keep) - 1, 0);
    ::close_range(static_cast<unsigned>(keep) + 1, ~0U, 0);
}

// The program dies with kelto, however kelto ends: a SIGKILL or the OOM killer leave it no
// chance to stop its jobs. The signal comes when the thread that started the child ends, not
// the process, so a child must be waited for on the thread that started it (the core's workers
// do). Should kelto have died before the signal was asked for, the child was already handed to
// another parent: it ends itself instead.
void DieWithParent(pid_t parent) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::kill(::getpid(), SIGKILL);
}

[[noreturn]] void ExecChild(const char* program, char* const* argv, int nice, bool inheritOutput,
                            int outputFd, int errorFd, int errorPipe, pid_t parent) {
    DieWithParent(parent);
    ResetSignals();
    ::setpgid(0, 0);
    ApplyNice(PRIO_PROCESS, 0, nice);
    if (!RedirectStandardStreams(inheritOutput, outputFd, errorFd)) {
        WriteErrnoAndExit(errorPipe, errno);
    }
    CloseOtherDescriptors(errorPipe);
    ::execve(program, argv, environ);
    WriteErrnoAndExit(errorPipe, errno);
}

// The vfork lives in a frame of its own that holds nothing but plain values, so the child
// cannot disturb the caller's objects while it borrows the stack. The parent gets the pid or -1.
[[gnu::noinline]] pid_t StartChild(const char* program, char* const* argv, int nice,
                                   bool inheritOutput, int outputFd, int errorFd,
                                   const int errorPipe[2]) {
    const pid_t parent = ::getpid();
    const pid_t pid = ::vfork();
    if (pid == 0) {
        ::close(errorPipe[0]);
        ExecChild(program, argv, nice, inheritOutput, outputFd, errorFd, errorPipe[1], parent);
    }
    return pid;
}

// Reads the exec error the child reports; 0 when exec succeeded (the pipe closed on exec).
int ReadChildError(int pipeFd) {
    int code = 0;
    ssize_t n;
    do {
        n = ::read(pipeFd, &code, sizeof code);
    } while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(sizeof code) ? code : 0;
}

void ReapFailedChild(int pid) {
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

bool SpawnChild(const std::string& program, const std::vector<std::string>& args, int nice,
                const ChildOutput& output, ChildProcess* child, Error* error) {
    RestoreChildSignal();
    std::vector<char*> argv;
    argv.reserve(args.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0) {
        SetError(error, errno);
        return false;
    }
    // Signals stay blocked across vfork so that no handler of ours runs in the child.
    sigset_t all, previous;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    const int outputFd = output.outputToError ? output.errorFd : -1;
    const pid_t pid = StartChild(program.c_str(), argv.data(), nice, output.inherit, outputFd,
                                 output.errorFd, errorPipe);
    const int forkError = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    ::close(errorPipe[1]);
    if (pid < 0) {
        ::close(errorPipe[0]);
        SetError(error, forkError);
        return false;
    }
    // Also set here: whichever of parent and child comes first makes the group exist before
    // anyone may signal it.
    ::setpgid(pid, pid);
    const int childError = ReadChildError(errorPipe[0]);
    ::close(errorPipe[0]);
    if (childError != 0) {
        ReapFailedChild(pid);
        SetError(error, childError);
        return false;
    }
    const int pidfd = PidfdOpen(pid);
    if (pidfd < 0) {
        const int code = errno;
        ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
        ReapFailedChild(pid);
        SetError(error, code);
        return false;
    }
    child->pid = pid;
    child->pidfd = pidfd;
    return true;
}

bool WaitForChildExit(int pidfd, Error* error) {
    siginfo_t info{};
    for (;;) {
        if (::waitid(P_PIDFD, static_cast<id_t>(pidfd), &info, WEXITED | WNOWAIT) == 0) return true;
        if (errno != EINTR) {
            SetError(error, errno);
            return false;
        }
    }
}

bool HasChildExited(int pidfd) {
    siginfo_t info{};
    if (::waitid(P_PIDFD, static_cast<id_t>(pidfd), &info, WEXITED | WNOWAIT | WNOHANG) != 0) {
        return true;
    }
    return info.si_pid != 0;
}

bool ReapChild(int pidfd, ChildExit* exit, Error* error) {
    siginfo_t info{};
    for (;;) {
        if (::waitid(P_PIDFD, static_cast<id_t>(pidfd), &info, WEXITED) == 0) break;
        if (errno != EINTR) {
            SetError(error, errno);
            return false;
        }
    }
    exit->signalled = info.si_code != CLD_EXITED;
    exit->code = exit->signalled ? 0 : info.si_status;
    exit->signal = exit->signalled ? info.si_status : 0;
    return true;
}

bool KillChildGroup(int pid, int pidfd, Error* error) {
    bool ok = true;
    // kill(-0) would reach kelto's own process group.
    if (pid > 0 && ::kill(-pid, SIGKILL) != 0 && errno != ESRCH) {
        SetError(error, errno);
        ok = false;
    }
    if (pidfd >= 0 && PidfdSendSignal(pidfd, SIGKILL) != 0 && errno != ESRCH) {
        SetError(error, errno);
        ok = false;
    }
    return ok;
}

void SetChildGroupNice(int pid, int nice) {
    if (pid > 0) ApplyNice(PRIO_PGRP, pid, nice);  // group 0 would be kelto's own
}

int OpenChildHandle(int pid) { return pid > 0 ? PidfdOpen(pid) : -1; }

void CloseChildHandle(int pidfd) {
    if (pidfd >= 0) ::close(pidfd);
}

}  // namespace platform

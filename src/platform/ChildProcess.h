#pragma once

#include <string>
#include <vector>

#include "platform/Error.h"

namespace platform {

// A started child: its process id (also the id of the process group it leads) and a pidfd
// that refers to it for as long as the descriptor stays open.
struct ChildProcess {
    int pid = 0;
    int pidfd = -1;
};

// How a reaped child ended.
struct ChildExit {
    bool signalled = false;
    int code = 0;    // exit status when not signalled
    int signal = 0;  // terminating signal when signalled
};

// Where a child's standard output and error go: both inherited from kelto, or else output to
// /dev/null and error to errorFd (a descriptor above 2), or to /dev/null when that is -1. With
// outputToError, output goes to errorFd too, as the program's answers to --version do.
struct ChildOutput {
    bool inherit = false;
    int errorFd = -1;
    bool outputToError = false;
};

// Starts program (no search of PATH) with argv = program, args... in a process group of its
// own. The nice value is applied before the program runs; a value it may not take leaves it at
// 0, or as it was when even that is refused. Standard input is /dev/null; standard output and
// error as output says. The child holds no other descriptor of ours. It is killed (SIGKILL)
// when the calling thread ends, so that no program outlives a kelto that dies: wait for it on
// the thread that started it. False with the error when the program cannot be started (the
// failed child is reaped).
bool SpawnChild(const std::string& program, const std::vector<std::string>& args, int nice,
                const ChildOutput& output, ChildProcess* child, Error* error = nullptr);

// Standard output and error both inherited when inheritOutput is set, else both /dev/null.
inline bool SpawnChild(const std::string& program, const std::vector<std::string>& args, int nice,
                       bool inheritOutput, ChildProcess* child, Error* error = nullptr) {
    return SpawnChild(program, args, nice, ChildOutput{inheritOutput, -1}, child, error);
}

// Blocks until the child has ended, leaving it unreaped so that its pid and its process group
// id cannot be reused yet.
bool WaitForChildExit(int pidfd, Error* error = nullptr);

// True once the child has ended (it may still be a zombie waiting to be reaped).
bool HasChildExited(int pidfd);

// Collects an ended child. After this its pid may belong to another process at any time:
// never signal it or its group again.
bool ReapChild(int pidfd, ChildExit* exit, Error* error = nullptr);

// SIGKILL to the child's whole process group, and to the child itself in case it left the
// group. Only valid while the child is unreaped.
bool KillChildGroup(int pid, int pidfd, Error* error = nullptr);

// Applies a nice value to every process of the child's group, with the same fallback as
// SpawnChild. Only valid while the child is unreaped.
void SetChildGroupNice(int pid, int nice);

// A pidfd for a child started elsewhere in this process; -1 when pid names no process.
int OpenChildHandle(int pid);

void CloseChildHandle(int pidfd);

}  // namespace platform

#include "Shell.h"

#include <sys/wait.h>
#include <unistd.h>

namespace {

// xdg-open is run directly, never through a shell, so that no character of Target is interpreted.
// The child forks the opener and leaves at once: the opener belongs to init, and this process
// neither waits for the browser nor collects a zombie later.
void XdgOpen(const std::string& Target)
{
    const char* const Arguments[] = {"xdg-open", Target.c_str(), nullptr};
    const pid_t Child = fork();
    if (Child < 0)
        return;
    if (Child == 0) {
        if (fork() == 0) {
            execvp(Arguments[0], const_cast<char* const*>(Arguments));
            _exit(127);
        }
        _exit(0);
    }
    waitpid(Child, nullptr, 0);
}

} // namespace

std::function<void(const std::string& Target)> ShellOpen = XdgOpen;

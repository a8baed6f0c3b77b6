// POSIX side of common/ProcessLaunch.h: a double fork, so that the program
// runs in its own session, is re-parented at once and never becomes a zombie
// of ours. A pipe closed on exec tells the parent whether exec succeeded.
#include "common/ProcessLaunch.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace velk {

bool LaunchDetached(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> argvText{program.string()};
  argvText.insert(argvText.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : argvText) argv.push_back(text.data());
  argv.push_back(nullptr);

  int status[2];
  if (pipe2(status, O_CLOEXEC) != 0) return false;
  const pid_t child = fork();
  if (child < 0) {
    close(status[0]);
    close(status[1]);
    return false;
  }
  if (child == 0) {
    close(status[0]);
    setsid();
    const char failed = 1;
    const pid_t grandchild = fork();
    if (grandchild == 0) {
      execv(argv[0], argv.data());
      (void)!write(status[1], &failed, 1);
      _exit(127);
    }
    if (grandchild < 0) (void)!write(status[1], &failed, 1);
    _exit(0);
  }
  close(status[1]);
  int childStatus = 0;
  while (waitpid(child, &childStatus, 0) < 0 && errno == EINTR) {
  }
  char failed = 0;
  ssize_t got;
  while ((got = read(status[0], &failed, 1)) < 0 && errno == EINTR) {
  }
  close(status[0]);
  return got == 0;
}

}  // namespace velk

// A program the link tests start (ser2net, meter-sim): killed and reaped when
// the object goes; its standard output can go to a file.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace velk::test {

class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& stdoutFile = {}) {
    std::vector<std::string> all = {program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!stdoutFile.empty()) {
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, stdoutFile.c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~ChildProcess() { Stop(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Running() { return pid_ > 0 && !Reaped(false); }
  // SIGTERM, then SIGKILL after two seconds; the exit code (-1 when it did not exit by itself).
  int Stop() {
    if (pid_ > 0 && !Reaped(false)) {
      ::kill(pid_, SIGTERM);
      for (int i = 0; i < 200 && !Reaped(false); ++i) ::usleep(10000);
      if (!Reaped(false)) {
        ::kill(pid_, SIGKILL);
        Reaped(true);
      }
    }
    return reaped_ && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
  }

 private:
  bool Reaped(bool wait) {
    if (!reaped_ && pid_ > 0 && ::waitpid(pid_, &status_, wait ? 0 : WNOHANG) == pid_) reaped_ = true;
    return reaped_;
  }

  pid_t pid_ = -1;
  bool reaped_ = false;
  int status_ = 0;
};

}  // namespace velk::test

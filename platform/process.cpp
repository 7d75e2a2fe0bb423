#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

extern char** environ;

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPumpInterval = std::chrono::milliseconds(100);
constexpr size_t kChunk = 64 * 1024;
// Bytes read in one go before the pump gets its turn, so a flood of output
// cannot starve the window.
constexpr size_t kBytesPerPass = 1024 * 1024;
// While the pipe is at its end but the child still runs, how often to look.
constexpr int kExitPollMs = 10;

std::string ErrnoText(int err) { return std::strerror(err); }

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Close(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// A close-on-exec pipe whose ends are above the standard descriptors, so that
// moving the write end onto 1 and 2 in the child never clobbers it.
int MakePipe(int fds[2]) {
  if (::pipe2(fds, O_CLOEXEC) != 0) return errno;
  for (int i = 0; i < 2; ++i) {
    if (fds[i] > STDERR_FILENO) continue;
    int moved = ::fcntl(fds[i], F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    int err = errno;
    ::close(fds[i]);
    fds[i] = moved;
    if (moved < 0) {
      if (fds[1 - i] >= 0) ::close(fds[1 - i]);
      return err;
    }
  }
  return 0;
}

// The argument vector; built before any fork since the child may not allocate.
class Argv {
 public:
  Argv(const std::string& program, const std::vector<std::string>& args) : strings_(args) {
    strings_.insert(strings_.begin(), program);
    for (auto& s : strings_) pointers_.push_back(s.data());
    pointers_.push_back(nullptr);
  }
  char* const* get() { return pointers_.data(); }

 private:
  std::vector<std::string> strings_;
  std::vector<char*> pointers_;
};

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

// Everything the child had written when it ended fits in the pipe's buffer;
// reading more than that could go on for ever behind a grandchild that keeps
// writing.
size_t DrainLimit(int fd) {
  size_t capacity = 1024 * 1024;
#ifdef F_GETPIPE_SZ
  int size = ::fcntl(fd, F_GETPIPE_SZ);
  if (size > 0) capacity = static_cast<size_t>(size);
#else
  (void)fd;
#endif
  return 2 * std::max(capacity, kChunk);
}

enum class ReadState { kData, kEmpty, kEnd };

ReadState ReadSome(int fd, std::vector<char>& buf, size_t max,
                   const std::function<void(std::string_view)>& on_output, size_t& got) {
  while (true) {
    ssize_t n = ::read(fd, buf.data(), std::min(max, buf.size()));
    if (n > 0) {
      got = static_cast<size_t>(n);
      if (on_output) on_output(std::string_view(buf.data(), got));
      return ReadState::kData;
    }
    if (n == 0) return ReadState::kEnd;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return ReadState::kEmpty;
    return ReadState::kEnd;  // an unreadable pipe is as good as finished
  }
}

int SpawnCaptured(pid_t& pid, const std::string& program, const std::vector<std::string>& args,
                  const std::string& working_dir, int write_end) {
  // A relative program is meant relative to our directory, not the child's.
  std::string path = program;
  if (!working_dir.empty() && !path.empty() && path[0] != '/') {
    std::string cwd(4096, '\0');
    if (::getcwd(cwd.data(), cwd.size())) path = std::string(cwd.c_str()) + "/" + path;
  }
  Argv argv(path, args);

  posix_spawn_file_actions_t actions;
  if (int err = ::posix_spawn_file_actions_init(&actions)) return err;
  posix_spawnattr_t attr;
  if (int err = ::posix_spawnattr_init(&attr)) {
    ::posix_spawn_file_actions_destroy(&actions);
    return err;
  }
  sigset_t no_signals, all_signals;
  sigemptyset(&no_signals);
  sigfillset(&all_signals);
  int err = ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (!err) err = ::posix_spawn_file_actions_adddup2(&actions, write_end, STDOUT_FILENO);
  if (!err) err = ::posix_spawn_file_actions_adddup2(&actions, write_end, STDERR_FILENO);
  if (!err && !working_dir.empty())
    err = ::posix_spawn_file_actions_addchdir_np(&actions, working_dir.c_str());
  // A session of its own detaches the child from our terminal; it starts with
  // the signal state of a fresh program, whatever we ignore or block.
  if (!err)
    err = ::posix_spawnattr_setflags(
        &attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  if (!err) err = ::posix_spawnattr_setsigmask(&attr, &no_signals);
  if (!err) err = ::posix_spawnattr_setsigdefault(&attr, &all_signals);
  if (!err) err = ::posix_spawn(&pid, path.c_str(), &actions, &attr, argv.get(), environ);
  ::posix_spawnattr_destroy(&attr);
  ::posix_spawn_file_actions_destroy(&actions);
  return err;
}

}  // namespace

CaptureResult RunCaptured(const std::string& program, const std::vector<std::string>& args,
                          const std::string& working_dir,
                          const std::function<void(std::string_view bytes)>& on_output,
                          const std::function<void()>& pump) {
  CaptureResult result;
  int fds[2];
  if (int err = MakePipe(fds)) {
    result.start_error = ErrnoText(err);
    return result;
  }
  Fd read_end(fds[0]), write_end(fds[1]);
  int flags = ::fcntl(read_end.get(), F_GETFL);
  if (flags < 0 || ::fcntl(read_end.get(), F_SETFL, flags | O_NONBLOCK) != 0) {
    result.start_error = ErrnoText(errno);
    return result;
  }

  pid_t pid = -1;
  int spawn_err = SpawnCaptured(pid, program, args, working_dir, write_end.get());
  // Only the child may hold the write end, or the pipe would never end.
  write_end.Close();
  if (spawn_err) {
    result.start_error = ErrnoText(spawn_err);
    return result;
  }
  result.started = true;

  std::vector<char> buf(kChunk);
  bool pipe_open = true;
  // The child's end wakes the wait at once where the system offers a process
  // descriptor; elsewhere it is noticed within kExitPollMs once the pipe is
  // closed, or at the next pump while a grandchild keeps it open.
  Fd exit_fd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
  auto next_pump = Clock::now() + kPumpInterval;
  while (true) {
    int status = 0;
    pid_t w = ::waitpid(pid, &status, WNOHANG);
    if (w == pid) {
      result.exit_code = ExitCodeOf(status);
      break;
    }
    if (w < 0 && errno != EINTR) break;  // reaped elsewhere: the status is lost

    auto now = Clock::now();
    if (now >= next_pump) {
      if (pump) pump();
      next_pump = Clock::now() + kPumpInterval;
      continue;
    }
    auto until_pump =
        std::chrono::duration_cast<std::chrono::milliseconds>(next_pump - now).count() + 1;
    int timeout = static_cast<int>(std::clamp<long long>(until_pump, 1, 100));
    if (!pipe_open && exit_fd.get() < 0) timeout = std::min(timeout, kExitPollMs);
    pollfd fds[2] = {{pipe_open ? read_end.get() : -1, POLLIN, 0}, {exit_fd.get(), POLLIN, 0}};
    int ready = ::poll(fds, 2, timeout);
    if (ready <= 0 || fds[0].revents == 0) continue;

    size_t pass = 0;
    while (pass < kBytesPerPass && Clock::now() < next_pump) {
      size_t got = 0;
      ReadState s = ReadSome(read_end.get(), buf, kChunk, on_output, got);
      if (s == ReadState::kEmpty) break;
      if (s == ReadState::kEnd) {
        pipe_open = false;
        break;
      }
      pass += got;
    }
  }

  // The child has ended: take what it left in the pipe without waiting for
  // writers that may never close it.
  if (pipe_open) {
    size_t left = DrainLimit(read_end.get());
    while (left > 0) {
      size_t got = 0;
      if (ReadSome(read_end.get(), buf, std::min(left, kChunk), on_output, got) != ReadState::kData)
        break;
      left -= got;
    }
  }
  return result;
}

DetachedResult StartDetached(const std::string& program, const std::vector<std::string>& args) {
  DetachedResult result;
  Argv argv(program, args);
  int fds[2];
  if (int err = MakePipe(fds)) {
    result.error = ErrnoText(err);
    return result;
  }
  Fd read_end(fds[0]), write_end(fds[1]);

  // Two forks: the middle process ends at once, so the program is adopted by
  // the system and never becomes our zombie. An exec failure comes back
  // through the close-on-exec pipe; a successful exec closes it.
  pid_t middle = ::fork();
  if (middle < 0) {
    result.error = ErrnoText(errno);
    return result;
  }
  if (middle == 0) {
    // Only async-signal-safe calls from here on.
    auto fail = [&](int err) {
      ssize_t ignored = ::write(write_end.get(), &err, sizeof err);
      (void)ignored;
      ::_exit(127);
    };
    ::setsid();
    pid_t child = ::fork();
    if (child < 0) fail(errno);
    if (child > 0) ::_exit(0);
    sigset_t no_signals;
    sigemptyset(&no_signals);
    ::sigprocmask(SIG_SETMASK, &no_signals, nullptr);
    struct sigaction dfl = {};
    dfl.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &dfl, nullptr);
    int null_fd = ::open("/dev/null", O_RDONLY);
    if (null_fd < 0) fail(errno);
    if (null_fd != STDIN_FILENO) {
      if (::dup2(null_fd, STDIN_FILENO) < 0) fail(errno);
      ::close(null_fd);
    }
    ::execv(program.c_str(), argv.get());
    fail(errno);
  }

  write_end.Close();
  int status;
  while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  int child_err = 0;
  size_t got = 0;
  while (got < sizeof child_err) {
    ssize_t n =
        ::read(read_end.get(), reinterpret_cast<char*>(&child_err) + got, sizeof child_err - got);
    if (n > 0) {
      got += static_cast<size_t>(n);
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  if (got == sizeof child_err) {
    result.error = ErrnoText(child_err);
    return result;
  }
  result.started = true;
  return result;
}

}  // namespace platform

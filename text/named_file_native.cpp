// Native files take Windows paths too: backslashes become slashes.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "text/named_file.h"

namespace {
std::string Local(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}
}  // namespace

FILE* OpenNamedFile(const char* path, const char* mode) { return fopen(Local(path).c_str(), mode); }

bool StampNamedFile(const std::string& path, FileStamp* stamp) {
  struct stat st;
  if (stat(Local(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  stamp->size = uint64_t(st.st_size);
  stamp->written = uint64_t(st.st_mtim.tv_sec) * 1000000000u + uint64_t(st.st_mtim.tv_nsec);
  return true;
}

bool ReadNamedFile(const std::string& path, std::string* bytes, size_t limit) {
  bytes->clear();
  FILE* f = fopen(Local(path).c_str(), "rb");
  if (!f) return errno == ENOENT || errno == ENOTDIR;
  char chunk[65536];
  size_t n;
  bool ok = true;
  while (ok && (n = fread(chunk, 1, sizeof chunk, f)) > 0) {
    ok = bytes->size() + n <= limit;
    if (ok) bytes->append(chunk, n);
  }
  ok = ok && !ferror(f);
  fclose(f);
  return ok;
}

bool ReplaceNamedFile(const std::string& path, const std::string& bytes) {
  const std::string local = Local(path);
  std::string temp = local + ".XXXXXX";
  const int fd = mkstemp(&temp[0]);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += size_t(n);
  }
  bool ok = done == bytes.size() && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok) ok = rename(temp.c_str(), local.c_str()) == 0;
  if (!ok) {
    const int error = errno;
    unlink(temp.c_str());
    errno = error;
  }
  return ok;
}

bool NamedFileExists(const std::string& path) {
  struct stat st;
  return stat(Local(path).c_str(), &st) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

bool MakeNamedFolder(const std::string& path) {
  const std::string local = Local(path);
  for (size_t i = local.find('/', 1); i != std::string::npos; i = local.find('/', i + 1))
    mkdir(local.substr(0, i).c_str(), 0700);
  return mkdir(local.c_str(), 0700) == 0 || errno == EEXIST;
}

unsigned long NamedFileError() { return static_cast<unsigned long>(errno); }

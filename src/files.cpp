#include "files.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static const char* const not_regular = "not a regular file";
static const char* failure = "";

FILE* open_regular(const char* fn, const char* mode)
{
	bool write = mode[0] == 'w';
	// Non-blocking, so that a FIFO without a writer (or reader) cannot
	// hold the open; the type is then checked on what was opened.
	int flags = (write ? O_WRONLY | O_CREAT : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
	int fd = open(fn, flags, 0644);
	if (fd < 0) {
		// A folder, or a FIFO that no one reads, is refused by the open.
		int err = errno;
		struct stat st;
		bool other = err != ENOENT && stat(fn, &st) == 0 && !S_ISREG(st.st_mode);
		failure = other ? not_regular : strerror(err);
		errno = err;
		return NULL;
	}
	struct stat st;
	if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
		close(fd);
		failure = not_regular;
		errno = EINVAL;
		return NULL;
	}
	if (write && ftruncate(fd, 0) != 0) {
		failure = strerror(errno);
		close(fd);
		return NULL;
	}
	fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
	FILE* f = fdopen(fd, write ? "wb" : "rb");
	if (!f) {
		failure = strerror(errno);
		close(fd);
	}
	return f;
}

const char* open_failure()
{
	return failure;
}

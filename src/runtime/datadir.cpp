#include "datadir.h"

#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "capture.h"
#include "retime.h"

const char* data_option = NULL;

// Empty while the working directory is the data folder.
static std::string start_folder;

static bool is_folder(const std::string& path)
{
	struct stat st;
	return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// An installed program finds its data at a fixed place relative to its own
// file (bin/../share/quintaro), wherever the whole tree was put; "" for a
// program run from its build folder.
static std::string installed_data()
{
#ifdef QVD_DATA_FROM_BIN
	char exe[PATH_MAX];
	ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
	if (n <= 0)
		return "";
	exe[n] = 0;
	char* slash = strrchr(exe, '/');
	if (!slash)
		return "";
	std::string dir = std::string(exe, slash) + "/" QVD_DATA_FROM_BIN;
	return is_folder(dir) ? dir : "";
#else
	return "";
#endif
}

// Kept for the whole run: the options point at it.
static const char* from_start(const char* path)
{
	if (!path || path[0] == '/')
		return path;
	return strdup((start_folder + "/" + path).c_str());
}

int enter_data_folder()
{
	std::string dir = data_option ? data_option : installed_data();
	if (dir.empty())
		return 0;
	char cwd[PATH_MAX];
	if (!getcwd(cwd, sizeof(cwd))) {
		fprintf(stderr, "can't tell the working folder: %s\n", strerror(errno));
		return 1;
	}
	if (chdir(dir.c_str()) != 0) {
		fprintf(stderr, "%s: can't enter '%s': %s\n", data_option ? "--data" : "data folder", dir.c_str(),
			strerror(errno));
		return data_option ? 2 : 1;
	}
	start_folder = cwd;
	if (data_option && !is_folder("gfx")) {
		fprintf(stderr, "--data: '%s' holds no gfx folder, so it is not the demo's data\n", dir.c_str());
		return 2;
	}
	if (getcwd(cwd, sizeof(cwd)))
		fprintf(stderr, "data folder: %s\n", cwd);
	capture_options.path = from_start(capture_options.path);
	retime_options.events_path = from_start(retime_options.events_path);
	return 0;
}

void leave_data_folder()
{
	if (!start_folder.empty() && chdir(start_folder.c_str()) != 0)
		fprintf(stderr, "can't go back to %s: %s\n", start_folder.c_str(), strerror(errno));
}

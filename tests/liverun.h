// Runs a program and reads its output lines while it runs, each with the
// seconds since it started, so a test can act on what it prints and time
// how soon something shows.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <string>

class live_run_c {
public:
	// A shell command run in the folder dir; its standard error joins its
	// output.
	live_run_c(const std::string& dir, const std::string& cmd)
	{
		int fds[2];
		if (pipe(fds) != 0)
			return;
		start = clock_now();
		pid = fork();
		if (pid == 0) {
			dup2(fds[1], 1);
			dup2(fds[1], 2);
			close(fds[0]);
			close(fds[1]);
			if (chdir(dir.c_str()) != 0)
				_exit(127);
			// exec: the program keeps the shell's id, so stop() reaches it
			// however often it starts itself again.
			std::string line = "exec " + cmd;
			execl("/bin/sh", "sh", "-c", line.c_str(), (char*)NULL);
			_exit(127);
		}
		close(fds[1]);
		fd = fds[0];
	}

	~live_run_c()
	{
		stop();
		if (fd >= 0)
			close(fd);
	}

	double seconds() const { return clock_now() - start; }

	// The next line, or false at the end of the output or at the deadline
	// (in seconds since the start).
	bool line(std::string* text, double deadline)
	{
		for (;;) {
			size_t nl = pending.find('\n');
			if (nl != std::string::npos) {
				*text = pending.substr(0, nl);
				pending.erase(0, nl + 1);
				return true;
			}
			double left = deadline - seconds();
			if (fd < 0 || left <= 0.0)
				return false;
			struct pollfd p = { fd, POLLIN, 0 };
			if (poll(&p, 1, (int)(left * 1000.0) + 1) < 0)
				return false;
			if (!p.revents)
				continue;
			char buf[4096];
			ssize_t n = read(fd, buf, sizeof(buf));
			if (n <= 0)
				return false;
			pending.append(buf, (size_t)n);
		}
	}

	void stop()
	{
		if (pid > 0) {
			kill(pid, SIGKILL);
			waitpid(pid, NULL, 0);
			pid = -1;
		}
	}

private:
	static double clock_now()
	{
		struct timespec ts;
		clock_gettime(CLOCK_MONOTONIC, &ts);
		return ts.tv_sec + ts.tv_nsec / 1e9;
	}

	pid_t pid = -1;
	int fd = -1;
	double start = 0.0;
	std::string pending;
};

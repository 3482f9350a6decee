// Stand-in for the handheld's mode-control service on a private bus: owns
// its name, prints one line per blanking-pause request with the seconds
// since it started, and answers as the service does (an empty reply unless
// the caller asked for none); with "busy" it answers nothing, as a service
// that is stuck would. With "silent PATH" it is no service but a bus that
// is stuck: it takes connections on the socket PATH and never answers.
// Ends on SIGTERM or after LIMIT seconds.
// Usage: mce_standin LIMIT [busy | silent PATH]   (bus address in DBUS_SYSTEM_BUS_ADDRESS)
#include <dbus/dbus.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

static volatile sig_atomic_t stop = 0;

static void on_term(int)
{
	stop = 1;
}

static double now()
{
	struct timespec ts;
	clock_gettime(CLOCK_MONOTONIC, &ts);
	return ts.tv_sec + ts.tv_nsec / 1e9;
}

int main(int argc, char** argv)
{
	double limit = argc > 1 ? atof(argv[1]) : 0.0;
	if (!(limit > 0.0 && limit <= 600.0)) {
		fprintf(stderr, "usage: mce_standin LIMIT (seconds, 0 < LIMIT <= 600)\n");
		return 2;
	}
	bool busy = argc > 2 && !strcmp(argv[2], "busy");
	signal(SIGTERM, on_term);
	if (argc > 3 && !strcmp(argv[2], "silent")) {
		sockaddr_un addr = {};
		addr.sun_family = AF_UNIX;
		snprintf(addr.sun_path, sizeof(addr.sun_path), "%s", argv[3]);
		int s = socket(AF_UNIX, SOCK_STREAM, 0);
		if (s < 0 || bind(s, (sockaddr*)&addr, sizeof(addr)) != 0 || listen(s, 8) != 0) {
			perror("mce_standin: silent bus");
			return 1;
		}
		printf("ready\n");
		fflush(stdout);
		double start = now();
		while (!stop && now() - start < limit)
			usleep(100000);  // the connections wait in the backlog, unanswered
		return 0;
	}
	DBusError err;
	dbus_error_init(&err);
	DBusConnection* bus = dbus_bus_get(DBUS_BUS_SYSTEM, &err);
	if (!bus) {
		fprintf(stderr, "mce_standin: no bus: %s\n", err.message);
		return 1;
	}
	int r = dbus_bus_request_name(bus, "com.nokia.mce", DBUS_NAME_FLAG_DO_NOT_QUEUE, &err);
	if (r != DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER) {
		fprintf(stderr, "mce_standin: could not own com.nokia.mce\n");
		return 1;
	}
	printf("ready\n");
	fflush(stdout);

	double start = now();
	int count = 0;
	while (!stop && now() - start < limit) {
		dbus_connection_read_write(bus, 100);
		DBusMessage* m;
		while ((m = dbus_connection_pop_message(bus)) != NULL) {
			if (dbus_message_is_method_call(m, "com.nokia.mce.request", "req_display_blanking_pause") &&
				!strcmp(dbus_message_get_path(m), "/com/nokia/mce/request")) {
				count++;
				printf("request %d at %.3f s\n", count, now() - start);
				fflush(stdout);
				if (!busy && !dbus_message_get_no_reply(m)) {
					DBusMessage* reply = dbus_message_new_method_return(m);
					dbus_connection_send(bus, reply, NULL);
					dbus_message_unref(reply);
				}
			}
			dbus_message_unref(m);
		}
	}
	printf("requests: %d\n", count);
	dbus_connection_flush(bus);
	return 0;
}

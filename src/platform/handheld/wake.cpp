#include "wake.h"

#include <SDL/SDL.h>
#include <SDL/SDL_thread.h>
#include <dbus/dbus.h>
#include <stdio.h>
#include <stdlib.h>

#include <atomic>

DBusConnection* bus_connection = NULL;
DBusMessage* msg = NULL;
DBusError error;
SDL_TimerID wakeuptimer = NULL;

// On SDL's timer thread; the connection and message were made before the
// timer started and are never written again.
static Uint32 heratys(Uint32 interval, void* param)
{
	(void)interval;
	(void)param;
	if (!dbus_connection_send(bus_connection, msg, NULL))
		fprintf(stderr, "Out Of Memory!\n");
	// Writes what the socket takes now; a flush would wait for good on a
	// bus that stopped reading. The rest goes out with the next request.
	dbus_connection_read_write(bus_connection, 0);
	fprintf(stderr, "asked the display to stay awake\n");
	return 5000;
}

// The connection is made on a thread of its own: a bus that accepts the
// connection and never answers would hold the start for good.
static const Uint32 bus_deadline_ms = 1000;
static std::atomic<DBusConnection*> connected(NULL);
static SDL_sem* bus_answered = NULL;

static int connect_bus(void*)
{
	DBusError err;
	dbus_error_init(&err);
	DBusConnection* c = dbus_bus_get_private(DBUS_BUS_SYSTEM, &err);
	dbus_error_free(&err);
	if (c)
		dbus_connection_set_exit_on_disconnect(c, FALSE);  // a bus that goes away ends no demo
	connected = c;
	SDL_SemPost(bus_answered);
	return 0;
}

void pysyhereilla()
{
	dbus_error_init(&error);
	dbus_threads_init_default();
	bus_answered = SDL_CreateSemaphore(0);
	SDL_Thread* thread = bus_answered ? SDL_CreateThread(connect_bus, NULL) : NULL;
	if (thread && SDL_SemWaitTimeout(bus_answered, bus_deadline_ms) == 0) {
		SDL_WaitThread(thread, NULL);
		bus_connection = connected;
	} else if (thread) {
		// Left waiting; what it gets later is never used.
		fprintf(stderr, "the system bus did not answer within %.1f s\n", bus_deadline_ms / 1000.0);
	}
	if (!bus_connection) {
		fprintf(stderr, "bus == NULL\n");
		return;
	}
	msg = dbus_message_new_method_call("com.nokia.mce", "/com/nokia/mce/request",
		"com.nokia.mce.request", "req_display_blanking_pause");
	if (!msg) {
		fprintf(stderr, "Message Null\n");
		exit(1);
	}
	// No reply is awaited. Said so, the bus delivers every resend of the
	// one message; otherwise it refuses repeats of a serial still
	// waiting for its answer.
	dbus_message_set_no_reply(msg, TRUE);
	wakeuptimer = SDL_AddTimer(0, heratys, NULL);
}

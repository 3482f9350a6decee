#include "wake.h"

#include <SDL/SDL.h>
#include <dbus/dbus.h>
#include <stdio.h>
#include <stdlib.h>

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
	dbus_connection_flush(bus_connection);
	fprintf(stderr, "asked the display to stay awake\n");
	return 5000;
}

void pysyhereilla()
{
	dbus_error_init(&error);
	bus_connection = dbus_bus_get(DBUS_BUS_SYSTEM, &error);
	if (!bus_connection) {
		fprintf(stderr, "bus == NULL\n");
		dbus_error_free(&error);
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

// A small demo on the runtime frame for the runtime tests. Each frame clears
// to a red level that encodes its number and prints one line of clock state.
#include <GL/glew.h>
#include <stdio.h>
#include <stdlib.h>

#include "main.h"
#include "sync.h"

static const char* event_names[] = { "ev0", "ev10", "ev47", "ev48" };
static const float event_beats[] = { 0.0f, 10.0f, 47.0f, 48.0f };

void demo_config()
{
	config_stencilsize = 8;
}

void demo_init()
{
	song_file = getenv("RUNTIME_DEMO_SONG");
	beat_first = 0.128f;
	beat_last = 5.207f;
	beat_lastnum = 8.0f;
}

void demo_initgl()
{
	system_crap_pre();
}

void demo_run()
{
	const char* quit = getenv("RUNTIME_DEMO_QUIT");
	float quit_after = quit ? (float)atof(quit) : -1.0f;
	// A seek's frames step the events and draw and print nothing.
	for (long frame = 0;;) {
		bool drawn = !seeking;
		if (drawn) {
			glClearColor((float)((frame * 2) % 256) / 255.0f, 0.0f, 0.5f, 1.0f);
			glClear(GL_COLOR_BUFFER_BIT);
			printf("frame %ld t %.6f b %.6f fs %d fired", frame, timeval, beatgrid, frameskip);
		}
		for (int i = 0; i < 4; i++) {
			sync_c e(event_names[i], event_beats[i], 0);
			if (e.once() && drawn)
				printf(" %s", event_names[i]);
		}
		if (drawn) {
			printf("\n");
			fflush(stdout);
			frame++;
		}
		if (quit_after >= 0.0f && timeval > quit_after)
			exit(0);
		system_crap();
	}
}

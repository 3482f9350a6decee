// Music: one Ogg Vorbis track, started together with the clock.
#include "music.h"

#include <SDL/SDL_mixer.h>
#include <stdio.h>
#include <stdlib.h>

#include "files.h"

Mix_Music* music = NULL;

void startmusic(const char* song_file, bool on)
{
	if (!song_file)
		return;
	// Without music no audio device is needed: it runs where there is none.
	if (!on) {
		fprintf(stderr, "music off, no audio device opened\n");
		return;
	}
	fprintf(stderr, "initting music\n");
	if (Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096) != 0) {
		fprintf(stderr, "Error initializing SDL_mixer: %s\n", Mix_GetError());
		exit(1);
	}
	// The mixer opens the file itself; a FIFO there would block it.
	FILE* f = open_regular(song_file, "rb");
	if (!f) {
		fprintf(stderr, "guess what: %s: %s\n", song_file, open_failure());
		return;
	}
	fclose(f);
	music = Mix_LoadMUS(song_file);
	if (!music)
		fprintf(stderr, "guess what: %s\n", Mix_GetError());
}

void realstartmusic(float from)
{
	if (!music)
		return;
	Mix_PlayMusic(music, 0);
	Mix_SetMusicPosition((double)from);
}

void stopmusic()
{
	Mix_HaltMusic();
	Mix_FreeMusic(music);
	music = NULL;
}

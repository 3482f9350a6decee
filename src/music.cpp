// Music: one Ogg Vorbis track, started together with the clock.
#include "music.h"

#include <SDL/SDL_mixer.h>
#include <stdio.h>
#include <stdlib.h>

#include "main.h"

Mix_Music* music = NULL;

void startmusic()
{
	if (!song_file)
		return;
	fprintf(stderr, "initting music\n");
	if (Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096) != 0) {
		printf("Error initializing SDL_mixer: %s\n", Mix_GetError());
		exit(1);
	}
	music = Mix_LoadMUS(song_file);
	if (!music)
		fprintf(stderr, "guess what: %s\n", Mix_GetError());
}

void realstartmusic()
{
	if (config_otherflags & 1)
		Mix_PlayMusic(music, 0);
	Mix_SetMusicPosition((double)timeval_skip);
}

void stopmusic()
{
	Mix_HaltMusic();
	Mix_FreeMusic(music);
	music = NULL;
}

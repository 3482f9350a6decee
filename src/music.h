// Music: one Ogg Vorbis track, started together with the clock.
#pragma once

// Opens the audio device and loads the file; with `on` false, or no file,
// opens nothing.
void startmusic(const char* file, bool on);
void realstartmusic(float from);  // plays from `from` seconds
void stopmusic();

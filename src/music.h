#pragma once

void startmusic();      // opens the audio device and loads song_file
void realstartmusic();  // plays from timeval_skip
void stopmusic();

// A small synthesiser: voices that add themselves into stereo buses.
#pragma once

#include <vector>
#include "common.h"

const int RATE = 44100;

struct bus_c {
	std::vector<float> l, r;
	explicit bus_c(int frames) : l(frames, 0.0f), r(frames, 0.0f) {}
	int frames() const { return (int)l.size(); }
	// Adds a mono sample with the gains of pan_gain.
	void add(int i, float v, vec2 g) {
		if (i < 0 || i >= (int)l.size()) return;
		l[i] += v * g.x;
		r[i] += v * g.y;
	}
	void mix_into(bus_c& dst, float gain) const;
};

// State-variable filter (Chamberlin), stable up to about a sixth of the rate.
struct svf_c {
	float low = 0.0f, band = 0.0f;
	static float coef(float hz);
	// f is coef(cutoff): computed once where the cutoff stays put
	float lpf(float in, float f, float q) {
		low += f * band;
		float high = in - low - band / q;
		band += f * high;
		return low;
	}
	float lp(float in, float hz, float q) { return lpf(in, coef(hz), q); }
	float hpf(float in, float f, float q) {
		low += f * band;
		float high = in - low - band / q;
		band += f * high;
		return high;
	}
	float bpf(float in, float f, float q) {
		lpf(in, f, q);
		return band;
	}
	float hp(float in, float hz, float q) { return hpf(in, coef(hz), q); }
	float bp(float in, float hz, float q) { return bpf(in, coef(hz), q); }
};

// Second-order filter (RBJ cookbook) for the top octaves, where the state-
// variable filter above cannot go.
struct biquad_c {
	float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
	float z1 = 0.0f, z2 = 0.0f;
	static biquad_c lowpass(float hz, float q);
	static biquad_c highpass(float hz, float q);
	float run(float in) {
		float out = b0 * in + z1;
		z1 = b1 * in - a1 * out + z2;
		z2 = b2 * in - a2 * out;
		return out;
	}
};

float midi_hz(float note);
// Equal-power gains for pan -1 (left) … +1 (right).
vec2 pan_gain(float pan);

// Oscillators with band-limited steps (polyBLEP).
float saw(float& phase, float inc);
float square(float& phase, float inc);

void kick(bus_c& b, int at, float gain);
void clap(bus_c& b, int at, float gain, rng_c& rng);
void snare(bus_c& b, int at, float gain, rng_c& rng);
void hat(bus_c& b, int at, float gain, bool open, float pan, rng_c& rng);
void crash(bus_c& b, int at, float gain, rng_c& rng);
void impact(bus_c& b, int at, float gain, rng_c& rng);
void subdrop(bus_c& b, int at, int len, float gain);
void bass(bus_c& b, int at, int len, float note, float gain);
void pad(bus_c& b, int at, int len, const std::vector<int>& notes, float gain, float cutoff,
	float attack_s, float release_s, rng_c& rng);
void pluck(bus_c& b, int at, int len, float note, float gain, float pan, float bright);
void bell(bus_c& b, int at, float note, float gain, float pan, float decay_s = 2.5f);
void riser(bus_c& b, int at, int len, float gain, rng_c& rng);
void sweep_down(bus_c& b, int at, int len, float gain, rng_c& rng);

// Tempo-synced ping-pong echo, added onto the bus itself.
void pingpong(bus_c& b, int delay, float feedback, float wet);
// Smooth gain curve applied over [from, to) of a bus.
void ramp(bus_c& b, int from, int to, float g0, float g1);

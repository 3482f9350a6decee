#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {
const float TAU = 6.2831853f;

float noise(rng_c& rng) { return rng.unit() * 2.0f - 1.0f; }

float blep(float t, float dt) {
	if (t < dt) {
		t /= dt;
		return t + t - t * t - 1.0f;
	}
	if (t > 1.0f - dt) {
		t = (t - 1.0f) / dt;
		return t * t + t + t + 1.0f;
	}
	return 0.0f;
}
}  // namespace

void bus_c::mix_into(bus_c& dst, float gain) const {
	int n = std::min(frames(), dst.frames());
	for (int i = 0; i < n; i++) {
		dst.l[i] += l[i] * gain;
		dst.r[i] += r[i] * gain;
	}
}

float svf_c::coef(float hz) { return 2.0f * std::sin(3.14159265f * std::min(hz, RATE / 6.0f) / RATE); }

namespace {
biquad_c cookbook(float hz, float q, float sign) {
	float w = 6.2831853f * hz / RATE, alpha = std::sin(w) / (2.0f * q), c = std::cos(w);
	float a0 = 1.0f + alpha;
	biquad_c f;
	f.b1 = (1.0f - sign * c) * sign / a0;
	f.b0 = f.b2 = (1.0f - sign * c) * 0.5f / a0;
	f.a1 = -2.0f * c / a0;
	f.a2 = (1.0f - alpha) / a0;
	return f;
}
}  // namespace

biquad_c biquad_c::lowpass(float hz, float q) { return cookbook(hz, q, 1.0f); }
biquad_c biquad_c::highpass(float hz, float q) { return cookbook(hz, q, -1.0f); }

float midi_hz(float note) { return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f); }

vec2 pan_gain(float pan) {
	float a = (pan + 1.0f) * 0.25f * 3.14159265f;
	return vec2(std::cos(a), std::sin(a));
}

float saw(float& phase, float inc) {
	float v = 2.0f * phase - 1.0f - blep(phase, inc);
	phase += inc;
	if (phase >= 1.0f) phase -= 1.0f;
	return v;
}

float square(float& phase, float inc) {
	float v = (phase < 0.5f ? 1.0f : -1.0f) + blep(phase, inc);
	float p2 = phase + 0.5f;
	if (p2 >= 1.0f) p2 -= 1.0f;
	v -= blep(p2, inc);
	phase += inc;
	if (phase >= 1.0f) phase -= 1.0f;
	return v;
}

// Sine with a falling pitch and a click at the very first sample, so the
// onset sits exactly on the beat. The click's noise is a band around 3 kHz
// added after the saturation: an edge the ear locates, not a hiss.
void kick(bus_c& b, int at, float gain) {
	vec2 c = pan_gain(0.0f);
	rng_c rng((uint64_t)at);
	biquad_c hp = biquad_c::highpass(1500.0f, 0.7f), lp = biquad_c::lowpass(5000.0f, 0.7f);
	float phase = 0.0f;
	int len = (int)(0.45f * RATE);
	for (int i = 0; i < len; i++) {
		float t = (float)i / RATE;
		float hz = 48.0f + 150.0f * std::exp(-t * 38.0f);
		phase += hz / RATE;
		float env = std::exp(-t * 7.5f) * std::min(1.0f, i / 20.0f);
		float body = std::sin(TAU * phase) * env;
		float edge = lp.run(hp.run(noise(rng))) * std::exp(-t * 400.0f) * 2.0f;
		// the thump rises over 0.2 ms: a step there would reach up to the top
		float thump = std::exp(-t * 900.0f) * 0.6f * std::min(1.0f, i / 9.0f);
		float v = std::tanh((body * 1.3f + thump) * 1.2f) + edge;
		b.add(at + i, v * gain, c);
	}
}

void clap(bus_c& b, int at, float gain, rng_c& rng) {
	svf_c f;
	vec2 c = pan_gain(0.0f);
	int len = (int)(0.3f * RATE);
	const float fc = svf_c::coef(1300.0f);
	for (int i = 0; i < len; i++) {
		float t = (float)i / RATE;
		// three quick, fading bursts melting into a tail
		int burst = (int)(t / 0.009f);
		float env = burst < 3 ? std::exp(-std::fmod(t, 0.009f) * 250.0f) * (1.0f - 0.25f * burst) : 0.0f;
		env = std::max(env, 0.45f * std::exp(-std::max(t - 0.02f, 0.0f) * 20.0f) * std::min(1.0f, t / 0.02f));
		float v = f.bpf(noise(rng), fc, 1.4f);
		b.add(at + i, v * env * gain, c);
	}
}

void snare(bus_c& b, int at, float gain, rng_c& rng) {
	svf_c f;
	vec2 c = pan_gain(0.05f);
	int len = (int)(0.22f * RATE);
	biquad_c lp = biquad_c::lowpass(7000.0f, 0.7f);
	float ph = 0.0f;
	const float fc = svf_c::coef(1800.0f);
	for (int i = 0; i < len; i++) {
		float t = (float)i / RATE;
		ph += 190.0f / RATE;
		float tone = std::sin(TAU * ph) * std::exp(-t * 30.0f);
		float n = lp.run(f.hpf(noise(rng), fc, 0.8f)) * std::exp(-t * 18.0f);
		b.add(at + i, (tone * 0.5f + n) * gain, c);
	}
}

void hat(bus_c& b, int at, float gain, bool open, float pan, rng_c& rng) {
	vec2 c = pan_gain(pan);
	float decay = open ? 9.0f : 55.0f;
	int len = (int)((open ? 0.35f : 0.07f) * RATE);
	// noise between 6 and 11 kHz, falling steeply above it: no hiss at the top
	biquad_c hp = biquad_c::highpass(6000.0f, 0.8f), lp1 = biquad_c::lowpass(11000.0f, 0.7f),
		lp2 = biquad_c::lowpass(14000.0f, 0.7f);
	for (int i = 0; i < len; i++) {
		float t = (float)i / RATE;
		float v = lp2.run(lp1.run(hp.run(noise(rng)))) * 1.4f;  // the narrow band is quieter
		b.add(at + i, v * std::exp(-t * decay) * gain, c);
	}
}

void crash(bus_c& b, int at, float gain, rng_c& rng) {
	svf_c fl, fr;
	// shimmer between 4.5 and 9 kHz, not a hiss up to the top
	biquad_c ll1 = biquad_c::lowpass(9000.0f, 0.7f), ll2 = ll1, rl1 = ll1, rl2 = ll1;
	int len = (int)(2.5f * RATE);
	const float fc = svf_c::coef(4500.0f);
	for (int i = 0; i < len; i++) {
		float t = (float)i / RATE;
		float env = std::exp(-t * 3.2f) * std::min(1.0f, i / 30.0f);
		float l = ll2.run(ll1.run(fl.hpf(noise(rng), fc, 0.7f))) * env * gain;
		float r = rl2.run(rl1.run(fr.hpf(noise(rng), fc, 0.7f))) * env * gain;
		if (at + i < b.frames()) {
			b.l[at + i] += l;
			b.r[at + i] += r;
		}
	}
}

// A low boom with a noise burst: accents and camera hits.
void impact(bus_c& b, int at, float gain, rng_c& rng) {
	svf_c f;
	vec2 c = pan_gain(0.0f);
	float phase = 0.0f;
	int len = (int)(1.6f * RATE);
	for (int i = 0; i < len; i++) {
		float t = (float)i / RATE;
		phase += (38.0f + 90.0f * std::exp(-t * 12.0f)) / RATE;
		float boom = std::sin(TAU * phase) * std::exp(-t * 2.6f);
		float n = f.lp(noise(rng), 2500.0f * std::exp(-t * 3.0f) + 200.0f, 0.9f) * std::exp(-t * 5.0f);
		b.add(at + i, std::tanh(boom * 1.4f + n * 0.8f) * gain, c);
	}
}

void subdrop(bus_c& b, int at, int len, float gain) {
	vec2 c = pan_gain(0.0f);
	float phase = 0.0f;
	for (int i = 0; i < len; i++) {
		float t = (float)i / len;
		phase += (90.0f * std::pow(0.25f, t)) / RATE;
		float env = std::min(1.0f, i / 200.0f) * (1.0f - t) * (1.0f - t);
		b.add(at + i, std::sin(TAU * phase) * env * gain, c);
	}
}

// Round sub: sine plus a little filtered saw for definition.
void bass(bus_c& b, int at, int len, float note, float gain) {
	svf_c f;
	vec2 c = pan_gain(0.0f);
	float hz = midi_hz(note), p1 = 0.0f, p2 = 0.0f;
	int rel = (int)(0.02f * RATE);
	for (int i = 0; i < len + rel; i++) {
		float t = (float)i / RATE;
		float env = std::min(1.0f, i / 60.0f) * (i < len ? 1.0f : 1.0f - (float)(i - len) / rel);
		p1 += hz / RATE;
		if (p1 >= 1.0f) p1 -= 1.0f;
		float s = std::sin(TAU * p1);
		float sw = f.lp(saw(p2, hz / RATE), 300.0f + 1400.0f * std::exp(-t * 14.0f), 1.1f);
		b.add(at + i, (s * 0.85f + sw * 0.35f) * env * gain, c);
	}
}

// Detuned saws through a soft low-pass, slow attack, per-note stereo spread.
void pad(bus_c& b, int at, int len, const std::vector<int>& notes, float gain, float cutoff,
	float attack_s, float release_s, rng_c& rng) {
	int att = (int)(attack_s * RATE), rel = (int)(release_s * RATE);
	const float det[5] = {-0.11f, -0.05f, 0.0f, 0.06f, 0.12f};
	for (size_t n = 0; n < notes.size(); n++) {
		float hz = midi_hz((float)notes[n]);
		float ph[5];
		for (float& p : ph) p = rng.unit();
		svf_c fl, fr;
		float fc = 0.0f;
		for (int i = 0; i < len + rel; i++) {
			if ((i & 63) == 0) fc = svf_c::coef(cutoff * (0.85f + 0.15f * std::sin(i * (TAU * 0.2f / RATE) + n)));
			float env = std::min(1.0f, (float)i / att);
			if (i >= len) env *= 1.0f - (float)(i - len) / rel;
			env = env * env * (3.0f - 2.0f * env);
			float l = 0.0f, r = 0.0f;
			for (int k = 0; k < 5; k++) {
				float s = saw(ph[k], hz * std::pow(2.0f, det[k] / 12.0f) / RATE);
				l += s * (k < 3 ? 1.0f : 0.5f);
				r += s * (k > 1 ? 1.0f : 0.5f);
			}
			l = fl.lpf(l, fc, 0.8f);
			r = fr.lpf(r, fc, 0.8f);
			int j = at + i;
			if (j >= 0 && j < b.frames()) {
				b.l[j] += l * env * gain * 0.2f;
				b.r[j] += r * env * gain * 0.2f;
			}
		}
	}
}

void pluck(bus_c& b, int at, int len, float note, float gain, float pan, float bright) {
	svf_c f;
	vec2 c = pan_gain(pan);
	float hz = midi_hz(note), p1 = 0.0f, p2 = 0.25f;
	int tail = (int)(0.08f * RATE);
	// envelopes as per-sample factors; the filter moves every 16 samples
	const float amp_k = std::exp(-6.0f / RATE), cut_k = std::exp(-9.0f * 16.0f / RATE);
	float amp = 1.0f, sweep = 1.0f, fc = 0.0f;
	for (int i = 0; i < len + tail; i++) {
		if ((i & 15) == 0) {
			fc = svf_c::coef(hz * (1.5f + bright * 10.0f * sweep));
			sweep *= cut_k;
		}
		float env = amp * std::min(1.0f, i / 40.0f);
		amp *= amp_k;
		if (i >= len) env *= 1.0f - (float)(i - len) / tail;
		float s = saw(p1, hz / RATE) * 0.6f + square(p2, hz * 1.003f / RATE) * 0.4f;
		b.add(at + i, f.lpf(s, fc, 1.6f) * env * gain, c);
	}
}

// Two-operator FM bell.
void bell(bus_c& b, int at, float note, float gain, float pan, float decay_s) {
	vec2 c = pan_gain(pan);
	float hz = midi_hz(note), pc = 0.0f, pm = 0.0f;
	int len = (int)(decay_s * 2.0f * RATE);
	for (int i = 0; i < len; i++) {
		float t = (float)i / RATE;
		float env = std::exp(-t * 3.0f / decay_s) * std::min(1.0f, i / 30.0f);
		pm += hz * 3.5f / RATE;
		pc += hz / RATE;
		float idx = 2.2f * std::exp(-t * 4.0f);
		float v = std::sin(TAU * pc + idx * std::sin(TAU * pm));
		b.add(at + i, v * env * gain, c);
	}
}

// Noise through a rising band-pass with a rising tone under it.
void riser(bus_c& b, int at, int len, float gain, rng_c& rng) {
	svf_c fl, fr;
	// the band's upper skirt and the saw's top harmonics end above 7 kHz
	biquad_c dl = biquad_c::lowpass(7000.0f, 0.7f), dr = dl;
	float ph = 0.0f;
	for (int i = 0; i < len; i++) {
		float t = (float)i / len;
		float hz = 300.0f * std::pow(30.0f, t);
		// cut just before the end, so the hit that follows stands clear
		float cut = clamp01((float)(len - 1800 - i) / 900.0f);
		float env = t * t * gain * cut;
		ph += (110.0f * std::pow(4.0f, t)) / RATE;
		float tone = saw(ph, 110.0f * std::pow(4.0f, t) / RATE) * 0.15f;
		float l = dl.run(fl.bp(noise(rng), hz, 2.0f) + tone);
		float r = dr.run(fr.bp(noise(rng), hz * 1.02f, 2.0f) + tone);
		int j = at + i;
		if (j >= 0 && j < b.frames()) {
			b.l[j] += l * env;
			b.r[j] += r * env;
		}
	}
}

void sweep_down(bus_c& b, int at, int len, float gain, rng_c& rng) {
	svf_c fl, fr;
	biquad_c dl = biquad_c::lowpass(7000.0f, 0.7f), dr = dl;
	for (int i = 0; i < len; i++) {
		float t = (float)i / len;
		float hz = 9000.0f * std::pow(0.02f, t);
		float env = (1.0f - t) * std::min(1.0f, i / 100.0f) * gain;
		int j = at + i;
		if (j >= 0 && j < b.frames()) {
			b.l[j] += dl.run(fl.bp(noise(rng), hz, 1.5f)) * env;
			b.r[j] += dr.run(fr.bp(noise(rng), hz * 0.97f, 1.5f)) * env;
		}
	}
}

void pingpong(bus_c& b, int delay, float feedback, float wet) {
	int n = b.frames();
	std::vector<float> dl(n, 0.0f), dr(n, 0.0f);
	for (int i = 0; i < n; i++) {
		float inl = b.l[i], inr = b.r[i];
		float el = i >= delay ? dr[i - delay] * feedback + (inl + inr) * 0.5f : (inl + inr) * 0.5f;
		float er = i >= delay ? dl[i - delay] : 0.0f;
		dl[i] = el;
		dr[i] = er;
	}
	for (int i = 0; i < n; i++) {
		float el = i >= delay ? dl[i - delay] : 0.0f;
		float er = i >= delay ? dr[i - delay] : 0.0f;
		b.l[i] += el * wet;
		b.r[i] += er * wet;
	}
}

void ramp(bus_c& b, int from, int to, float g0, float g1) {
	from = std::max(from, 0);
	to = std::min(to, b.frames());
	for (int i = from; i < to; i++) {
		float t = (float)(i - from) / std::max(1, to - from);
		float g = g0 + (g1 - g0) * t;
		b.l[i] *= g;
		b.r[i] *= g;
	}
}

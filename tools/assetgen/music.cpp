// The soundtrack: A minor, 94.51 bpm, arranged along the demo's timeline,
// mixed to a stereo float buffer and encoded as Ogg Vorbis.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <vorbis/vorbisenc.h>

#include "assetgen.h"
#include "synth.h"

namespace {

const double beat0 = 0.128, beatlen = 0.634875;
const double song_end_s = 201.0;

int at(double beat) { return (int)std::lround((beat0 + beat * beatlen) * RATE); }
int len(double beats) { return (int)std::lround(beats * beatlen * RATE); }

// Chords as pad voicings; the first note is the bass root (an octave down).
struct chord_s {
	int root;
	std::vector<int> pad;
	std::vector<int> arp;
};
const chord_s Am = {33, {57, 60, 64, 69}, {69, 72, 76, 81}};
const chord_s F = {29, {53, 57, 60, 65}, {65, 69, 72, 77}};
const chord_s C = {36, {55, 60, 64, 67}, {67, 72, 76, 79}};
const chord_s G = {31, {55, 59, 62, 67}, {67, 71, 74, 79}};
const chord_s Em = {28, {52, 55, 59, 64}, {64, 67, 71, 76}};
const chord_s Dm = {26, {50, 53, 57, 62}, {62, 65, 69, 74}};
const chord_s E = {28, {52, 56, 59, 64}, {64, 68, 71, 76}};

const std::vector<const chord_s*> theme = {&Am, &F, &C, &G};
const std::vector<const chord_s*> credits = {&F, &G, &Em, &Am};
const std::vector<const chord_s*> groove = {&Dm, &Am, &F, &E};
const std::vector<const chord_s*> airy = {&Am, &F, &Dm, &Em};

// The main theme over four bars: (beat in the phrase, note, length).
struct note_s {
	float beat;
	int note;
	float length;
};
const note_s melody[] = {
	{0, 76, 1}, {1, 72, 0.5f}, {1.5f, 74, 0.5f}, {2, 76, 1}, {3, 79, 1},
	{4, 77, 1.5f}, {5.5f, 76, 0.5f}, {6, 72, 1}, {7, 69, 1},
	{8, 72, 1}, {9, 74, 0.5f}, {9.5f, 76, 0.5f}, {10, 79, 1.5f}, {11.5f, 76, 0.5f},
	{12, 74, 2}, {14, 71, 1}, {15, 67, 1},
};

// Section: beats [from, to) with what plays in it.
struct section_s {
	double from, to;
	const std::vector<const chord_s*>* prog;
	bool kick, clap, hats, bass, arp, lead;
	float pad_gain, pad_cut;
};

const section_s sections[] = {
	{0, 8, &theme, false, false, false, false, true, false, 0.8f, 900},
	{8, 48, &theme, true, false, true, true, true, false, 0.7f, 1500},
	{48, 104, &theme, true, true, true, true, true, true, 0.8f, 2200},
	{104, 114, &theme, false, false, false, false, false, false, 0.5f, 900},
	{114, 127, &theme, true, false, true, true, false, false, 0.7f, 1200},
	{127, 160, &theme, true, true, true, true, true, true, 0.9f, 3000},
	{160, 180, &credits, true, false, true, true, false, false, 0.8f, 1400},
	{180, 208, &theme, true, true, true, true, true, true, 0.85f, 2600},
	{208, 212, &groove, false, false, false, false, false, false, 0.8f, 600},
	{212, 240, &groove, true, true, true, true, true, false, 0.75f, 2000},
	{240, 256, &theme, true, true, true, true, true, true, 0.85f, 2800},
	{256, 273, &airy, false, false, false, false, false, false, 1.0f, 1100},
	{273, 288, &airy, false, false, false, true, true, false, 0.8f, 1200},
	{288, 312, &theme, true, true, true, true, true, true, 0.9f, 3000},
	{312, 316, &theme, false, false, false, false, false, false, 0.8f, 1200},
};

const chord_s& chord_at(const section_s& s, double beat) {
	int bar = (int)std::floor((beat - s.from) / 4.0);
	const std::vector<const chord_s*>& p = *s.prog;
	return *p[(size_t)bar % p.size()];
}

struct mix_s {
	bus_c drums, bass, pads, lead, fx;
	std::vector<float> duck;  // side-chain pump from the kick
	explicit mix_s(int n) : drums(n), bass(n), pads(n), lead(n), fx(n), duck(n, 1.0f) {}
};

void duck_after(mix_s& m, int start, float depth) {
	int l = (int)(0.28f * RATE);
	for (int i = 0; i < l && start + i < (int)m.duck.size(); i++) {
		float t = (float)i / l;
		float g = 1.0f - depth * (1.0f - t) * (1.0f - t);
		if (start + i >= 0) m.duck[start + i] = std::min(m.duck[start + i], g);
	}
}

void drums(mix_s& m, const section_s& s, rng_c& rng) {
	for (double b = s.from; b < s.to - 1e-6; b += 1.0) {
		int beat_in_bar = ((int)std::lround(b - s.from)) % 4;
		bool calm = s.prog == &credits;
		if (s.kick) {
			kick(m.drums, at(b), calm ? 0.8f : 1.0f);
			duck_after(m, at(b), calm ? 0.25f : 0.45f);
		}
		if (s.clap && (beat_in_bar == 1 || beat_in_bar == 3)) clap(m.drums, at(b), 0.5f, rng);
		if (s.hats) {
			// offbeat eighths with a little swing, ghost sixteenths when busy
			hat(m.drums, at(b + 0.5) + (int)(0.012 * RATE), calm ? 0.16f : 0.24f, false, 0.25f, rng);
			if (s.clap) {
				hat(m.drums, at(b + 0.25), 0.08f, false, -0.3f, rng);
				hat(m.drums, at(b + 0.75), 0.08f, false, -0.3f, rng);
			}
		}
	}
	// groove section: extra open hats and a shaker
	if (s.prog == &groove && s.kick)
		for (double b = s.from; b < s.to; b += 2.0) hat(m.drums, at(b + 1.5), 0.18f, true, 0.4f, rng);
}

void bassline(mix_s& m, const section_s& s) {
	if (!s.bass) return;
	for (double b = s.from; b < s.to - 1e-6; b += 0.5) {
		const chord_s& c = chord_at(s, b);
		int step = (int)std::lround((b - s.from) * 2.0) % 8;
		// root on the beats, octave jumps on some offbeats
		int note = c.root + 12;
		if (step == 3 || step == 7) note += 12;
		if (s.prog == &groove && step == 5) note += 7;
		bool rest = s.prog == &credits && (step % 2 == 1);
		if (s.from == 273 && b < 280) rest = (step % 4) != 0;
		if (!rest) bass(m.bass, at(b) + 30, len(0.42), (float)note, 0.42f);
	}
}

void pads(mix_s& m, const section_s& s, rng_c& rng) {
	for (double b = s.from; b < s.to - 1e-6;) {
		const chord_s& c = chord_at(s, b);
		double next = std::min(s.to, s.from + (std::floor((b - s.from) / 4.0) + 1.0) * 4.0);
		float cut = s.pad_cut;
		if (s.from == 114) cut = 600.0f + 3000.0f * (float)((b - 114) / 13.0);  // build-up opens
		if (s.from == 273) cut = 800.0f + 2200.0f * (float)((b - 273) / 15.0);
		if (s.from == 208) cut = 500.0f;
		float att = s.from == 256 ? 1.2f : 0.35f;
		pad(m.pads, at(b), at(next) - at(b), c.pad, s.pad_gain, cut, att, 0.5f, rng);
		b = next;
	}
}

void arps(mix_s& m, const section_s& s) {
	if (!s.arp) return;
	static const int order[8] = {0, 1, 2, 3, 2, 1, 3, 2};
	for (double b = s.from; b < s.to - 1e-6; b += 0.25) {
		const chord_s& c = chord_at(s, b);
		int step = (int)std::lround((b - s.from) * 4.0);
		int note = c.arp[order[step % 8]];
		float bright = s.from == 0 ? (float)(b / 8.0) * 0.5f : 0.45f;
		if (s.from == 273) bright = 0.2f + 0.8f * (float)((b - 273) / 15.0);
		if (s.from == 273 && b >= 280) note += 12;
		float g = s.lead ? 0.08f : 0.13f;
		pluck(m.lead, at(b), len(0.22), (float)note, g, (step % 2) ? 0.35f : -0.35f, bright);
	}
}

void leads(mix_s& m, const section_s& s) {
	if (!s.lead) return;
	for (double p = s.from; p < s.to - 1e-6; p += 16.0)
		for (const note_s& n : melody) {
			double b = p + n.beat;
			if (b >= s.to) break;
			pluck(m.lead, at(b), len(n.length * 0.9), (float)n.note, 0.2f, 0.0f, 0.9f);
			pluck(m.lead, at(b), len(n.length * 0.9), (float)n.note - 12.0f, 0.08f, 0.0f, 0.5f);
		}
}

// The sound design that follows the picture.
void events(mix_s& m, rng_c& rng) {
	riser(m.fx, at(0), len(8), 0.25f, rng);                 // phone flies in
	impact(m.fx, at(8), 0.5f, rng);
	crash(m.fx, at(8), 0.25f, rng);
	crash(m.fx, at(48), 0.3f, rng);
	impact(m.fx, at(96), 0.6f, rng);                        // accent at 96
	crash(m.fx, at(96), 0.35f, rng);
	// the phone rings: a two-tone trill, two beats on, two off
	for (double b = 104; b < 114; b += 4.0)
		for (int k = 0; k < 16 && b + k * 0.125 < 114; k++)
			bell(m.fx, at(b + k * 0.125), (k % 2) ? 88.0f : 84.0f, 0.09f, (k % 2) ? 0.3f : -0.3f, 0.3f);
	riser(m.fx, at(114), len(13), 0.3f, rng);               // into the second spin
	for (double b = 122; b < 127; b += (b < 125 ? 0.5 : 0.25))
		snare(m.drums, at(b), 0.18f + 0.05f * (float)(b - 122), rng);
	impact(m.fx, at(127), 0.75f, rng);                       // the drop
	crash(m.fx, at(127), 0.4f, rng);
	subdrop(m.fx, at(127), len(3), 0.4f);
	impact(m.fx, at(160), 0.4f, rng);
	const double hits[4] = {165, 170, 173, 178};             // credits' camera steps
	for (double h : hits) {
		impact(m.fx, at(h), 0.55f, rng);
		bell(m.fx, at(h), 81.0f, 0.12f, -0.2f, 1.5f);
		bell(m.fx, at(h), 88.0f, 0.08f, 0.2f, 1.5f);
	}
	crash(m.fx, at(180), 0.35f, rng);
	sweep_down(m.fx, at(208), len(4), 0.25f, rng);           // the break
	riser(m.fx, at(210), len(2), 0.3f, rng);
	impact(m.fx, at(212), 0.5f, rng);
	impact(m.fx, at(224), 0.6f, rng);                        // polyhedron accents
	crash(m.fx, at(224), 0.3f, rng);
	impact(m.fx, at(232.5), 0.6f, rng);
	crash(m.fx, at(240), 0.35f, rng);
	riser(m.fx, at(248), len(2), 0.5f, rng);                 // the city breaks up
	impact(m.fx, at(250), 0.9f, rng);                        // and explodes
	crash(m.fx, at(250), 0.5f, rng);
	sweep_down(m.fx, at(250), len(6), 0.4f, rng);
	subdrop(m.fx, at(250), len(5), 0.6f);
	// the airy passage: bells over the pad
	const int bells[8] = {76, 81, 79, 72, 77, 84, 74, 71};
	for (int k = 0; k < 16; k++) {
		double b = 256.5 + k;
		if (b >= 273) break;
		bell(m.fx, at(b), (float)bells[k % 8], 0.1f, (k % 2) ? 0.45f : -0.45f, 2.5f);
	}
	riser(m.fx, at(280), len(8), 0.4f, rng);                 // into space
	for (double b = 284; b < 288; b += (b < 286 ? 0.5 : 0.25))
		snare(m.drums, at(b), 0.15f + 0.05f * (float)(b - 284), rng);
	impact(m.fx, at(288), 0.7f, rng);
	crash(m.fx, at(288), 0.4f, rng);
	impact(m.fx, at(312), 0.4f, rng);
	bell(m.fx, at(312), 69.0f, 0.15f, 0.0f, 4.0f);
}

// Space flight: the kick comes back halfway.
void space_drums(mix_s& m, rng_c& rng) {
	for (double b = 280; b < 288; b += 1.0) {
		kick(m.drums, at(b), 0.8f);
		duck_after(m, at(b), 0.35f);
		hat(m.drums, at(b + 0.5), 0.18f, false, 0.25f, rng);
	}
}

// The peak level that 90 % of 50 ms blocks stay under: stacked hits above
// it are limited, the regular kicks are not.
float loud_peak(const bus_c& b) {
	std::vector<float> peaks;
	int block = RATE / 20;
	for (int i = 0; i + block <= b.frames(); i += block) {
		float p = 0.0f;
		for (int j = i; j < i + block; j++) p = std::max(p, std::max(std::fabs(b.l[j]), std::fabs(b.r[j])));
		if (p > 1e-4f) peaks.push_back(p);
	}
	if (peaks.empty()) return 1.0f;
	std::sort(peaks.begin(), peaks.end());
	return peaks[peaks.size() * 9 / 10];
}

// Peak limiter without clipping: the gain needed at each sample, ramped in
// over 2 ms before a peak and released over 60 ms after it.
void limit(bus_c& b, float threshold) {
	int n = b.frames();
	std::vector<float> g(n);
	for (int i = 0; i < n; i++) {
		float p = std::max(std::fabs(b.l[i]), std::fabs(b.r[i]));
		g[i] = p > threshold ? threshold / p : 1.0f;
	}
	const float attack = 1.0f / (0.002f * RATE), release = 1.0f / (0.06f * RATE);
	for (int i = n - 2; i >= 0; i--) g[i] = std::min(g[i], g[i + 1] + attack);
	for (int i = 1; i < n; i++) g[i] = std::min(g[i], g[i - 1] + release);
	for (int i = 0; i < n; i++) {
		b.l[i] *= g[i];
		b.r[i] *= g[i];
	}
}

void master(mix_s& m, bus_c& out) {
	int n = out.frames();
	pingpong(m.lead, len(0.75), 0.38f, 0.45f);
	pingpong(m.fx, len(1.5), 0.3f, 0.25f);
	for (int i = 0; i < n; i++) {
		float d = m.duck[i];
		m.bass.l[i] *= d;
		m.bass.r[i] *= d;
		m.pads.l[i] *= 0.5f + 0.5f * d;
		m.pads.r[i] *= 0.5f + 0.5f * d;
	}
	m.drums.mix_into(out, 1.0f);
	m.bass.mix_into(out, 0.7f);
	m.pads.mix_into(out, 0.38f);
	m.lead.mix_into(out, 0.42f);
	m.fx.mix_into(out, 0.42f);
	// gentle fade after the last phrase
	ramp(out, at(312), at(316), 1.0f, 0.0f);
	ramp(out, at(316), n, 0.0f, 0.0f);
	limit(out, loud_peak(out));
	// peaks at -3.1 dBFS: the encoder's noise fill adds to them and must stay
	// under -1 dBFS
	float peak = 0.0f;
	for (int i = 0; i < n; i++) peak = std::max(peak, std::max(std::fabs(out.l[i]), std::fabs(out.r[i])));
	ramp(out, 0, n, 0.7f / peak, 0.7f / peak);
}

void fail(const char* what) {
	fprintf(stderr, "assetgen: vorbis encoder: %s\n", what);
	exit(1);
}

void encode(const std::string& fn, const bus_c& out) {
	FILE* f = fopen(fn.c_str(), "wb");
	if (!f) fail("cannot open output file");
	vorbis_info vi;
	vorbis_info_init(&vi);
	if (vorbis_encode_init_vbr(&vi, 2, RATE, 0.5f)) fail("unsupported mode");
	vorbis_comment vc;
	vorbis_comment_init(&vc);
	vorbis_comment_add_tag(&vc, "TITLE", "quintaro");
	vorbis_comment_add_tag(&vc, "ARTIST", "QVD");
	vorbis_dsp_state vd;
	vorbis_block vb;
	vorbis_analysis_init(&vd, &vi);
	vorbis_block_init(&vd, &vb);
	ogg_stream_state os;
	ogg_stream_init(&os, 0x51564431);  // fixed serial: byte-identical runs
	ogg_packet h0, h1, h2;
	vorbis_analysis_headerout(&vd, &vc, &h0, &h1, &h2);
	ogg_stream_packetin(&os, &h0);
	ogg_stream_packetin(&os, &h1);
	ogg_stream_packetin(&os, &h2);
	ogg_page og;
	while (ogg_stream_flush(&os, &og)) {
		fwrite(og.header, 1, og.header_len, f);
		fwrite(og.body, 1, og.body_len, f);
	}
	int n = out.frames(), pos = 0;
	const int chunk = 4096;
	bool eos = false;
	while (!eos) {
		int c = std::min(chunk, n - pos);
		if (c > 0) {
			float** buf = vorbis_analysis_buffer(&vd, c);
			std::copy(out.l.begin() + pos, out.l.begin() + pos + c, buf[0]);
			std::copy(out.r.begin() + pos, out.r.begin() + pos + c, buf[1]);
			vorbis_analysis_wrote(&vd, c);
			pos += c;
		} else {
			vorbis_analysis_wrote(&vd, 0);
		}
		while (vorbis_analysis_blockout(&vd, &vb) == 1) {
			vorbis_analysis(&vb, nullptr);
			vorbis_bitrate_addblock(&vb);
			ogg_packet op;
			while (vorbis_bitrate_flushpacket(&vd, &op)) {
				ogg_stream_packetin(&os, &op);
				while (ogg_stream_pageout(&os, &og)) {
					fwrite(og.header, 1, og.header_len, f);
					fwrite(og.body, 1, og.body_len, f);
					if (ogg_page_eos(&og)) eos = true;
				}
			}
		}
	}
	ogg_stream_clear(&os);
	vorbis_block_clear(&vb);
	vorbis_dsp_clear(&vd);
	vorbis_comment_clear(&vc);
	vorbis_info_clear(&vi);
	if (fclose(f)) fail("cannot write output file");
}

}  // namespace

void gen_music(const std::string& dir) {
	int frames = (int)(song_end_s * RATE);
	mix_s m(frames);
	rng_c rng(2014);
	for (const section_s& s : sections) {
		drums(m, s, rng);
		bassline(m, s);
		pads(m, s, rng);
		arps(m, s);
		leads(m, s);
	}
	space_drums(m, rng);
	events(m, rng);
	bus_c out(frames);
	master(m, out);
	encode(dir + "/quintaro.ogg", out);
}

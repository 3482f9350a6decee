// The generated music, measured from the decoded audio: format, length,
// level, and a transient on every beat of the grid wherever drums play.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>
#include <vorbis/vorbisfile.h>

namespace {

struct audio_s {
	int rate = 0, channels = 0;
	std::vector<float> mono;
	float peak = 0.0f;
};

const audio_s& song() {
	static audio_s a;
	if (a.rate) return a;
	OggVorbis_File vf;
	if (ov_fopen("quintaro.ogg", &vf) != 0) {
		ADD_FAILURE() << "cannot open quintaro.ogg";
		return a;
	}
	vorbis_info* vi = ov_info(&vf, -1);
	a.rate = (int)vi->rate;
	a.channels = vi->channels;
	int section;
	float** pcm;
	long n;
	while ((n = ov_read_float(&vf, &pcm, 4096, &section)) > 0)
		for (long i = 0; i < n; i++) {
			float m = 0.0f;
			for (int c = 0; c < a.channels; c++) {
				m += pcm[c][i];
				a.peak = std::max(a.peak, std::fabs(pcm[c][i]));
			}
			a.mono.push_back(m / a.channels);
		}
	ov_clear(&vf);
	return a;
}

double beat_s(double b) { return 0.128 + 0.634875 * b; }

float rms(const audio_s& a, double t0, double t1) {
	size_t i0 = (size_t)(t0 * a.rate), i1 = std::min(a.mono.size(), (size_t)(t1 * a.rate));
	double s = 0;
	for (size_t i = i0; i < i1; i++) s += a.mono[i] * a.mono[i];
	return i1 > i0 ? (float)std::sqrt(s / (i1 - i0)) : 0.0f;
}

// Beats where the drums play, section by section.
std::vector<int> drum_beats() {
	const int spans[][2] = {{8, 48}, {48, 104}, {114, 127}, {127, 160}, {160, 180}, {180, 208},
		{212, 240}, {240, 256}, {280, 288}, {288, 312}};
	std::vector<int> out;
	for (const auto& s : spans)
		for (int b = s[0]; b < s[1]; b++) out.push_back(b);
	return out;
}

}  // namespace

TEST(AssetMusic, StereoTrackAboutTwoHundredSecondsWithHeadroom) {
	const audio_s& a = song();
	ASSERT_EQ(44100, a.rate);
	EXPECT_EQ(2, a.channels);
	double len = (double)a.mono.size() / a.rate;
	EXPECT_GT(len, beat_s(315));
	EXPECT_LT(len, 210.0);
	EXPECT_LE(a.peak, 0.8913f) << "peaks above -1 dBFS";
	// the drop is loud, the face's passage calm, the very end silent
	float drop = rms(a, beat_s(128), beat_s(159)), airy = rms(a, beat_s(258), beat_s(272));
	EXPECT_GT(drop, 0.08f);
	EXPECT_LT(airy, drop * 0.8f);
	EXPECT_GT(airy, 0.005f) << "the airy passage is not silence";
	EXPECT_LT(rms(a, len - 0.2, len), 0.005f);
}

TEST(AssetMusic, EveryDrumBeatHasATransientOnTheGrid) {
	const audio_s& a = song();
	ASSERT_GT(a.rate, 0);
	// High-passed (about 2 kHz) so that pads and bass do not mask the attack;
	// energy in 1 ms windows every 0.25 ms; the onset is the first frame that
	// rises at least half as steeply as the steepest rise near the beat.
	std::vector<float> hp(a.mono.size());
	float low = 0.0f, k = 1.0f - std::exp(-6.2831853f * 2000.0f / a.rate);
	for (size_t i = 0; i < hp.size(); i++) {
		low += k * (a.mono[i] - low);
		hp[i] = a.mono[i] - low;
	}
	const int hop = a.rate / 4000, win = a.rate / 1000;
	auto energy = [&](long f) {
		double s = 0;
		for (long i = f * hop - win; i < f * hop; i++)
			if (i >= 0 && i < (long)hp.size()) s += hp[i] * hp[i];
		return s;
	};
	auto hp_rms = [&](double t0, double t1) {
		double s = 0;
		long i0 = (long)(t0 * a.rate), i1 = (long)(t1 * a.rate);
		for (long i = i0; i < i1; i++) s += hp[i] * hp[i];
		return std::sqrt(s / (i1 - i0));
	};
	int late = 0, weak = 0;
	std::string weak_list;
	std::vector<int> beats = drum_beats();
	for (int b : beats) {
		double t = beat_s(b);
		long f0 = (long)((t - 0.02) * a.rate / hop), f1 = (long)((t + 0.02) * a.rate / hop);
		std::vector<double> rises;
		for (long f = f0; f <= f1; f++) rises.push_back(energy(f) - energy(f - 4));
		double steepest = *std::max_element(rises.begin(), rises.end());
		long best = f0;
		while (rises[best - f0] < steepest * 0.5) best++;
		double err = (double)best * hop / a.rate - 0.0005 - t;
		if (std::fabs(err) > 0.005) {
			late++;
			ADD_FAILURE() << "beat " << b << " onset off by " << err * 1000 << " ms";
		}
		if (hp_rms(t, t + 0.015) < hp_rms(t - 0.025, t - 0.003) * 1.5) {
			weak++;
			weak_list += " " + std::to_string(b);
		}
	}
	EXPECT_EQ(0, late);
	EXPECT_LE(weak, (int)beats.size() / 50) << "beats without a clear transient:" << weak_list;
}

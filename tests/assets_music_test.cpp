// The generated music, measured from the decoded audio: format, length,
// level, a transient on every beat of the grid wherever drums play, the
// tonal balance per octave, and loudness and true peak from a meter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
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

// In-place radix-2 FFT; n is a power of two.
void fft(std::vector<std::complex<double>>& a) {
	size_t n = a.size();
	for (size_t i = 1, j = 0; i < n; i++) {
		size_t bit = n >> 1;
		for (; j & bit; bit >>= 1) j ^= bit;
		j ^= bit;
		if (i < j) std::swap(a[i], a[j]);
	}
	for (size_t len = 2; len <= n; len <<= 1) {
		std::complex<double> step = std::polar(1.0, -2.0 * M_PI / len);
		for (size_t i = 0; i < n; i += len) {
			std::complex<double> w = 1.0;
			for (size_t k = 0; k < len / 2; k++, w *= step) {
				std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
				a[i + k] = u + v;
				a[i + k + len / 2] = u - v;
			}
		}
	}
}

const double octave_hz[9] = {63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};

// Energy per octave band (dB, arbitrary reference) of the whole track:
// Hann-windowed 8192-sample spectra at half overlap, averaged, summed over
// [centre / sqrt 2, centre * sqrt 2).
std::vector<double> octave_db(const audio_s& a) {
	const size_t n = 8192;
	std::vector<double> power(n / 2 + 1, 0.0), window(n);
	for (size_t i = 0; i < n; i++) window[i] = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / (n - 1));
	std::vector<std::complex<double>> buf(n);
	int spectra = 0;
	for (size_t at = 0; at + n <= a.mono.size(); at += n / 2, spectra++) {
		for (size_t i = 0; i < n; i++) buf[i] = a.mono[at + i] * window[i];
		fft(buf);
		for (size_t k = 0; k <= n / 2; k++) power[k] += std::norm(buf[k]);
	}
	std::vector<double> out;
	for (double c : octave_hz) {
		double sum = 1e-30;
		for (size_t k = 1; k <= n / 2; k++) {
			double hz = (double)k * a.rate / n;
			if (hz >= c / std::sqrt(2.0) && hz < c * std::sqrt(2.0)) sum += power[k] / std::max(spectra, 1);
		}
		out.push_back(10.0 * std::log10(sum));
	}
	return out;
}

// Integrated loudness (LUFS) and true peak (dBFS) from ffmpeg's EBU R128
// meter, read from its closing summary.
bool meter(double& lufs, double& true_peak) {
	FILE* p = popen("ffmpeg -nostdin -nostats -hide_banner -i quintaro.ogg "
		"-af ebur128=peak=true:framelog=verbose -f null - 2>&1", "r");
	if (!p) return false;
	std::string out;
	char line[512];
	while (fgets(line, sizeof line, p)) out += line;
	if (pclose(p) != 0) return false;
	size_t sum = out.find("Summary:");
	if (sum == std::string::npos) return false;
	size_t i = out.find("I:", sum), pk = out.find("Peak:", sum);
	return i != std::string::npos && pk != std::string::npos &&
		sscanf(out.c_str() + i, "I: %lf LUFS", &lufs) == 1 &&
		sscanf(out.c_str() + pk, "Peak: %lf dBFS", &true_peak) == 1;
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

TEST(AssetMusic, OctavesFallFromTheMidsToTheTop) {
	const audio_s& a = song();
	ASSERT_EQ(44100, a.rate);
	std::vector<double> db = octave_db(a);
	std::string table = "octave Hz:", level = "dB:       ";
	for (size_t o = 0; o < db.size(); o++) {
		char cell[16];
		snprintf(cell, sizeof cell, " %6.0f", octave_hz[o]);
		table += cell;
		snprintf(cell, sizeof cell, " %6.1f", db[o]);
		level += cell;
	}
	printf("%s\n%s\n", table.c_str(), level.c_str());
	// from the 1 kHz octave up: no octave more than 1 dB above the one below,
	// and the top octave well under the mids (no hiss or sizzle)
	for (size_t o = 4; o + 1 < db.size(); o++)
		EXPECT_LE(db[o + 1], db[o] + 1.0) << "the " << octave_hz[o + 1] << " Hz octave rises";
	EXPECT_LE(db[8], db[4] - 15.0) << "the top octave is too loud";
}

TEST(AssetMusic, IntegratedLoudnessAndTruePeakOnTheMeter) {
	double lufs = 0.0, true_peak = 0.0;
	ASSERT_TRUE(meter(lufs, true_peak)) << "ffmpeg's loudness meter gave no summary for quintaro.ogg";
	printf("integrated %.1f LUFS, true peak %.1f dBFS\n", lufs, true_peak);
	EXPECT_GE(lufs, -15.0);
	EXPECT_LE(lufs, -12.0);
	EXPECT_LE(true_peak, -1.0);
}

// The demo's script run against recording stand-ins for every effect: which
// effects draw in each frame, into which target, when each stage ends, the
// events it creates, and the masking and reveal of the city.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <math.h>

#include <fstream>
#include <initializer_list>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "gltest.h"
#include "../src/stb_write.h"
#include "../content/demo.cpp"

// Globals the effects would own.
GLuint phonescreentex = 0;
glm::mat4 phone_rotation_mv(1.0f);
glm::mat4 phone_projection(1.0f);
bool show_whiteback = false;
bool flyphone_tunnelready = false;
bool phone_screen_covered = false;
float citybomb = 0;
float CityMaxDistance = 0;
GLuint scrollertex = 0;
float gravforce = 0;
float sf_zchange = 0;
float starang = 0;
float ylift = 0;
float ripsilu_mm = 0;
GLuint texturetesttex = 0;
float horizonbomb = 0;
int bumptgt = 0;
int gearAppear = 0;
extern const float face_depth = 0.6f;
extern const float ripsilu_depth = 0.3f;
extern const float pbtausta_depth = 0.4f;
extern const float bump_depth = -0.2f;

namespace {

const int win_w = 854;
const int win_h = 480;
const float beat_len = 0.634875f;

struct frame_s {
	int fc;
	float beat;
	bool whiteback;  // flags when the frame began
	bool ready;
	std::string draws;
	std::string checks;
	std::string vals;  // globals the script wrote, as "name=numbers" words
};

std::string setup_log;
std::vector<frame_s> frames;
int last_fc = -1;
float step_seconds = 0;  // demo time added per frame on top of real time
float end_beat = 1e9f;
int end_frames = 1 << 30;
int whiteback_calls = 0;
bool credits_seen = false;

void finish()
{
	sync_save();
	std::ofstream out("timeline.log");
	out << std::setprecision(9);
	out << setup_log << "\n";
	for (const frame_s& f : frames)
		out << f.fc << " " << f.beat << " " << f.whiteback << " " << f.ready << " |"
		    << f.draws << "|" << f.checks << "|" << f.vals << "\n";
	out.close();
	fflush(stderr);
	exit(0);
}

const char* target_name()
{
	GLint fb = 0;
	glGetIntegerv(GL_FRAMEBUFFER_BINDING, &fb);
	if (orange_fbo && (GLuint)fb == orange_fbo->fbohandle)
		return "@o";
	if (orangetex_fbo && (GLuint)fb == orangetex_fbo->fbohandle)
		return "@t";
	if (scrollertex_fbo && (GLuint)fb == scrollertex_fbo->fbohandle)
		return "@s";
	return fb == 0 ? "" : "@?";
}

// Notes a global of the frame (first write in a frame wins; none in the
// warm-up draws before the first frame).
void note_val(const char* name, std::initializer_list<float> v)
{
	if (frames.empty())
		return;
	std::string& vals = frames.back().vals;
	if (vals.find(std::string(" ") + name + "=") != std::string::npos)
		return;
	vals += std::string(" ") + name + "=";
	char buf[32];
	for (float x : v) {
		snprintf(buf, sizeof buf, "%.8g,", x);
		vals += buf;
	}
}

void note(const char* name)
{
	int fc = framecounter;
	if (fc != last_fc) {
		if (fc > end_frames || beatgrid > end_beat)
			finish();
		last_fc = fc;
		frames.push_back(frame_s{ fc, beatgrid, show_whiteback, flyphone_tunnelready, "", "", "" });
		timeval_skip += step_seconds;
		note_val("steps", { (float)frameskip });
	}
	frames.back().draws += std::string(" ") + name + target_name();
}

// The camera the script hands the city and the phone: two axes, the
// position, and the two scale terms of the projection.
void note_camera()
{
	const glm::mat4& m = phone_rotation_mv;
	note_val("x", { m[0][0], m[0][1], m[0][2] });
	note_val("y", { m[1][0], m[1][1], m[1][2] });
	note_val("p", { m[3][0], m[3][1], m[3][2] });
	note_val("proj", { phone_projection[0][0], phone_projection[1][1] });
}

// GL state an effect finds: in the opening the stars and the screen
// pictures draw flat, the phone and the city with depth (the city possibly
// masked and cut), the white background with depth at the far plane,
// passing where it equals the cleared depth; every later stage draws with
// depth alone, but for a picture that covers the view first, over depth
// cleared to its own.
void note_state(const std::string& name)
{
	bool white = !credits_seen && name == "texturetest";
	bool lit = white || name == "flyphone" || name == "orbitscroller" || name == "zreset" || name == "tunnel";
	bool city = !credits_seen && (name == "zreset" || name == "tunnel");
	const std::map<std::string, float> pictures = {
		{"bump", bump_depth}, {"ripsilu", ripsilu_depth}, {"pbtausta", pbtausta_depth}, {"face", face_depth}};
	bool flat = credits_seen && pictures.count(name) && !glIsEnabled(GL_DEPTH_TEST);
	std::string& c = frames.back().checks;
	if (!flat && (bool)glIsEnabled(GL_DEPTH_TEST) != (credits_seen || lit))
		c += " depth:" + name;
	GLint func = 0;
	glGetIntegerv(GL_DEPTH_FUNC, &func);
	if (white && func != GL_LEQUAL)
		c += " depthfunc:" + name;
	float depth = -1.0f;
	if (flat)
		glReadPixels(win_w / 3, win_h / 3, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
	if (flat && fabsf(depth - (0.5f * pictures.at(name) + 0.5f)) > 1e-5f)
		c += " cleared:" + name;
	if (glIsEnabled(GL_STENCIL_TEST) && !(lit && !white && !credits_seen))
		c += " stencil:" + name;
	if (glIsEnabled(GL_SCISSOR_TEST) && !city)
		c += " scissor:" + name;
}

void quad(float x0, float y0, float x1, float y1, float z, float r, float g, float b)
{
	glUseProgram(0);
	glColor3f(r, g, b);
	glBegin(GL_QUADS);
	glVertex3f(x0, y0, z);
	glVertex3f(x1, y0, z);
	glVertex3f(x1, y1, z);
	glVertex3f(x0, y1, z);
	glEnd();
}

bool red(uint32_t px)
{
	return (px & 0xffffff) == 0x0000ff;
}

// Screen of the stand-in phone: a band up from the middle of the bottom
// edge, where the city's reveal begins.
const int inside_x = win_w / 2, inside_y = 1;
const int outside_x = 20, outside_y = 1;

void paint_phone()
{
	note_val("orbit", { orbitradius });
	if (beatgrid >= 114.5f && ++whiteback_calls >= 3)
		show_whiteback = true;
	if (show_whiteback && whiteback_calls >= 5 && beatgrid >= 140.0f)
		flyphone_tunnelready = true;
	glStencilFunc(GL_ALWAYS, 1, 1);
	glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
	glStencilMask(1);
	quad(-0.2f, -1.0f, 0.2f, 0.3f, 0.0f, 0.5f, 0.5f, 0.5f);
	glStencilFunc(GL_ALWAYS, 0, 1);
}

void paint_white()
{
	quad(-1, -1, 1, 1, 0, 1, 1, 1);
}

void paint_stars()
{
	quad(-1, -1, 1, 1, 0, 0.2f, 0.2f, 0.2f);
}

// Pixels outside the phone's screen before the city and its backdrop.
uint32_t outside_before, top_before;

// Draws a red city.
void paint_city()
{
	outside_before = gltest_pixel(outside_x, outside_y);
	top_before = gltest_pixel(outside_x, win_h - 1);
	note_val("dist", { CityMaxDistance, (float)flyphone_tunnelready });
	note_val("flyer", { tunnelflyer.pos.x, tunnelflyer.pos.y, tunnelflyer.pos.z });
	note_val("bomb", { citybomb, horizonbomb });
	note_camera();
	quad(-1, -1, 1, 1, -0.5f, 1, 0, 0);
}

// Draws the backdrop behind the city, then notes which pixels the city
// reached and kept.
void paint_backdrop()
{
	quad(-1, -1, 1, 1, 0.9f, 0, 0, 1);
	// The script chose the phone scene from the flags the frame began with.
	bool ready = frames.back().ready;
	bool masked = !credits_seen && !ready && show_whiteback;
	bool revealing = !credits_seen && ready;
	char buf[64];
	if (masked) {
		snprintf(buf, sizeof buf, " mask=%s%s%.3f", red(gltest_pixel(inside_x, inside_y)) ? "R" : "-",
			gltest_pixel(outside_x, outside_y) == outside_before ? "U" : "-", viewport.pos);
		frames.back().checks += buf;
	} else if (revealing) {
		snprintf(buf, sizeof buf, " reveal=%s%s%.3f", red(gltest_pixel(outside_x, 0)) ? "R" : "-",
			gltest_pixel(outside_x, win_h - 1) == top_before ? "U" : "-", viewport.pos);
		frames.back().checks += buf;
	}
}

void note_ripsilu()
{
	note_val("mm", { ripsilu_mm });
}

void note_face()
{
	note_val("lift", { ylift });
}

class fake_c : public demoeffect_c {
public:
	fake_c(const char* n, void (*p)() = nullptr) : name(n), paint(p) {}
	void init() override { setup_log += std::string(" init:") + name; }
	void initgl() override { setup_log += std::string(" initgl:") + name; }
	void draw() override
	{
		std::string tag = name;
		if (tag == "bump")
			credits_seen = true;
		if (tag == "bump")
			tag += "=" + std::to_string(bumptgt);
		if (tag == "gear")
			tag += "=" + std::to_string(gearAppear);
		if (!ran)
			setup_log += std::string(" warm:") + name + target_name();
		else {
			note(tag.c_str());
			note_state(name);
		}
		if (paint)
			paint();
	}
	const char* name;
	void (*paint)();
	static bool ran;
};
bool fake_c::ran = false;

fake_c fake_flyphone("flyphone", paint_phone), fake_velmor("velmor"), fake_ballspring("ballspring"),
	fake_bump("bump"), fake_dode("dode"), fake_face("face", note_face), fake_fluid("fluid"), fake_gear("gear"),
	fake_heart("heart"), fake_lace("lace"), fake_qvdlogo("qvdlogo"), fake_mujuice("mujuice"),
	fake_orange("orange"), fake_orangetexgen("orangetexgen"), fake_orbitscroller("orbitscroller"),
	fake_pbtausta("pbtausta"), fake_ripsilu("ripsilu", note_ripsilu), fake_scrollertexgen("scrollertexgen"),
	fake_starfield("starfield", paint_stars), fake_starfield2("starfield2"),
	fake_textbox("textbox"), fake_texturetest("texturetest", paint_white),
	fake_tunnel("tunnel", paint_city), fake_zreset("zreset"), fake_screenshot("screenshot");

}  // namespace

demoeffect_c* flyphone = &fake_flyphone;
demoeffect_c* velmor = &fake_velmor;
demoeffect_c* ballspring = &fake_ballspring;
demoeffect_c* bump = &fake_bump;
demoeffect_c* dode = &fake_dode;
demoeffect_c* face = &fake_face;
demoeffect_c* fluid = &fake_fluid;
demoeffect_c* gear = &fake_gear;
demoeffect_c* heart = &fake_heart;
demoeffect_c* lace = &fake_lace;
demoeffect_c* qvdlogo = &fake_qvdlogo;
demoeffect_c* mujuice = &fake_mujuice;
demoeffect_c* orange = &fake_orange;
demoeffect_c* orangetexgen = &fake_orangetexgen;
demoeffect_c* orbitscroller = &fake_orbitscroller;
demoeffect_c* pbtausta = &fake_pbtausta;
demoeffect_c* ripsilu = &fake_ripsilu;
demoeffect_c* scrollertexgen = &fake_scrollertexgen;
demoeffect_c* starfield = &fake_starfield;
demoeffect_c* starfield2 = &fake_starfield2;
demoeffect_c* textbox = &fake_textbox;
demoeffect_c* texturetest = &fake_texturetest;
demoeffect_c* tunnel = &fake_tunnel;
demoeffect_c* zreset = &fake_zreset;
demoeffect_c* screenshot = &fake_screenshot;

// The script draws the city's backdrop after the city, without zreset's
// depth reset; cut to the open screen only where no scissor box cuts it.
void zreset_backdrop(float, bool open_only)
{
	note("backdrop");
	note_state("zreset");
	if (open_only && glIsEnabled(GL_SCISSOR_TEST))
		frames.back().checks += " open:zreset";
	paint_backdrop();
}

void phonedraw()
{
	note("phonedraw");
	note_state("phonedraw");
	note_camera();
	note_val("grav", { gravforce, timeval });
	note_val("starang", { starang });
}

namespace {

// A scratch folder holding the three pictures the script loads itself. Its
// name is fixed per test, so that a re-executed death-test child finds it.
std::string make_folder()
{
	char cwd[4096];
	if (!getcwd(cwd, sizeof cwd))
		return "";
	std::string d = std::string(cwd) + "/demo_timeline_" +
		::testing::UnitTest::GetInstance()->current_test_info()->name();
	if (system(("rm -rf '" + d + "' && mkdir -p '" + d + "/gfx'").c_str()) != 0)
		return "";
	const char* pics[] = { "whiteback.jpg", "callscreen2.jpg", "woods.jpg" };
	for (int i = 0; i < 3; i++) {
		// PNG data in a .jpg: the loader goes by the content.
		unsigned char px[8 * 8 * 3];
		for (int k = 0; k < 64; k++)
			px[k * 3] = (unsigned char)(60 * i), px[k * 3 + 1] = 200, px[k * 3 + 2] = (unsigned char)(255 - 60 * i);
		write_png_rgb_flipped((d + "/gfx/" + pics[i]).c_str(), 8, 8, px);
	}
	return d;
}

// Runs set-up and the script in a child process until the stand-ins end it.
void run_child(const std::string& dir, float skip_beat, float step_beats, int frame_limit,
	float last_beat)
{
	if (chdir(dir.c_str()) != 0 || !freopen("stderr.txt", "w", stderr))
		exit(3);
	// A shared virtual display sometimes refuses a connection; try again.
	for (int tries = 0; tries < 20 && !SDL_GetVideoSurface(); tries++) {
		SDL_Quit();
		if (tries)
			SDL_Delay(100);
		gltest_open(win_w, win_h);
	}
	if (!SDL_GetVideoSurface()) {
		fprintf(stderr, "no window: %s\n", SDL_GetError());
		exit(4);
	}
	video_w = win_w;
	video_h = win_h;
	demo_config();
	demo_init();
	demo_initgl();
	char buf[160];
	snprintf(buf, sizeof buf, " stencil=%i song=%s grid=%.3f,%.3f fbo=%ix%i,%ix%i,%ix%i",
		config_stencilsize, song_file, beatgrid_calc(0.128f), beatgrid_calc(5.207f),
		orangetex_fbo->width_p, orangetex_fbo->height_p, orange_fbo->width_p,
		orange_fbo->height_p, scrollertex_fbo->width_p, scrollertex_fbo->height_p);
	setup_log += buf;
	fake_c::ran = true;
	step_seconds = step_beats * beat_len;
	end_frames = frame_limit;
	end_beat = last_beat;
	if (skip_beat > 0)
		timeval_skip = 0.128f + beat_len * skip_beat;
	time_init();
	demo_run();
}

struct run_s {
	std::string setup;
	std::vector<frame_s> frames;
	std::string dump;
	std::string err;
};

std::string slurp(const std::string& fn)
{
	std::ifstream in(fn);
	std::stringstream ss;
	ss << in.rdbuf();
	return ss.str();
}

run_s read_run(const std::string& dir)
{
	run_s r;
	std::ifstream in(dir + "/timeline.log");
	std::getline(in, r.setup);
	std::string line;
	while (std::getline(in, line)) {
		frame_s f;
		std::istringstream ls(line);
		ls >> f.fc >> f.beat >> f.whiteback >> f.ready;
		size_t a = line.find('|'), b = line.find('|', a + 1);
		size_t c = line.find('|', b + 1);
		f.draws = line.substr(a + 1, b - a - 1);
		f.checks = line.substr(b + 1, c - b - 1);
		f.vals = line.substr(c + 1);
		r.frames.push_back(f);
	}
	r.dump = slurp(dir + "/eventsdump.txt");
	r.err = slurp(dir + "/stderr.txt");
	return r;
}

struct script_event_s {
	const char* name;
	float beat;
	bool oneshot;
};

const script_event_s script_events[] = {
	{ "phonetex_shot", 0, true }, { "phonetex_qvdlogo", 8, true },
	{ "startorbitscroller", 11, true }, { "phonetex_mu", 32, true },
	{ "stoporbitscroller-bum", 48, false }, { "phonetex_orange", 52, true },
	{ "stoporbitscroller", 53, true }, { "phonetex_callscreen", 104, true },
	{ "tunnelupmove", 156, true }, { "stoptunnel", 160, true }, { "bump1", 165, true },
	{ "bump2", 170, true }, { "bump3", 173, true }, { "bump4", 178, true },
	{ "stopgear", 180, true }, { "stopfly2", 208, true }, { "stopbump", 212, true },
	{ "stopdode", 240, true }, { "stopfly3", 256, true }, { "stopduce", 273, true },
	{ "stopspacefly", 288, true }, { "textbox", 300, false },
};

// Beats at which "event 'name' happened!" was printed.
std::vector<float> firings(const std::string& err, const std::string& name)
{
	std::vector<float> beats;
	std::string key = "event '" + name + "' happened! ";
	for (size_t p = err.find(key); p != std::string::npos; p = err.find(key, p + 1))
		beats.push_back(strtof(err.c_str() + p + key.size(), nullptr));
	return beats;
}

// What the opening draws in a frame, from its beat and the phone's flags.
std::string expected_opening(const frame_s& f, bool whiteback_after)
{
	float b = f.beat;
	bool scroll = b >= 11 && b < 53;
	std::string s;
	if (scroll)
		s += " scrollertexgen@s velmor@s";
	if (b >= 8 && b < 32)
		s += " qvdlogo@o";
	else if (b >= 32 && b < 52)
		s += " mujuice@o";
	else if (b >= 52 && b < 104)
		s += " orangetexgen@t orange@o heart@o lace@o";
	if (!f.ready) {
		// the white background is drawn behind the phone, after it
		s += f.whiteback ? " flyphone texturetest" : " starfield flyphone";
		if (scroll)
			s += " orbitscroller";
	}
	if (f.ready || whiteback_after)
		s += " tunnel backdrop";
	return s;
}

// Draw sequences of the later stages; index = stage number.
const char* stage_draws(int stage, float beat)
{
	switch (stage) {
	case 3: return " tunnel backdrop gear=1";
	case 4: return " ripsilu gear=1";
	case 5: return " pbtausta dode gear=2";
	case 6: return " tunnel backdrop";
	case 7: return " face fluid";
	case 8: return beat < 281 ? " starfield2 face face phonedraw" : " starfield2 face phonedraw";
	case 9: return beat >= 300 ? " starfield2 ballspring textbox phonedraw" : " starfield2 ballspring phonedraw";
	}
	return "";
}

// Effects that found the wrong depth, stencil or scissor state.
std::string state_faults(const std::vector<frame_s>& frames)
{
	std::string faults;
	for (const frame_s& f : frames) {
		std::istringstream ts(f.checks);
		std::string t;
		while (ts >> t)
			if (t.find(':') != std::string::npos)
				faults += " " + t + "@" + std::to_string(f.beat);
	}
	return faults;
}

// Numbers of a global noted in a frame; none if it was not noted.
std::vector<float> val(const frame_s& f, const std::string& name)
{
	std::vector<float> v;
	size_t p = f.vals.find(" " + name + "=");
	if (p == std::string::npos)
		return v;
	for (const char* c = f.vals.c_str() + p + name.size() + 2; *c && *c != ' ';) {
		char* end;
		v.push_back(strtof(c, &end));
		c = *end == ',' ? end + 1 : end;
	}
	return v;
}

::testing::AssertionResult near(const std::vector<float>& got, std::vector<float> want, float tol)
{
	bool ok = got.size() == want.size();
	for (size_t i = 0; ok && i < got.size(); i++)
		ok = fabsf(got[i] - want[i]) <= tol;
	if (ok)
		return ::testing::AssertionSuccess();
	auto text = [](const std::vector<float>& v) {
		std::string s;
		for (float x : v)
			s += " " + std::to_string(x);
		return s;
	};
	return ::testing::AssertionFailure() << "got" << text(got) << ", want" << text(want);
}

// A direction (x, z) turned by deg about the y axis, as the phone's turn does.
glm::vec2 turned(float x, float z, float deg)
{
	float a = deg * 3.14159265f / 180.0f;
	return glm::vec2(cosf(a) * x + sinf(a) * z, -sinf(a) * x + cosf(a) * z);
}

// The globals the script writes at its landmarks, against values worked out
// by hand from the script (rotations composed on paper).
void check_globals(const std::vector<frame_s>& frames, const std::vector<int>& first,
	const std::vector<int>& last)
{
	const float proj[] = { 0.80271f, 1.42815f };  // 70 degrees, 854 / 480
	const frame_s& s3 = frames[first[3]];
	EXPECT_TRUE(near(val(s3, "x"), { -0.0594f, 0.9397f, 0.3368f }, 2e-4f)) << "stage 3 camera";
	EXPECT_TRUE(near(val(s3, "y"), { 0.9848f, 0.0f, 0.1736f }, 2e-4f)) << "stage 3 camera";
	EXPECT_TRUE(near(val(s3, "proj"), { proj[0], proj[1] }, 2e-4f)) << "stage 3 projection";
	std::vector<float> fl = val(s3, "flyer");
	ASSERT_EQ(fl.size(), 3u);
	EXPECT_TRUE(near({ fl[0], fl[1] }, { 370.0f, -100.0f }, 1e-3f)) << "stage 3 flyer";
	EXPECT_GT(fl[2], -200.0f);
	EXPECT_LT(fl[2], -150.0f);

	const frame_s& s6 = frames[first[6]];
	EXPECT_TRUE(near(val(s6, "x"), { 0.0f, 1.0f, 0.0f }, 2e-4f)) << "stage 6 camera";
	EXPECT_TRUE(near(val(s6, "y"), { -0.8660f, 0.0f, 0.5f }, 2e-4f)) << "stage 6 camera";
	fl = val(s6, "flyer");
	ASSERT_EQ(fl.size(), 3u);
	EXPECT_GT(fl[0], 0.0f);
	EXPECT_LT(fl[0], 50.0f);
	EXPECT_TRUE(near({ fl[1], fl[2] }, { -100.0f, -200.0f + 0.1f * fl[0] }, 1e-3f)) << "stage 6 flyer";

	// The third flight breaks the city up from beat 248.
	int bombs = 0;
	for (int k = first[6]; k <= last[6]; k++) {
		float over = frames[k].beat - 248.0f;
		if (over <= 0.0f)
			continue;
		bombs++;
		EXPECT_TRUE(near(val(frames[k], "bomb"), { 0.2f * over, 0.1f * over }, 1e-4f)) << frames[k].beat;
	}
	EXPECT_GT(bombs, 3);

	// The picture brightens over the last beat before 212; the script sets
	// it after the draw, so a frame shows the previous frame's value.
	float brightest = 0.0f;
	for (int k = first[4] + 1; k <= last[4]; k++) {
		float want = glm::clamp(frames[k - 1].beat - 211.0f, 0.0f, 1.0f);
		EXPECT_TRUE(near(val(frames[k], "mm"), { want }, 1e-5f)) << frames[k].beat;
		brightest = glm::max(brightest, want);
	}
	EXPECT_GT(brightest, 0.0f);

	// The city's draw distance: at full reach through both city flights;
	// in the opening it nears 400 behind the phone, then 1000 once inside.
	for (int s : { 3, 6 })
		for (int k = first[s]; k <= last[s]; k++)
			ASSERT_EQ(val(frames[k], "dist")[0], 1000.0f) << "beat " << frames[k].beat;
	spring_c<float> dist(0.0f, 400.0f, 0.0002f, 0.98f);
	int city_frames = 0;
	for (int k = 0; k <= last[1]; k++) {
		std::vector<float> d = val(frames[k], "dist");
		if (d.empty())
			continue;
		if (d[1] != 0.0f)  // the phone is inside the city
			dist.init(dist.pos, 1000.0f, 0.0004f, 0.94f, dist.vel);
		dist.iterate((int)val(frames[k], "steps")[0]);
		city_frames++;
		ASSERT_NEAR(d[0], dist.pos, 0.01f) << "city distance at beat " << frames[k].beat;
	}
	EXPECT_GT(city_frames, 20);

	// From beat 48 the ring grows 0.3 per logic step.
	int k = 0;
	float radius = 70.0f;
	for (; frames[k].beat < 53.0f; k++)
		if (frames[k].beat >= 48.0f)
			radius += 0.3f * val(frames[k], "steps")[0];
	radius += 0.3f * val(frames[k], "steps")[0];
	EXPECT_TRUE(near(val(frames[k], "orbit"), { radius }, 0.01f)) << "orbit radius at beat 53";
	EXPECT_GT(radius, 71.0f);

	// The space flight: the phone backs off 50 units a beat from 300 and
	// turns from beat 279; its position and side axis after the turn.
	k = first[8];
	while (frames[k].beat < 285.0f)
		k++;
	float b = frames[k].beat;
	float zepo = 300.0f - (b - 273.0f) * 50.0f;
	float turn = sqrtf((b - 279.0f) / 9.0f) * 117.0f;
	glm::vec2 pos = turned(-0.93969f * zepo, -0.34202f * zepo - 70.0f, turn);
	glm::vec2 side = turned(0.93969f, 0.34202f, turn);
	EXPECT_TRUE(near(val(frames[k], "p"), { pos.x, -30.0f, pos.y }, 0.05f)) << "phone at beat " << b;
	EXPECT_TRUE(near(val(frames[k], "y"), { side.x, 0.0f, side.y }, 2e-4f)) << "phone at beat " << b;
	EXPECT_TRUE(near(val(frames[k], "proj"), { proj[0], proj[1] }, 2e-4f));
	EXPECT_TRUE(near(val(frames[k], "starang"), { turn - 117.0f }, 1e-3f));
	// the face rises off the top from beat 279, by (beat - 279)^2 / 4
	float rise = 0.5f * (b - 279.0f);
	EXPECT_TRUE(near(val(frames[k], "lift"), { -rise * rise }, 1e-4f));

	// The finale eases the phone on from where the flight left it: 10
	// further off and still turning (springs worked through by hand).
	b = frames[first[9]].beat;
	spring_c<float> zepo_s, ang_s;
	zepo_s.init(300.0f - (b - 273.0f) * 50.0f, 310.0f - (b - 273.0f) * 50.0f, 0.1f, 0.94f, -0.9f);
	ang_s.init(sqrtf((b - 279.0f) / 9.0f) * 117.0f, sqrtf((b - 279.0f) / 9.0f) * 117.0f, 0.01f, 0.94f, 0.02f);
	for (k = first[9]; k < (int)frames.size(); k++) {
		zepo_s.iterate((int)val(frames[k], "steps")[0]);
		ang_s.iterate((int)val(frames[k], "steps")[0]);
		if (k == first[9])
			continue;  // its phone was noted in the flight's part of the frame
		pos = turned(-0.93969f * zepo_s.pos, -0.34202f * zepo_s.pos - 70.0f, ang_s.pos);
		ASSERT_TRUE(near(val(frames[k], "p"), { pos.x, -30.0f, pos.y }, 0.05f)) << "finale at " << frames[k].beat;
		ASSERT_TRUE(near(val(frames[k], "starang"), { ang_s.pos - 117.0f }, 1e-3f));
	}

	// The finale's push: swaying with the time, growing from beat 300.
	k = first[9];
	while (frames[k].beat < 301.0f)
		k++;
	std::vector<float> g = val(frames[k], "grav");
	ASSERT_EQ(g.size(), 2u);
	EXPECT_NEAR(g[0], 1.0f + 0.1f * sinf(g[1]) + 0.02f * (frames[k].beat - 300.0f), 1e-4f);
}

int bump_target(float beat)
{
	return beat >= 178 ? 40 : beat >= 173 ? 30 : beat >= 170 ? 20 : beat >= 165 ? 10 : 0;
}

// Splits a frame's draws into stage segments from stage `from` on; returns
// the stages found, or an empty list if the draws fit no stage sequence.
std::vector<int> split_stages(std::string draws, int from, float beat)
{
	std::vector<int> found;
	int stage = from;
	while (!draws.empty() && stage <= 9) {
		std::string pat = stage_draws(stage, beat);
		if (stage == 2)
			pat = " bump=" + std::to_string(bump_target(beat));
		if (!pat.empty() && draws.compare(0, pat.size(), pat) == 0) {
			found.push_back(stage);
			draws = draws.substr(pat.size());
			continue;
		}
		stage++;
	}
	if (!draws.empty())
		return {};
	return found;
}

class DemoTimeline : public ::testing::Test {
protected:
	void SetUp() override
	{
		dir = make_folder();
		ASSERT_FALSE(dir.empty());
	}
	void TearDown() override
	{
		if (!dir.empty() && !HasFailure() && system(("rm -rf '" + dir + "'").c_str()) != 0)
			ADD_FAILURE() << "can't remove " << dir;
	}
	std::string dir;
};

TEST_F(DemoTimeline, SetUpLoadsEffectsInOrderAndWarmsUpIntoTheScreenTarget)
{
	EXPECT_EXIT(run_child(dir, 0, 2.0f, 2, 1e9f), ::testing::ExitedWithCode(0), "");
	run_s r = read_run(dir);
	EXPECT_EQ(r.setup,
		" init:orange init:orangetexgen"
		" initgl:orange initgl:orangetexgen initgl:texturetest initgl:heart initgl:scrollertexgen"
		" initgl:fluid initgl:flyphone initgl:orbitscroller initgl:tunnel initgl:zreset"
		" initgl:starfield initgl:lace initgl:velmor initgl:qvdlogo initgl:mujuice initgl:face"
		" initgl:pbtausta initgl:dode initgl:ripsilu initgl:gear initgl:ballspring initgl:bump"
		" initgl:starfield2 initgl:textbox"
		" warm:starfield@o warm:flyphone@o"
		" stencil=8 song=quintaro.ogg grid=0.000,8.000 fbo=128x128,512x256,1024x128");
	EXPECT_NE(r.err.find("fbo ok!"), std::string::npos);
}

TEST_F(DemoTimeline, FullRunDrawsEveryStageAndFiresEachEventOnce)
{
	const float step = 0.25f;  // several frames in every beat, whatever the machine's speed
	EXPECT_EXIT(run_child(dir, 0, step, 1 << 30, 302.0f), ::testing::ExitedWithCode(0), "");
	run_s r = read_run(dir);
	ASSERT_GT(r.frames.size(), 500u);

	// The script's own events, created at their positions, nothing else.
	std::map<std::string, float> table;
	for (const script_event_s& e : script_events)
		table[e.name] = e.beat;
	std::string dump;
	for (const auto& e : table) {
		char line[96];
		snprintf(line, sizeof line, "'%s' %.5f\n", e.first.c_str(), e.second);
		dump += line;
	}
	EXPECT_EQ(r.dump, dump);

	// Each one-shot fires once, in the first frame that reached it.
	for (const script_event_s& e : script_events) {
		std::vector<float> f = firings(r.err, e.name);
		if (!e.oneshot) {
			EXPECT_TRUE(f.empty()) << e.name;
			continue;
		}
		ASSERT_EQ(f.size(), 1u) << e.name;
		size_t k = 0;
		while (k < r.frames.size() && r.frames[k].beat < e.beat)
			k++;
		ASSERT_LT(k, r.frames.size()) << e.name;
		EXPECT_NEAR(f[0], r.frames[k].beat, 0.006f) << e.name;
	}

	// The opening, frame by frame.
	size_t i = 0;
	int masked = 0, masked_shown = 0, revealing = 0;
	for (; i < r.frames.size() && r.frames[i].draws.find("bump") == std::string::npos; i++) {
		const frame_s& f = r.frames[i];
		bool after = i + 1 < r.frames.size() ? r.frames[i + 1].whiteback : true;
		EXPECT_EQ(f.draws, expected_opening(f, after)) << "beat " << f.beat;
		EXPECT_LT(f.beat, 160.0f);
		// Inside the phone's screen the city shows once its reveal has
		// passed the wobble; outside it nothing is touched.
		size_t mk = f.checks.find("mask=");
		if (mk != std::string::npos) {
			masked++;
			float pos = strtof(f.checks.c_str() + mk + 7, nullptr);
			if (pos > 0.045f) {
				masked_shown++;
				EXPECT_EQ(f.checks[mk + 5], 'R') << "no city in the screen at beat " << f.beat;
			}
			EXPECT_EQ(f.checks[mk + 6], 'U') << "city outside the screen at beat " << f.beat;
		}
		size_t rv = f.checks.find("reveal=");
		if (rv != std::string::npos) {
			revealing++;
			float pos = strtof(f.checks.c_str() + rv + 9, nullptr);
			EXPECT_EQ(f.checks[rv + 7], 'R') << "bottom edge not revealed at beat " << f.beat;
			if (pos < 0.7f) {
				EXPECT_EQ(f.checks[rv + 8], 'U') << "top edge revealed early at beat " << f.beat;
			}
			EXPECT_GT(pos, 0.0f);
		}
	}
	EXPECT_GT(masked, 5);
	EXPECT_GT(masked_shown, 5);
	EXPECT_GT(revealing, 5);
	ASSERT_LT(i, r.frames.size());

	// The last opening frame is never shown: its city and the first
	// credits share one frame.
	const frame_s& joined = r.frames[i];
	size_t bp = joined.draws.find(" bump");
	EXPECT_GE(joined.beat, 160.0f);
	EXPECT_EQ(joined.draws.substr(0, bp), expected_opening(joined, true));

	// Later stages: each frame is a run of whole stage sequences.
	const float closing[] = { 0, 160, 180, 208, 212, 240, 256, 273, 288 };
	std::vector<int> first(10, -1), last(10, -1);
	first[1] = 0;
	last[1] = (int)i;
	int stage = 2;
	std::vector<int> seg = split_stages(joined.draws.substr(bp), 2, joined.beat);
	ASSERT_EQ(seg, std::vector<int>{ 2 });
	first[2] = last[2] = (int)i;
	for (size_t k = i + 1; k < r.frames.size(); k++) {
		seg = split_stages(r.frames[k].draws, stage, r.frames[k].beat);
		ASSERT_FALSE(seg.empty()) << "beat " << r.frames[k].beat << ":" << r.frames[k].draws;
		for (int s : seg) {
			if (first[s] < 0)
				first[s] = (int)k;
			last[s] = (int)k;
		}
		stage = seg.back();
	}
	for (int s = 1; s <= 8; s++) {
		ASSERT_GE(first[s + 1], 1) << "stage " << s + 1 << " never ran";
		EXPECT_GE(r.frames[first[s + 1]].beat, closing[s]) << "stage " << s;
		EXPECT_LT(r.frames[first[s + 1] - 1].beat, closing[s]) << "stage " << s;
		bool unshown = s == 1 || s == 7 || s == 8;
		EXPECT_EQ(first[s + 1], last[s] + (unshown ? 0 : 1)) << "stage " << s;
	}
	EXPECT_EQ(state_faults(r.frames), "");
	check_globals(r.frames, first, last);
	EXPECT_GE(r.frames.back().beat, 300.0f);
	EXPECT_NE(r.frames.back().draws.find("textbox"), std::string::npos);
}

TEST_F(DemoTimeline, SkippedStartRunsEachEarlierStageBriefly)
{
	EXPECT_EXIT(run_child(dir, 290, 0, 12, 1e9f), ::testing::ExitedWithCode(0), "");
	run_s r = read_run(dir);
	ASSERT_GE(r.frames.size(), 10u);
	// The first frame still has beat 0; from then on the stand-in phone
	// needs three frames to show the city inside its screen.
	EXPECT_EQ(r.frames[0].beat, 0.0f);
	EXPECT_EQ(r.frames[0].draws, " starfield flyphone");
	EXPECT_EQ(r.frames[1].draws, " starfield flyphone");
	EXPECT_EQ(r.frames[2].draws, " starfield flyphone");
	EXPECT_EQ(r.frames[3].draws, " starfield flyphone tunnel backdrop bump=0");
	EXPECT_EQ(r.frames[4].draws, " tunnel backdrop gear=1");
	EXPECT_EQ(r.frames[5].draws, " ripsilu gear=1");
	EXPECT_EQ(r.frames[6].draws, " pbtausta dode gear=2");
	EXPECT_EQ(r.frames[7].draws, " tunnel backdrop");
	EXPECT_EQ(r.frames[8].draws,
		" face fluid starfield2 face phonedraw starfield2 ballspring phonedraw");
	for (size_t k = 9; k < r.frames.size(); k++)
		EXPECT_EQ(r.frames[k].draws, " starfield2 ballspring phonedraw");
	for (size_t k = 1; k < r.frames.size(); k++)
		EXPECT_EQ(r.frames[k].fc, r.frames[k - 1].fc + 1);
	EXPECT_EQ(state_faults(r.frames), "");
	// Every event before the skip time fires, each once.
	for (const script_event_s& e : script_events) {
		if (e.oneshot) {
			EXPECT_EQ(firings(r.err, e.name).size(), 1u) << e.name;
		}
	}
}

}  // namespace
